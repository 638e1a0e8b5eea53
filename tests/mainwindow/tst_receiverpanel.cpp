#include "receiverpanelharness.h"

#include "rotaryencoder.h"
#include "smeter.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

// The receiver panel against a simulated receiver on a pseudo-terminal.
class TestReceiverPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void restoreSettings_data();
    void restoreSettings();
    void settingsRoundTrip();
    void noPortsPlaceholder();

    void frequencyEntryRounding();
    void dialLimits_data();
    void dialLimits();

    void connectAndPollOrder();
    void pollSilentDuringActivity();
    void connectSilentReceiver();
    void connectMissingPort();
    void scopeServiceSessionIsNotAConnection();
    void disconnect_data();
    void disconnect();

    void failedTuneFollowsReceiver();
    void autoLabel();
    void restoreReceiver();
    void restoreReceiverFailures();

private:
    static void connectTo(PanelHarness &harness, SimulatedReceiver &rx);
    static QTimer *pollTimer(PanelHarness &harness);
    static void tick(PanelHarness &harness, int count = 1);
};

void TestReceiverPanel::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReceiverPanel::init()
{
    QSettings(QString::fromLatin1(SettingsKeys::organization),
              QString::fromLatin1(SettingsKeys::application))
        .clear();
}

void TestReceiverPanel::scopeServiceSessionIsNotAConnection()
{
    SimulatedReceiver rx;
    PanelHarness harness({rx.sim.portPath()});
    bool session = false;
    harness.activities().registerActivity(Activity::BandScopeService, &harness,
                                          [&session] { return session; });
    harness.createPanel();
    // The band scope's service session opens the port itself.
    session = true;
    QVERIFY(harness.driver()->openPort(rx.sim.portPath()));
    harness.updateConnectionUi();
    QCOMPARE(harness.ui.receiverStatus->text(), QStringLiteral("Receiver disconnected"));
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Connect"));
    QVERIFY(!harness.ui.openPB->isChecked());
    QVERIFY(!harness.ui.openPB->isEnabled());
    QVERIFY(!harness.ui.serialCB->isEnabled());
    QVERIFY(!harness.ui.effectiveMode->isVisible());
    session = false;
    harness.updateConnectionUi();
    QCOMPARE(harness.ui.receiverStatus->text(),
             QStringLiteral("Connected (%1)").arg(rx.sim.portPath()));
}

void TestReceiverPanel::connectTo(PanelHarness &harness, SimulatedReceiver &rx)
{
    harness.ui.serialCB->addItem(rx.sim.portPath());
    harness.ui.serialCB->setCurrentText(rx.sim.portPath());
    harness.updateConnectionUi();
    QVERIFY(harness.ui.openPB->isEnabled());
    harness.ui.openPB->click();
    QVERIFY2(harness.driver()->isOpen(), qPrintable(harness.log.join(QLatin1Char('\n'))));
    // The test drives the poll ticks itself.
    pollTimer(harness)->stop();
    rx.sim.clearWireLog();
}

QTimer *TestReceiverPanel::pollTimer(PanelHarness &harness)
{
    return harness.panel->findChild<QTimer *>(QStringLiteral("pollTimer"));
}

void TestReceiverPanel::tick(PanelHarness &harness, int count)
{
    for (int i = 0; i < count; ++i)
        harness.panel->pollTick();
}

void TestReceiverPanel::restoreSettings_data()
{
    QTest::addColumn<QVariant>("modulation");
    QTest::addColumn<QVariant>("step");
    QTest::addColumn<QVariant>("serialPort");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<QString>("port");

    const QVariant absent;
    QTest::newRow("nothing stored") << absent << absent << absent << 0 << 0 << "ttyS0";
    QTest::newRow("modulation above the list")
        << QVariant(12) << QVariant(4) << absent << 9 << 4 << "ttyS0";
    QTest::newRow("negative step") << QVariant(3) << QVariant(-3) << absent << 3 << 0 << "ttyS0";
    QTest::newRow("step above the list")
        << QVariant(-1) << QVariant(40) << absent << 0 << 18 << "ttyS0";
    QTest::newRow("port present") << absent << absent << QVariant("ttyUSB0") << 0 << 0 << "ttyUSB0";
    QTest::newRow("port absent") << absent << absent << QVariant("ttyS9") << 0 << 0 << "ttyS0";
    QTest::newRow("port in other case")
        << absent << absent << QVariant("TTYUSB0") << 0 << 0 << "ttyS0";
}

void TestReceiverPanel::restoreSettings()
{
    QFETCH(QVariant, modulation);
    QFETCH(QVariant, step);
    QFETCH(QVariant, serialPort);
    QFETCH(int, mode);
    QFETCH(int, stepIndex);
    QFETCH(QString, port);

    PanelHarness harness({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
    if (modulation.isValid())
        harness.settings().setValue(QLatin1String(SettingsKeys::modulation), modulation);
    if (step.isValid())
        harness.settings().setValue(QLatin1String(SettingsKeys::step), step);
    if (serialPort.isValid())
        harness.settings().setValue(QLatin1String(SettingsKeys::serialPort), serialPort);
    harness.createPanel();

    QCOMPARE(harness.ui.modulationCB->currentIndex(), mode);
    QCOMPARE(harness.ui.stepCB->currentIndex(), stepIndex);
    QCOMPARE(harness.ui.serialCB->currentText(), port);
    // Restoring the lists neither talks to the receiver nor queues anything.
    QVERIFY(harness.panel->requestQueue().isEmpty());
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("89.100000"));
    QCOMPARE(harness.ui.scanLevelSB->value(), 18);
    QVERIFY(!harness.ui.standbyOnDisconnect->isChecked());
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Connect"));
    QVERIFY(harness.ui.openPB->isEnabled());
    QVERIFY(!harness.ui.scanPB->isEnabled());
    QVERIFY(harness.ui.effectiveMode->isHidden());
    QCOMPARE(harness.ui.receiverStatus->text(), QStringLiteral("Receiver disconnected"));
}

void TestReceiverPanel::settingsRoundTrip()
{
    PanelHarness harness({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
    QSettings &settings = harness.settings();
    settings.setValue(QLatin1String(SettingsKeys::frequency), 145500000);
    settings.setValue(QLatin1String(SettingsKeys::scanThreshold), 40);
    settings.setValue(QLatin1String(SettingsKeys::standbyOnDisconnect), true);
    harness.createPanel();

    QCOMPARE(harness.panel->currentFrequency(), qint64(145500000));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("145.500000"));
    QCOMPARE(harness.ui.scanLevelSB->value(), 40);
    QVERIFY(harness.ui.standbyOnDisconnect->isChecked());

    // The standby option is stored as soon as it changes.
    harness.ui.standbyOnDisconnect->setChecked(false);
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::standbyOnDisconnect)).toBool(), false);

    harness.ui.modulationCB->setCurrentIndex(4);
    harness.ui.stepCB->setCurrentIndex(14);
    harness.ui.serialCB->setCurrentIndex(1);
    harness.ui.scanLevelSB->setValue(77);
    harness.panel->setCurrentFrequency(7055000);
    harness.panel->storeSettings();
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::frequency)).toLongLong(), qint64(7055000));
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::modulation)).toInt(), 4);
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::step)).toInt(), 14);
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::serialPort)).toString(),
             QStringLiteral("ttyUSB0"));
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::scanThreshold)).toInt(), 77);

    // A damaged frequency does not put the readout outside the receiver's range.
    settings.setValue(QLatin1String(SettingsKeys::frequency), 9000000000LL);
    PanelHarness second({});
    second.createPanel();
    QCOMPARE(second.panel->currentFrequency(), qint64(3000000000));
}

void TestReceiverPanel::noPortsPlaceholder()
{
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::serialPort), QStringLiteral("ttyS0"));
    harness.createPanel();
    QCOMPARE(harness.ui.serialCB->count(), 1);
    QCOMPARE(harness.ui.serialCB->currentText(), QStringLiteral("No COM ports available"));
    QVERIFY(!harness.ui.openPB->isEnabled());

    // A typed device path counts as a port.
    harness.ui.serialCB->setEditText(QStringLiteral("/dev/ttyACM0"));
    QVERIFY(harness.ui.openPB->isEnabled());
}

void TestReceiverPanel::frequencyEntryRounding()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);

    // Cancelling changes nothing.
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->reject();
    });
    harness.ui.fxPB->click();
    QCOMPARE(harness.panel->currentFrequency(), qint64(89100000));
    QVERIFY(harness.panel->requestQueue().isEmpty());

    QString title;
    QString label;
    double initial = 0;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        label = dialog->labelText();
        initial = dialog->doubleValue();
        dialog->setDoubleValue(145.12345649);
        dialog->accept();
    });
    harness.ui.fxPB->click();
    QCOMPARE(title, QStringLiteral("Set frequency"));
    QCOMPARE(label, QStringLiteral("Frequency in MHz (0.100000 to 3000.000000)"));
    QCOMPARE(initial, 89.1);
    QCOMPARE(harness.panel->currentFrequency(), qint64(145123456));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("145.123456"));
    QCOMPARE(harness.panel->requestQueue().size(), 1);
    QVERIFY(harness.panel->hasPendingTuning());

    harness.panel->processAction();
    QCOMPARE(rx.commands(), QList<QByteArray>{"RF0145123400"});
    QCOMPARE(rx.sim.frequency(), quint64(145123400));
    QVERIFY(!harness.panel->hasPendingTuning());
}

void TestReceiverPanel::dialLimits_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<int>("detents");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("sticks at 100 kHz") << qint64(150000) << 15 << -3 << qint64(100000);
    QTest::newRow("stays at 100 kHz") << qint64(100000) << 0 << -1 << qint64(100000);
    QTest::newRow("sticks at 3 GHz") << qint64(2999900000) << 18 << 1 << qint64(3000000000);
    QTest::newRow("8.33 kHz steps") << qint64(118000000) << 11 << 3 << qint64(118024990);
    QTest::newRow("down by 1 kHz") << qint64(7000000) << 8 << -2 << qint64(6998000);
}

void TestReceiverPanel::dialLimits()
{
    QFETCH(qint64, start);
    QFETCH(int, stepIndex);
    QFETCH(int, detents);
    QFETCH(qint64, expected);

    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    harness.ui.stepCB->setCurrentIndex(stepIndex);
    harness.panel->setCurrentFrequency(start);

    // Disconnected: the readout moves, nothing is queued.
    const int direction = detents > 0 ? 1 : -1;
    for (int i = 0; i < qAbs(detents); ++i)
        emit harness.ui.tuning->deltaChanged(direction);
    QCOMPARE(harness.panel->currentFrequency(), expected);
    QVERIFY(harness.panel->requestQueue().isEmpty());

    // Connected: one tune request per detent, each to the limited frequency.
    connectTo(harness, rx);
    harness.panel->setCurrentFrequency(start);
    for (int i = 0; i < qAbs(detents); ++i)
        emit harness.ui.tuning->deltaChanged(direction);
    QCOMPARE(harness.panel->requestQueue().size(), qAbs(detents));
    QCOMPARE(harness.panel->requestQueue().pending().last(), ReceiverRequest::tune(expected));

    // Ignored while anomaly capture is armed.
    harness.armed = true;
    emit harness.ui.tuning->deltaChanged(direction);
    QCOMPARE(harness.panel->currentFrequency(), expected);
    QCOMPARE(harness.panel->requestQueue().size(), qAbs(detents));
}

void TestReceiverPanel::connectAndPollOrder()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::frequency), 7100000);
    harness.settings().setValue(QLatin1String(SettingsKeys::modulation), 4);
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 8);
    harness.createPanel();

    harness.ui.serialCB->addItem(rx.sim.portPath());
    harness.ui.serialCB->setCurrentText(rx.sim.portPath());
    harness.updateConnectionUi();
    harness.ui.openPB->click();
    QVERIFY(harness.driver()->isOpen());
    QVERIFY(pollTimer(harness)->isActive());
    QCOMPARE(pollTimer(harness)->interval(), 250);
    pollTimer(harness)->stop();

    // Identification, then the receiver follows the panel's frequency and mode.
    QCOMPARE(rx.commands(), (QList<QByteArray>{"VR", "RF0007100000", "MD4"}));
    QVERIFY(
        harness.logContains(QStringLiteral("Receiver connected on %1.").arg(rx.sim.portPath())));
    QVERIFY(!harness.logContains(QStringLiteral("Initial receiver tuning")));
    QCOMPARE(harness.tabs->currentWidget()->objectName(), QStringLiteral("Main"));
    QVERIFY(harness.ui.openPB->isChecked());
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Disconnect"));
    QVERIFY(!harness.ui.serialCB->isEnabled());
    QVERIFY(harness.ui.scanPB->isEnabled());
    QCOMPARE(harness.ui.receiverStatus->text(),
             QStringLiteral("Connected (%1)").arg(rx.sim.portPath()));
    rx.sim.clearWireLog();

    // A burst of three detents and a mode change: one request per tick, in order; the first
    // S-meter read comes on the fifth tick after connecting.
    for (int i = 0; i < 3; ++i)
        emit harness.ui.tuning->deltaChanged(1);
    harness.ui.modulationCB->setCurrentIndex(3);
    const QList<QList<QByteArray>> expected = {{"RF0007101000"},
                                               {"RF0007102000"},
                                               {"RF0007103000"},
                                               {"MD3"},
                                               {"LM"},
                                               {},
                                               {},
                                               {},
                                               {},
                                               {"LM"}};
    for (int i = 0; i < expected.size(); ++i) {
        rx.sim.clearWireLog();
        tick(harness);
        QCOMPARE(rx.commands(), expected.at(i));
    }
    QVERIFY(harness.ui.level->text().contains(QRegularExpression(QStringLiteral("^\\d{3}$"))));
    const int level = harness.ui.level->text().toInt();
    QVERIFY(level >= 6 && level <= 10); // the quiet band's noise floor
    QVERIFY(harness.ui.smeter->value() > 1.0);
}

void TestReceiverPanel::pollSilentDuringActivity()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);
    emit harness.ui.tuning->deltaChanged(1);

    // An RF sweep keeps the poll silent, the queue waits.
    harness.sweeping = true;
    tick(harness, 6);
    QCOMPARE(rx.commands(), QList<QByteArray>());
    QCOMPARE(harness.panel->requestQueue().size(), 1);

    // Armed anomaly capture lets the poll go on.
    harness.sweeping = false;
    harness.armed = true;
    tick(harness, 5);
    QCOMPARE(rx.commands(), (QList<QByteArray>{"RF0089100000", "LM"}));

    // A request to read soon: the next tick reads the S-meter.
    harness.armed = false;
    rx.sim.clearWireLog();
    harness.panel->pollSignalLevelSoon();
    tick(harness);
    QCOMPARE(rx.commands(), QList<QByteArray>{"LM"});
}

void TestReceiverPanel::connectSilentReceiver()
{
    SimulatedReceiver rx;
    rx.sim.setDeadLineMs(0);
    rx.sim.triggerFault(SimFault::DeadLine, 1, "VR");
    PanelHarness harness({});
    harness.createPanel();

    harness.ui.serialCB->addItem(rx.sim.portPath());
    harness.ui.serialCB->setCurrentText(rx.sim.portPath());
    harness.updateConnectionUi();
    harness.ui.openPB->click();

    // One resynchronising retry (a lone CR) of the identification, then failure.
    QCOMPARE(rx.sim.commands(), (QList<QByteArray>{"VR", "", "VR"}));
    QCOMPARE(harness.logCount(QStringLiteral("Resynchronizing with CR and retrying.")), 1);
    QVERIFY(
        harness.log.contains(QStringLiteral("No complete receiver reply to VR within 300 ms.")));
    QCOMPARE(harness.log.last(), QStringLiteral("Could not connect to the receiver."));
    QVERIFY(!harness.driver()->isOpen());
    QVERIFY(!harness.driver()->line().isOpen());
    QVERIFY(!pollTimer(harness)->isActive());
    QVERIFY(!harness.ui.openPB->isChecked());
    QCOMPARE(harness.ui.openPB->text(), QStringLiteral("Connect"));
    QVERIFY(harness.ui.serialCB->isEnabled());
    QCOMPARE(harness.ui.receiverStatus->text(), QStringLiteral("Receiver disconnected"));
}

void TestReceiverPanel::connectMissingPort()
{
    PanelHarness harness({});
    harness.createPanel();
    harness.ui.serialCB->setEditText(QStringLiteral("/nonexistent/ttyCorvin"));
    harness.ui.openPB->click();
    QVERIFY(
        harness.logContains(QStringLiteral("Unable to open serial port /nonexistent/ttyCorvin")));
    QCOMPARE(harness.log.last(), QStringLiteral("Could not connect to the receiver."));
    QVERIFY(!harness.driver()->isOpen());
    QVERIFY(!harness.ui.openPB->isChecked());
}

void TestReceiverPanel::disconnect_data()
{
    QTest::addColumn<bool>("standbyChecked");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("lineDead");
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("plain") << false << false << false << QList<QByteArray>{"EX"} << false
                           << QString();
    QTest::newRow("standby asked") << true << false << false << QList<QByteArray>{"QP"} << true
                                   << "Receiver standby command sent (QP).";
    QTest::newRow("standby forced") << false << true << false << QList<QByteArray>{"QP"} << true
                                    << "Receiver standby command sent (QP).";
    QTest::newRow("line dead") << true << false << true << QList<QByteArray>() << false
                               << "Standby request failed. Disconnecting from the receiver.";
}

void TestReceiverPanel::disconnect()
{
    QFETCH(bool, standbyChecked);
    QFETCH(bool, forced);
    QFETCH(bool, lineDead);
    QFETCH(QList<QByteArray>, sent);
    QFETCH(bool, result);
    QFETCH(QString, message);

    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);
    pollTimer(harness)->start();
    harness.ui.standbyOnDisconnect->setChecked(standbyChecked);
    harness.panel->showSignalLevel(200);
    emit harness.ui.tuning->deltaChanged(1);
    if (lineDead)
        rx.sim.hangUp();

    QCOMPARE(harness.disconnectReceiver(forced), result);
    // The exit command is written without waiting for the receiver to read it.
    QTRY_COMPARE(rx.commands(), sent);
    if (message.isEmpty())
        QVERIFY(!harness.logContains(QStringLiteral("standby")));
    else
        QVERIFY(harness.log.contains(message));
    // Without a line even the exit command fails, and the port is closed anyway.
    if (lineDead)
        QVERIFY(harness.log.contains(QStringLiteral("Failed to write receiver command EX.")));
    QCOMPARE(rx.sim.standby(), result);

    QVERIFY(!harness.driver()->isOpen());
    QVERIFY(!pollTimer(harness)->isActive());
    QVERIFY(harness.panel->requestQueue().isEmpty());
    QCOMPARE(harness.ui.level->text(), QStringLiteral("000"));
    QCOMPARE(harness.ui.smeter->value(), 1.0);

    // A second disconnect finds nothing to do.
    rx.sim.clearWireLog();
    QVERIFY(!harness.disconnectReceiver(true));
    QCOMPARE(rx.commands(), QList<QByteArray>());
}

void TestReceiverPanel::failedTuneFollowsReceiver()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);
    harness.ui.stepCB->setCurrentIndex(12);

    // The tune is answered only after a retry; the read-back reports 5 kHz more.
    rx.sim.triggerFault(SimFault::NoReply, 1, "RF");
    rx.sim.triggerFault(SimFault::WrongFrequency, 1, "RX");
    emit harness.ui.tuning->deltaChanged(1);
    harness.panel->processAction();
    QCOMPARE(rx.commands(), (QList<QByteArray>{"RF0089110000", "RF0089110000", "RX"}));
    QVERIFY(harness.logContains(QStringLiteral("Receiver tuning could not be confirmed")));
    QCOMPARE(harness.panel->currentFrequency(), qint64(89115000));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("89.115000"));

    // When the user has moved on meanwhile, the readout stays on the user's frequency.
    rx.sim.triggerFault(SimFault::NoReply, 1, "RF");
    rx.sim.triggerFault(SimFault::WrongFrequency, 1, "RX");
    emit harness.ui.tuning->deltaChanged(1);
    emit harness.ui.tuning->deltaChanged(1);
    harness.panel->processAction();
    QCOMPARE(harness.panel->currentFrequency(), qint64(89135000));
}

void TestReceiverPanel::autoLabel()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::modulation), 9);
    harness.createPanel();
    QVERIFY(harness.ui.effectiveMode->isHidden());
    connectTo(harness, rx);

    // AUTO at connect: the receiver's band plan picks NFM everywhere in this band.
    QVERIFY(!harness.ui.effectiveMode->isHidden());
    QCOMPARE(harness.ui.effectiveMode->text(), QStringLiteral("AUTO (NFM)"));

    // A tune whose AUTO read-back is malformed twice leaves the mode unknown.
    rx.sim.triggerFault(SimFault::MalformedAuto, 2, "AU");
    emit harness.ui.tuning->deltaChanged(1);
    harness.panel->processAction();
    QCOMPARE(harness.ui.effectiveMode->text(), QStringLiteral("AUTO (mode unavailable)"));

    // A manual mode hides the label; back to AUTO shows it again.
    harness.ui.modulationCB->setCurrentIndex(3);
    QVERIFY(harness.ui.effectiveMode->isHidden());
    harness.panel->processAction();
    harness.ui.modulationCB->setCurrentIndex(9);
    harness.panel->processAction();
    QVERIFY(!harness.ui.effectiveMode->isHidden());
    QCOMPARE(harness.ui.effectiveMode->text(), QStringLiteral("AUTO (NFM)"));

    harness.ui.openPB->click();
    QVERIFY(!harness.driver()->isOpen());
    QVERIFY(harness.ui.effectiveMode->isHidden());
}

void TestReceiverPanel::restoreReceiver()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();

    // Disconnected: nothing happens.
    harness.restoreReceiver(7100000, 3);
    QCOMPARE(harness.panel->currentFrequency(), qint64(89100000));
    QCOMPARE(harness.ui.modulationCB->currentIndex(), 0);

    connectTo(harness, rx);
    harness.panel->setCurrentFrequency(14000000); // where an activity left the readout
    harness.restoreReceiver(7100000, 3);
    QCOMPARE(rx.commands(), (QList<QByteArray>{"MD3", "RF0007100000"}));
    QCOMPARE(harness.ui.modulationCB->currentIndex(), 3);
    QCOMPARE(harness.panel->currentFrequency(), qint64(7100000));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("7.100000"));
    QVERIFY(harness.panel->requestQueue().isEmpty());

    // The same mode again is not re-sent.
    rx.sim.clearWireLog();
    harness.restoreReceiver(7200000, 3);
    QCOMPARE(rx.commands(), QList<QByteArray>{"RF0007200000"});
}

void TestReceiverPanel::restoreReceiverFailures()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);

    rx.sim.triggerFault(SimFault::Reject, 1, "MD");
    rx.sim.triggerFault(SimFault::Reject, 1, "RF");
    harness.restoreReceiver(7100000, 5);
    QVERIFY(harness.log.contains(
        QStringLiteral("Could not restore the receiver mode after the scan.")));
    QVERIFY(
        harness.log.contains(QStringLiteral("Could not restore the frequency after the scan.")));
    QCOMPARE(harness.ui.modulationCB->currentIndex(), 0);
    QCOMPARE(harness.panel->currentFrequency(), qint64(89100000));
    QVERIFY(harness.panel->requestQueue().isEmpty());
}

QTEST_MAIN(TestReceiverPanel)
#include "tst_receiverpanel.moc"
