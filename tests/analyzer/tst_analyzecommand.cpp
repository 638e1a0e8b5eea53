#include "testsignals.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The analyze command of corvin-dsp, run as a separate process.
class TestAnalyzeCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tool;
    QString m_wav;

private slots:
    void initTestCase();
    void writesReportFolder();
    void failsWithEngineMessage();
    void interruptLeavesNoReport();
};

void TestAnalyzeCommand::initTestCase()
{
    m_tool = qEnvironmentVariable("CORVIN_DSP_TOOL");
    QVERIFY2(QFile::exists(m_tool), "CORVIN_DSP_TOOL must name the corvin-dsp program");
    // Long enough (200 s) that an interrupt sent at the first progress line arrives in time.
    const int fs = 16000;
    std::vector<double> x = TestSignals::noise(200 * fs, 0.001);
    for (double t = 0.5; t < 200; t += 1.0)
        TestSignals::addBurst(x, fs, t, 0.04, 1000, 0.3);
    m_wav = m_dir.filePath("pulses.wav");
    QVERIFY(TestSignals::writeWav(m_wav, fs, 1, x));
}

void TestAnalyzeCommand::writesReportFolder()
{
    const QString out = m_dir.filePath("reports");
    QProcess process;
    process.start(m_tool, {"analyze", m_wav, "--high", "3000", "--out", out});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 0);
    const QString folder = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    QVERIFY(folder.startsWith(out + "/report_"));
    for (const char *name : {"summary.json", "events.csv", "report.html", "preview_1.wav"})
        QVERIFY2(QFile::exists(folder + "/" + name), name);
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY(err.contains("\n2% Reading WAV header\n15% Calculating native STFT spectrum and "
                         "discovering bands\n"));
    QVERIFY(err.contains("\n78% Native DSP analysis completed\n82% Writing HTML, SVG/PNG, CSV, "
                         "JSON and filtered WAV...\n100% Native DSP report saved: "));
    QCOMPARE(QDir(out).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
}

void TestAnalyzeCommand::failsWithEngineMessage()
{
    QProcess process;
    process.start(m_tool, {"analyze", m_wav, "--low", "8500", "--high", "9000", "--out",
                           m_dir.filePath("bad")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("Invalid frequency range/channel for WAV"));
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(QDir(m_dir.filePath("bad"))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());

    process.start(m_tool, {"analyze", m_wav, "--contrast", "loud"});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
}

void TestAnalyzeCommand::interruptLeavesNoReport()
{
    // Spawned directly, so that SIGINT reaches the program as it does from a terminal.
    const QString out = m_dir.filePath("interrupted");
    const QString log = m_dir.filePath("interrupted.log");
    const QByteArray tool = QFile::encodeName(m_tool);
    const QByteArray wav = QFile::encodeName(m_wav);
    const QByteArray folder = QFile::encodeName(out);
    const QByteArray logPath = QFile::encodeName(log);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const char *argv[] = {tool.constData(), "analyze", wav.constData(),    "--high",
                          "3000",           "--out",   folder.constData(), nullptr};
    pid_t pid = 0;
    QCOMPARE(
        posix_spawn(&pid, tool.constData(), &actions, nullptr, const_cast<char **>(argv), environ),
        0);
    posix_spawn_file_actions_destroy(&actions);
    QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("Reading WAV header"), 60000);
    QCOMPARE(::kill(pid, SIGINT), 0);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    const QByteArray err = readFile(log);
    QVERIFY2(WIFEXITED(status), err.constData());
    QCOMPARE(WEXITSTATUS(status), 1);
    QVERIFY(err.contains("DSP analysis cancelled."));
    QVERIFY(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_GUILESS_MAIN(TestAnalyzeCommand)
#include "tst_analyzecommand.moc"
