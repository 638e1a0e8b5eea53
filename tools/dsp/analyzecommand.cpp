// corvin-dsp analyze FILE [--channel N] [--low HZ] [--high HZ] [--contrast DB] [--out DIR]:
// runs the pulse and band analyzer and writes its report folder, as the DSP tab does, showing
// progress on stderr. Ctrl-C, SIGTERM and SIGHUP cancel; no partial report is left behind.

#include "cli.h"
#include "datafolders.h"
#include "reportwriter.h"
#include "wavanalyzer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <exception>
#include <filesystem>

namespace {

const char *const usage = "FILE [--channel N] [--low HZ] [--high HZ] [--contrast DB] [--out DIR]";

// The texts are the DSP tab's own, so they share its translations.
QString text(const char *source)
{
    return QCoreApplication::translate("Corvin", source);
}

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
    const QString reportsFolder = options.out.isEmpty()
                                      ? DataFolders::path(QString::fromLatin1(DataFolders::dsp))
                                      : options.out;
    if (!QDir().mkpath(reportsFolder)) {
        err << text(QT_TRANSLATE_NOOP("Corvin", "Could not create the DSP report folder: %1"))
                   .arg(QDir::toNativeSeparators(reportsFolder))
            << '\n';
        return 1;
    }
    // Stop signals are caught before the working folder exists and until it is gone, so none
    // of them can end the program while it is there.
    Cli::StopSignals stop;
    std::atomic<bool> &interrupted = stop.flag();
    QTemporaryDir work(QDir(reportsFolder).filePath(QStringLiteral(".analysis-XXXXXX")));
    if (!work.isValid()) {
        err << text(QT_TRANSLATE_NOOP("Corvin", "Could not create the DSP working directory."))
            << '\n';
        return 1;
    }
    const QString resultFolder = work.filePath(QStringLiteral("result"));

    NativeWav::AnalysisRequest request;
    request.wavPath = wavFile;
    request.channel = options.channel;
    request.lowHz = options.lowHz;
    request.highHz = options.highHz;
    request.contrastDb = options.contrastDb;

    const auto showProgress = [&err](int percent, const QString &text) {
        err << percent << "% " << text << '\n';
        err.flush();
    };
    err << NativeWav::nativeDspBanner() << '\n'
        << text(QT_TRANSLATE_NOOP("Corvin", "Analyzing WAV: %1"))
               .arg(QDir::toNativeSeparators(wavPath))
        << '\n';
    try {
        const NativeWav::Result result =
            NativeWav::analyzeWav(request, interrupted, [&](int percent, const std::string &text) {
                showProgress(percent, QString::fromStdString(text));
            });
        showProgress(82, text(QT_TRANSLATE_NOOP(
                             "Corvin", "Writing HTML, SVG/PNG, CSV, JSON and filtered WAV...")));
        NativeWav::writeAnalysisReport(result, request, wavPath, resultFolder, interrupted);
    } catch (const std::exception &error) {
        err << text(QT_TRANSLATE_NOOP("Corvin", "Native DSP analysis failed: %1"))
                   .arg(QString::fromUtf8(error.what()))
            << '\n';
        return 1;
    }

    const QString finalFolder =
        QDir(reportsFolder)
            .filePath(QStringLiteral("report_") +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")) +
                      QLatin1Char('_') + QString::number(QCoreApplication::applicationPid()));
    // An interrupt up to here still discards the report; the rename below is atomic.
    const bool cancelled = interrupted;
    const bool moved = !cancelled && QDir().rename(resultFolder, finalFolder);
    if (cancelled) {
        err << text(QT_TRANSLATE_NOOP("Corvin", "Native DSP analysis failed: %1"))
                   .arg(QStringLiteral("Analysis cancelled"))
            << '\n';
        return 1;
    }
    if (!moved) {
        work.setAutoRemove(false);
        err << text(QT_TRANSLATE_NOOP("Corvin", "Could not move report; it is available in %1."))
                   .arg(QDir::toNativeSeparators(resultFolder))
            << '\n';
        out << QDir::toNativeSeparators(resultFolder) << '\n';
        return 0;
    }
    showProgress(100, text(QT_TRANSLATE_NOOP("Corvin", "Native DSP report saved: %1"))
                          .arg(QDir::toNativeSeparators(finalFolder)));
    out << QDir::toNativeSeparators(finalFolder) << '\n';
    return 0;
}

const bool registered = Cli::add(
    {"analyze", usage, "the offline band and pulse analysis with its HTML report", &runAnalyze});

} // namespace
