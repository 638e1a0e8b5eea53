#include "receiverpanelharness.h"

#include "quitonsignal.h"
#include "rotaryencoder.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <unistd.h>

// The receiver panel's step-by-step Scan against a simulated receiver.
class TestReceiverPanelScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void stopsAboveThreshold();
    void equalLevelContinuesToThreeGigahertz();
    void stepBeyondRangeSendsNothing();
    void stopsWhenUnchecked();
    void stopsWhenWindowCloses();
    void stopsAtOnceOnQuitSignal();
    void levelUnavailable();
    void refusedWhileBusy();

private:
    static void connectTo(PanelHarness &harness, SimulatedReceiver &rx);
    static QList<QByteArray> tunes(const SimulatedReceiver &rx);
    static int levelReads(const SimulatedReceiver &rx);
};

void TestReceiverPanelScan::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReceiverPanelScan::init()
{
    QSettings(QString::fromLatin1(SettingsKeys::organization),
              QString::fromLatin1(SettingsKeys::application))
        .clear();
}

void TestReceiverPanelScan::connectTo(PanelHarness &harness, SimulatedReceiver &rx)
{
    harness.ui.serialCB->addItem(rx.sim.portPath());
    harness.ui.serialCB->setCurrentText(rx.sim.portPath());
    harness.updateConnectionUi();
    harness.ui.openPB->click();
    QVERIFY2(harness.driver()->isOpen(), qPrintable(harness.log.join(QLatin1Char('\n'))));
    harness.panel->findChild<QTimer *>(QStringLiteral("pollTimer"))->stop();
    rx.sim.clearWireLog();
}

QList<QByteArray> TestReceiverPanelScan::tunes(const SimulatedReceiver &rx)
{
    QList<QByteArray> result;
    for (const QByteArray &command : rx.commands()) {
        if (command.startsWith("RF"))
            result.append(command);
    }
    return result;
}

int TestReceiverPanelScan::levelReads(const SimulatedReceiver &rx)
{
    return static_cast<int>(rx.commands().count("LM"));
}

void TestReceiverPanelScan::stopsAboveThreshold()
{
    SimulatedReceiver rx({QStringLiteral("station 7100000 AM 3000 120 speech Test")});
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::frequency), 7050000);
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 12); // 10 kHz
    harness.createPanel();
    connectTo(harness, rx);
    harness.panel->showSignalLevel(-1);

    harness.ui.scanPB->click();

    QCOMPARE(tunes(rx), (QList<QByteArray>{"RF0007060000", "RF0007070000", "RF0007080000",
                                           "RF0007090000", "RF0007100000"}));
    QCOMPARE(levelReads(rx), 5);
    QCOMPARE(harness.panel->currentFrequency(), qint64(7100000));
    QCOMPARE(harness.ui.frequency->text(), QStringLiteral("7.100000"));
    // The search itself does not refresh the S-meter; the poll does afterwards.
    QCOMPARE(harness.ui.level->text(), QStringLiteral("---"));

    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(!harness.panel->isScanRunning());
    QVERIFY(harness.isIdle());
    QVERIFY(harness.ui.openPB->isEnabled());
    QVERIFY(harness.ui.tuning->isEnabled());
    QVERIFY(harness.ui.modulationCB->isEnabled());
    QVERIFY(harness.ui.scanPB->isEnabled());
}

void TestReceiverPanelScan::equalLevelContinuesToThreeGigahertz()
{
    // Readings of 253-255 against a threshold of 255: never above it.
    SimulatedReceiver rx({QStringLiteral("station 2999950000 NFM 400000 255 tone Top")});
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::frequency), 2999900000LL);
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 12); // 10 kHz
    harness.settings().setValue(QLatin1String(SettingsKeys::scanThreshold), 255);
    harness.createPanel();
    connectTo(harness, rx);

    harness.ui.scanPB->click();

    QCOMPARE(tunes(rx).size(), 10);
    QCOMPARE(tunes(rx).last(), QByteArray("RF3000000000"));
    QCOMPARE(levelReads(rx), 10);
    QCOMPARE(harness.panel->currentFrequency(), qint64(3000000000));
    QVERIFY(!harness.ui.scanPB->isChecked());
}

void TestReceiverPanelScan::stepBeyondRangeSendsNothing()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::frequency), 2999800000LL);
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 18); // 500 kHz
    harness.createPanel();
    connectTo(harness, rx);

    harness.ui.scanPB->click();

    QCOMPARE(rx.commands(), QList<QByteArray>());
    QCOMPARE(harness.panel->currentFrequency(), qint64(2999800000));
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(harness.isIdle());
}

void TestReceiverPanelScan::stopsWhenUnchecked()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::frequency), 100000000);
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 12); // 10 kHz
    harness.createPanel();
    connectTo(harness, rx);

    bool idleDuringScan = true;
    bool controlsLocked = false;
    bool scanButtonUsable = false;
    QTimer::singleShot(400, this, [&] {
        idleDuringScan = harness.isIdle();
        controlsLocked = !harness.ui.openPB->isEnabled() && !harness.ui.tuning->isEnabled() &&
                         !harness.ui.modulationCB->isEnabled();
        // Another activity refreshing the controls must not lock the Scan's own button.
        harness.updateConnectionUi();
        scanButtonUsable = harness.ui.scanPB->isEnabled();
        harness.ui.scanPB->click();
    });
    harness.ui.scanPB->click();

    QVERIFY(!idleDuringScan);
    QVERIFY(controlsLocked);
    QVERIFY(scanButtonUsable);
    const int steps = static_cast<int>(tunes(rx).size());
    QVERIFY2(steps >= 1 && steps < 1000, qPrintable(QString::number(steps)));
    QCOMPARE(levelReads(rx), steps);
    QCOMPARE(harness.panel->currentFrequency(), qint64(100000000) + steps * 10000);
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(harness.isIdle());
    QVERIFY(harness.ui.openPB->isEnabled());
    QVERIFY(harness.ui.tuning->isEnabled());

    // The poll resumes afterwards.
    rx.sim.clearWireLog();
    harness.panel->pollSignalLevelSoon();
    harness.panel->pollTick();
    QCOMPARE(rx.commands(), QList<QByteArray>{"LM"});
}

void TestReceiverPanelScan::stopsWhenWindowCloses()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 12); // 10 kHz
    harness.createPanel();
    connectTo(harness, rx);

    QTimer::singleShot(300, &harness.window, &QWidget::close);
    harness.ui.scanPB->click();

    const int steps = static_cast<int>(tunes(rx).size());
    QVERIFY2(steps >= 1 && steps < 1000, qPrintable(QString::number(steps)));
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(!harness.panel->isScanRunning());
}

void TestReceiverPanelScan::stopsAtOnceOnQuitSignal()
{
    // A quiet band: unstopped, the search would climb to 3 GHz for hours.
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.settings().setValue(QLatin1String(SettingsKeys::step), 12); // 10 kHz
    harness.createPanel();
    connectTo(harness, rx);
    QuitOnSignal quitOnSignal;
    QVERIFY(!QuitOnSignal::quitRequested());

    QElapsedTimer clock;
    qint64 signalledAt = -1;
    QTimer::singleShot(300, this, [&] {
        signalledAt = clock.elapsed();
        ::kill(::getpid(), SIGTERM);
    });
    // Ends the test rather than letting it run into its time-out when the signal is ignored.
    QTimer::singleShot(5000, this, [&] { harness.ui.scanPB->setChecked(false); });
    clock.start();
    harness.ui.scanPB->click();
    const qint64 endedAt = clock.elapsed();

    QVERIFY(QuitOnSignal::quitRequested());
    QVERIFY(signalledAt >= 0);
    // At most the step under way finishes: a tune, the 100 ms pause and a level read.
    QVERIFY2(endedAt - signalledAt < 1000,
             qPrintable(QStringLiteral("%1 ms after the signal").arg(endedAt - signalledAt)));
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(!harness.panel->isScanRunning());
    QVERIFY(harness.ui.openPB->isEnabled());
    QVERIFY(harness.ui.tuning->isEnabled());
}

void TestReceiverPanelScan::levelUnavailable()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);
    harness.panel->showSignalLevel(50);
    rx.sim.triggerFault(SimFault::NoReply, 1, "LM");

    harness.ui.scanPB->click();

    QCOMPARE(rx.commands(), (QList<QByteArray>{"RF0089100000", "LM"}));
    QCOMPARE(harness.panel->currentFrequency(), qint64(89100001));
    QCOMPARE(harness.ui.level->text(), QStringLiteral("---"));
    QVERIFY(harness.log.contains(
        QStringLiteral("Scan stopped because the receiver signal level is unavailable.")));
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(harness.isIdle());
}

void TestReceiverPanelScan::refusedWhileBusy()
{
    SimulatedReceiver rx;
    PanelHarness harness({});
    harness.createPanel();
    connectTo(harness, rx);

    harness.sweeping = true;
    harness.updateConnectionUi();
    QVERIFY(!harness.ui.scanPB->isEnabled());
    // Even a click that reaches the slot is refused and leaves the button unchecked.
    harness.ui.scanPB->setChecked(true);
    harness.panel->scanner(true);
    QCOMPARE(rx.commands(), QList<QByteArray>());
    QVERIFY(!harness.ui.scanPB->isChecked());
    QVERIFY(!harness.panel->isScanRunning());
}

QTEST_MAIN(TestReceiverPanelScan)
#include "tst_receiverpanelscan.moc"
