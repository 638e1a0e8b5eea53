// corvin-dsp analyze FILE [--channel N] [--low HZ] [--high HZ] [--contrast DB] [--out DIR]:
// runs the pulse and band analyzer and writes its report folder, as the DSP tab does, showing
// progress on stderr. Ctrl-C, SIGTERM and SIGHUP cancel; no partial report is left behind.

#include "cli.h"
#include "datafolders.h"
#include "dsprunfinish.h"
#include "progressstages.h"
#include "reportworkspace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <filesystem>

namespace {

const char *const usage = "FILE [--channel N] [--low HZ] [--high HZ] [--contrast DB] [--out DIR]";

struct Options
{
    QString file;
    int channel = 0;
    double lowHz = 80.0;
    double highHz = 6000.0;
    double contrastDb = 12.0;
    QString out;
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
        if (i + 1 >= arguments.size())
            return false;
        const QString value = arguments[++i];
        bool ok = false;
        if (a == QLatin1String("--channel"))
            options.channel = value.toInt(&ok);
        else if (a == QLatin1String("--low"))
            options.lowHz = value.toDouble(&ok);
        else if (a == QLatin1String("--high"))
            options.highHz = value.toDouble(&ok);
        else if (a == QLatin1String("--contrast"))
            options.contrastDb = value.toDouble(&ok);
        else if (a == QLatin1String("--out"))
            ok = !(options.out = value).isEmpty();
        if (!ok)
            return false;
    }
    return !options.file.isEmpty();
}

int runAnalyze(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parse(arguments, options)) {
        Cli::printUsage("analyze", err);
        return Cli::UsageError;
    }
    // The file is opened by its own bytes; the text form only names it in messages and reports.
    const std::filesystem::path given = Cli::filePath(options.file);
    std::error_code noCurrentFolder;
    std::filesystem::path wavFile = std::filesystem::absolute(given, noCurrentFolder);
    if (noCurrentFolder)
        wavFile = given;
    const QString wavPath = QFile::decodeName(QByteArray::fromStdString(wavFile.native()));
    // Stop signals are caught before the working folder exists and until it is gone, so none
    // of them can end the program while it is there.
    Cli::StopSignals stop;
    ReportWorkspace workspace(options.out.isEmpty()
                                  ? DataFolders::path(QString::fromLatin1(DataFolders::dsp))
                                  : options.out);
    if (workspace.status() != ReportWorkspace::Status::Ready) {
        err << workspace.statusMessage() << '\n';
        return 1;
    }

    DspJob job;
    job.request.wavPath = wavFile;
    job.request.channel = options.channel;
    job.request.lowHz = options.lowHz;
    job.request.highHz = options.highHz;
    job.request.contrastDb = options.contrastDb;
    job.wavPath = wavPath;
    job.resultFolder = workspace.resultFolder();
    // The signal flag lives as long as this function; the job only borrows it.
    job.cancel = std::shared_ptr<std::atomic<bool>>(&stop.flag(), [](std::atomic<bool> *) {});

    const auto showProgress = [&err](int percent, const QString &text) {
        err << percent << "% " << text << '\n';
        err.flush();
    };
    for (const QString &line : ProgressStages::openingLines(wavPath))
        err << line << '\n';
    const DspRunResult run = runDspJob(job, [&](int percent, const std::string &text) {
        showProgress(percent, QString::fromStdString(text));
    });
    // An interrupt up to here still discards the report; moving it into place is atomic.
    const DspRunOutcome outcome =
        finishDspRun(workspace, run, stop.requested(), QDateTime::currentDateTime(),
                     QCoreApplication::applicationPid());
    switch (outcome.kind) {
    case DspRunOutcome::Kind::Cancelled:
    case DspRunOutcome::Kind::Failed:
        err << outcome.message << '\n';
        return 1;
    case DspRunOutcome::Kind::SavedInPlace:
        err << outcome.message << '\n';
        break;
    case DspRunOutcome::Kind::Saved:
        showProgress(100, outcome.message);
        for (const QString &line : outcome.summary)
            err << line << '\n';
        break;
    }
    out << QDir::toNativeSeparators(outcome.reportFolder) << '\n';
    return 0;
}

const bool registered = Cli::add(
    {"analyze", usage, "the offline band and pulse analysis with its HTML report", &runAnalyze});

} // namespace
