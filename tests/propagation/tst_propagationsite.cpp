#include "productage.h"
#include "propagationcache.h"
#include "propagationdata.h"
#include "propagationsite.h"
#include "settingskeys.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// What the propagation core keeps and judges between refreshes: the listening location as
// typed and as stored, the saved report, and the age of each product.
class TestPropagationSite : public QObject
{
    Q_OBJECT

private slots:
    void parseCoordinate_data();
    void parseCoordinate();
    void storedLocation_data();
    void storedLocation();
    void cacheKeepsTheRecord();
    void cacheRefusesForeignFiles_data();
    void cacheRefusesForeignFiles();
    void productAges();
};

void TestPropagationSite::parseCoordinate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("limit");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "45,5" << 90.0 << true << 45.5;
    QTest::newRow("decimal point, spaces") << "  -12.25 " << 90.0 << true << -12.25;
    QTest::newRow("plus sign") << "+90" << 90.0 << true << 90.0;
    QTest::newRow("limit") << "-180" << 180.0 << true << -180.0;
    QTest::newRow("leading point") << ".5" << 90.0 << true << 0.5;
    QTest::newRow("trailing comma") << "7," << 90.0 << true << 7.0;
    QTest::newRow("over the limit") << "91" << 90.0 << false << 0.0;
    QTest::newRow("just over") << "90.0000001" << 90.0 << false << 0.0;
    QTest::newRow("hemisphere letter") << "45.5N" << 90.0 << false << 0.0;
    QTest::newRow("nan") << "nan" << 90.0 << false << 0.0;
    QTest::newRow("inf") << "inf" << 180.0 << false << 0.0;
    QTest::newRow("exponent") << "1e1" << 90.0 << false << 0.0;
    QTest::newRow("two separators") << "1.2.3" << 90.0 << false << 0.0;
    QTest::newRow("thousands") << "1,000.5" << 180.0 << false << 0.0;
    QTest::newRow("sign only") << "-" << 90.0 << false << 0.0;
    QTest::newRow("empty") << "" << 90.0 << false << 0.0;
    QTest::newRow("degree sign") << "45°" << 90.0 << false << 0.0;
}

void TestPropagationSite::parseCoordinate()
{
    QFETCH(QString, text);
    QFETCH(double, limit);
    QFETCH(bool, valid);
    QFETCH(double, value);
    bool ok = !valid;
    QCOMPARE(::parseCoordinate(text, limit, &ok), value);
    QCOMPARE(ok, valid);
}

void TestPropagationSite::storedLocation_data()
{
    QTest::addColumn<QVariant>("latitude");
    QTest::addColumn<QVariant>("longitude");
    QTest::addColumn<bool>("latitudeValid");
    QTest::addColumn<bool>("longitudeValid");
    QTest::newRow("numbers") << QVariant(41.9) << QVariant(-12.5) << true << true;
    QTest::newRow("texts as the INI file keeps them")
        << QVariant("41.9") << QVariant("-180") << true << true;
    QTest::newRow("absent") << QVariant() << QVariant() << false << false;
    QTest::newRow("out of range") << QVariant(90.5) << QVariant(181) << false << false;
    QTest::newRow("nan and words") << QVariant("nan") << QVariant("east") << false << false;
    QTest::newRow("infinity") << QVariant(qInf()) << QVariant(0) << false << true;
}

void TestPropagationSite::storedLocation()
{
    QFETCH(QVariant, latitude);
    QFETCH(QVariant, longitude);
    QFETCH(bool, latitudeValid);
    QFETCH(bool, longitudeValid);
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(SettingsKeys::locationName), QStringLiteral("Shack"));
    if (latitude.isValid())
        settings.setValue(QString::fromLatin1(SettingsKeys::locationLatitude), latitude);
    if (longitude.isValid())
        settings.setValue(QString::fromLatin1(SettingsKeys::locationLongitude), longitude);
    settings.sync();
    const QSettings reread(settings.fileName(), QSettings::IniFormat);
    const PropagationSite site = loadListeningLocation(reread);
    QCOMPARE(site.name, QStringLiteral("Shack"));
    QCOMPARE(site.latitudeValid, latitudeValid);
    QCOMPARE(site.longitudeValid, longitudeValid);
    if (latitudeValid)
        QCOMPARE(site.latitude, latitude.toDouble());
    if (longitudeValid)
        QCOMPARE(site.longitude, longitude.toDouble());
}

namespace {

PropagationData fullRecord()
{
    PropagationData data;
    const QDateTime base(QDate(2024, 3, 5), QTime(20, 59, 0, 125), Qt::UTC);
    data.retrieved = base.addSecs(600);
    data.hamqslUpdated = base.addSecs(-3 * 3600);
    data.fluxTime = base.addSecs(-3600);
    data.kpTime = base;
    data.solarFlux = 155.3;
    data.solarFluxValid = true;
    data.aIndex = 400;
    data.aIndexValid = true;
    data.kIndex = 0;
    data.kIndexValid = true;
    data.kp = 3.67;
    data.kpValid = true;
    data.solarWind = 412.6;
    data.solarWindValid = true;
    data.xray = QStringLiteral("C1.4");
    data.bands.insert(QStringLiteral("80m-40m"), {QStringLiteral("Fair"), QStringLiteral("Good")});
    data.bands.insert(QStringLiteral("6m"), {QStringLiteral("Band Closed"), QString()});
    data.wwv =
        QStringLiteral(":Product: Geophysical Alert Message\r\n:Issued: 2024 Mar 05 2105 UTC");
    data.errors << QStringLiteral("HamQSL: HTTP 403") << QStringLiteral("NOAA Kp: ü");
    return data;
}

} // namespace

void TestPropagationSite::cacheKeepsTheRecord()
{
    const PropagationData record = fullRecord();
    PropagationData read;
    QVERIFY(PropagationCache::fromJson(PropagationCache::toJson(record), read));
    QCOMPARE(read, record);

    PropagationData partial;
    partial.wwv = QStringLiteral(":Product: x");
    QVERIFY(PropagationCache::fromJson(PropagationCache::toJson(partial), read));
    QCOMPARE(read, partial);

    // Through the data folder (CORVIN_DATA_DIR of the test).
    QFile::remove(PropagationCache::path());
    QVERIFY(!PropagationCache::load(read));
    QCOMPARE(PropagationCache::save(record), QString());
    QVERIFY(PropagationCache::path().endsWith(QLatin1String("/propagation/last-report.json")));
    PropagationData loaded;
    QVERIFY(PropagationCache::load(loaded));
    QCOMPARE(loaded, record);
}

void TestPropagationSite::cacheRefusesForeignFiles_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected"); // "none" or the record's fields that survive
    const QByteArray good = PropagationCache::toJson(fullRecord());
    QTest::newRow("damaged") << good.left(good.size() / 2) << "none";
    QTest::newRow("other format") << QByteArray(good).replace("corvin-propagation", "other")
                                  << "none";
    QTest::newRow("newer version")
        << QByteArray(good).replace("\"version\": 1", "\"version\": 2") << "none";
    QTest::newRow("array") << QByteArray("[1,2]") << "none";
    QTest::newRow("no data")
        << QByteArray(R"({"format":"corvin-propagation","version":1,"kp":12,"solarFlux":"150"})")
        << "none";
    QTest::newRow("out-of-range values dropped")
        << QByteArray(R"({"format":"corvin-propagation","version":1,"kp":12,"aIndex":-1,)"
                      R"("solarWind":3.5e9,"kIndex":4})")
        << "k";
}

void TestPropagationSite::cacheRefusesForeignFiles()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    PropagationData read;
    read.xray = QStringLiteral("untouched");
    const bool loaded = PropagationCache::fromJson(json, read);
    QCOMPARE(loaded, expected != QLatin1String("none"));
    if (!loaded) {
        QCOMPARE(read.xray, QStringLiteral("untouched"));
        return;
    }
    QVERIFY(read.kIndexValid && !read.kpValid && !read.aIndexValid && !read.solarWindValid);
    QVERIFY(read.xray.isEmpty());
}

void TestPropagationSite::productAges()
{
    const PropagationData record = fullRecord(); // products at 17:59, 19:59, 20:59, 21:05
    const QDateTime now(QDate(2024, 3, 5), QTime(23, 59, 0, 125), Qt::UTC);
    QVector<ProductAge> ages = ::productAges(record, now);
    QCOMPARE(ages.size(), 4);
    QCOMPARE(ages[0].source, QStringLiteral("HamQSL"));
    QCOMPARE(ages[0].hours, 6.0);
    QVERIFY(!ages[0].stale); // exactly at the limit
    QCOMPARE(ages[1].source, QStringLiteral("NOAA Kp"));
    QCOMPARE(ages[1].hours, 3.0);
    QVERIFY(!ages[1].stale);
    QVERIFY(!ages[2].stale && ages[2].limitHours == 36.0);
    QCOMPARE(ages[3].time, QDateTime(QDate(2024, 3, 5), QTime(21, 5), Qt::UTC));

    ages = ::productAges(record, now.addSecs(60));
    QVERIFY(ages[0].stale && ages[1].stale && !ages[2].stale && !ages[3].stale);

    // Ahead of the clock: ten minutes are tolerated, more are flagged.
    ages = ::productAges(record, record.kpTime.addSecs(-600));
    QVERIFY(!ages[1].future);
    QVERIFY(!ages[1].stale);
    ages = ::productAges(record, record.kpTime.addSecs(-601));
    QVERIFY(ages[1].future);
    QVERIFY(ages[1].hours < 0);

    ages = ::productAges(PropagationData(), now);
    for (const ProductAge &age : ages)
        QVERIFY(!age.present() && !age.stale && !age.future);
}

QTEST_GUILESS_MAIN(TestPropagationSite)
#include "tst_propagationsite.moc"
