// The reference client, Hamlib's "rigctl -m 2", and raw clients against "corvin-rxctl serve" on
// the simulated receiver (both child processes), with the simulator's wire log.
#include "rigtestclient.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

using RigTestClient::ask;

// The simulator and the server on it, started per test and stopped with it.
class Rig
{
public:
    explicit Rig(const QStringList &simulatorArguments = {})
    {
        link = dir.filePath(QStringLiteral("receiver"));
        wireLog = dir.filePath(QStringLiteral("wire.log"));
        simulator.start(qEnvironmentVariable("CORVIN_RXSIM"),
                        QStringList{"--link", link, "--unpaced", "--wire-log", wireLog} +
                            simulatorArguments);
        if (!simulator.waitForReadyRead(10000))
            return;
        port = RigTestClient::freePort();
        server.start(
            qEnvironmentVariable("CORVIN_RXCTL"),
            {"--port", link, "serve", "--listen", QStringLiteral("127.0.0.1:%1").arg(port)});
        started = server.waitForReadyRead(10000) &&
                  server.readLine().startsWith("listening on 127.0.0.1:");
    }
    ~Rig()
    {
        for (QProcess *process : {&server, &simulator}) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }

    // The lines the simulator took from the program.
    QStringList wireCommands() const
    {
        QFile file(wireLog);
        QStringList commands;
        if (!file.open(QIODevice::ReadOnly))
            return commands;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.contains(" host> "))
                commands << QString::fromLatin1(line).section(QStringLiteral(" | "), 1);
        }
        return commands.join(QString()).split(QStringLiteral("<CR>"), Qt::SkipEmptyParts);
    }

    // rigctl -m 2 with the given commands; its standard output.
    QString rigctl(const QStringList &commands, int *exitCode = nullptr) const
    {
        QProcess client;
        client.start(QStringLiteral("rigctl"),
                     QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port)} +
                         commands);
        client.waitForFinished(20000);
        if (exitCode)
            *exitCode = client.exitCode();
        return QString::fromLocal8Bit(client.readAllStandardOutput());
    }

    QTemporaryDir dir;
    QString link;
    QString wireLog;
    QProcess simulator;
    QProcess server;
    quint16 port = 0;
    bool started = false;
};

} // namespace

class RigctlPeerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void referenceClientSetsAndReads();
    void twoClientsKeepTheirAnswers();
    void reconnectsAfterTheTerminalVanishes();
    void stopsOnTerminate();
};

void RigctlPeerTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("rigctl")).isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("rigctl is missing: scripts/install-deps installs libhamlib-utils");
        QSKIP("rigctl (libhamlib-utils) is not installed");
    }
}

// "F 7050000 f l STRENGTH" and friends from the reference client, and the exact bytes the
// receiver got.
void RigctlPeerTest::referenceClientSetsAndReads()
{
    Rig rig;
    QVERIFY(rig.started);
    int exitCode = -1;
    const QString out = rig.rigctl(
        {"F", "7050000", "f", "M", "USB", "2400", "m", "l", "STRENGTH", "l", "RAWSTR", "v", "s"},
        &exitCode);
    QCOMPARE(exitCode, 0);
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], QStringLiteral("7050000"));
    QCOMPARE(lines.mid(1, 2), QStringList({"USB", "2400"}));
    const int strength = lines[3].toInt();
    const int raw = lines[4].toInt();
    QVERIFY2(strength >= -48 && strength <= 60, qPrintable(out));
    QVERIFY2(raw >= 0 && raw <= 255, qPrintable(out));
    QCOMPARE(lines.mid(5), QStringList({"VFOA", "0", "VFOA"}));

    const QStringList wire = rig.wireCommands();
    QVERIFY2(wire.contains(QStringLiteral("RF0007050000")), qPrintable(wire.join(' ')));
    QVERIFY2(wire.contains(QStringLiteral("MD3")), qPrintable(wire.join(' ')));
    QVERIFY(wire.indexOf(QStringLiteral("RF0007050000")) < wire.indexOf(QStringLiteral("MD3")));
    QVERIFY(wire.contains(QStringLiteral("LM")));

    // The narrow FM variant, and back; an AM that only the passband tells apart.
    QCOMPARE(rig.rigctl({"M", "FM", "6000", "m"}), QStringLiteral("FM\n6000\n"));
    QCOMPARE(rig.rigctl({"M", "AM", "15000", "m"}), QStringLiteral("AM\n15000\n"));
    QVERIFY(rig.wireCommands().contains(QStringLiteral("MD6")));
    QVERIFY(rig.wireCommands().contains(QStringLiteral("MD7")));
}

// One client reads in a loop while the other sets frequencies: every answer names its own
// request, and every frequency read is one that was set.
void RigctlPeerTest::twoClientsKeepTheirAnswers()
{
    Rig rig;
    QVERIFY(rig.started);
    QTcpSocket reader;
    QTcpSocket setter;
    reader.connectToHost(QHostAddress::LocalHost, rig.port);
    setter.connectToHost(QHostAddress::LocalHost, rig.port);
    QVERIFY(reader.waitForConnected(5000) && setter.waitForConnected(5000));
    QVERIFY(ask(setter, "F 7000000", 1) == "RPRT 0\n");

    const QRegularExpression readAnswer(
        QStringLiteral("^get_freq:\\nFrequency: (70\\d\\d000)\\nRPRT 0\\n$"));
    QSet<QString> seen;
    for (int i = 1; i <= 20; ++i) {
        // The reader's request goes out first; the setter's follows while it is served.
        reader.write("+f\n");
        reader.flush();
        const QByteArray set =
            QByteArrayLiteral("+F 70") + QByteArray::number(i).rightJustified(2, '0') + "000";
        const QByteArray setAnswer = ask(setter, set, 2);
        QCOMPARE(setAnswer, "set_freq: " + set.mid(3) + "\nRPRT 0\n");
        QByteArray read = reader.readAll();
        while (read.count('\n') < 3 && reader.waitForReadyRead(5000))
            read += reader.readAll();
        const QRegularExpressionMatch match = readAnswer.match(QString::fromLatin1(read));
        QVERIFY2(match.hasMatch(), read.constData());
        seen.insert(match.captured(1));
        QCOMPARE(ask(reader, "m", 2), QByteArray("WFM\n230000\n"));
    }
    QVERIFY(seen.size() >= 2);
    QCOMPARE(ask(reader, "f", 1), QByteArray("7020000\n"));
}

// The terminal goes away under the server and comes back: the server reopens it and puts
// the receiver back where it was.
void RigctlPeerTest::reconnectsAfterTheTerminalVanishes()
{
    Rig rig({"--vanish-s", "1"});
    QVERIFY(rig.started);
    QCOMPARE(rig.rigctl({"F", "7050000", "f"}), QStringLiteral("7050000\n"));
    ::kill(static_cast<pid_t>(rig.simulator.processId()), SIGUSR2);
    QTest::qWait(200);
    // The next request meets the dead line: timed out; then the server looks for the port.
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, rig.port);
    QVERIFY(client.waitForConnected(5000));
    QCOMPARE(ask(client, "F 7060000", 1), QByteArray("RPRT -5\n"));
    QCOMPARE(ask(client, "\\get_powerstat", 1), QByteArray("0\n"));
    QByteArray power;
    QElapsedTimer clock;
    clock.start();
    while (power != "1\n" && clock.elapsed() < 10000) {
        QTest::qWait(200);
        power = ask(client, "\\get_powerstat", 1);
    }
    QCOMPARE(power, QByteArray("1\n"));
    QCOMPARE(ask(client, "f", 1), QByteArray("7050000\n"));
    const QStringList wire = rig.wireCommands();
    const int back = wire.lastIndexOf(QStringLiteral("VR"));
    QVERIFY2(back > 0, qPrintable(wire.join(' ')));
    QVERIFY2(wire.mid(back).contains(QStringLiteral("RF0007050000")), qPrintable(wire.join(' ')));
    QString log;
    clock.restart();
    while (!log.contains(QLatin1String("restored")) && clock.elapsed() < 5000) {
        rig.server.waitForReadyRead(100);
        log += QString::fromLocal8Bit(rig.server.readAllStandardError());
    }
    QVERIFY2(log.contains(QLatin1String("receiver link lost")), qPrintable(log));
    QVERIFY2(log.contains(QLatin1String("frequency and mode restored")), qPrintable(log));
}

void RigctlPeerTest::stopsOnTerminate()
{
    Rig rig;
    QVERIFY(rig.started);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, rig.port);
    QVERIFY(client.waitForConnected(5000));
    rig.server.terminate();
    QVERIFY(rig.server.waitForFinished(5000));
    QCOMPARE(rig.server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(rig.server.exitCode(), 0);
    QVERIFY(rig.server.readAllStandardError().contains("stopped\n"));
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

QTEST_GUILESS_MAIN(RigctlPeerTest)
#include "tst_rigctlpeer.moc"
