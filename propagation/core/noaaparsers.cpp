// The three NOAA SWPC products: planetary Kp and F10.7 flux (JSON), the WWV bulletin (text).

#include "productparsers.h"

#include "jsontext.h"
#include "propagationdata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>

#include <functional>

namespace ProductParsers {

namespace {

// Calls visit for each entry of a JSON product as an object. Both shapes are served: an array
// of objects, and an array of arrays whose first row names the columns. Returns false when
// the body is not such a JSON array.
bool forEachEntry(const QByteArray &body, const std::function<void(const QJsonObject &)> &visit)
{
    const QJsonDocument document = JsonText::parse(body);
    if (!document.isArray())
        return false;
    const QJsonArray rows = document.array();
    QStringList columns;
    bool headerSeen = false;
    for (const QJsonValue &row : rows) {
        if (row.isObject()) {
            visit(row.toObject());
        } else if (row.isArray()) {
            const QJsonArray cells = row.toArray();
            if (!headerSeen) {
                headerSeen = true;
                for (const QJsonValue &cell : cells)
                    columns << cell.toString();
                continue;
            }
            QJsonObject entry;
            for (int i = 0; i < cells.size() && i < columns.size(); ++i) {
                if (!columns[i].isEmpty())
                    entry.insert(columns[i], cells[i]);
            }
            visit(entry);
        }
    }
    return true;
}

// A number, or a string holding one ("3.67"); `missing` for anything else (null included).
double numberOf(const QJsonValue &value, double missing)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return number;
    }
    return missing;
}

// Among the entries with a readable time tag and a value that valueOf accepts (refused: < 0),
// the latest one's time and value; false when there is none. Of equal times the first counts.
bool latestEntry(const QByteArray &body, QDateTime &time, double &value,
                 const std::function<double(const QJsonObject &)> &valueOf)
{
    QDateTime latest;
    double latestValue = 0.0;
    const bool parsed = forEachEntry(body, [&](const QJsonObject &entry) {
        const QDateTime stamp = parseNoaaTime(entry.value(QLatin1String("time_tag")).toString());
        const double candidate = valueOf(entry);
        if (!stamp.isValid() || candidate < 0.0)
            return;
        if (!latest.isValid() || stamp > latest) {
            latest = stamp;
            latestValue = candidate;
        }
    });
    if (!parsed || !latest.isValid())
        return false;
    time = latest;
    value = latestValue;
    return true;
}

} // namespace

QDateTime parseNoaaTime(const QString &text)
{
    QString stamp = text.trimmed();
    if (stamp.isEmpty())
        return QDateTime();
    // A stamp without a zone is UTC. The date's own hyphens end before the eleventh character.
    const QString clock = stamp.mid(10);
    if (!stamp.endsWith(QLatin1Char('Z')) && !clock.contains(QLatin1Char('+')) &&
        !clock.contains(QLatin1Char('-')))
        stamp += QLatin1Char('Z');
    const QDateTime time = QDateTime::fromString(stamp, Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

bool parseKp(const QByteArray &body, PropagationData &record)
{
    QDateTime time;
    double kp = 0.0;
    if (!latestEntry(body, time, kp, [](const QJsonObject &entry) {
            const double value = numberOf(entry.value(QLatin1String("estimated_kp")), -1.0);
            return value >= 0.0 && value <= 9.0 ? value : -1.0;
        }))
        return false;
    record.kpTime = time;
    record.kp = kp;
    record.kpValid = true;
    return true;
}

bool parseF107(const QByteArray &body, PropagationData &record)
{
    QDateTime time;
    double flux = 0.0;
    if (!latestEntry(body, time, flux, [](const QJsonObject &entry) {
            if (entry.value(QLatin1String("reporting_schedule")).toString() !=
                QLatin1String("Noon"))
                return -1.0;
            const double value = numberOf(entry.value(QLatin1String("flux")), -1.0);
            return value > 0.0 && value <= 1000.0 ? value : -1.0;
        }))
        return false;
    record.fluxTime = time;
    record.solarFlux = flux;
    record.solarFluxValid = true;
    return true;
}

bool parseWwv(const QByteArray &body, PropagationData &record)
{
    const QString text = QString::fromUtf8(body).trimmed();
    if (!text.startsWith(QLatin1String(":Product: Geophysical Alert Message")) ||
        !text.contains(QLatin1String(":Issued:")))
        return false;
    record.wwv = text;
    return true;
}

QDateTime wwvIssuedTime(const QString &bulletin)
{
    static const QRegularExpression issued(
        QStringLiteral("^:Issued:\\s*(\\d{4} [A-Za-z]{3} \\d{1,2})\\s+(\\d{4})\\s+UTC\\s*$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = issued.match(bulletin);
    if (!match.hasMatch())
        return QDateTime();
    const QDate date =
        QLocale(QLocale::English).toDate(match.captured(1), QStringLiteral("yyyy MMM d"));
    const QTime time = QTime::fromString(match.captured(2), QStringLiteral("HHmm"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace ProductParsers
