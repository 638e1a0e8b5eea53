// The receiver shared over the network, traced and recovered, through the receiver panel and
// a simulated receiver on a pseudo-terminal.
#include "corvindriver.h"
#include "datafolders.h"
#include "receiverpanelharness.h"
#include "receiversharing.h"
#include "rigserver.h"
#include "rigtestclient.h"
#include "serialtrace.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using RigTestClient::ask;
using RigTestClient::freePort;

class TestReceiverSharing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void networkRequestsGoThroughThePanel();
    void refusedWhileBusyOrDisconnected();
    void serialTraceFile();
    void reconnectsAfterTheAdapterVanishes();
    void disconnectEndsReconnecting();

private:
    static void connectTo(PanelHarness &harness, const QString &port);
    // Connects through a link to the terminal, which stays valid when the terminal vanishes.
    static void connectThroughLink(PanelHarness &harness, SimulatedReceiver &rx,
                                   const QString &link);
    static void shareOn(PanelHarness &harness, quint16 port);
};

void TestReceiverSharing::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReceiverSharing::init()
{
    QSettings(QString::fromLatin1(SettingsKeys::organization),
              QString::fromLatin1(SettingsKeys::application))
        .clear();
}

void TestReceiverSharing::connectTo(PanelHarness &harness, const QString &port)
{
    harness.ui.serialCB->addItem(port);
    harness.ui.serialCB->setCurrentText(port);
    harness.updateConnectionUi();
    harness.ui.openPB->click();
    QVERIFY2(harness.driver()->isOpen(), qPrintable(harness.log.join(QLatin1Char('\n'))));
    // The test drives the poll itself.
    harness.panel->findChild<QTimer *>(QStringLiteral("pollTimer"))->stop();
}

void TestReceiverSharing::connectThroughLink(PanelHarness &harness, SimulatedReceiver &rx,
                                             const QString &link)
{
    QString error;
    QVERIFY2(rx.sim.linkPort(link, &error), qPrintable(error));
    harness.createPanel();
    connectTo(harness, link);
}

void TestReceiverSharing::shareOn(PanelHarness &harness, quint16 port)
{
    harness.settings().setValue(QLatin1String(SettingsKeys::sharePort), port);
    harness.settings().setValue(QLatin1String(SettingsKeys::shareEnabled), true);
}

// A frequency set over the network waits behind the dial's request, then shows on the
// readout as if typed; mode and S-meter go the same way.
void TestReceiverSharing::networkRequestsGoThroughThePanel()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx.sim.portPath());
    const quint16 port = freePort();
    shareOn(harness, port);
    ReceiverSharing sharing(harness, &harness.window);
    QVERIFY(sharing.server());
    QVERIFY(harness.logContains(QStringLiteral("Sharing the receiver on 127.0.0.1:%1").arg(port)));

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(client.waitForConnected(5000));
    QTRY_COMPARE(sharing.server()->clientCount(), 1);
    QTRY_VERIFY(harness.logContains(
        QStringLiteral("Network client 127.0.0.1:%1 connected.").arg(client.localPort())));
    const auto *status = sharing.panel()->findChild<QLabel *>(QStringLiteral("shareStatus"));
    QCOMPARE(status->text(),
             QStringLiteral("Shared on 127.0.0.1:%1, 1 client(s) connected.").arg(port));
    // Leaving the port field as it was keeps the clients.
    emit sharing.panel()->findChild<QSpinBox *>(QStringLiteral("sharePort"))->editingFinished();
    QCOMPARE(sharing.server()->clientCount(), 1);

    rx.sim.clearWireLog();
    harness.panel->deltaFrequency(1); // 89 100 001 Hz waits in the queue
    QCOMPARE(ask(client, "F 7050000.000000"), QByteArray("RPRT 0\n"));
    QCOMPARE(rx.commands(), QList<QByteArray>({"RF0089100000", "RF0007050000"}));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("7.050000"));
    QCOMPARE(ask(client, "f"), QByteArray("7050000\n"));

    QCOMPARE(ask(client, "+M FM 6000", 2), QByteArray("set_mode: FM 6000\nRPRT 0\n"));
    QCOMPARE(rx.commands().last(), QByteArray("MD6"));
    QCOMPARE(harness.ui.modulationCB->currentText(), QStringLiteral("SFM"));
    QCOMPARE(ask(client, "m", 2), QByteArray("FM\n6000\n"));

    const QByteArray raw = ask(client, "l RAWSTR");
    QCOMPARE(rx.commands().last(), QByteArray("LM"));
    QCOMPARE(raw.trimmed().toInt(), harness.ui.level->text().toInt());

    client.disconnectFromHost();
    QTRY_COMPARE(sharing.server()->clientCount(), 0);
    QTRY_VERIFY(harness.logContains(QStringLiteral("disconnected.")));
    QCOMPARE(status->text(),
             QStringLiteral("Shared on 127.0.0.1:%1, 0 client(s) connected.").arg(port));
    sharing.setSharing(false);
    QVERIFY(!sharing.server());
    QCOMPARE(status->text(), QStringLiteral("Not shared."));
}

void TestReceiverSharing::refusedWhileBusyOrDisconnected()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx.sim.portPath());
    const quint16 port = freePort();
    shareOn(harness, port);
    ReceiverSharing sharing(harness, &harness.window);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(client.waitForConnected(5000));

    rx.sim.clearWireLog();
    harness.sweeping = true;
    QCOMPARE(ask(client, "F 7000000"), QByteArray("RPRT -9\n"));
    QCOMPARE(ask(client, "M AM 0"), QByteArray("RPRT -9\n"));
    QCOMPARE(ask(client, "f"), QByteArray("89100000\n"));
    QVERIFY(rx.commands().isEmpty());
    harness.sweeping = false;

    harness.ui.openPB->click();
    QVERIFY(!harness.driver()->isOpen());
    QCOMPARE(ask(client, "F 7000000"), QByteArray("RPRT -20\n"));
    QCOMPARE(ask(client, "\\get_powerstat"), QByteArray("0\n"));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("89.100000"));
}

// "Log serial traffic" writes every block of a known exchange into data/serial.
void TestReceiverSharing::serialTraceFile()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx.sim.portPath());
    ReceiverSharing sharing(harness, &harness.window);
    sharing.panel()->findChild<QCheckBox *>(QStringLiteral("logSerialTraffic"))->setChecked(true);
    QVERIFY(sharing.trace());
    const QString file = sharing.trace()->currentFile();
    QCOMPARE(QFileInfo(file).absolutePath(),
             QDir(DataFolders::path(QLatin1String(DataFolders::serial))).absolutePath());
    QVERIFY2(QFileInfo(file).fileName().startsWith(QLatin1String("trace_")), qPrintable(file));
    QVERIFY(harness.driver()->tune(7050000));
    sharing.trace()->flush();

    QFile traced(file);
    QVERIFY(traced.open(QIODevice::ReadOnly));
    const QByteArray text = traced.readAll();
    QVERIFY2(text.contains(" TX 52 46 30 30 30 37 30 35 30 30 30 30 0d | RF0007050000<CR>\n"),
             text.constData());
    QVERIFY2(text.contains(" RX 0d | <CR>\n"), text.constData());
    QVERIFY(QSettings(harness.settings().fileName(), QSettings::IniFormat)
                .value(QLatin1String(SettingsKeys::logSerialTraffic))
                .toBool());

    sharing.setTracing(false);
    QVERIFY(!sharing.trace());
    QVERIFY(harness.driver()->tune(7060000)); // no trace left to call
    QVERIFY(harness.logContains(QStringLiteral("Stopped logging serial traffic")));
}

// The adapter goes away under a running activity: the activity stops, the port is reopened
// every second and the receiver gets its frequency and mode back.
void TestReceiverSharing::reconnectsAfterTheAdapterVanishes()
{
    SimulatedReceiver rx;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("receiver"));
    PanelHarness harness({});
    connectThroughLink(harness, rx, link);
    harness.ui.modulationCB->setCurrentIndex(3);
    harness.panel->processAction(); // MD3
    bool sweepStopped = false;
    harness.activities().registerStop(Activity::RfSweep, &harness, [&] {
        sweepStopped = true;
        harness.sweeping = false;
    });
    harness.sweeping = true;

    rx.sim.vanish(1500);
    int level = 0;
    QVERIFY(!harness.driver()->readSignalLevel(&level)); // the sweep's next step
    QVERIFY(harness.driver()->isLinkLost());
    QTRY_VERIFY(!harness.driver()->isOpen());
    QVERIFY(sweepStopped);
    QCOMPARE(harness.ui.receiverStatus->text(),
             QStringLiteral("Receiver link lost, reconnecting…"));
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Disconnect"));
    QVERIFY(harness.ui.openPB->isChecked());
    QVERIFY(harness.logContains(QStringLiteral("Receiver link lost on %1").arg(link)));

    rx.sim.clearWireLog();
    QTRY_VERIFY_WITH_TIMEOUT(harness.driver()->isOpen(), 8000);
    QCOMPARE(harness.ui.receiverStatus->text(), QStringLiteral("Connected (%1)").arg(link));
    QVERIFY(harness.logContains(QStringLiteral("Receiver found again on %1").arg(link)));
    QVERIFY(harness.logContains(
        QStringLiteral("Receiver reconnected on %1; frequency 89.100000 MHz and mode USB "
                       "restored.")
            .arg(link)));
    QCOMPARE(rx.commands(), QList<QByteArray>({"VR", "RF0089100000", "MD3"}));
    QTRY_VERIFY(harness.panel->findChild<QTimer *>(QStringLiteral("pollTimer"))->isActive());
}

void TestReceiverSharing::disconnectEndsReconnecting()
{
    SimulatedReceiver rx;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("receiver"));
    PanelHarness harness({});
    connectThroughLink(harness, rx, link);
    rx.sim.vanish(60000);
    harness.panel->queueTune(7000000);
    harness.panel->processAction();
    QTRY_VERIFY(harness.panel->isReconnecting());

    harness.ui.openPB->click();
    QVERIFY(!harness.panel->isReconnecting());
    QVERIFY(harness.logContains(QStringLiteral("Stopped reconnecting to the receiver.")));
    QCOMPARE(harness.ui.receiverStatus->text(), QStringLiteral("Receiver disconnected"));
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Connect"));
    QTest::qWait(1500);
    QVERIFY(!harness.driver()->isOpen());
    QVERIFY(!harness.logContains(QStringLiteral("(attempt")));
}

QTEST_MAIN(TestReceiverSharing)
#include "tst_receiversharing.moc"
