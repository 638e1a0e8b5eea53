// corvin-prop report [--format text|html|pdf] [--out FILE] [--lang en|it] [--name NAME]
//                    [--lat DEG] [--lon DEG] [--offline]
// Downloads the four space-weather products as the Propagation tab does and writes the HF
// report: to stdout (text, html), or atomically to FILE. Like the tab, a refresh without data
// falls back to the last report with data, and a refresh with data becomes that report.
// --offline shows the last report without downloading. The location comes from the settings
// unless given. Diagnostics on stderr: "error: SOURCE: TEXT" per failed source and
// "age: SOURCE: N h [stale]" per product. Exit 0 with data, 1 without (or stopped), 2 usage.

#include "cli.h"
#include "productage.h"
#include "propagationcache.h"
#include "propagationfetcher.h"
#include "propagationreport.h"
#include "propagationsite.h"
#include "reportexport.h"
#include "settingskeys.h"
#include "stoppoll.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace {

const char *const usage = "[--format text|html|pdf] [--out FILE] [--lang en|it] [--name NAME] "
                          "[--lat DEG] [--lon DEG] [--offline]";
const char *const catalogue = ":/Corvin/i18n/corvin_it.qm";

struct Options
{
    QString format;
    QString out;
    QString language = QStringLiteral("en");
    QString name;
    QString latitude;
    QString longitude;
    bool hasName = false;
    bool offline = false;
};

// Fills options; an empty result means success, else the usage problem.
QString parse(const QStringList &arguments, Options &options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--offline")) {
            options.offline = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return QStringLiteral("missing value or unknown option: %1").arg(a);
        const QString value = arguments[++i];
        if (a == QLatin1String("--format"))
            options.format = value;
        else if (a == QLatin1String("--out"))
            options.out = value;
        else if (a == QLatin1String("--lang"))
            options.language = value;
        else if (a == QLatin1String("--name"))
            options.name = value, options.hasName = true;
        else if (a == QLatin1String("--lat"))
            options.latitude = value;
        else if (a == QLatin1String("--lon"))
            options.longitude = value;
        else
            return QStringLiteral("unknown option: %1").arg(a);
    }
    if (options.format.isEmpty()) {
        ReportExport::Format byName;
        options.format = !options.out.isEmpty() && ReportExport::formatForPath(options.out, byName)
                             ? ReportExport::suffix(byName)
                             : QStringLiteral("text");
    }
    if (options.format == QLatin1String("txt"))
        options.format = QStringLiteral("text");
    if (!QStringList{QStringLiteral("text"), QStringLiteral("html"), QStringLiteral("pdf")}
             .contains(options.format))
        return QStringLiteral("--format must be text, html or pdf");
    if (options.format == QLatin1String("pdf") && options.out.isEmpty())
        return QStringLiteral("--format pdf needs --out FILE");
    if (options.language != QLatin1String("en") && options.language != QLatin1String("it"))
        return QStringLiteral("--lang must be en or it");
    return QString();
}

// The stored listening location with the options' overrides.
bool siteFor(const Options &options, PropagationSite &site, QString &problem)
{
    const QSettings settings(QString::fromLatin1(SettingsKeys::organization),
                             QString::fromLatin1(SettingsKeys::application));
    site = loadListeningLocation(settings);
    if (options.hasName)
        site.name = options.name.trimmed();
    const auto coordinate = [&problem](const QString &text, double limit, const char *what,
                                       double &value, bool &valid) {
        if (text.isNull())
            return true;
        value = parseCoordinate(text, limit, &valid);
        if (!valid)
            problem = QStringLiteral("%1 must be signed decimal degrees within ±%2: %3")
                          .arg(QLatin1String(what))
                          .arg(limit)
                          .arg(text);
        return valid;
    };
    return coordinate(options.latitude, 90.0, "--lat", site.latitude, site.latitudeValid) &&
           coordinate(options.longitude, 180.0, "--lon", site.longitude, site.longitudeValid);
}

// Downloads like the tab; false when stopped by a signal.
bool fetch(PropagationData &data, QTextStream &err)
{
    QEventLoop loop;
    const Cli::StopPoll stop([&loop] { loop.quit(); });
    PropagationFetcher fetcher;
    bool done = false;
    QObject::connect(&fetcher, &PropagationFetcher::finished, &loop,
                     [&](const PropagationData &fetched) {
                         data = fetched;
                         done = true;
                         loop.quit();
                     });
    fetcher.start();
    if (!done)
        loop.exec();
    if (!done) {
        fetcher.abort();
        err << "error: stopped\n";
        return false;
    }
    return true;
}

void printAges(const PropagationData &data, QTextStream &err)
{
    for (const ProductAge &age : productAges(data, QDateTime::currentDateTimeUtc())) {
        if (!age.present())
            continue;
        err << "age: " << age.source << ": " << QLocale::c().toString(age.hours, 'f', 1) << " h";
        if (age.future)
            err << " [future]";
        else if (age.stale)
            err << " [stale]";
        err << '\n';
    }
}

int runReport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parse(arguments, options);
    PropagationSite site;
    QString siteProblem;
    if (!problem.isEmpty() || !siteFor(options, site, siteProblem)) {
        err << "error: " << (problem.isEmpty() ? siteProblem : problem) << '\n';
        Cli::printUsage("report", err);
        return Cli::UsageError;
    }
    QTranslator translator;
    if (options.language == QLatin1String("it")) {
        if (!translator.load(QString::fromLatin1(catalogue))) {
            err << "error: this build has no Italian catalogue\n";
            return Cli::UsageError;
        }
        QCoreApplication::installTranslator(&translator);
    }
    qApp->setProperty("language", options.language);

    PropagationData saved;
    const bool haveSaved = PropagationCache::load(saved);
    PropagationData data;
    if (options.offline) {
        if (!haveSaved) {
            err << "error: no saved report in "
                << QDir::toNativeSeparators(PropagationCache::path()) << '\n';
            return Cli::Failed;
        }
        data = saved;
    } else {
        if (!fetch(data, err))
            return Cli::Failed;
        for (const QString &error : data.errors)
            err << "error: " << error << '\n';
        if (data.hasData()) {
            const QString cacheError = PropagationCache::save(data);
            if (!cacheError.isEmpty())
                err << "warning: the report was not kept for --offline: " << cacheError << '\n';
        } else if (haveSaved) {
            err << "note: no source responded with usable data; showing the report retrieved at "
                << formatReportTime(saved.retrieved) << '\n';
            data = saved;
        }
    }
    printAges(data, err);

    const ReportExport::Format format =
        options.format == QLatin1String("pdf")    ? ReportExport::Format::Pdf
        : options.format == QLatin1String("html") ? ReportExport::Format::Html
                                                  : ReportExport::Format::Text;
    if (options.out.isEmpty()) {
        out << (format == ReportExport::Format::Html ? buildReportHtml(data, site)
                                                     : buildReportText(data, site));
    } else {
        const QString path = QFileInfo(options.out).absoluteFilePath();
        const QString error = ReportExport::write(path, format, data, site);
        if (!error.isEmpty()) {
            err << "error: could not write " << QDir::toNativeSeparators(path) << ": " << error
                << '\n';
            return Cli::Failed;
        }
        out << QDir::toNativeSeparators(path) << '\n';
    }
    return data.hasData() ? Cli::Success : Cli::Failed;
}

const bool registered = Cli::add(
    {"report", usage, "the HF propagation report from HamQSL and NOAA SWPC data", &runReport});

} // namespace
