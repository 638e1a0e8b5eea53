#include "loopbackhttpserver.h"
#include "productparsers.h"
#include "propagationdata.h"
#include "propagationreport.h"
#include "propagationsite.h"
#include "reportexport.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// The report: the assessment's thresholds, the HTML and text pages against reviewed copies in
// both languages, escaping, missing values, number formats, UTC times whatever the local zone,
// and the exports (PDF, suffixes, atomic writes).
class TestPropagationReport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void assessment_data();
    void assessment();
    void golden_data();
    void golden();
    void insertedTextIsEscaped();
    void missingValuesAndAnnotations();
    void italianNumbers();
    void timesAreUtcInAnyZone();
    void pdfIsAPage();
    void exportRules();
};

namespace {

QDateTime utc(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second), Qt::UTC);
}

// The record of a refresh in which the Kp download timed out.
PropagationData sampleRecord()
{
    PropagationData data;
    ProductParsers::parseHamQsl(fixture(QStringLiteral("hamqsl.xml")), data);
    ProductParsers::parseF107(fixture(QStringLiteral("f107.json")), data);
    ProductParsers::parseWwv(fixture(QStringLiteral("wwv.txt")), data);
    data.bands.insert(QStringLiteral("6m"), {QStringLiteral("Band Closed"), QString()});
    data.errors << QStringLiteral("NOAA Kp: Response timed out");
    data.retrieved = utc(5, 21, 10, 42);
    return data;
}

PropagationSite sampleSite()
{
    return {QStringLiteral("Monte Mario"), 41.9226, true, 12.4534, true};
}

void setLanguage(const QString &language, QTranslator *translator)
{
    qApp->setProperty("language", language);
    if (translator)
        QCoreApplication::installTranslator(translator);
}

} // namespace

void TestPropagationReport::cleanup()
{
    qApp->setProperty("language", QVariant());
}

void TestPropagationReport::assessment_data()
{
    QTest::addColumn<double>("flux"); // < 0: none
    QTest::addColumn<double>("kp");   // < 0: none
    QTest::addColumn<int>("kIndex");  // < 0: none
    QTest::addColumn<QString>("sentence");
    const QString insufficient = QStringLiteral("Insufficient data to assess HF propagation.");
    const QString high = QStringLiteral(
        "High geomagnetic activity. HF paths may be degraded, especially at high latitudes.");
    const QString unsettled =
        QStringLiteral("Unsettled geomagnetic conditions. HF signal stability may vary.");
    const QString highFlux =
        QStringLiteral("High solar flux. Higher HF bands may open on sunlit paths.");
    const QString moderate = QStringLiteral(
        "Moderate solar flux. Higher HF bands may open during daylight depending on the path.");
    const QString low =
        QStringLiteral("Low solar flux. Openings on higher HF bands may be less frequent.");
    QTest::newRow("Kp 5.33, flux 180") << 180.0 << 5.33 << -1 << high;
    QTest::newRow("Kp 3.67, flux 120") << 120.0 << 3.67 << -1 << moderate;
    QTest::newRow("flux 120, K 4") << 120.0 << -1.0 << 4 << unsettled;
    QTest::newRow("flux, no index") << 120.0 << -1.0 << -1 << insufficient;
    QTest::newRow("index, no flux") << -1.0 << 2.0 << 2 << insufficient;
    QTest::newRow("Kp 5 exactly") << 70.0 << 5.0 << -1 << high;
    QTest::newRow("Kp 4.99") << 200.0 << 4.99 << -1 << unsettled;
    QTest::newRow("Kp 4 exactly") << 200.0 << 4.0 << -1 << unsettled;
    QTest::newRow("K 5 without Kp") << 200.0 << -1.0 << 5 << high;
    QTest::newRow("Kp wins over K") << 200.0 << 1.0 << 7 << highFlux;
    QTest::newRow("flux 150") << 150.0 << 3.99 << -1 << highFlux;
    QTest::newRow("flux 149.9") << 149.9 << 0.0 << -1 << moderate;
    QTest::newRow("flux 100") << 100.0 << 0.0 << -1 << moderate;
    QTest::newRow("flux 99.9") << 99.9 << 0.0 << -1 << low;
}

void TestPropagationReport::assessment()
{
    QFETCH(double, flux);
    QFETCH(double, kp);
    QFETCH(int, kIndex);
    QFETCH(QString, sentence);
    PropagationData data;
    data.solarFluxValid = flux >= 0;
    data.solarFlux = flux;
    data.kpValid = kp >= 0;
    data.kp = kp;
    data.kIndexValid = kIndex >= 0;
    data.kIndex = kIndex;
    QCOMPARE(assessConditions(data), sentence);
    QVERIFY(buildReportHtml(data, {}).contains(QStringLiteral("<p><b>%1</b></p>").arg(sentence)));
}

void TestPropagationReport::golden_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    for (const char *language : {"en", "it"}) {
#ifndef CORVIN_HAVE_CATALOGUE
        if (QByteArray(language) == "it")
            continue; // the UI-free build has no Italian catalogue
#endif
        for (const char *suffix : {"html", "txt"})
            QTest::addRow("%s %s", language, suffix)
                << QString::fromLatin1(language)
                << QStringLiteral("report_%1.%2")
                       .arg(QLatin1String(language), QLatin1String(suffix));
    }
}

void TestPropagationReport::golden()
{
    QFETCH(QString, language);
    QFETCH(QString, file);
    QTranslator translator;
    if (language == QLatin1String("it")) {
        QVERIFY(translator.load(QStringLiteral(":/Corvin/i18n/corvin_it.qm")));
        setLanguage(language, &translator);
    }
    const QString actual = file.endsWith(QLatin1String(".html"))
                               ? buildReportHtml(sampleRecord(), sampleSite())
                               : buildReportText(sampleRecord(), sampleSite());
    QCoreApplication::removeTranslator(&translator);
    const QString expected = QString::fromUtf8(fixture(QStringLiteral("golden/") + file));
    if (actual != expected) {
        QFile dump(QDir::temp().filePath(file));
        if (dump.open(QIODevice::WriteOnly))
            dump.write(actual.toUtf8());
        QFAIL(qPrintable(QStringLiteral("differs from the reviewed copy; this run's page is in ") +
                         dump.fileName()));
    }
}

void TestPropagationReport::insertedTextIsEscaped()
{
    PropagationData data;
    data.bands.insert(QStringLiteral("<6m>"),
                      {QStringLiteral("<script>x</script>"), QStringLiteral("Good")});
    data.wwv = QStringLiteral(":Product: a < b & c\r\n:Issued: \"now\"\nend");
    data.errors << QStringLiteral("HamQSL: <b>HTTP 403</b>");
    const PropagationSite site{QStringLiteral("Tom & Jerry's <shack>"), 0, false, 0, false};
    const QString html = buildReportHtml(data, site);
    QVERIFY(!html.contains(QStringLiteral("<script>")));
    QVERIFY(!html.contains(QStringLiteral("<shack>")));
    QVERIFY(!html.contains(QStringLiteral("<b>HTTP")));
    QVERIFY(html.contains(QStringLiteral("<td>Tom &amp; Jerry's &lt;shack&gt;</td>")));
    QVERIFY(html.contains(QStringLiteral("<tr><td>&lt;6m&gt;</td><td>N/A</td><td style=\"color:"
                                         "#57606a;font-weight:bold\">&lt;script&gt;x&lt;/script"
                                         "&gt;</td><td style=\"color:#1a7f37;font-weight:bold\">"
                                         "Good</td></tr>")));
    QVERIFY(html.contains(QStringLiteral("<p>:Product: a &lt; b &amp; c<br>:Issued: &quot;now"
                                         "&quot;<br>end</p>")));
    QVERIFY(html.contains(QStringLiteral("<ul><li>HamQSL: &lt;b&gt;HTTP 403&lt;/b&gt;</li></ul>")));
    // The text report keeps the texts as they are.
    const QString text = buildReportText(data, site);
    QVERIFY(text.contains(QStringLiteral("Listening location: Tom & Jerry's <shack>\n")));
    QVERIFY(text.contains(QStringLiteral(":Product: a < b & c\n:Issued: \"now\"\nend\n")));
}

void TestPropagationReport::missingValuesAndAnnotations()
{
    PropagationData empty;
    QString text = buildReportText(empty, {});
    for (const char *line : {"Listening location: N/A\n", "Latitude: N/A\n", "Retrieved at: N/A\n",
                             "Source status: Sources unavailable\n", "SFI / F10.7: N/A\n",
                             "X-ray class (HamQSL): N/A\n", "HamQSL update: N/A\n",
                             "80 m / 40 m  |  3.5–3.8 / 7.0–7.2 MHz  |  Day: N/A  |  Night: N/A\n",
                             "NOAA WWV bulletin\nN/A\n"})
        QVERIFY2(text.contains(QString::fromUtf8(line)), line);
    QVERIFY(!text.contains(QStringLiteral("Source diagnostics")));
    QVERIFY(!buildReportHtml(empty, {}).contains(QStringLiteral("<ul>")));

    PropagationData hamQslOnly;
    hamQslOnly.solarFlux = 98.04;
    hamQslOnly.solarFluxValid = true;
    text = buildReportText(hamQslOnly, {});
    QVERIFY(text.contains(QStringLiteral("SFI / F10.7: 98.0 sfu (HamQSL)\n")));
    QVERIFY(text.contains(QStringLiteral("Source status: Data received\n")));
    hamQslOnly.hamqslUpdated = utc(5, 18, 0);
    hamQslOnly.errors << QStringLiteral("NOAA F10.7: HTTP 404");
    text = buildReportText(hamQslOnly, {});
    QVERIFY(
        text.contains(QStringLiteral("SFI / F10.7: 98.0 sfu (HamQSL, 2024-03-05 18:00 UTC)\n")));
    QVERIFY(text.contains(QStringLiteral("Source status: Partial data\n")));
    QVERIFY(text.endsWith(QStringLiteral("\n\nSource diagnostics\nNOAA F10.7: HTTP 404\n")));

    PropagationData conditions;
    conditions.bands.insert(QStringLiteral("30m-20m"),
                            {QStringLiteral(" GOOD "), QStringLiteral("poor")});
    conditions.bands.insert(QStringLiteral("10m"), {QStringLiteral("Band Closed"), QString()});
    const QString html = buildReportHtml(conditions, {});
    QVERIFY(html.contains(QStringLiteral("<tr><td>30 m / 20 m</td><td>10.10–10.15 / 14.00–14.35"
                                         "</td><td style=\"color:#1a7f37;font-weight:bold\">Good"
                                         "</td><td style=\"color:#b42318;font-weight:bold\">Poor"
                                         "</td></tr>")));
    // Further bands follow the four known ones.
    QVERIFY(html.indexOf(QStringLiteral("<td>10m</td>")) >
            html.indexOf(QStringLiteral("12 m / 10 m")));
}

void TestPropagationReport::italianNumbers()
{
    // Numbers follow the language even without the catalogue's texts.
    setLanguage(QStringLiteral("it"), nullptr);
    PropagationData data = sampleRecord();
    data.kp = 3.67;
    data.kpValid = true;
    data.kpTime = utc(5, 20, 59);
    data.solarWind = 1412.6;
    const QString text = buildReportText(data, {QString(), -33.5, true, 151.25, true});
    for (const char *fragment :
         {"-33,500000°", "151,250000°", "155,3 sfu", "3,67 (NOAA, 2024-03-05 20:59 UTC)",
          "1412,6 km/s", "3,5–3,8 / 7,0–7,2", "18,068–18,168 / 21,00–21,45"})
        QVERIFY2(text.contains(QString::fromUtf8(fragment)), fragment);
    QVERIFY(
        buildReportHtml(data, {}).startsWith(QStringLiteral("<!doctype html><html lang=\"it\">")));
}

void TestPropagationReport::timesAreUtcInAnyZone()
{
    // Registered to run with TZ=Pacific/Kiritimati (UTC+14): a local time would change the date.
    QCOMPARE(QDateTime(QDate(2024, 3, 5), QTime(12, 0)).offsetFromUtc(), 14 * 3600);
    PropagationData data;
    data.retrieved = QDateTime(QDate(2024, 3, 6), QTime(11, 10), Qt::LocalTime);
    data.kp = 2;
    data.kpValid = true;
    data.kpTime = ProductParsers::parseNoaaTime(QStringLiteral("2024-03-05T20:59:00"));
    const QString text = buildReportText(data, {});
    QVERIFY(text.contains(QStringLiteral("Retrieved at: 2024-03-05 21:10 UTC\n")));
    QVERIFY(text.contains(QStringLiteral("(NOAA, 2024-03-05 20:59 UTC)")));
    QCOMPARE(ReportExport::proposedBaseName(data.retrieved),
             QStringLiteral("propagation_20240305_211000Z"));
}

void TestPropagationReport::pdfIsAPage()
{
    const QByteArray pdf = ReportExport::renderPdf(sampleRecord(), sampleSite());
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    QVERIFY2(pdf.size() > 5000, QByteArray::number(pdf.size()).constData());
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    // A4 portrait in points, and the title (UTF-16 with its byte-order mark) in the document
    // information.
    QVERIFY(pdf.contains("/MediaBox [0 0 595.000000 842.000000]"));
    QByteArray title("/Title (\xfe\xff");
    for (const QChar c : QStringLiteral("HF propagation report"))
        title.append('\0').append(char(c.unicode()));
    QVERIFY(pdf.contains(title + ')'));
}

void TestPropagationReport::exportRules()
{
    ReportExport::Format format;
    QVERIFY(ReportExport::formatForPath(QStringLiteral("/x/Report.HTML"), format));
    QCOMPARE(format, ReportExport::Format::Html);
    QVERIFY(ReportExport::formatForPath(QStringLiteral("a.b.pdf"), format));
    QCOMPARE(format, ReportExport::Format::Pdf);
    QVERIFY(ReportExport::formatForPath(QStringLiteral("r.Txt"), format));
    QCOMPARE(format, ReportExport::Format::Text);
    for (const char *refused : {"r.htm", "r.doc", "r", "r.html.bak", "r.", ".txt.gz"})
        QVERIFY2(!ReportExport::formatForPath(QString::fromLatin1(refused), format), refused);

    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("report.txt"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(100000, 'x')) == 100000);
    old.close();
    QCOMPARE(ReportExport::write(target, ReportExport::Format::Text, sampleRecord(), sampleSite()),
             QString());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(old.readAll()), buildReportText(sampleRecord(), sampleSite()));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.txt"});

    const QString html = folder.filePath(QStringLiteral("r.html"));
    QCOMPARE(ReportExport::write(html, ReportExport::Format::Html, sampleRecord(), sampleSite()),
             QString());
    QFile written(html);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), buildReportHtml(sampleRecord(), sampleSite()).toUtf8());

    const QString nowhere = folder.filePath(QStringLiteral("missing/r.pdf"));
    QVERIFY(!ReportExport::write(nowhere, ReportExport::Format::Pdf, sampleRecord(), sampleSite())
                 .isEmpty());
    QVERIFY(!QFile::exists(nowhere));
}

QTEST_MAIN(TestPropagationReport)
#include "tst_propagationreport.moc"
