#include "loopbackhttpserver.h"
#include "productparsers.h"
#include "propagationdata.h"

#include <QtTest>

using namespace ProductParsers;

// The four product readers on our fixtures and their variants: what counts as a value, what is
// refused, and that a body without usable data leaves the record untouched.
class TestProductParsers : public QObject
{
    Q_OBJECT

private slots:
    void hamQslFixture();
    void hamQslFields_data();
    void hamQslFields();
    void hamQslUnusable_data();
    void hamQslUnusable();
    void hamQslFluxYieldsToNoaa();
    void noaaTime_data();
    void noaaTime();
    void kp_data();
    void kp();
    void f107_data();
    void f107();
    void wwv_data();
    void wwv();
    void wwvIssued();
};

namespace {

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// A HamQSL document with one solardata holding the given children.
QByteArray hamQsl(const QByteArray &children)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<solar><solardata>" + children +
           "</solardata></solar>\n";
}

// A record that a failed read must leave exactly as it was.
PropagationData sentinel()
{
    PropagationData record;
    record.kp = 2.0;
    record.kpValid = true;
    record.errors << QStringLiteral("earlier");
    return record;
}

} // namespace

void TestProductParsers::hamQslFixture()
{
    PropagationData record;
    QVERIFY(parseHamQsl(fixture(QStringLiteral("hamqsl.xml")), record));
    QCOMPARE(record.hamqslUpdated, utc(2024, 3, 5, 18, 0));
    QVERIFY(record.solarFluxValid);
    QCOMPARE(record.solarFlux, 152.0);
    QVERIFY(record.aIndexValid && record.kIndexValid && record.solarWindValid);
    QCOMPARE(record.aIndex, 10);
    QCOMPARE(record.kIndex, 3);
    QCOMPARE(record.solarWind, 412.6);
    QCOMPARE(record.xray, QStringLiteral("C1.4"));
    QCOMPARE(record.bands.size(), 4);
    QCOMPARE(record.bands.value(QStringLiteral("12m-10m")),
             qMakePair(QStringLiteral("Fair"), QStringLiteral("Poor")));
    QCOMPARE(record.bands.firstKey(), QStringLiteral("12m-10m")); // ordered by name
    QVERIFY(!record.kpValid && record.wwv.isEmpty());
}

void TestProductParsers::hamQslFields_data()
{
    QTest::addColumn<QByteArray>("children");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected"); // "-": absent

    QTest::newRow("padded aindex") << QByteArray("<aindex>   7 </aindex>") << "a"
                                   << "7";
    QTest::newRow("aindex 400") << QByteArray("<aindex>400</aindex>") << "a"
                                << "400";
    QTest::newRow("aindex 401") << QByteArray("<aindex>401</aindex>") << "a"
                                << "-";
    QTest::newRow("aindex fraction") << QByteArray("<aindex>7.5</aindex>") << "a"
                                     << "-";
    QTest::newRow("kindex 0") << QByteArray("<kindex> 0</kindex>") << "k"
                              << "0";
    QTest::newRow("kindex 10") << QByteArray("<kindex>10</kindex>") << "k"
                               << "-";
    QTest::newRow("kindex No Report") << QByteArray("<kindex>No Report</kindex>") << "k"
                                      << "-";
    QTest::newRow("later value wins")
        << QByteArray("<kindex>2</kindex><kindex>No Report</kindex>") << "k"
        << "-";
    QTest::newRow("flux 1") << QByteArray("<solarflux>1</solarflux>") << "flux"
                            << "1";
    QTest::newRow("flux 0.5") << QByteArray("<solarflux>0.5</solarflux>") << "flux"
                              << "-";
    QTest::newRow("flux 1000.1") << QByteArray("<solarflux>1000.1</solarflux>") << "flux"
                                 << "-";
    QTest::newRow("flux comma") << QByteArray("<solarflux>152,3</solarflux>") << "flux"
                                << "-";
    QTest::newRow("flux nan") << QByteArray("<solarflux>nan</solarflux>") << "flux"
                              << "-";
    QTest::newRow("wind 5000") << QByteArray("<solarwind> 5000</solarwind>") << "wind"
                               << "5000";
    QTest::newRow("wind 5001") << QByteArray("<solarwind>5001</solarwind>") << "wind"
                               << "-";
    QTest::newRow("xray lower case") << QByteArray("<xray> m2.1 </xray>") << "xray"
                                     << "M2.1";
    QTest::newRow("xray integer") << QByteArray("<xray>X10</xray>") << "xray"
                                  << "X10";
    QTest::newRow("xray No Report") << QByteArray("<xray>No Report</xray>") << "xray"
                                    << "-";
    QTest::newRow("xray class D") << QByteArray("<xray>D1.0</xray>") << "xray"
                                  << "-";
    QTest::newRow("xray trailing dot") << QByteArray("<xray>C1.</xray>") << "xray"
                                       << "-";
    QTest::newRow("extra band")
        << QByteArray("<calculatedconditions><band name=\"6m\" time=\"day\">Band Closed</band>"
                      "</calculatedconditions>")
        << "bands"
        << "6m:Band Closed/";
    QTest::newRow("band without name, text or known time")
        << QByteArray("<calculatedconditions><band name=\"6m\" time=\"day\"> </band>"
                      "<band name=\"6m\" time=\"dusk\">Good</band><band time=\"day\">Good</band>"
                      "<band name=\"80m-40m\" time=\"night\">Poor</band><note>x</note>"
                      "</calculatedconditions>")
        << "bands"
        << "80m-40m:/Poor";
}

void TestProductParsers::hamQslFields()
{
    QFETCH(QByteArray, children);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    PropagationData record;
    parseHamQsl(hamQsl(children), record);
    const auto shown = [](bool valid, double value) {
        return valid ? QString::number(value) : QStringLiteral("-");
    };
    QStringList bands;
    for (auto it = record.bands.cbegin(); it != record.bands.cend(); ++it)
        bands << it.key() + QLatin1Char(':') + it.value().first + QLatin1Char('/') +
                     it.value().second;
    const QHash<QString, QString> fields = {
        {QStringLiteral("a"), shown(record.aIndexValid, record.aIndex)},
        {QStringLiteral("k"), shown(record.kIndexValid, record.kIndex)},
        {QStringLiteral("flux"), shown(record.solarFluxValid, record.solarFlux)},
        {QStringLiteral("wind"), shown(record.solarWindValid, record.solarWind)},
        {QStringLiteral("xray"), record.xray.isEmpty() ? QStringLiteral("-") : record.xray},
        {QStringLiteral("bands"), bands.isEmpty() ? QStringLiteral("-") : bands.join(',')},
    };
    QCOMPARE(fields.value(field), expected);
}

void TestProductParsers::hamQslUnusable_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray document = fixture(QStringLiteral("hamqsl.xml"));
    QTest::newRow("updated alone") << hamQsl("<updated>05 Mar 2024 1800 GMT</updated>");
    QTest::newRow("all No Report")
        << hamQsl("<solarflux>No Report</solarflux><aindex>No Report</aindex>"
                  "<kindex>No Report</kindex><xray>No Report</xray>");
    QTest::newRow("truncated") << document.left(document.indexOf("</solardata>"));
    QTest::newRow("cut mid tag") << document.left(document.size() / 2);
    QTest::newRow("garbage after root") << document + "<solar/>";
    QTest::newRow("html page") << QByteArray("<!DOCTYPE html><html><head><title>503</title></head>"
                                             "<body><p>Service unavailable</p></body></html>");
    QTest::newRow("other root") << QByteArray("<weather><solardata><aindex>5</aindex>"
                                              "</solardata></weather>");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("json") << fixture(QStringLiteral("kp.json"));
}

void TestProductParsers::hamQslUnusable()
{
    QFETCH(QByteArray, body);
    PropagationData record = sentinel();
    QVERIFY(!parseHamQsl(body, record));
    QCOMPARE(record, sentinel());
}

void TestProductParsers::hamQslFluxYieldsToNoaa()
{
    // ISO-8859-1 text in a skipped element must not upset the reader.
    const QByteArray body = hamQsl("<solarflux>140</solarflux><latdegree>67.5\xb0</latdegree>");
    PropagationData record;
    QVERIFY(parseF107(fixture(QStringLiteral("f107.json")), record));
    QVERIFY(parseHamQsl(body, record));
    QCOMPARE(record.solarFlux, 155.3);
    QCOMPARE(record.fluxTime, utc(2024, 3, 5, 20, 0));

    PropagationData hamQslFirst;
    QVERIFY(parseHamQsl(body, hamQslFirst));
    QCOMPARE(hamQslFirst.solarFlux, 140.0);
    QVERIFY(parseF107(fixture(QStringLiteral("f107.json")), hamQslFirst));
    QCOMPARE(hamQslFirst, record);
}

void TestProductParsers::noaaTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime noon = utc(2024, 3, 5, 12, 0);
    QTest::newRow("no zone") << "2024-03-05T12:00:00" << noon;
    QTest::newRow("Z") << "2024-03-05T12:00:00Z" << noon;
    QTest::newRow("+01:00") << "2024-03-05T13:00:00+01:00" << noon;
    QTest::newRow("-05:00") << "2024-03-05T07:00:00-05:00" << noon;
    QTest::newRow("space and fraction") << "2024-03-05 12:00:00.000" << noon;
    QTest::newRow("fraction") << "2024-03-05T12:00:00.250" << noon.addMSecs(250);
    QTest::newRow("padded") << "  2024-03-05T12:00:00 " << noon;
    QTest::newRow("next day") << "2024-03-05T23:30:00-01:00" << utc(2024, 3, 6, 0, 30);
    QTest::newRow("garbage") << "yesterday" << QDateTime();
    QTest::newRow("bad month") << "2024-13-05T12:00:00" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
}

void TestProductParsers::noaaTime()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const QDateTime actual = parseNoaaTime(text);
    QCOMPARE(actual, expected);
    if (actual.isValid())
        QCOMPARE(actual.timeSpec(), Qt::UTC);
}

void TestProductParsers::kp_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<double>("kp"); // -1: no usable data
    QTest::addColumn<QDateTime>("time");
    const QDateTime last = utc(2024, 3, 5, 20, 59);
    QTest::newRow("fixture") << fixture(QStringLiteral("kp.json")) << 3.67 << last;
    QTest::newRow("table with header, strings, spaces, CRLF")
        << fixture(QStringLiteral("kp-table.json")) << 4.0 << last;
    QTest::newRow("latest wins, not last")
        << QByteArray(R"([{"time_tag":"2024-03-05T21:00:00","estimated_kp":5.33},)"
                      R"({"time_tag":"2024-03-05T20:00:00","estimated_kp":1}])")
        << 5.33 << utc(2024, 3, 5, 21, 0);
    QTest::newRow("offset compared in UTC")
        << QByteArray(R"([{"time_tag":"2024-03-05T21:30:00+01:00","estimated_kp":2},)"
                      R"({"time_tag":"2024-03-05T20:45:00","estimated_kp":3}])")
        << 3.0 << utc(2024, 3, 5, 20, 45);
    QTest::newRow("out of range and missing skipped")
        << QByteArray(R"([{"time_tag":"2024-03-05T21:00:00","estimated_kp":9.01},)"
                      R"({"time_tag":"2024-03-05T21:01:00"},)"
                      R"({"time_tag":"2024-03-05T21:02:00","estimated_kp":null},)"
                      R"({"time_tag":"2024-03-05T21:03:00","estimated_kp":"4M"},)"
                      R"({"time_tag":"bad","estimated_kp":1},)"
                      R"({"time_tag":"2024-03-05T20:00:00","estimated_kp":0}])")
        << 0.0 << utc(2024, 3, 5, 20, 0);
    QTest::newRow("none usable") << QByteArray(
                                        R"([{"time_tag":"2024-03-05T21:00:00","estimated_kp":-1}])")
                                 << -1.0 << QDateTime();
    QTest::newRow("empty array") << QByteArray("[]") << -1.0 << QDateTime();
    QTest::newRow("object") << QByteArray(R"({"estimated_kp":3})") << -1.0 << QDateTime();
    const QByteArray file = fixture(QStringLiteral("kp.json"));
    QTest::newRow("truncated") << file.left(file.size() - 20) << -1.0 << QDateTime();
    QTest::newRow("html page") << QByteArray("<html><body>Moved</body></html>") << -1.0
                               << QDateTime();
}

void TestProductParsers::kp()
{
    QFETCH(QByteArray, body);
    QFETCH(double, kp);
    QFETCH(QDateTime, time);
    PropagationData record = sentinel();
    const bool usable = parseKp(body, record);
    QCOMPARE(usable, kp >= 0);
    if (!usable) {
        QCOMPARE(record, sentinel());
        return;
    }
    QVERIFY(record.kpValid);
    QCOMPARE(record.kp, kp);
    QCOMPARE(record.kpTime, time);
}

void TestProductParsers::f107_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<double>("flux"); // -1: no usable data
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("fixture: latest noon, null skipped")
        << fixture(QStringLiteral("f107.json")) << 155.3 << utc(2024, 3, 5, 20, 0);
    QTest::newRow("table") << fixture(QStringLiteral("f107-table.json")) << 151.7
                           << utc(2024, 3, 5, 20, 0);
    QTest::newRow("17, 20 noon, 23")
        << QByteArray(
               R"([{"time_tag":"2024-03-05T17:00:00","flux":150,"reporting_schedule":"Morning"},)"
               R"({"time_tag":"2024-03-05T20:00:00","flux":160,"reporting_schedule":"Noon"},)"
               R"({"time_tag":"2024-03-05T23:00:00","flux":170,"reporting_schedule":"Afternoon"}])")
        << 160.0 << utc(2024, 3, 5, 20, 0);
    QTest::newRow("flux bounds")
        << QByteArray(
               R"([{"time_tag":"2024-03-05T20:00:00","flux":0,"reporting_schedule":"Noon"},)"
               R"({"time_tag":"2024-03-04T20:00:00","flux":1000,"reporting_schedule":"Noon"},)"
               R"({"time_tag":"2024-03-06T20:00:00","flux":1000.5,"reporting_schedule":"Noon"}])")
        << 1000.0 << utc(2024, 3, 4, 20, 0);
    QTest::newRow("noon is case-sensitive")
        << QByteArray(
               R"([{"time_tag":"2024-03-05T20:00:00","flux":150,"reporting_schedule":"noon"}])")
        << -1.0 << QDateTime();
    QTest::newRow("only null flux")
        << QByteArray(
               R"([{"time_tag":"2024-03-05T20:00:00","flux":null,"reporting_schedule":"Noon"}])")
        << -1.0 << QDateTime();
    QTest::newRow("truncated") << fixture(QStringLiteral("f107.json")).left(300) << -1.0
                               << QDateTime();
}

void TestProductParsers::f107()
{
    QFETCH(QByteArray, body);
    QFETCH(double, flux);
    QFETCH(QDateTime, time);
    PropagationData record = sentinel();
    const bool usable = parseF107(body, record);
    QCOMPARE(usable, flux >= 0);
    if (!usable) {
        QCOMPARE(record, sentinel());
        return;
    }
    QVERIFY(record.solarFluxValid);
    QCOMPARE(record.solarFlux, flux);
    QCOMPARE(record.fluxTime, time);
}

void TestProductParsers::wwv_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("usable");
    const QByteArray text = fixture(QStringLiteral("wwv.txt"));
    QTest::newRow("fixture") << text << true;
    QTest::newRow("CRLF and blank lines around")
        << "\r\n  " + QByteArray(text).replace("\n", "\r\n") + "\r\n\r\n"
        << true;
    QTest::newRow("no issued line")
        << QByteArray(":Product: Geophysical Alert Message wwv.txt\nSolar flux 153\n") << false;
    QTest::newRow("other product")
        << QByteArray(":Product: 3-Day Forecast\n:Issued: 2024 Mar 05\n") << false;
    QTest::newRow("case") << QByteArray(":product: Geophysical Alert Message\n:Issued: x") << false;
    QTest::newRow("html page") << QByteArray("<!DOCTYPE html><html><body>:Issued:</body></html>")
                               << false;
}

void TestProductParsers::wwv()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, usable);
    PropagationData record = sentinel();
    QCOMPARE(parseWwv(body, record), usable);
    if (!usable) {
        QCOMPARE(record, sentinel());
        return;
    }
    QVERIFY(record.wwv.startsWith(QLatin1String(":Product:")));
    QCOMPARE(record.wwv, record.wwv.trimmed());
    QVERIFY(record.wwv.endsWith(QLatin1String("next 24 hours.")));
}

void TestProductParsers::wwvIssued()
{
    QCOMPARE(wwvIssuedTime(QString::fromUtf8(fixture(QStringLiteral("wwv.txt")))),
             utc(2024, 3, 5, 21, 5));
    QCOMPARE(wwvIssuedTime(QStringLiteral(":Product: x\r\n:Issued: 2024 Jan 7 0005 UTC\r\nx")),
             utc(2024, 1, 7, 0, 5));
    QVERIFY(!wwvIssuedTime(QStringLiteral(":Issued: 2024 Foo 07 0005 UTC")).isValid());
    QVERIFY(!wwvIssuedTime(QStringLiteral("no issued line")).isValid());
    QCOMPARE(parseHamQslUpdated(QStringLiteral(" 5  Mar 2024   0930 GMT ")),
             utc(2024, 3, 5, 9, 30));
    QVERIFY(!parseHamQslUpdated(QStringLiteral("05 Mar 2024 1800 UTC")).isValid());
    QVERIFY(!parseHamQslUpdated(QStringLiteral("05 Mrz 2024 1800 GMT")).isValid());
}

QTEST_GUILESS_MAIN(TestProductParsers)
#include "tst_productparsers.moc"
