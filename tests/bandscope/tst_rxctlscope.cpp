// corvin-rxctl scope as a program against the simulated receiver: a single frame on the normal
// connection with tuning restored, continuous frames in a service session with the history
// file, a failure that still exports, Ctrl-C as Stop, and usage errors.
#include "corvindriver.h"
#include "rxsimulator.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run finish(QProcess &process)
{
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RxctlScopeTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void singleFrameRestoresTuning();
    void continuousSessionWithHistory();
    void failureStillExports();
    void interruptActsAsStop();
    void usageErrors_data();
    void usageErrors();

private:
    QProcess *start(const QStringList &arguments);
    std::unique_ptr<RxSimulator> m_sim;
    std::unique_ptr<QProcess> m_process;
};

void RxctlScopeTest::init()
{
    m_sim = std::make_unique<RxSimulator>();
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    // The receiver's scope starts where the captures want it, so each setup needs one AM.
    Corvindriver driver;
    QVERIFY(driver.openPort(m_sim->portPath()));
    QVERIFY(driver.line().write("SW7\rCF0004650000\rMF0004650000\r"));
    QTest::qWait(100);
    driver.closePort();
    m_sim->clearWireLog();
}

QProcess *RxctlScopeTest::start(const QStringList &arguments)
{
    m_process = std::make_unique<QProcess>();
    m_process->start(qEnvironmentVariable("CORVIN_RXCTL"),
                     QStringList{"--port", m_sim->portPath()} + arguments);
    return m_process.get();
}

void RxctlScopeTest::singleFrameRestoresTuning()
{
    QTemporaryDir dir;
    const Run run = finish(*start(
        {"tune", "7050000", "mode", "USB", "scope", "--out", dir.filePath(QStringLiteral("one"))}));
    QCOMPARE(run.exitCode, 0);
    const QStringList out = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(out.size(), 5);
    QCOMPARE(out[0], QStringLiteral("frequency 7050000"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT[0-9:.]+Z frame 1: 128 "
                                              "bins, \\d+ valid, peak \\d+ at bin \\d+ \\(4\\."
                                              "6\\d+ MHz\\)$"))
                .match(out[2])
                .hasMatch());
    QVERIFY2(out[3].startsWith(QStringLiteral("Sweep complete. 4/4 rows; valid=")),
             qPrintable(out[3]));
    QVERIFY(!out[3].contains(QStringLiteral("disconnected")));
    QCOMPARE(out[4], QStringLiteral("exported %1 + %2")
                         .arg(dir.filePath(QStringLiteral("one.csv")),
                              dir.filePath(QStringLiteral("one_raw.txt"))));
    QVERIFY(run.err.contains(QStringLiteral("Waiting for serial quiet before AM...")));

    QList<QByteArray> commands;
    for (const QByteArray &command : m_sim->commands()) {
        if (!command.isEmpty())
            commands << command;
    }
    QCOMPARE(commands, (QList<QByteArray>{"RF0007050000", "MD3", "AM", "DS", "VF", "RX", "MD3",
                                          "RF0007050000"}));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("one.csv"))).count('\n'), 1025);
    QVERIFY(readFile(dir.filePath(QStringLiteral("one_raw.txt")))
                .contains("\n--- DS RAW (original bytes) ---\nDS0127:"));
}

void RxctlScopeTest::continuousSessionWithHistory()
{
    QTemporaryDir dir;
    const QString history = dir.filePath(QStringLiteral("h.csv"));
    const Run run = finish(
        *start({"scope", "--frames", "3", "--back-to-back", "--peak-hold", "--history", history}));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count(QStringLiteral(" frame ")), 3);
    QVERIFY2(run.out.contains(QStringLiteral("Continuous capture stopped. 4/4 rows;")),
             qPrintable(run.out));
    QVERIFY(run.out.contains(QStringLiteral(" Scope COM remains open.")));
    // A session sends nothing after the last frame; peak hold was switched on first.
    QList<QByteArray> commands;
    for (const QByteArray &command : m_sim->commands()) {
        if (!command.isEmpty())
            commands << command;
    }
    QCOMPARE(commands, (QList<QByteArray>{"AM", "PH1", "AM", "DS", "DS", "DS"}));
    const QList<QByteArray> lines = readFile(history).trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[1].contains(",4650000,7,1,128,"));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("h.png"))).size(), QSize(1024, 3));
}

void RxctlScopeTest::failureStillExports()
{
    QTemporaryDir dir;
    m_sim->triggerScopeFault(ScopeFault::DsReject);
    const Run run = finish(*start({"scope", "--out", dir.filePath(QStringLiteral("bad.csv"))}));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("Receiver rejected DS. 0/? rows;")),
             qPrintable(run.out));
    QVERIFY(
        run.out.contains(QStringLiteral(" Receiver disconnected; check RX mode and reconnect.")));
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("bad.csv"))));
    QVERIFY(readFile(dir.filePath(QStringLiteral("bad_raw.txt")))
                .contains("Result: Receiver rejected DS.\n"));
}

void RxctlScopeTest::interruptActsAsStop()
{
    QProcess *process = start({"scope", "--seconds", "120"});
    QVERIFY(process->waitForStarted());
    // The first frame line: the continuous capture is under way.
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (!out.contains(" frame 1:") && clock.elapsed() < 20000) {
        process->waitForReadyRead(200);
        out += process->readAllStandardOutput();
    }
    QVERIFY(out.contains(" frame 1:"));
    ::kill(static_cast<pid_t>(process->processId()), SIGINT);
    Run run = finish(*process);
    run.out.prepend(QString::fromLocal8Bit(out));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("Continuous capture stopped.")), qPrintable(run.out));
    QVERIFY(run.err.contains(QStringLiteral("Stopping after current DS")));
}

void RxctlScopeTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("span 8") << QStringList{"scope", "--span", "8"} << "bad value 8 for --span";
    QTest::newRow("centre too low")
        << QStringList{"scope", "--center", "0.05"} << "bad value 0.05 for --center";
    QTest::newRow("frames and seconds") << QStringList{"scope", "--frames", "2", "--seconds", "5"}
                                        << "give --frames or --seconds, not both";
    QTest::newRow("unknown option") << QStringList{"scope", "--fast"} << "unknown option --fast";
}

void RxctlScopeTest::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const Run run = finish(*start(arguments));
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("error: ") + error), qPrintable(run.err));
    QVERIFY(run.err.contains(QStringLiteral(" scope [--center MHZ] [--span CODE]")));
    QTest::qWait(50);
    QVERIFY(m_sim->receivedBytes().isEmpty());
}

QTEST_GUILESS_MAIN(RxctlScopeTest)
#include "tst_rxctlscope.moc"
