// corvin-rxctl ... scope [--center MHZ] [--span CODE] [--peak-hold] [--frames N|--seconds S]
// [--back-to-back] [--out NAME] [--history FILE]: the RX Band Scope's capture on the open
// receiver. After "tune" and "mode" on the same command line it runs on the normal connection
// and puts tuning and mode back after a complete frame; otherwise it runs as a service session
// and leaves the receiver in band-scope mode. More than one frame, or a time, makes the capture
// continuous. Prints a line per frame and the final status; --out writes the CSV and raw export
// (also after a failure), --history a line per sweep and its waterfall. Ctrl-C, SIGTERM and
// SIGHUP act as the Stop button: the first ends a continuous capture after its frame, the
// second at once. Exit 0 on a complete frame, 1 otherwise, 2 on a usage error.

#include "bandscopeexport.h"
#include "bandscopehistory.h"
#include "cli.h"
#include "corvindriver.h"
#include "rxctlsession.h"
#include "scopecapture.h"
#include "scopehistoryrecorder.h"
#include "scopeport.h"
#include "scoperecord.h"
#include "scopespan.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

namespace {

const char *const usage = "[--center MHZ] [--span CODE] [--peak-hold] [--frames N|--seconds S] "
                          "[--back-to-back] [--out NAME] [--history FILE]";
constexpr int signalPollMs = 50;

struct Options
{
    double centreMHz = ScopeSpan::defaultCenterMHz;
    int spanCode = ScopeSpan::defaultCode;
    bool peakHold = false;
    int frames = 1;
    double seconds = 0.0; // > 0: continuous for this long
    bool backToBack = false;
    QString out;
    QString history;
};

bool parse(const QStringList &arguments, Options *options, QTextStream &err)
{
    bool framesGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        if (option == QLatin1String("--peak-hold")) {
            options->peakHold = true;
            continue;
        }
        if (option == QLatin1String("--back-to-back")) {
            options->backToBack = true;
            continue;
        }
        static const QStringList valueOptions = {
            QStringLiteral("--center"),  QStringLiteral("--span"), QStringLiteral("--frames"),
            QStringLiteral("--seconds"), QStringLiteral("--out"),  QStringLiteral("--history")};
        if (!valueOptions.contains(option)) {
            err << "error: unknown option " << option << '\n';
            return false;
        }
        if (i + 1 >= arguments.size()) {
            err << "error: " << option << " needs a value\n";
            return false;
        }
        const QString value = arguments[++i];
        bool ok = false;
        if (option == QLatin1String("--center")) {
            options->centreMHz = value.toDouble(&ok);
            ok = ok && options->centreMHz >= 0.1 && options->centreMHz <= 3000.0;
        } else if (option == QLatin1String("--span")) {
            options->spanCode = value.toInt(&ok);
            ok = ok && ScopeSpan::isValidCode(options->spanCode);
        } else if (option == QLatin1String("--frames")) {
            options->frames = value.toInt(&ok);
            ok = ok && options->frames >= 1;
            framesGiven = true;
        } else if (option == QLatin1String("--seconds")) {
            options->seconds = value.toDouble(&ok);
            ok = ok && options->seconds > 0.0;
        } else if (option == QLatin1String("--out")) {
            options->out = value;
            ok = !value.isEmpty();
        } else {
            options->history = value;
            ok = !value.isEmpty();
        }
        if (!ok) {
            err << "error: bad value " << value << " for " << option << '\n';
            return false;
        }
    }
    if (framesGiven && options->seconds > 0.0) {
        err << "error: give --frames or --seconds, not both\n";
        return false;
    }
    return true;
}

// The connection as the command line left it: the normal one (tuning and mode to put back) or
// a service session.
class RxctlConnection : public ScopeConnection
{
public:
    RxctlConnection(DriverScopePort &port, qint64 frequency, int mode)
        : m_port(port)
        , m_frequency(frequency)
        , m_mode(mode)
    {}

    bool restore(QString *error) override
    {
        return m_port.restoreTuning(m_frequency, m_mode,
                                    QStringLiteral("Could not restore tuning/mode."), error);
    }
    void isolate() override { m_port.close(); }

private:
    DriverScopePort &m_port;
    qint64 m_frequency;
    int m_mode;
};

// "2024-05-01T12:00:00.123Z frame 3: 128 bins, 120 valid, peak 7 at bin 52 (4.626000 MHz)".
QString frameLine(const BandScopeHistory &history, int number)
{
    const ScopeSweep &sweep = history.sweep(0);
    const ScopeHistoryKey &key = history.key();
    int valid = 0;
    int peakBin = -1;
    for (int bin = 0; bin < key.binCount; ++bin) {
        const int code = sweep.codes[static_cast<size_t>(bin)];
        if (code < 2)
            continue;
        ++valid;
        if (peakBin < 0 || code > sweep.codes[static_cast<size_t>(peakBin)])
            peakBin = bin;
    }
    QString line =
        QStringLiteral("%1 frame %2: %3 bins, %4 valid")
            .arg(QDateTime::fromMSecsSinceEpoch(sweep.utcMs, Qt::UTC).toString(Qt::ISODateWithMs))
            .arg(number)
            .arg(key.binCount)
            .arg(valid);
    if (peakBin >= 0) {
        line +=
            QStringLiteral(", peak %1 at bin %2 (%3 MHz)")
                .arg(sweep.codes[static_cast<size_t>(peakBin)])
                .arg(peakBin)
                .arg(ScopeSpan::nominalHz(peakBin, key.centreHz, key.spanCode) / 1e6, 0, 'f', 6);
    }
    return line;
}

int runScope(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parse(arguments, &options, err)) {
        Cli::printUsage("scope", err);
        return Cli::UsageError;
    }
    Corvindriver &driver = RxctlSession::driver();
    const bool normal = RxctlSession::hasRun(QStringLiteral("tune")) &&
                        RxctlSession::hasRun(QStringLiteral("mode"));
    DriverScopePort port(driver);
    RxctlConnection connection(port, static_cast<qint64>(driver.state().frequency),
                               driver.state().mode);
    ScopeRecord record;
    BandScopeHistory history;
    ScopeCapture capture(port, connection, record, history, false);

    ScopeHistoryRecorder recorder;
    QString error;
    if (!options.history.isEmpty() && !recorder.start(options.history, &error)) {
        err << "error: cannot write " << options.history << ": " << error << '\n';
        return Cli::UsageError;
    }

    ScopeRequest request;
    request.spanCode = options.spanCode;
    request.centreHz = ScopeSpan::roundCentre(options.centreMHz, options.spanCode);
    request.peakHold = options.peakHold;
    request.continuous = options.frames > 1 || options.seconds > 0.0;
    request.session = !normal;
    request.backToBack = options.backToBack;
    request.frameLimit = options.seconds > 0.0 ? 0 : options.frames;

    QEventLoop loop;
    bool complete = false;
    int frames = 0;
    QObject::connect(&capture, &ScopeCapture::statusChanged, [&err](const QString &status) {
        err << status << '\n';
        err.flush();
    });
    QObject::connect(&capture, &ScopeCapture::frameAdded, [&] {
        out << frameLine(history, ++frames) << '\n';
        out.flush();
        QString recordError;
        if (recorder.isRecording() &&
            !recorder.append(history.key(), history.sweep(0), &recordError))
            err << "error: history file: " << recordError << '\n';
    });
    QObject::connect(&capture, &ScopeCapture::finished,
                     [&](const QString &summary, bool frameComplete, bool) {
                         out << summary << '\n';
                         complete = frameComplete;
                         loop.quit();
                     });

    Cli::StopSignals stopSignals;
    QTimer signalPoll;
    QObject::connect(&signalPoll, &QTimer::timeout, [&] {
        if (stopSignals.flag().exchange(false))
            capture.stop();
    });
    signalPoll.start(signalPollMs);
    if (options.seconds > 0.0)
        QTimer::singleShot(static_cast<int>(options.seconds * 1000), &capture,
                           [&capture] { capture.stop(); });

    err << "scope: " << ScopeSpan::comboText(options.spanCode) << " at "
        << QString::number(request.centreHz / 1e6, 'f', 3) << " MHz, "
        << (normal ? "normal connection" : "service session") << '\n';
    capture.start(request);
    loop.exec();
    signalPoll.stop();

    int result = complete ? Cli::Success : Cli::Failed;
    if (recorder.isRecording() && !recorder.stop(&error)) {
        err << "error: history image: " << error << '\n';
        result = Cli::Failed;
    }
    if (!options.out.isEmpty()) {
        const QString csvPath = BandScopeExport::withCsvSuffix(options.out);
        const QString rawPath = BandScopeExport::rawPathFor(csvPath);
        if (BandScopeExport::write(csvPath, BandScopeExport::csv(record, history, 16), rawPath,
                                   BandScopeExport::raw(record), &error)) {
            out << "exported " << csvPath << " + " << rawPath << '\n';
        } else {
            err << "error: could not save both files: " << error << '\n';
            result = Cli::Failed;
        }
    }
    return result;
}

const bool registered = Cli::add(
    {"scope", usage,
     "capture the receiver's band scope once, N frames or S seconds; export CSV and raw data",
     &runScope});

} // namespace
