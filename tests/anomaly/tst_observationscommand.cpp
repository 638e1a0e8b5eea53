// corvin-dsp observations as a user runs it: the report and the context list equal the
// library's, a --config file stands for the panel's rules, damaged files still give a report,
// and mistakes on the command line are usage errors.

#include "archivefixture.h"
#include "archivejson.h"
#include "detectorsettings.h"
#include "observationreport.h"
#include "toolrun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ArchiveFixture;

class TestObservationsCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsTheReport_data();
    void printsTheReport();
    void listsTheContexts();
    void usageErrors_data();
    void usageErrors();

private:
    ToolRun::Result run(const QStringList &arguments)
    {
        return ToolRun::run(qEnvironmentVariable("CORVIN_DSP_TOOL"),
                            QStringList{"observations"} + arguments);
    }

    QTemporaryDir m_dir;
    QString m_config;
};

void TestObservationsCommand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString events = m_dir.filePath(QStringLiteral("anomaly"));
    QVERIFY(QDir().mkpath(events + QStringLiteral("/observations")));
    QVERIFY(writeJson(events + QStringLiteral("/observations/a.json"),
                      log(QStringLiteral("a"), true, 48000.0 * 3600, 3600, 2)));
    QVERIFY(writeBytes(events + QStringLiteral("/observations/broken.json"), "{\"schema"));
    QVERIFY(writeBytes(events + QStringLiteral("/observations/huge.json"),
                       QByteArray(ArchiveJson::maxFileBytes + 1, ' ')));
    for (int i = 0; i < 5; ++i) {
        const QJsonObject good =
            snapshot("a", "NEW", "autocorrelation", 0.95 + i * 0.01, true, 0.8);
        const QJsonObject bad =
            snapshot("a", "CHANGE", "autocorrelation", 0.81 + i * 0.0175, true, 0.8);
        const QJsonObject interesting = review("INTERESTING");
        const QJsonObject falseAlarm = review("FALSE_ALARM");
        QVERIFY(
            writeEvent(events, QStringLiteral("145.500000_good%1").arg(i), &good, &interesting));
        QVERIFY(writeEvent(events, QStringLiteral("145.500000_bad%1").arg(i), &bad, &falseAlarm));
    }
    QVERIFY(writeEvent(events, QStringLiteral("145.500000_bare"), nullptr));
    // The panel's rules: autocorrelation only, threshold 0.8.
    m_config = m_dir.filePath(QStringLiteral("rules.json"));
    QJsonObject rules;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (AnomalyMetrics::hasRule(i))
            rules.insert(QLatin1String(AnomalyMetrics::key(i)),
                         QJsonObject{{"enabled", i == int(AnomalyMetric::Autocorrelation)},
                                     {"absolute_threshold", 0.8}});
    }
    QVERIFY(writeJson(m_config, QJsonObject{{"rules", rules}}));
}

void TestObservationsCommand::printsTheReport_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("withConfig");
    QTest::newRow("all contexts") << QStringList() << true << false;
    QTest::newRow("one context with rules")
        << QStringList{"--context", contextKey} << false << true;
    QTest::newRow("one context, shipped rules")
        << QStringList{"--context", contextKey} << false << false;
}

void TestObservationsCommand::printsTheReport()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, all);
    QFETCH(bool, withConfig);
    const QString events = m_dir.filePath(QStringLiteral("anomaly"));
    DecisionConfig config;
    if (withConfig) {
        AnomalySettings settings;
        QString error;
        QVERIFY2(DetectorSettings::fromJsonFile(m_config, &settings, &error), qPrintable(error));
        config = settings.decision;
        arguments << "--config" << m_config;
    }
    const ToolRun::Result result = run(QStringList{events} + arguments);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const QString expected = ObservationReport::build(
        ObservationStatistics::readLogs(events + QStringLiteral("/observations")),
        EventArchive::list(events),
        all ? ContextChoice::allContexts() : ContextChoice::of(QLatin1String(contextKey)), config);
    QCOMPARE(QString::fromUtf8(result.out), expected + QLatin1Char('\n'));
    if (withConfig)
        QVERIFY(result.out.contains("autocorrelation               5       5        0.95        "
                                    "0.88         0.8       0.915\n"));
    else if (!all)
        QVERIFY(result.out.contains("comb_count "));
}

void TestObservationsCommand::listsTheContexts()
{
    const ToolRun::Result result =
        run({m_dir.filePath(QStringLiteral("anomaly")), "--list-contexts"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out,
             QByteArray("All contexts\nLegacy / incomplete context\n") + contextKey + '\n');
    const ToolRun::Result legacy = run(
        {m_dir.filePath(QStringLiteral("anomaly")), "--context", "Legacy / incomplete context"});
    QCOMPARE(legacy.exitCode, 0);
    QVERIFY(legacy.out.contains("\nWAV / missing JSON / declared seconds: 1 / 1 / 0.00\n"));
}

void TestObservationsCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const QString events = m_dir.filePath(QStringLiteral("anomaly"));
    QTest::newRow("no folder") << QStringList() << QByteArray("usage: ");
    QTest::newRow("two folders") << QStringList{events, events} << QByteArray("usage: ");
    QTest::newRow("context and list")
        << QStringList{events, "--context", "x", "--list-contexts"} << QByteArray("usage: ");
    QTest::newRow("unknown option") << QStringList{events, "--fast"} << QByteArray("usage: ");
    QTest::newRow("not a folder") << QStringList{m_config} << QByteArray("is not a folder");
    QTest::newRow("missing config")
        << QStringList{events, "--config", events + "/none.json"} << QByteArray("cannot read");
    QTest::newRow("config of the wrong type")
        << QStringList{events, "--config", events + "/observations/broken.json"}
        << QByteArray("is not a JSON object");
}

void TestObservationsCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    const ToolRun::Result result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.contains(message), result.err.constData());
}

QTEST_GUILESS_MAIN(TestObservationsCommand)
#include "tst_observationscommand.moc"
