// corvin-prop sun, plan and map as a user runs them: the JSON keys and values (the same as the
// library's), the shaded map written as PNG or PPM, and the usage errors.

#include "greylineplanner.h"
#include "greylineshading.h"

#include <QtTest>

#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace Greyline;

class TestGreylineCommands : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    QTemporaryDir m_dir;

    static Run run(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("CORVIN_PROP_TOOL"), arguments);
        if (!tool.waitForFinished(60000))
            return {-1, {}, {}};
        return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
    }

    static QJsonArray windows(const MinuteWindows &list)
    {
        QJsonArray array;
        for (const MinuteWindow &window : list)
            array.append(QJsonArray{window.start, window.end});
        return array;
    }

private slots:
    void sunGivesOneObjectPerInstant()
    {
        const Run result = run({"sun", "2024-06-21T12:00Z", "2000-01-01T12:00:30Z", "--at",
                                "23.43,0.48", "-33.9,151.2"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.err.isEmpty());
        const QJsonArray instants = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(instants.size(), 2);
        const QJsonObject solstice = instants[0].toObject();
        QCOMPARE(solstice.keys(), (QStringList{"declination_deg", "elevations_deg",
                                               "subsolar_longitude_deg", "utc"}));
        QCOMPARE(solstice["utc"].toString(), QStringLiteral("2024-06-21T12:00Z"));
        const SunPosition sun = sunPosition(dayZero(QDate(2024, 6, 21)), 720.0);
        QCOMPARE(solstice["declination_deg"].toDouble(), sun.declination);
        QCOMPARE(solstice["subsolar_longitude_deg"].toDouble(), sun.subsolarLongitude);
        QVERIFY(std::abs(sun.declination - 23.43) < 0.01);
        const QJsonArray elevations = solstice["elevations_deg"].toArray();
        QCOMPARE(elevations.size(), 2);
        QVERIFY(elevations[0].toDouble() > 89.9);
        QCOMPARE(elevations[1].toDouble(), solarElevation(sun, -33.9, 151.2));
        // Seconds count as a fraction of the minute.
        const QJsonObject epoch = instants[1].toObject();
        QCOMPARE(epoch["declination_deg"].toDouble(),
                 sunPosition(dayZero(QDate(2000, 1, 1)), 720.5).declination);
        // Without --at: no elevations.
        const Run bare = run({"sun", "2024-11-03T23:59Z"});
        QCOMPARE(bare.exitCode, 0);
        const QJsonObject date = QJsonDocument::fromJson(bare.out).array()[0].toObject();
        QVERIFY(date["elevations_deg"].toArray().isEmpty());
        QVERIFY(date["subsolar_longitude_deg"].toDouble() > 175.0);
    }

    void planGivesTheDaysWindows_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("rx");
        QTest::addColumn<bool>("dx");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("RX and DX") << QStringList{"--rx", "41.9,12.5", "--dx", "-41.3,174.8"}
                                   << true << true << -6.0 << 3.0;
        QTest::newRow("DX only, narrow band")
            << QStringList{"--dx", "35.7,139.7", "--low", "-3", "--high", "0.5"} << false << true
            << -3.0 << 0.5;
        QTest::newRow("nothing") << QStringList{} << false << false << -6.0 << 3.0;
    }

    void planGivesTheDaysWindows()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, rx);
        QFETCH(bool, dx);
        QFETCH(double, low);
        QFETCH(double, high);
        const Run result = run(QStringList{"plan", "2024-06-21"} + arguments);
        QCOMPARE(result.exitCode, 0);
        const QJsonObject plan = QJsonDocument::fromJson(result.out).object();
        QCOMPARE(plan.keys(),
                 (QStringList{"best_minute", "best_score", "both_text", "both_windows", "date",
                              "dx_text", "dx_windows", "rx_text", "rx_windows"}));
        const Site rxSite{41.9, 12.5};
        const Site dxSite = rx ? Site{-41.3, 174.8} : Site{35.7, 139.7};
        const GreylinePlan expected =
            planGreylineDay(dayZero(QDate(2024, 6, 21)), rxSite, rx, dxSite, dx, low, high);
        QCOMPARE(plan["date"].toString(), QStringLiteral("2024-06-21"));
        QCOMPARE(plan["rx_windows"].toArray(), windows(expected.rxWindows));
        QCOMPARE(plan["dx_windows"].toArray(), windows(expected.dxWindows));
        QCOMPARE(plan["both_windows"].toArray(), windows(expected.bothWindows));
        QCOMPARE(plan["rx_text"].toString(), formatWindows(expected.rxWindows, false));
        QCOMPARE(plan["both_text"].toString(), formatWindows(expected.bothWindows, false));
        QCOMPARE(plan["best_minute"].toInt(), expected.bestMinute);
        QCOMPARE(plan["best_score"].toDouble(), expected.bestScore);
        QCOMPARE(expected.bestMinute >= 0, rx && dx);
        QCOMPARE(plan["dx_windows"].toArray().isEmpty(), !dx);
    }

    void mapWritesTheShading_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("PNG") << "shaded.png" << QByteArray("png");
        QTest::newRow("PPM, upper-case suffix") << "shaded.PPM" << QByteArray("ppm");
    }

    void mapWritesTheShading()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, format);
        QImage base(300, 150, QImage::Format_RGB32);
        base.fill(QColor(90, 120, 160));
        const QString basePath = m_dir.filePath(QStringLiteral("base.png"));
        QVERIFY(base.save(basePath));
        const QString out = m_dir.filePath(file);
        const Run result = run({"map", "2024-12-21T06:45Z", "--low", "-12", "--high", "6", "--base",
                                basePath, "--out", out});
        QCOMPARE(result.exitCode, 0);
        QImageReader reader(out);
        QCOMPARE(reader.format(), format);
        const QImage written = reader.read().convertToFormat(QImage::Format_RGB32);
        GreylineShading shading(base);
        shading.updateShading(sunPosition(dayZero(QDate(2024, 12, 21)), 405.0), -12.0, 6.0);
        QCOMPARE(written, shading.image());
    }

    void mapWithTheProgramsOwnWorld()
    {
        const QString out = m_dir.filePath(QStringLiteral("world.png"));
        const Run result = run({"map", "2024-06-21T12:00Z", "--out", out});
#ifdef CORVIN_HAS_WORLD_MAP
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QImage(out).size(), QSize(900, 450));
#else
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith("error: this build has no world map"));
        QVERIFY(!QFile::exists(out));
#endif
    }

    void mapFailures()
    {
        const QString out = m_dir.filePath(QStringLiteral("never.png"));
        Run result =
            run({"map", "2024-06-21T12:00Z", "--base", m_dir.filePath("absent.png"), "--out", out});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith("error: cannot read the image"));
        QVERIFY(!QFile::exists(out));
        QImage base(90, 45, QImage::Format_RGB32);
        base.fill(Qt::darkGreen);
        const QString basePath = m_dir.filePath(QStringLiteral("small.png"));
        QVERIFY(base.save(basePath));
        result = run({"map", "2024-06-21T12:00Z", "--base", basePath, "--out",
                      m_dir.filePath(QStringLiteral("no-such-folder/x.png"))});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith("error: cannot write"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("sun without instant") << QStringList{"sun"};
        QTest::newRow("no Z") << QStringList{"sun", "2024-06-21T12:00"};
        QTest::newRow("no such day") << QStringList{"sun", "2023-02-29T12:00Z"};
        QTest::newRow("before 1900") << QStringList{"sun", "1899-12-31T23:59Z"};
        QTest::newRow("hour 24") << QStringList{"sun", "2024-06-21T24:00Z"};
        QTest::newRow("latitude 91") << QStringList{"sun", "2024-06-21T12:00Z", "--at", "91,0"};
        QTest::newRow("no comma") << QStringList{"sun", "2024-06-21T12:00Z", "--at", "45.5"};
        QTest::newRow("--at alone") << QStringList{"sun", "2024-06-21T12:00Z", "--at"};
        QTest::newRow("plan without date") << QStringList{"plan", "--rx", "1,2"};
        QTest::newRow("two dates") << QStringList{"plan", "2024-06-21", "2024-06-22"};
        QTest::newRow("low above 0") << QStringList{"plan", "2024-06-21", "--low", "1"};
        QTest::newRow("high above 12") << QStringList{"plan", "2024-06-21", "--high", "13"};
        QTest::newRow("NaN longitude") << QStringList{"plan", "2024-06-21", "--dx", "1,nan"};
        QTest::newRow("unknown option") << QStringList{"plan", "2024-06-21", "--frob", "1"};
        QTest::newRow("map without --out") << QStringList{"map", "2024-06-21T12:00Z"};
        QTest::newRow("map to JPEG") << QStringList{"map", "2024-06-21T12:00Z", "--out", "x.jpg"};
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.startsWith("error: "), result.err.constData());
        QVERIFY(result.err.contains("usage: corvin-prop " + arguments.first().toLatin1()));
    }
};

QTEST_GUILESS_MAIN(TestGreylineCommands)
#include "tst_greylinecommands.moc"
