#include "testsignals.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

Q_DECLARE_METATYPE(QVector<int>)

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts the program with arguments as given (bytes, not text), stdout to /dev/null and stderr
// to log. Spawned directly, so that signals reach it as they do from a terminal.
pid_t spawn(const QList<QByteArray> &arguments, const QString &log)
{
    const QByteArray logPath = QFile::encodeName(log);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

// Exit status of a finished child, or -1 when it did not exit normally.
int exitStatus(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    void refusesWhatIsNotARecording_data();
    void refusesWhatIsNotARecording();
    void opensNamesThatAreNotUtf8();
    void stopSignalsLeaveNothingBehind_data();
    void stopSignalsLeaveNothingBehind();
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

// A pipe, a directory or a device given as the recording fails at once with the reader's
// message and leaves no working folder.
void TestAnalyzeCommand::refusesWhatIsNotARecording_data()
{
    QTest::addColumn<QString>("path");
    const QString pipe = m_dir.filePath("pipe.wav");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QTest::newRow("named pipe") << pipe;
    QTest::newRow("directory") << m_dir.path();
    QTest::newRow("device") << "/dev/zero";
}

void TestAnalyzeCommand::refusesWhatIsNotARecording()
{
    QFETCH(QString, path);
    const QString out = m_dir.filePath("refused");
    QProcess process;
    process.start(m_tool, {"analyze", path, "--out", out});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        QFAIL("the analysis waited on the path");
    }
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains(
        "Native DSP analysis failed: Cannot open WAV file"));
    QVERIFY(entries(out).isEmpty());
}

// A recording whose name is not valid UTF-8 is analysed, hashed and clipped from its own file.
void TestAnalyzeCommand::opensNamesThatAreNotUtf8()
{
    const int fs = 16000;
    std::vector<double> x = TestSignals::noise(12 * fs, 0.001);
    for (double t = 0.5; t < 12; t += 1.0)
        TestSignals::addBurst(x, fs, t, 0.04, 1000, 0.3);
    const QString plain = m_dir.filePath("plain.wav");
    QVERIFY(TestSignals::writeWav(plain, fs, 1, x));
    const QByteArray content = readFile(plain);
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/rec-\xff\xe8.wav";
    QVERIFY(::rename(QFile::encodeName(plain).constData(), name.constData()) == 0);

    const QString out = m_dir.filePath("latin");
    const QString log = m_dir.filePath("latin.log");
    const pid_t analyze = spawn({QFile::encodeName(m_tool), "analyze", name, "--high", "3000",
                                 "--out", QFile::encodeName(out)},
                                log);
    QVERIFY(analyze > 0);
    QCOMPARE(exitStatus(analyze), 0);
    const QStringList reports = entries(out);
    QCOMPARE(reports.size(), 1);
    const QDir report(QDir(out).filePath(reports.first()));
    const QJsonObject summary =
        QJsonDocument::fromJson(readFile(report.filePath("summary.json"))).object();
    QCOMPARE(
        summary.value("sha256").toString(),
        QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex()));
    QCOMPARE(summary.value("trains").toArray().size(), 1);
    QVERIFY(report.exists("preview_1.wav"));

    const pid_t info = spawn({QFile::encodeName(m_tool), "info", name}, log);
    QVERIFY(info > 0);
    QCOMPARE(exitStatus(info), 0);
}

void TestAnalyzeCommand::stopSignalsLeaveNothingBehind_data()
{
    QTest::addColumn<QVector<int>>("stops");
    QTest::newRow("Ctrl-C") << QVector<int>{SIGINT};
    QTest::newRow("Ctrl-C twice") << QVector<int>{SIGINT, SIGINT};
    QTest::newRow("SIGTERM") << QVector<int>{SIGTERM};
    QTest::newRow("terminal closed") << QVector<int>{SIGHUP};
}

// Every stop signal cancels the analysis: exit status 1, and neither a report nor the hidden
// working folder is left.
void TestAnalyzeCommand::stopSignalsLeaveNothingBehind()
{
    QFETCH(QVector<int>, stops);
    const QString out = m_dir.filePath(QStringLiteral("stopped-%1").arg(QTest::currentDataTag()));
    const QString log = out + ".log";
    const pid_t pid = spawn({QFile::encodeName(m_tool), "analyze", QFile::encodeName(m_wav),
                             "--high", "3000", "--out", QFile::encodeName(out)},
                            log);
    QVERIFY(pid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(readFile(log).contains("Reading WAV header"), 60000);
    for (int stop : stops) {
        QCOMPARE(::kill(pid, stop), 0);
        QTest::qWait(20);
    }
    const int status = exitStatus(pid);
    const QByteArray err = readFile(log);
    QVERIFY2(status == 1, err.constData());
    QVERIFY(err.contains("DSP analysis cancelled."));
    QVERIFY2(entries(out).isEmpty(), qPrintable(entries(out).join(' ')));
}

QTEST_GUILESS_MAIN(TestAnalyzeCommand)
#include "tst_analyzecommand.moc"
