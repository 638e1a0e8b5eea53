#include "propagationreport.h"

#include "applanguage.h"
#include "propagationdata.h"
#include "propagationsite.h"

#include <QCoreApplication>
#include <QLocale>
#include <QVector>

namespace {

// The texts of the report, translated in the context "PropagationReport".
class PropagationReport
{
    Q_DECLARE_TR_FUNCTIONS(PropagationReport)

public:
    struct Row
    {
        QString label;
        QString value;
    };
    struct Condition
    {
        QString colour;
        QString label;
    };
    struct Band
    {
        QString wavelength;
        QString frequencies;
        Condition day;
        Condition night;
    };

    explicit PropagationReport(const PropagationData &data, const PropagationSite &site);

    static QString assessment(const PropagationData &data);
    static QString time(const QDateTime &utc);
    static QString title() { return tr("HF propagation report"); }
    static QString disclaimer()
    {
        return tr("HF conditions are general estimates. Location and coordinates identify the "
                  "listening site in the report. A path-specific forecast requires a "
                  "destination, a time and a propagation model.");
    }

    QString html() const;
    QString text() const;

private:
    QString number(double value, int decimals) const;
    QString annotated(const QString &value, const QString &source, const QDateTime &at) const;
    static Condition condition(const QString &text);
    void fillLocation(const PropagationSite &site);
    void fillIndices();
    void fillBands();

    const PropagationData &m_data;
    bool m_italian = false;
    QLocale m_locale;
    QVector<Row> m_location;
    QVector<Row> m_indices;
    QVector<Band> m_bands;
};

// HamQSL's four band groups with their IARU Region 1 frequencies, in report order.
struct BandPlanRow
{
    const char *key;
    const char *wavelength;
    const char *frequencies;
};
constexpr BandPlanRow bandPlan[] = {
    {"80m-40m", "80 m / 40 m", "3.5–3.8 / 7.0–7.2"},
    {"30m-20m", "30 m / 20 m", "10.10–10.15 / 14.00–14.35"},
    {"17m-15m", "17 m / 15 m", "18.068–18.168 / 21.00–21.45"},
    {"12m-10m", "12 m / 10 m", "24.89–24.99 / 28.00–29.70"},
};

const char *const htmlHead =
    "<!doctype html><html lang=\"%1\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width,initial-scale=1\"><title>%2</title><style>body{font-family:"
    "Arial,sans-serif;margin:20px auto;max-width:850px;padding:0 12px;color:#1f2328;"
    "background-color:#ffffff;} h1,h2{color:#17487a;} h2{font-size:1.2em;}table{border-collapse:"
    "collapse;} th,td{text-align:left;border:1px solid #c5d2df;padding:5px;} th{background-color:"
    "#eef4f9;}</style></head><body><h1>%2</h1>";
const char *const tableStart = "<table cellspacing=\"0\" cellpadding=\"5\" border=\"1\">";

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

PropagationReport::PropagationReport(const PropagationData &data, const PropagationSite &site)
    : m_data(data)
    , m_italian(runningLanguage() == QLatin1String("it"))
    , m_locale(m_italian ? QLocale::Italian : QLocale::English)
{
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
    fillLocation(site);
    fillIndices();
    fillBands();
}

QString PropagationReport::number(double value, int decimals) const
{
    return m_locale.toString(value, 'f', decimals);
}

QString PropagationReport::time(const QDateTime &utc)
{
    // The C locale keeps the digits Latin whatever the system's.
    return utc.isValid() ? QLocale::c().toString(utc.toUTC(), QStringLiteral("yyyy-MM-dd HH:mm")) +
                               QStringLiteral(" UTC")
                         : tr("N/A");
}

QString PropagationReport::annotated(const QString &value, const QString &source,
                                     const QDateTime &at) const
{
    if (!at.isValid())
        return QStringLiteral("%1 (%2)").arg(value, source);
    return QStringLiteral("%1 (%2, %3)").arg(value, source, time(at));
}

PropagationReport::Condition PropagationReport::condition(const QString &text)
{
    const QString key = text.trimmed().toLower();
    if (key == QLatin1String("good"))
        return {QStringLiteral("#1a7f37"), tr("Good")};
    if (key == QLatin1String("fair"))
        return {QStringLiteral("#895600"), tr("Fair")};
    if (key == QLatin1String("poor"))
        return {QStringLiteral("#b42318"), tr("Poor")};
    return {QStringLiteral("#57606a"), text.isEmpty() ? tr("N/A") : text};
}

void PropagationReport::fillLocation(const PropagationSite &site)
{
    const QString notAvailable = tr("N/A");
    const auto degrees = [&](bool valid, double value) {
        return valid ? number(value, 6) + QStringLiteral("°") : notAvailable;
    };
    QString status;
    if (!m_data.hasData())
        status = tr("Sources unavailable");
    else if (m_data.errors.isEmpty())
        status = tr("Data received");
    else
        status = tr("Partial data");
    m_location = {
        {tr("Listening location"), site.name.isEmpty() ? notAvailable : site.name},
        {tr("Latitude"), degrees(site.latitudeValid, site.latitude)},
        {tr("Longitude"), degrees(site.longitudeValid, site.longitude)},
        {tr("Retrieved at"), time(m_data.retrieved)},
        {tr("Source status"), status},
    };
}

void PropagationReport::fillIndices()
{
    const QString notAvailable = tr("N/A");
    QString flux = notAvailable;
    if (m_data.solarFluxValid) {
        const bool noaa = m_data.fluxTime.isValid();
        flux = annotated(number(m_data.solarFlux, 1) + QStringLiteral(" sfu"),
                         noaa ? tr("NOAA, noon observation") : QStringLiteral("HamQSL"),
                         noaa ? m_data.fluxTime : m_data.hamqslUpdated);
    }
    const QString kp = m_data.kpValid
                           ? annotated(number(m_data.kp, 2), QStringLiteral("NOAA"), m_data.kpTime)
                           : notAvailable;
    m_indices = {
        {tr("SFI / F10.7"), flux},
        {tr("Estimated planetary Kp"), kp},
        {tr("K index (HamQSL)"),
         m_data.kIndexValid ? m_locale.toString(m_data.kIndex) : notAvailable},
        {tr("A index (HamQSL)"),
         m_data.aIndexValid ? m_locale.toString(m_data.aIndex) : notAvailable},
        {tr("Solar wind (HamQSL)"), m_data.solarWindValid
                                        ? number(m_data.solarWind, 1) + QStringLiteral(" km/s")
                                        : notAvailable},
        {tr("X-ray class (HamQSL)"), m_data.xray.isEmpty() ? notAvailable : m_data.xray},
    };
}

void PropagationReport::fillBands()
{
    QStringList known;
    for (const BandPlanRow &row : bandPlan) {
        const QString key = QString::fromLatin1(row.key);
        known << key;
        QString frequencies = QString::fromUtf8(row.frequencies);
        if (m_italian)
            frequencies.replace(QLatin1Char('.'), QLatin1Char(','));
        const QPair<QString, QString> conditions = m_data.bands.value(key);
        m_bands.append({QString::fromLatin1(row.wavelength), frequencies,
                        condition(conditions.first), condition(conditions.second)});
    }
    for (auto it = m_data.bands.cbegin(); it != m_data.bands.cend(); ++it) {
        if (!known.contains(it.key()))
            m_bands.append(
                {it.key(), tr("N/A"), condition(it.value().first), condition(it.value().second)});
    }
}

QString PropagationReport::assessment(const PropagationData &data)
{
    const QString insufficient = tr("Insufficient data to assess HF propagation.");
    if (!data.solarFluxValid)
        return insufficient;
    double geomagnetic = 0.0;
    if (data.kpValid)
        geomagnetic = data.kp;
    else if (data.kIndexValid)
        geomagnetic = data.kIndex;
    else
        return insufficient;
    if (geomagnetic >= 5.0)
        return tr("High geomagnetic activity. HF paths may be degraded, especially at high "
                  "latitudes.");
    if (geomagnetic >= 4.0)
        return tr("Unsettled geomagnetic conditions. HF signal stability may vary.");
    if (data.solarFlux >= 150.0)
        return tr("High solar flux. Higher HF bands may open on sunlit paths.");
    if (data.solarFlux >= 100.0)
        return tr("Moderate solar flux. Higher HF bands may open during daylight depending on the "
                  "path.");
    return tr("Low solar flux. Openings on higher HF bands may be less frequent.");
}

QString PropagationReport::html() const
{
    const auto table = [](const QVector<Row> &rows) {
        QString out = QLatin1String(tableStart);
        for (const Row &row : rows)
            out += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>")
                       .arg(escaped(row.label), escaped(row.value));
        return out + QStringLiteral("</table>");
    };
    const auto cell = [](const Condition &condition) {
        return QStringLiteral("<td style=\"color:%1;font-weight:bold\">%2</td>")
            .arg(condition.colour, escaped(condition.label));
    };

    QString out = QString::fromLatin1(htmlHead).arg(
        m_italian ? QStringLiteral("it") : QStringLiteral("en"), escaped(title()));
    out += table(m_location);
    out += QStringLiteral("<p><b>") + escaped(assessment(m_data)) + QStringLiteral("</b></p><p>") +
           escaped(disclaimer()) + QStringLiteral("</p>");
    out += QStringLiteral("<h2>") + escaped(tr("Solar and geomagnetic indices")) +
           QStringLiteral("</h2>") + table(m_indices);
    out += QStringLiteral("<h2>%1</h2><p>%2</p>")
               .arg(escaped(tr("HF bands (HamQSL)")),
                    escaped(tr("HamQSL update: %1").arg(time(m_data.hamqslUpdated))));
    out += QLatin1String(tableStart);
    out += QStringLiteral("<thead><tr><th>%1</th><th>%2</th><th>%3</th><th>%4</th></tr></thead>")
               .arg(escaped(tr("Wavelength")), escaped(tr("Frequency (MHz, IARU Region 1)")),
                    escaped(tr("Day")), escaped(tr("Night")));
    for (const Band &band : m_bands)
        out += QStringLiteral("<tr><td>%1</td><td>%2</td>%3%4</tr>")
                   .arg(escaped(band.wavelength), escaped(band.frequencies), cell(band.day),
                        cell(band.night));
    QString bulletin = escaped(m_data.wwv.isEmpty() ? tr("N/A") : m_data.wwv);
    bulletin.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bulletin.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    out += QStringLiteral("</table><h2>") + escaped(tr("NOAA WWV bulletin")) +
           QStringLiteral("</h2><p>") + bulletin + QStringLiteral("</p>");
    if (!m_data.errors.isEmpty()) {
        out += QStringLiteral("<h2>") + escaped(tr("Source diagnostics")) +
               QStringLiteral("</h2><ul>");
        for (const QString &error : m_data.errors)
            out += QStringLiteral("<li>") + escaped(error) + QStringLiteral("</li>");
        out += QStringLiteral("</ul>");
    }
    return out + QStringLiteral("</body></html>");
}

QString PropagationReport::text() const
{
    QStringList lines;
    const auto addRows = [&lines](const QVector<Row> &rows) {
        for (const Row &row : rows)
            lines << row.label + QStringLiteral(": ") + row.value;
    };
    lines << title() << QString();
    addRows(m_location);
    lines << QString() << assessment(m_data) << disclaimer() << QString()
          << tr("Solar and geomagnetic indices");
    addRows(m_indices);
    lines << QString() << tr("HF bands (HamQSL)")
          << tr("HamQSL update: %1").arg(time(m_data.hamqslUpdated))
          << tr("Frequency (MHz, IARU Region 1)");
    for (const Band &band : m_bands)
        lines << QStringLiteral("%1  |  %2 MHz  |  %3: %4  |  %5: %6")
                     .arg(band.wavelength, band.frequencies, tr("Day"), band.day.label, tr("Night"),
                          band.night.label);
    // The bulletin keeps its own lines; a server's CR LF would mix line ends in the file.
    QString bulletin = m_data.wwv.isEmpty() ? tr("N/A") : m_data.wwv;
    bulletin.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines << QString() << tr("NOAA WWV bulletin") << bulletin;
    if (!m_data.errors.isEmpty())
        lines << QString() << tr("Source diagnostics") << m_data.errors;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QString assessConditions(const PropagationData &data)
{
    return PropagationReport::assessment(data);
}

QString buildReportHtml(const PropagationData &data, const PropagationSite &site)
{
    return PropagationReport(data, site).html();
}

QString buildReportText(const PropagationData &data, const PropagationSite &site)
{
    return PropagationReport(data, site).text();
}

QString formatReportTime(const QDateTime &utc)
{
    return PropagationReport::time(utc);
}

QString reportTitle()
{
    return PropagationReport::title();
}
