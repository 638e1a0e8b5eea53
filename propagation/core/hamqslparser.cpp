// The HamQSL solar XML feed.

#include "productparsers.h"

#include "propagationdata.h"

#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace ProductParsers {

namespace {

// What one feed gives, before it is merged.
struct HamQslReading
{
    QDateTime updated;
    double solarFlux = 0.0;
    bool solarFluxValid = false;
    int aIndex = 0;
    bool aIndexValid = false;
    int kIndex = 0;
    bool kIndexValid = false;
    double solarWind = 0.0;
    bool solarWindValid = false;
    QString xray;
    QMap<QString, QPair<QString, QString>> bands;

    bool hasValue() const
    {
        return solarFluxValid || aIndexValid || kIndexValid || solarWindValid || !xray.isEmpty() ||
               !bands.isEmpty();
    }
};

// The element's text; child elements (which these fields never have) are skipped.
QString elementText(QXmlStreamReader &xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

bool readNumber(const QString &text, double low, double high, double &value)
{
    bool ok = false;
    const double number = text.toDouble(&ok); // C locale: decimal point only
    if (!ok || !(number >= low && number <= high))
        return false;
    value = number;
    return true;
}

bool readInteger(const QString &text, int low, int high, int &value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    value = number;
    return true;
}

void readConditions(QXmlStreamReader &xml, HamQslReading &reading)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("band")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString name = xml.attributes().value(QLatin1String("name")).toString().trimmed();
        const QStringRef time = xml.attributes().value(QLatin1String("time"));
        const bool day = time == QLatin1String("day");
        const bool night = time == QLatin1String("night");
        const QString text = elementText(xml);
        if (name.isEmpty() || text.isEmpty() || !(day || night))
            continue;
        QPair<QString, QString> &conditions = reading.bands[name];
        (day ? conditions.first : conditions.second) = text;
    }
}

void readSolarData(QXmlStreamReader &xml, HamQslReading &reading)
{
    static const QRegularExpression xrayClass(QStringLiteral("^[ABCMX]\\d+(?:\\.\\d+)?$"));
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("updated")) {
            reading.updated = parseHamQslUpdated(elementText(xml));
        } else if (name == QLatin1String("solarflux")) {
            reading.solarFluxValid = readNumber(elementText(xml), 1.0, 1000.0, reading.solarFlux);
        } else if (name == QLatin1String("aindex")) {
            reading.aIndexValid = readInteger(elementText(xml), 0, 400, reading.aIndex);
        } else if (name == QLatin1String("kindex")) {
            reading.kIndexValid = readInteger(elementText(xml), 0, 9, reading.kIndex);
        } else if (name == QLatin1String("solarwind")) {
            reading.solarWindValid = readNumber(elementText(xml), 1.0, 5000.0, reading.solarWind);
        } else if (name == QLatin1String("xray")) {
            const QString text = elementText(xml).toUpper();
            reading.xray = xrayClass.match(text).hasMatch() ? text : QString();
        } else if (name == QLatin1String("calculatedconditions")) {
            readConditions(xml, reading);
        } else {
            xml.skipCurrentElement();
        }
    }
}

} // namespace

QDateTime parseHamQslUpdated(const QString &text)
{
    // "d MMM yyyy HHmm 'GMT'" with English month names, whatever the system locale.
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() != 5 || parts[4] != QLatin1String("GMT"))
        return QDateTime();
    const QDate date =
        QLocale(QLocale::English)
            .toDate(parts.mid(0, 3).join(QLatin1Char(' ')), QStringLiteral("d MMM yyyy"));
    const QTime time = QTime::fromString(parts[3], QStringLiteral("HHmm"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

bool parseHamQsl(const QByteArray &body, PropagationData &record)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("solar"))
        return false;
    HamQslReading reading;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("solardata"))
            readSolarData(xml, reading);
        else
            xml.skipCurrentElement();
    }
    // A damaged document anywhere, even after the values, gives nothing.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError() || !reading.hasValue())
        return false;

    record.hamqslUpdated = reading.updated;
    record.aIndex = reading.aIndex;
    record.aIndexValid = reading.aIndexValid;
    record.kIndex = reading.kIndex;
    record.kIndexValid = reading.kIndexValid;
    record.solarWind = reading.solarWind;
    record.solarWindValid = reading.solarWindValid;
    record.xray = reading.xray;
    record.bands = reading.bands;
    // A NOAA noon observation always wins over HamQSL's flux, whichever arrived first.
    if (!record.fluxTime.isValid()) {
        record.solarFlux = reading.solarFlux;
        record.solarFluxValid = reading.solarFluxValid;
    }
    return true;
}

} // namespace ProductParsers
