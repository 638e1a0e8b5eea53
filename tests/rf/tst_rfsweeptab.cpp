// The Frequency Spectrum Analyzer page on a simulated receiver: enabling, parameter checks,
// what a sweep does to the receiver panel, settings, the report button, the band view, the
// end-of-scan standby and the shutdown step.
#include "activityregistry.h"
#include "powerbackend.h"
#include "rfsweeptab.h"
#include "scanstandby.h"
#include "settingskeys.h"
#include "simulatorrig.h"
#include "testhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class QuietPower : public PowerBackend
{
public:
    bool acquireKeepAwake() override
    {
        held = true;
        return true;
    }
    bool releaseKeepAwake() override
    {
        held = false;
        return true;
    }
    int requestSleep() override { return 0; }
    bool held = false;
};

// A tab on a host whose driver talks to the simulator.
struct Page
{
    Page()
    {
        qputenv("CORVIN_DATA_DIR", data.path().toUtf8());
        host.receiverDriver = &rig.driver;
        host.receiver.frequency = 7050000;
        host.receiver.mode = 3; // USB
        host.standby = new ScanStandby(host, power, &host);
        host.standby->registerWith(host.activities());
        tab = new RfSweepTab(host);
        tab->setReportOpener([this](const QString &path) {
            opened << path;
            return true;
        });
        tab->show();
    }
    ~Page() { delete tab; }

    template <typename T> T *find(const char *name) const
    {
        return tab->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QLabel *label(const char *name) const { return find<QLabel>(name); }
    void setRange(double start, double end, double step, int settle = 50)
    {
        find<QDoubleSpinBox>("rfStartMHz")->setValue(start);
        find<QDoubleSpinBox>("rfEndMHz")->setValue(end);
        find<QDoubleSpinBox>("rfStepKHz")->setValue(step);
        find<QSpinBox>("rfSettleMs")->setValue(settle);
    }

    QTemporaryDir data;
    SimulatorRig rig{{"station 88100000 WFM 150000 200 speech Radio"}};
    TestHost host;
    std::shared_ptr<QuietPower> power = std::make_shared<QuietPower>();
    RfSweepTab *tab = nullptr;
    QStringList opened;
};

} // namespace

class RfSweepTabTest : public QObject
{
    Q_OBJECT

private slots:
    void startNeedsConnectedIdleReceiver();
    void invalidParametersAreRefused();
    void completedSweepWithStandby();
    void stoppedSweepSkipsStandby();
    void closingTheWindowStopsTheSweep();
};

void RfSweepTabTest::startNeedsConnectedIdleReceiver()
{
    Page page;
    QPushButton *start = page.button("rfStartPB");
    QVERIFY(start->isEnabled());
    QCOMPARE(page.label("rfStatus")->text(),
             QStringLiteral("Connect the receiver to start an RF sweep."));
    bool otherRunning = true;
    page.host.activities().registerActivity(Activity::SmartScan, &page.host,
                                            [&otherRunning] { return otherRunning; });
    page.host.updateConnectionUi();
    QVERIFY(!start->isEnabled());
    start->click(); // a click that gets through anyway does nothing
    QVERIFY(!page.tab->isRunning());
    otherRunning = false;
    page.rig.driver.closePort();
    page.host.updateConnectionUi();
    QVERIFY(!start->isEnabled());
    QVERIFY(!page.button("rfStopPB")->isEnabled());
    QVERIFY(!page.button("rfPrintPB")->isEnabled());
    // The mode list follows the receiver panel's, defaulting to its current mode.
    QComboBox *mode = page.find<QComboBox>("rfModeCB");
    QCOMPARE(mode->count(), 10);
    QCOMPARE(mode->currentText(), QStringLiteral("USB"));
}

void RfSweepTabTest::invalidParametersAreRefused()
{
    Page page;
    page.setRange(100.0, 90.0, 100.0);
    page.button("rfStartPB")->click();
    QCOMPARE(page.label("rfStatus")->text(),
             QStringLiteral("Set an end frequency at or above the start and a step of at least "
                            "100 Hz."));
    QVERIFY(!page.tab->isRunning());
    QVERIFY(page.host.log.isEmpty());
}

void RfSweepTabTest::completedSweepWithStandby()
{
    Page page;
    page.setRange(88.0, 88.2, 100.0);
    page.find<QComboBox>("rfModeCB")->setCurrentIndex(0); // WFM
    QCheckBox *standbyAfter = page.find<QCheckBox>("rfStandbyAfter");
    standbyAfter->setChecked(true);
    page.button("rfStartPB")->click();
    QVERIFY(page.tab->isRunning());
    QVERIFY(!page.button("rfStartPB")->isEnabled());
    QVERIFY(!page.find<QDoubleSpinBox>("rfStartMHz")->isEnabled());
    QVERIFY(page.power->held);
    QCOMPARE(page.host.receiver.modeChanges.first(), qMakePair(0, false));
    QCOMPARE(page.host.settings().value("RfSweep/rfEndMHz").toDouble(), 88.2);
    QCOMPARE(page.host.settings().value(SettingsKeys::rfSweepMode).toInt(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!page.tab->isRunning(), 10000);

    // The receiver goes back where it was; the next poll reads the S-meter.
    QCOMPARE(page.host.restores, (QVector<QPair<qint64, int>>{{7050000, 3}}));
    QCOMPARE(page.host.receiver.shownLevel, -1);
    QCOMPARE(page.host.receiver.levelPollRequests, 1);
    QCOMPARE(page.find<QProgressBar>("rfProgress")->value(), 3);
    QVERIFY(page.label("rfSummary")
                ->text()
                .startsWith(
                    QLatin1String("3/3 sampled | 3 with readings | 0 without readings | Peak ")));
    QTableWidget *top = page.find<QTableWidget>("rfTopSignals");
    QCOMPARE(top->rowCount(), 3);
    QCOMPARE(top->item(0, 0)->text(), QStringLiteral("88.1000"));
    QCOMPARE(top->item(0, 2)->text(), QStringLiteral("WFM"));
    QCOMPARE(top->item(0, 3)->text(), QStringLiteral("VHF"));
    QCOMPARE(top->item(0, 3)->toolTip(), QStringLiteral("30-300 MHz"));
    // The test's table has a light base: the band's dark colour.
    QCOMPARE(top->item(0, 0)->foreground().color(), QColor(QStringLiteral("#9B4C00")));
    QComboBox *band = page.find<QComboBox>("rfStatsBand");
    band->setCurrentIndex(1); // LF: nothing measured there
    QCOMPARE(top->rowCount(), 0);
    QCOMPARE(
        page.label("rfStatistics")->text(),
        QStringLiteral("No valid S-meter readings.\n0 valid | 0 without readings | 0 planned"));
    band->setCurrentIndex(4);
    QVERIFY(page.label("rfStatistics")
                ->text()
                .endsWith(QLatin1String("\n3 valid | 0 without readings | 3 planned")));

    QPushButton *print = page.button("rfPrintPB");
    QVERIFY(print->isEnabled());
    print->click();
    QCOMPARE(page.opened, QStringList{page.tab->sweep().reportPath()});

    // A completed, saved sweep with readings starts the countdown; Stop cancels it.
    QVERIFY(!standbyAfter->isChecked());
    QVERIFY(page.host.standby->isCountingDown());
    QPushButton *stop = page.button("rfStopPB");
    QCOMPARE(stop->text(), QStringLiteral("Cancel standby"));
    QVERIFY(stop->isEnabled());
    QVERIFY(!standbyAfter->isEnabled());
    stop->click();
    QVERIFY(!page.host.standby->isCountingDown());
    QVERIFY(page.host.logContains("Automatic standby canceled. Results are saved."));
    QCOMPARE(stop->text(), QStringLiteral("Stop"));
    QVERIFY(!page.power->held);
}

void RfSweepTabTest::stoppedSweepSkipsStandby()
{
    Page page;
    page.setRange(88.0, 90.0, 100.0, 2000);
    page.find<QCheckBox>("rfStandbyAfter")->setChecked(true);
    page.button("rfStartPB")->click();
    QTRY_VERIFY(page.label("rfStatus")->text().startsWith(QLatin1String("Measuring")));
    page.button("rfStopPB")->click();
    QVERIFY(!page.tab->isRunning());
    QCOMPARE(page.label("rfStatus")->text(),
             QStringLiteral("Frequency spectrum sweep stopped by user."));
    QVERIFY(page.host.logContains("Automatic standby skipped"));
    QVERIFY(!page.host.standby->isCountingDown());
    QVERIFY(!page.find<QCheckBox>("rfStandbyAfter")->isChecked());
    QVERIFY(page.button("rfPrintPB")->isEnabled());
}

void RfSweepTabTest::closingTheWindowStopsTheSweep()
{
    Page page;
    page.setRange(88.0, 90.0, 100.0, 2000);
    page.button("rfStartPB")->click();
    QVERIFY(page.tab->isRunning());
    page.find<QDoubleSpinBox>("rfStepKHz")->setValue(12.5); // disabled, but stored as shown
    page.host.activities().runShutdown();
    QVERIFY(!page.tab->isRunning());
    QVERIFY(page.host.logContains("Frequency spectrum sweep stopped on exit."));
    QCOMPARE(page.host.settings().value("RfSweep/rfStepKHz").toDouble(), 12.5);
}

QTEST_MAIN(RfSweepTabTest)
#include "tst_rfsweeptab.moc"
