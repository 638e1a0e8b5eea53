// corvin-rxctl and corvin-rxsim as programs: exit codes, output and the bytes on the wire.
#include "rxsimulator.h"
#include "serialline.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString rxctl()
{
    return qEnvironmentVariable("CORVIN_RXCTL");
}

} // namespace

class RxctlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void usageErrorsSendNothing_data();
    void usageErrorsSendNothing();
    void unopenablePort();
    void traceShowsEveryBlock_data();
    void traceShowsEveryBlock();
    void againstSimulatorProcess();
};

void RxctlTest::initTestCase()
{
    QVERIFY2(QFileInfo(rxctl()).isExecutable(), "CORVIN_RXCTL does not name corvin-rxctl");
    QVERIFY2(QFileInfo(qEnvironmentVariable("CORVIN_RXSIM")).isExecutable(),
             "CORVIN_RXSIM does not name corvin-rxsim");
}

void RxctlTest::commands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("faultCommand"); // rejected once, when not empty
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // a regular expression
    QTest::addColumn<QString>("err"); // a regular expression
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("all succeed") << QStringList{"identify", "tune", "7050050",
                                                "mode",     "USB",  "level"}
                                 << QByteArray() << 0
                                 << "^VR RXSIM 1\\.0\\nfrequency 7050050\\nmode USB\\n\\d+\\n$"
                                 << "^$" << QByteArray("VR\rRF0007050000\rMD3\rLM\r");
    QTest::newRow("AUTO by name") << QStringList{"mode", "auto"} << QByteArray() << 0
                                  << "^mode AUTO \\(WFM\\)\\n$"
                                  << "^$" << QByteArray("AU1\rAU\r");
    QTest::newRow("mode by code") << QStringList{"mode", "4"} << QByteArray() << 0
                                  << "^mode LSB\\n$"
                                  << "^$" << QByteArray("MD4\r");
    QTest::newRow("standby and exit")
        << QStringList{"standby", "exit"} << QByteArray() << 0 << "^standby\\nexit\\n$"
        << "^$" << QByteArray("QP\rEX\r");
    QTest::newRow("failure stops the run")
        << QStringList{"identify", "tune", "7050050", "level"} << QByteArray("RF") << 1
        << "^VR RXSIM 1\\.0\\n$"
        << "^error: Receiver rejected RF0007050000 \\(\\?\\)\\.\\n$"
        << QByteArray("VR\rRF0007050000\r");
    QTest::newRow("out of range") << QStringList{"tune", "99999", "level"} << QByteArray() << 1
                                  << "^$"
                                  << "^error: Frequency out of range \\(100 kHz - 3 GHz\\)\\n$"
                                  << QByteArray();
    QTest::newRow("rejected level")
        << QStringList{"level"} << QByteArray("LM") << 1 << "^$"
        << "^error: Receiver rejected LM \\(\\?\\)\\.\\n$" << QByteArray("LM\r");
}

void RxctlTest::commands()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, faultCommand);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, wire);
    RxSimulator sim;
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    if (!faultCommand.isEmpty())
        sim.triggerFault(SimFault::Reject, 1, faultCommand);
    const Run run = runProgram(rxctl(), QStringList{"--port", sim.portPath()} + arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QRegularExpression(out).match(run.out).hasMatch(), qPrintable(run.out));
    QVERIFY2(QRegularExpression(err).match(run.err).hasMatch(), qPrintable(run.err));
    QTRY_COMPARE(sim.receivedBytes(), wire);
}

void RxctlTest::usageErrorsSendNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList{"identify", "bogus"};
    QTest::newRow("tune without frequency") << QStringList{"identify", "tune"};
    QTest::newRow("tune with text") << QStringList{"tune", "7MHz"};
    QTest::newRow("unknown mode") << QStringList{"mode", "FM"};
    QTest::newRow("mode code out of range") << QStringList{"mode", "10"};
    QTest::newRow("unknown option") << QStringList{"--fast", "level"};
}

void RxctlTest::usageErrorsSendNothing()
{
    QFETCH(QStringList, arguments);
    RxSimulator sim;
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    const Run run = runProgram(rxctl(), QStringList{"--port", sim.portPath()} + arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith(QLatin1String("corvin-rxctl: ")));
    QVERIFY(run.err.contains(QLatin1String("usage: corvin-rxctl --port PORT")));
    QVERIFY(run.out.isEmpty());
    QTest::qWait(50);
    QVERIFY(sim.receivedBytes().isEmpty());

    const Run noPort = runProgram(rxctl(), QStringList{"level"});
    QCOMPARE(noPort.exitCode, 2);
}

void RxctlTest::unopenablePort()
{
    const Run run = runProgram(rxctl(), {"--port", "/nonexistent/ttyS9", "identify"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(
        run.err.contains(QLatin1String("error: Unable to open serial port /nonexistent/ttyS9\n")),
        qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void RxctlTest::traceShowsEveryBlock_data()
{
    QTest::addColumn<bool>("toFile");
    QTest::newRow("standard error") << false;
    QTest::newRow("file") << true;
}

// A retried VR: every block on the wire, in order, with UTC time, direction, hex and text.
void RxctlTest::traceShowsEveryBlock()
{
    QFETCH(bool, toFile);
    RxSimulator sim;
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    sim.triggerFault(SimFault::NoReply, 1, "VR");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("trace.log"));
    const Run run =
        runProgram(rxctl(), {"--port", sim.portPath(), "--trace", toFile ? file : "-", "identify"});
    QCOMPARE(run.exitCode, 0);
    QString trace = run.err;
    if (toFile) {
        QFile traced(file);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        trace = QString::fromLatin1(traced.readAll());
        QVERIFY2(!run.err.contains(QLatin1String(" TX ")), qPrintable(run.err));
    }
    const QRegularExpression traceLine(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z (TX|RX) ([0-9a-f ]+) \\| (.+)$"));
    QStringList sent;
    QStringList diagnostics;
    QByteArray received;
    for (const QString &line : trace.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("diagnostic: "))) {
            diagnostics << line;
            continue;
        }
        const QRegularExpressionMatch match = traceLine.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const QByteArray bytes = QByteArray::fromHex(match.captured(2).toLatin1());
        QCOMPARE(SerialLine::printable(bytes), match.captured(3));
        if (match.captured(1) == QLatin1String("TX"))
            sent << match.captured(3);
        else
            received += bytes;
    }
    QCOMPARE(sent, QStringList({"VR<CR>", "<CR>", "VR<CR>"}));
    QCOMPARE(received, sim.sentBytes());
    QCOMPARE(diagnostics.size(), toFile ? 0 : 2);
    QVERIFY(run.err.contains(QLatin1String("diagnostic: Receiver answered VR after a retry.")));
}

// The simulator as a child process, reached through its link.
void RxctlTest::againstSimulatorProcess()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("receiver"));
    QProcess simulator;
    simulator.start(
        qEnvironmentVariable("CORVIN_RXSIM"),
        {"--link", link, "--fault-next", "reject:1:LM", "--level-format", "space-decimal"});
    QVERIFY(simulator.waitForReadyRead(10000));
    const QString path = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    QVERIFY2(path.startsWith(QLatin1String("/dev/pts/")), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);

    const Run failed = runProgram(rxctl(), {"--port", link, "level"});
    QCOMPARE(failed.exitCode, 1);
    const Run run = runProgram(rxctl(), {"--port", link, "tune", "98000000", "level"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^frequency 98000000\\n\\d+\\n$"))
                 .match(run.out)
                 .hasMatch(),
             qPrintable(run.out));

    simulator.terminate();
    QVERIFY(simulator.waitForFinished(10000));
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(RxctlTest)
#include "tst_rxctl.moc"
