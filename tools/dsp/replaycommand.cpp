// corvin-dsp replay FILE [--config JSON] [--out DIR]: replays a PCM16 WAV recording through the
// live feature bank and the automatic trigger policy, as the anomaly panel's replay does
// (automatic capture on, warm-up = the pre-trigger seconds, simulated captures only), writes
// <base>_replay.csv into DIR (default: the current directory) and prints the "Finished | ..."
// line. JSON is an observation log or any object with its configuration keys, so a log
// replays its arm; missing keys keep the defaults. Ctrl-C, SIGTERM and SIGHUP stop the replay
// and leave no CSV behind.

#include "cli.h"
#include "detectorsettings.h"
#include "replayrunner.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <exception>

namespace {

const char *const usage = "FILE [--config JSON] [--out DIR]";

struct Options
{
    QString file;
    QString config;
    QString out = QStringLiteral(".");
};

bool parse(const QStringList &arguments, Options &options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (!a.startsWith(QLatin1String("--"))) {
            if (!options.file.isEmpty())
                return false;
            options.file = a;
            continue;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
            return false;
        if (a == QLatin1String("--config"))
            options.config = arguments[++i];
        else if (a == QLatin1String("--out"))
            options.out = arguments[++i];
        else
            return false;
    }
    return !options.file.isEmpty();
}

int runReplay(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parse(arguments, options)) {
        Cli::printUsage("replay", err);
        return Cli::UsageError;
    }
    AnomalySettings settings;
    QString error;
    if (!options.config.isEmpty() &&
        !DetectorSettings::fromJsonFile(options.config, &settings, &error)) {
        err << "error: " << error << '\n';
        return Cli::UsageError;
    }
    if (!QDir().mkpath(options.out)) {
        err << "error: cannot create " << QDir::toNativeSeparators(options.out) << '\n';
        return Cli::UsageError;
    }
    const QString csvPath =
        QDir(options.out)
            .filePath(QFileInfo(options.file).completeBaseName() + QStringLiteral("_replay.csv"));

    Cli::StopSignals stop;
    ReplayRunner replay;
    QSaveFile csv(csvPath);
    try {
        replay.open(options.file);
        if (!csv.open(QIODevice::WriteOnly))
            throw std::runtime_error("Cannot create CSV file");
        // The panel's WAV channel, limited to the recording's channels.
        replay.start(settings, std::min(settings.channel, replay.channels() - 1), &csv);
        const quint64 frames = std::max<quint64>(1, replay.frameCount());
        int reported = 0;
        ReplayRunner::Step step;
        while (replay.step(&step)) {
            if (stop.requested()) {
                csv.cancelWriting();
                err << "error: replay stopped\n";
                return Cli::Failed;
            }
            const int percent = static_cast<int>(replay.position() * 100 / frames);
            if (percent / 10 > reported / 10) {
                reported = percent;
                err << percent << "% " << replay.seconds() << " s\n";
                err.flush();
            }
        }
        if (!csv.commit())
            throw std::runtime_error("CSV write error");
    } catch (const std::exception &e) {
        csv.cancelWriting();
        err << "error: " << e.what() << '\n';
        return Cli::Failed;
    }
    err << "CSV: " << QDir::toNativeSeparators(csvPath) << '\n';
    out << replay.finishedLine() << '\n';
    return Cli::Success;
}

const bool registered = Cli::add(
    {"replay", usage, "the offline replay through the live detector, with its CSV", &runReplay});

} // namespace
