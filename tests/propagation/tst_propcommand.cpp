#include "loopbackhttpserver.h"
#include "settingskeys.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// corvin-prop report end to end: the tool downloads from a loopback server named by the
// base-URL variables, writes the report where asked, keeps the last report for --offline, falls
// back to it like the tab, reports sources and ages on stderr, refuses bad arguments, and
// stops on SIGTERM without leaving a file.
class TestPropCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void reportFromTheServers();
    void failedSourcesAndTheSavedReport();
    void offlineExportsWithoutDownloading();
    void italian();
    void usageErrors_data();
    void usageErrors();
    void sigtermStopsWithoutAFile();

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    // Runs the tool to its end while this thread keeps serving.
    Run run(const QStringList &arguments);
    void serveFixtures();
    void serveFailures();
    // The data folder of the test, the servers on the loopback server.
    QProcessEnvironment environment() const;

    LoopbackHttpServer m_server;
    QTemporaryDir m_data;
};

void TestPropCommand::initTestCase()
{
    QVERIFY(m_server.start());
    QVERIFY(m_data.isValid());
}

void TestPropCommand::init()
{
    QDir(m_data.path()).removeRecursively();
    QDir().mkpath(m_data.path());
    serveFixtures();
    m_server.requests.clear();
    QSettings settings(QString::fromLatin1(SettingsKeys::organization),
                       QString::fromLatin1(SettingsKeys::application));
    settings.clear();
}

void TestPropCommand::serveFixtures()
{
    m_server.routeFile("/hamqsl/solarxml.php", QStringLiteral("hamqsl.xml"));
    m_server.routeFile("/swpc/json/planetary_k_index_1m.json", QStringLiteral("kp.json"));
    m_server.routeFile("/swpc/json/f107_cm_flux.json", QStringLiteral("f107.json"));
    m_server.routeFile("/swpc/text/wwv.txt", QStringLiteral("wwv.txt"));
}

void TestPropCommand::serveFailures()
{
    LoopbackHttpServer::Response unavailable;
    unavailable.status = 503;
    for (const char *path : {"/hamqsl/solarxml.php", "/swpc/json/planetary_k_index_1m.json",
                             "/swpc/json/f107_cm_flux.json", "/swpc/text/wwv.txt"})
        m_server.route(path, unavailable);
}

QProcessEnvironment TestPropCommand::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVIN_DATA_DIR"), m_data.path());
    environment.insert(QStringLiteral("CORVIN_HAMQSL_BASE_URL"),
                       m_server.baseUrl().toString() + QStringLiteral("/hamqsl"));
    environment.insert(QStringLiteral("CORVIN_SWPC_BASE_URL"),
                       m_server.baseUrl().toString() + QStringLiteral("/swpc"));
    return environment;
}

TestPropCommand::Run TestPropCommand::run(const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(qEnvironmentVariable("CORVIN_PROP"),
               QStringList{QStringLiteral("report")} + arguments);
    Run result;
    [&] {
        QVERIFY(tool.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(tool.state() == QProcess::NotRunning, 30000);
    }();
    result.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    result.out = QString::fromUtf8(tool.readAllStandardOutput());
    result.err = QString::fromUtf8(tool.readAllStandardError());
    return result;
}

void TestPropCommand::reportFromTheServers()
{
    QSettings settings(QString::fromLatin1(SettingsKeys::organization),
                       QString::fromLatin1(SettingsKeys::application));
    settings.setValue(QString::fromLatin1(SettingsKeys::locationName), QStringLiteral("Shack"));
    settings.setValue(QString::fromLatin1(SettingsKeys::locationLatitude), 45.5);
    settings.sync();

    const Run stored = run({});
    QCOMPARE(stored.exitCode, 0);
    QVERIFY(stored.out.startsWith(QStringLiteral("HF propagation report\n\nListening location: "
                                                 "Shack\nLatitude: 45.500000°\nLongitude: N/A\n")));
    QVERIFY(stored.out.contains(
        QStringLiteral("Estimated planetary Kp: 3.67 (NOAA, 2024-03-05 20:59 UTC)\n")));
    QVERIFY(!stored.err.contains(QStringLiteral("error:")));
    const QRegularExpression ages(
        QStringLiteral("^age: HamQSL: \\d+\\.\\d h \\[stale\\]\\n"
                       "age: NOAA Kp: [^\\n]+\\nage: NOAA F10.7: [^\\n]+\\n"
                       "age: NOAA WWV: [^\\n]+\\n"),
        QRegularExpression::MultilineOption);
    QVERIFY2(ages.match(stored.err).hasMatch(), qPrintable(stored.err));
    QCOMPARE(m_server.requests.size(), 4);

    // Given coordinates replace the stored ones.
    const Run given =
        run({QStringLiteral("--name"), QStringLiteral("Portable"), QStringLiteral("--lat"),
             QStringLiteral("-33,5"), QStringLiteral("--lon"), QStringLiteral("151.25")});
    QCOMPARE(given.exitCode, 0);
    QVERIFY(
        given.out.contains(QStringLiteral("Listening location: Portable\nLatitude: -33.500000°\n"
                                          "Longitude: 151.250000°\n")));
}

void TestPropCommand::failedSourcesAndTheSavedReport()
{
    serveFailures();
    const Run nothing = run({});
    QCOMPARE(nothing.exitCode, 1);
    for (const char *source : {"HamQSL", "NOAA Kp", "NOAA F10.7", "NOAA WWV"})
        QVERIFY2(nothing.err.contains(
                     QStringLiteral("error: %1: HTTP 503\n").arg(QLatin1String(source))),
                 source);
    QVERIFY(nothing.out.contains(QStringLiteral("Source status: Sources unavailable\n")));
    QVERIFY(!nothing.err.contains(QStringLiteral("age:")));

    serveFixtures();
    QCOMPARE(run({}).exitCode, 0); // kept for later
    serveFailures();
    const Run fallback = run({});
    QCOMPARE(fallback.exitCode, 0);
    QVERIFY(fallback.err.contains(QStringLiteral("note: no source responded with usable data; "
                                                 "showing the report retrieved at ")));
    QVERIFY(fallback.out.contains(QStringLiteral("Source status: Data received\n")));
    QVERIFY(fallback.out.contains(QStringLiteral("A index (HamQSL): 10\n")));
}

void TestPropCommand::offlineExportsWithoutDownloading()
{
    QCOMPARE(run({QStringLiteral("--offline")}).exitCode, 1); // nothing saved yet
    QCOMPARE(run({}).exitCode, 0);
    m_server.requests.clear();

    const QString html = QDir(m_data.path()).filePath(QStringLiteral("out/report.HTML"));
    QDir().mkpath(QFileInfo(html).path());
    const Run offline = run({QStringLiteral("--offline"), QStringLiteral("--out"), html});
    QCOMPARE(offline.exitCode, 0);
    QCOMPARE(offline.out, QDir::toNativeSeparators(html) + QLatin1Char('\n'));
    QFile page(html);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().startsWith("<!doctype html><html lang=\"en\">"));

    const QString pdf = QDir(m_data.path()).filePath(QStringLiteral("out/report.bin"));
    QCOMPARE(run({QStringLiteral("--offline"), QStringLiteral("--format"), QStringLiteral("pdf"),
                  QStringLiteral("--out"), pdf})
                 .exitCode,
             0);
    QFile document(pdf);
    QVERIFY(document.open(QIODevice::ReadOnly));
    QVERIFY(document.readAll().startsWith("%PDF-"));
    QCOMPARE(m_server.requests.size(), 0);
}

void TestPropCommand::italian()
{
#ifdef CORVIN_HAVE_CATALOGUE
    const Run italian = run({QStringLiteral("--lang"), QStringLiteral("it"),
                             QStringLiteral("--lat"), QStringLiteral("45.5")});
    QCOMPARE(italian.exitCode, 0);
    QVERIFY(
        italian.out.startsWith(QStringLiteral("Report di propagazione HF\n\nLuogo di ascolto: N/D\n"
                                              "Latitudine: 45,500000°\n")));
#else
    const Run italian = run({QStringLiteral("--lang"), QStringLiteral("it")});
    QCOMPARE(italian.exitCode, 2);
    QVERIFY(italian.err.contains(QStringLiteral("error: this build has no Italian catalogue")));
#endif
}

void TestPropCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("format") << QStringList{"--format", "xml"}
                            << "--format must be text, html or pdf";
    QTest::newRow("pdf to stdout")
        << QStringList{"--format", "pdf"} << "--format pdf needs --out FILE";
    QTest::newRow("latitude 91") << QStringList{"--lat", "91"}
                                 << "--lat must be signed decimal degrees";
    QTest::newRow("hemisphere") << QStringList{"--lon", "12E"}
                                << "--lon must be signed decimal degrees";
    QTest::newRow("language") << QStringList{"--lang", "fr"} << "--lang must be en or it";
    QTest::newRow("unknown") << QStringList{"--bogus", "1"} << "unknown option: --bogus";
    QTest::newRow("missing value")
        << QStringList{"--out"} << "missing value or unknown option: --out";
}

void TestPropCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run refused = run(arguments);
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.startsWith(QStringLiteral("error: ") + message), qPrintable(refused.err));
    QVERIFY(refused.err.contains(QStringLiteral("usage: corvin-prop report ")));
    QCOMPARE(m_server.requests.size(), 0);
}

void TestPropCommand::sigtermStopsWithoutAFile()
{
    LoopbackHttpServer::Response silent;
    silent.neverAnswer = true;
    m_server.route("/hamqsl/solarxml.php", silent);
    const QString target = QDir(m_data.path()).filePath(QStringLiteral("stopped.txt"));
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(qEnvironmentVariable("CORVIN_PROP"),
               {QStringLiteral("report"), QStringLiteral("--out"), target});
    QVERIFY(tool.waitForStarted(10000));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requests.size(), 4, 20000);
    QTest::qWait(100);
    ::kill(pid_t(tool.processId()), SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(tool.state() == QProcess::NotRunning, 5000);
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(QString::fromUtf8(tool.readAllStandardError())
                .contains(QStringLiteral("error: stopped\n")));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(QDir(m_data.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestPropCommand)
#include "tst_propcommand.moc"
