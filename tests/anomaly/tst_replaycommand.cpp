// corvin-dsp replay as a user runs it: the CSV lands in the output folder under the recording's
// name and equals the replay runner's own, a log's configuration is taken, mistakes in the
// command line or the configuration exit with 2, failures of the work with 1, and a stop leaves
// no CSV behind.

#include "anomalysignals.h"
#include "replayrunner.h"
#include "testwav.h"
#include "toolrun.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace AnomalySignals;

class TestReplayCommand : public QObject
{
    Q_OBJECT

    ToolRun::Result run(const QStringList &arguments)
    {
        return ToolRun::run(qEnvironmentVariable("CORVIN_DSP_TOOL"),
                            QStringList{"replay"} + arguments);
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return file.fileName();
    }

    QTemporaryDir m_dir;

private slots:
    void replaysWithALogsConfiguration();
    void mistakes_data();
    void mistakes();
    void stopLeavesNoCsv();
};

void TestReplayCommand::replaysWithALogsConfiguration()
{
    // A name with the frequency's decimal point keeps everything up to its last suffix.
    const QString wav = m_dir.filePath("145.500000_20240501_102030_123_abc.wav");
    QVERIFY(TestWav::write(
        wav, 16000, 1, 16, false,
        TestWav::bytesOf(mix(noise(16000, 40.5, 2000, 31), tones(16000, 40.5, {900}, 3000)))));
    const QString log = writeFile("log.json", R"({
        "analysis_low_hz": 200, "analysis_high_hz": 5000, "pre_seconds_requested": 5,
        "post_seconds_requested": 4, "source_channel_index": 1, "closed": true,
        "decision_config": {"learning_seconds": 12, "confirmation_seconds": 2,
                            "release_seconds": 3, "cooldown_seconds": 0, "capture_end": true},
        "rules": {"rms": {"enabled": false, "absolute_threshold": 0, "z_threshold": 6,
                          "scale_floor": 1}}})");
    const QString out = m_dir.filePath("out/nested");
    const ToolRun::Result result = run({wav, "--config", log, "--out", out});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("Finished | started 0 | complete 0 | skipped 0 | unfinished 0 "
                                    "| tail 8000 samples (no full DSP update)\n"));
    QVERIFY(result.err.contains("\n91% 37 s\n")); // progress: a line per tenth passed
    QFile csv(QDir(out).filePath("145.500000_20240501_102030_123_abc_replay.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray written = csv.readAll();

    // The same rows as the runner gives in process with that configuration: the WAV channel is
    // limited to the recording's one channel.
    AnomalySettings settings;
    settings.lowHz = 200;
    settings.highHz = 5000;
    settings.preSeconds = 5;
    settings.postSeconds = 4;
    settings.decision.learn = 12;
    settings.decision.confirm = 2;
    settings.decision.release = 3;
    settings.decision.cooldown = 0;
    settings.decision.captureEnd = true;
    settings.decision.rules[0].enabled = false;
    ReplayRunner replay;
    replay.open(wav);
    QBuffer expected;
    QVERIFY(expected.open(QIODevice::WriteOnly));
    replay.start(settings, 0, &expected);
    ReplayRunner::Step step;
    while (replay.step(&step)) {
    }
    QCOMPARE(written, expected.data());
    QCOMPARE(written.count('\n'), 41);
    QVERIFY(written.split('\n').at(1).startsWith("1,8,NONE,0,0,NONE,0,1,16000,200,5000,5,4,12,2,"
                                                 "3,0,1,"));
}

void TestReplayCommand::mistakes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString pcm8 = m_dir.filePath("pcm8.wav");
    TestWav::write(pcm8, 8000, 1, 8, false, QByteArray(16000, '\x80'));
    const QString good = m_dir.filePath("good.wav");
    TestWav::write(good, 8000, 1, 16, false, QByteArray(4000, '\0'));
    const QString wrongType = writeFile("wrongtype.json", R"({"rules": {"flux": 3}})");
    const QString notJson = writeFile("notjson.json", "pre_seconds_requested = 3");
    QTest::newRow("no file") << QStringList() << 2 << "usage: corvin-dsp replay FILE";
    QTest::newRow("unknown option")
        << QStringList{good, "--speed", "10"} << 2 << "usage: corvin-dsp replay FILE";
    QTest::newRow("two files") << QStringList{good, good} << 2 << "usage: corvin-dsp replay FILE";
    QTest::newRow("configuration of the wrong type")
        << QStringList{good, "--config", wrongType} << 2 << "error: rules.flux must be an object";
    QTest::newRow("configuration not JSON")
        << QStringList{good, "--config", notJson} << 2 << "is not a JSON object";
    QTest::newRow("configuration missing")
        << QStringList{good, "--config", m_dir.filePath("none.json")} << 2 << "error: cannot read";
    QTest::newRow("8-bit recording")
        << QStringList{pcm8, "--out", m_dir.path()} << 1 << "error: Replay requires PCM16 WAV";
    QTest::newRow("missing recording")
        << QStringList{m_dir.filePath("none.wav")} << 1 << "error: Cannot open WAV file";
}

void TestReplayCommand::mistakes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const ToolRun::Result result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QVERIFY(result.out.isEmpty());
    QVERIFY(QDir(m_dir.path()).entryList({"*_replay.csv"}).isEmpty());
}

void TestReplayCommand::stopLeavesNoCsv()
{
    const QString wav = m_dir.filePath("long.wav");
    QVERIFY(TestWav::write(wav, 16000, 1, 16, false, TestWav::bytesOf(noise(16000, 900, 2000, 5))));
    QProcess tool;
    tool.start(qEnvironmentVariable("CORVIN_DSP_TOOL"),
               {"replay", wav, "--out", m_dir.filePath("stopped")});
    QVERIFY(tool.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += tool.readAllStandardError(), err.contains("10% ")), 60000);
    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY(tool.readAllStandardError().contains("error: replay stopped"));
    QVERIFY(QDir(m_dir.filePath("stopped")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestReplayCommand)
#include "tst_replaycommand.moc"
