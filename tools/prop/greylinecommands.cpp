// corvin-prop sun, plan and map: the Greyline page's geometry, planner and map shading on the
// command line, on the same library code. Instants are UTC, written "2024-06-21T12:00Z"
// (seconds allowed: "2024-06-21T12:00:30Z"); places are "LAT,LON" in signed decimal degrees,
// north and east positive.
//
//   sun UTC... [--at LAT,LON...]   one JSON object per instant: declination, subsolar
//                                  longitude and the sun's elevation at each place
//   plan DATE [--rx LAT,LON] [--dx LAT,LON] [--low D] [--high D]
//                                  the day's listening windows and best common minute as JSON
//   map UTC [--low D] [--high D] [--base IMAGE] --out FILE
//                                  the shaded 900 x 450 world map, PNG or PPM by the suffix

#include "cli.h"
#include "greylineplanner.h"
#include "greylineshading.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>
#include <optional>

using namespace Greyline;

namespace {

// The dates the planner serves, as on the Greyline page.
const QDate firstDate(1900, 1, 1);
const QDate lastDate(2100, 12, 31);

struct Instant
{
    QDate date;
    double minute = 0.0; // of the UTC day, fractions from the seconds
    QString text;        // as written back in the results
};

std::optional<QDate> parseDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!date.isValid() || date < firstDate || date > lastDate)
        return std::nullopt;
    return date;
}

std::optional<Instant> parseInstant(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})T(\\d{2}):(\\d{2})(?::(\\d{2}))?Z$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<QDate> date = parseDate(match.captured(1));
    const int hour = match.captured(2).toInt();
    const int minute = match.captured(3).toInt();
    const int second = match.captured(4).isEmpty() ? 0 : match.captured(4).toInt();
    if (!date || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return Instant{*date, hour * 60 + minute + second / 60.0, text};
}

std::optional<Site> parseSite(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool latitudeOk = false;
    bool longitudeOk = false;
    const Site site{parts[0].trimmed().toDouble(&latitudeOk),
                    parts[1].trimmed().toDouble(&longitudeOk)};
    // The negated comparisons also refuse NaN.
    if (!latitudeOk || !longitudeOk || !(std::abs(site.latitude) <= 90.0) ||
        !(std::abs(site.longitude) <= 180.0)) {
        return std::nullopt;
    }
    return site;
}

// The band limits, within the ranges the Greyline page offers.
struct Band
{
    double low = -6.0;
    double high = 3.0;
};

bool parseBandValue(const QString &option, const QString &text, Band &band)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (option == QLatin1String("--low") && ok && value >= -18.0 && value <= 0.0)
        band.low = value;
    else if (option == QLatin1String("--high") && ok && value >= 0.0 && value <= 12.0)
        band.high = value;
    else
        return false;
    return true;
}

int usageError(const char *command, QTextStream &err, const QString &problem)
{
    err << "error: " << problem << '\n';
    Cli::printUsage(command, err);
    return Cli::UsageError;
}

QString badInstant(const QString &text)
{
    return QStringLiteral("%1 is not a UTC instant from 1900 to 2100 such as "
                          "2024-06-21T12:00Z")
        .arg(text);
}

QString badSite(const QString &text)
{
    return QStringLiteral("%1 is not LAT,LON within -90 ... 90 and -180 ... 180").arg(text);
}

QString badBand(const QString &option, const QString &text)
{
    return QStringLiteral("%1 %2: the band is -18 ... 0 (low) and 0 ... 12 (high) degrees")
        .arg(option, text);
}

// sun UTC... [--at LAT,LON...]
int runSun(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QVector<Instant> instants;
    QVector<Site> sites;
    bool readingSites = false;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--at")) {
            readingSites = true;
        } else if (readingSites) {
            const std::optional<Site> site = parseSite(argument);
            if (!site)
                return usageError("sun", err, badSite(argument));
            sites.append(*site);
        } else {
            const std::optional<Instant> instant = parseInstant(argument);
            if (!instant)
                return usageError("sun", err, badInstant(argument));
            instants.append(*instant);
        }
    }
    if (instants.isEmpty() || (readingSites && sites.isEmpty()))
        return usageError("sun", err, QStringLiteral("give at least one instant"));
    QJsonArray results;
    for (const Instant &instant : instants) {
        const SunPosition sun = sunPosition(dayZero(instant.date), instant.minute);
        QJsonArray elevations;
        for (const Site &site : sites)
            elevations.append(solarElevation(sun, site.latitude, site.longitude));
        results.append(QJsonObject{
            {QStringLiteral("utc"), instant.text},
            {QStringLiteral("declination_deg"), sun.declination},
            {QStringLiteral("subsolar_longitude_deg"), sun.subsolarLongitude},
            {QStringLiteral("elevations_deg"), elevations},
        });
    }
    out << QJsonDocument(results).toJson(QJsonDocument::Indented);
    return Cli::Success;
}

QJsonArray windowArray(const MinuteWindows &windows)
{
    QJsonArray array;
    for (const MinuteWindow &window : windows)
        array.append(QJsonArray{window.start, window.end});
    return array;
}

// plan DATE [--rx LAT,LON] [--dx LAT,LON] [--low D] [--high D]
int runPlan(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    std::optional<QDate> date;
    GreylinePlanInputs inputs;
    Band band;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (date)
                return usageError("plan", err, QStringLiteral("give one date"));
            date = parseDate(argument);
            if (!date) {
                return usageError("plan", err,
                                  QStringLiteral("%1 is not a date from 1900-01-01 to "
                                                 "2100-12-31 such as 2024-06-21")
                                      .arg(argument));
            }
            continue;
        }
        if (i + 1 >= arguments.size())
            return usageError("plan", err, QStringLiteral("%1 needs a value").arg(argument));
        const QString value = arguments[++i];
        if (argument == QLatin1String("--rx") || argument == QLatin1String("--dx")) {
            const std::optional<Site> site = parseSite(value);
            if (!site)
                return usageError("plan", err, badSite(value));
            if (argument == QLatin1String("--rx")) {
                inputs.rx = *site;
                inputs.rxConfigured = true;
            } else {
                inputs.dx = *site;
                inputs.dxEnabled = true;
            }
        } else if (!parseBandValue(argument, value, band)) {
            return usageError("plan", err, badBand(argument, value));
        }
    }
    if (!date)
        return usageError("plan", err, QStringLiteral("give a date"));
    inputs.day0 = dayZero(*date);
    inputs.low = band.low;
    inputs.high = band.high;
    const GreylinePlan plan = planGreylineDay(inputs);
    const QJsonObject result{
        {QStringLiteral("date"), date->toString(Qt::ISODate)},
        {QStringLiteral("rx_windows"), windowArray(plan.rxWindows)},
        {QStringLiteral("dx_windows"), windowArray(plan.dxWindows)},
        {QStringLiteral("both_windows"), windowArray(plan.bothWindows)},
        {QStringLiteral("rx_text"), formatWindows(plan.rxWindows, false)},
        {QStringLiteral("dx_text"), formatWindows(plan.dxWindows, false)},
        {QStringLiteral("both_text"), formatWindows(plan.bothWindows, false)},
        {QStringLiteral("best_minute"), plan.bestMinute},
        {QStringLiteral("best_score"), plan.bestScore},
    };
    out << QJsonDocument(result).toJson(QJsonDocument::Indented);
    return Cli::Success;
}

// map UTC [--low D] [--high D] [--base IMAGE] --out FILE
int runMap(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    std::optional<Instant> instant;
    Band band;
    QString basePath;
    QString outPath;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (instant)
                return usageError("map", err, QStringLiteral("give one instant"));
            instant = parseInstant(argument);
            if (!instant)
                return usageError("map", err, badInstant(argument));
            continue;
        }
        if (i + 1 >= arguments.size())
            return usageError("map", err, QStringLiteral("%1 needs a value").arg(argument));
        const QString value = arguments[++i];
        if (argument == QLatin1String("--base"))
            basePath = value;
        else if (argument == QLatin1String("--out"))
            outPath = value;
        else if (!parseBandValue(argument, value, band))
            return usageError("map", err, badBand(argument, value));
    }
    if (!instant || outPath.isEmpty())
        return usageError("map", err, QStringLiteral("give an instant and --out FILE"));
    const QString suffix = QFileInfo(outPath).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("ppm"))
        return usageError("map", err, QStringLiteral("the output must end in .png or .ppm"));

    const QImage base(basePath.isEmpty() ? worldMapResource : basePath);
    if (base.isNull()) {
        err << "error: "
            << (basePath.isEmpty() ? QStringLiteral("this build has no world map; give --base "
                                                    "IMAGE")
                                   : QStringLiteral("cannot read the image %1").arg(basePath))
            << '\n';
        return Cli::Failed;
    }
    Cli::StopSignals stop;
    GreylineShading shading(base);
    shading.updateShading(sunPosition(dayZero(instant->date), instant->minute), band.low,
                          band.high);
    QSaveFile file(outPath);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        shading.image().save(&file, suffix == QLatin1String("png") ? "PNG" : "PPM");
    if (stop.requested()) {
        file.cancelWriting();
        err << "error: stopped; nothing written\n";
        return Cli::Failed;
    }
    if (!written || !file.commit()) {
        err << "error: cannot write " << outPath << ": " << file.errorString() << '\n';
        return Cli::Failed;
    }
    out << outPath << '\n';
    return Cli::Success;
}

const bool sunRegistered = Cli::add(
    {"sun", "UTC... [--at LAT,LON...]",
     "declination, subsolar longitude and solar elevations at UTC instants, as JSON", &runSun});
const bool planRegistered = Cli::add(
    {"plan", "DATE [--rx LAT,LON] [--dx LAT,LON] [--low D] [--high D]",
     "the greyline listening windows of a UTC date at RX, at DX and at both, as JSON", &runPlan});
const bool mapRegistered = Cli::add(
    {"map", "UTC [--low D] [--high D] [--base IMAGE] --out FILE",
     "the world map with night, greyline band and horizon shaded, as PNG or PPM", &runMap});

} // namespace
