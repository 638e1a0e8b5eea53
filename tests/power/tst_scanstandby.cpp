#include "activityregistry.h"
#include "logindpowerbackend.h"
#include "powerbackend.h"
#include "privatelogind.h"
#include "scanstandby.h"
#include "testhost.h"

#include <QCheckBox>
#include <QLabel>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// Records what the standby asked of the main window, in order.
class RecordingHost : public TestHost
{
public:
    RecordingHost() { standbyTaken = true; }

    void appendLog(const QString &message) override { events << QStringLiteral("log ") + message; }
    bool disconnectReceiver(bool forceStandby) override
    {
        events << QStringLiteral("disconnect %1").arg(forceStandby ? "forced" : "plain");
        return standbyTaken;
    }
    void stopAllAudio() override { events << QStringLiteral("stop audio"); }
    void updateConnectionUi() override { events << QStringLiteral("update ui"); }
    void flushSettings() override { events << QStringLiteral("flush settings"); }

    QStringList logs() const
    {
        QStringList result;
        for (const QString &event : events)
            if (event.startsWith(QLatin1String("log ")))
                result << event.mid(4);
        return result;
    }

    QStringList events;
};

// A power service whose answers the test chooses and whose use it counts.
class ScriptedBackend : public PowerBackend
{
public:
    bool acquireKeepAwake() override
    {
        ++acquires;
        held = held || acquireWorks;
        return acquireWorks;
    }
    bool releaseKeepAwake() override
    {
        ++releases;
        held = held && !releaseWorks;
        return releaseWorks;
    }
    int requestSleep() override
    {
        sleepOnGuiThread = QThread::currentThread() == qApp->thread();
        ++sleeps;
        return sleepResult;
    }

    bool acquireWorks = true;
    bool releaseWorks = true;
    bool held = false;
    int acquires = 0;
    int releases = 0;
    int sleepResult = 0;
    std::atomic<int> sleeps{0};
    std::atomic<bool> sleepOnGuiThread{true};
};

const QString saved = QStringLiteral("Scan complete: 120 frequencies.");
const QString skipped = QStringLiteral(
    "Automatic standby skipped because the scan ended without complete, saved results.");

// A countdown of 15 one-second ticks on a loaded machine.
constexpr int countdownTimeoutMs = 60000;

} // namespace

class TestScanStandby : public QObject
{
    Q_OBJECT

private slots:
    void keepAwakeFollowsRequests();
    void keepAwakeFailuresAreLoggedAndRetried();
    void withoutLogindOnlyTheMessageIsLogged();
    void endWithoutCountdown_data();
    void endWithoutCountdown();
    void countdownShowsSecondsAndStopCancelsIt();
    void failedStandbySkipsSleepButDisconnects();
    void refusedSleepReportsTheCode();
    void successStopsAudioAndSuspendsThroughLogind();
    void shutdownDuringCountdownReleasesKeepAwake();
    void countdownIsAnActivityWithAShutdownStep();

private:
    void startCountdown(ScanStandby &standby, QCheckBox &box, QLabel &label);
};

void TestScanStandby::startCountdown(ScanStandby &standby, QCheckBox &box, QLabel &label)
{
    label.setText(saved);
    box.setChecked(true);
    standby.setKeepAwake(true);
    standby.finishScanStandby(&box, &label, true);
    QVERIFY(standby.isCountingDown());
    QVERIFY(!box.isChecked());
}

void TestScanStandby::keepAwakeFollowsRequests()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);
    QVERIFY(!standby.keepAwake());

    standby.setKeepAwake(true);
    standby.setKeepAwake(true);
    QVERIFY(standby.keepAwake());
    QCOMPARE(backend->acquires, 1); // the second request changes nothing
    standby.setKeepAwake(false);
    standby.setKeepAwake(false);
    QVERIFY(!standby.keepAwake());
    QCOMPARE(backend->releases, 1);
    QVERIFY(host.events.isEmpty());
}

void TestScanStandby::keepAwakeFailuresAreLoggedAndRetried()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);

    backend->acquireWorks = false;
    standby.setKeepAwake(true);
    QVERIFY(!standby.keepAwake());
    backend->acquireWorks = true;
    standby.setKeepAwake(true); // retried, since the state did not change
    QVERIFY(standby.keepAwake());
    QCOMPARE(backend->acquires, 2);

    backend->releaseWorks = false;
    standby.setKeepAwake(false);
    QVERIFY(standby.keepAwake());
    backend->releaseWorks = true;
    standby.setKeepAwake(false);
    QVERIFY(!standby.keepAwake());
    QVERIFY(!backend->held);

    QCOMPARE(
        host.logs(),
        QStringList({QStringLiteral("Windows could not prevent idle sleep during the scan."),
                     QStringLiteral("Windows could not release the scan's keep-awake request.")}));
}

void TestScanStandby::withoutLogindOnlyTheMessageIsLogged()
{
    PrivateLogind bus;
    if (!bus.startBus()) {
        if (PrivateLogind::mustFail())
            QFAIL(qPrintable(bus.problem()));
        QSKIP(qPrintable(bus.problem()));
    }
    RecordingHost host;
    ScanStandby standby(host, std::make_shared<LogindPowerBackend>(bus.connection()));
    standby.setKeepAwake(true);
    QVERIFY(!standby.keepAwake());
    QCOMPARE(host.events, QStringList{QStringLiteral(
                              "log Windows could not prevent idle sleep during the scan.")});
    standby.setKeepAwake(false); // nothing is held, so nothing to release or report
    QCOMPARE(host.events.size(), 1);
}

void TestScanStandby::endWithoutCountdown_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("success");
    QTest::newRow("option off, success") << false << true;
    QTest::newRow("option off, stopped") << false << false;
    QTest::newRow("option on, stopped or unsaved") << true << false;
}

void TestScanStandby::endWithoutCountdown()
{
    QFETCH(bool, checked);
    QFETCH(bool, success);
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);
    QCheckBox box;
    QLabel label(saved);
    box.setChecked(checked);
    standby.setKeepAwake(true);

    standby.finishScanStandby(&box, &label, success);

    QVERIFY(!box.isChecked());
    QVERIFY(!standby.isCountingDown());
    QVERIFY(!standby.keepAwake());
    QVERIFY(!backend->held);
    QCOMPARE(label.text(), saved);
    QCOMPARE(host.logs(), checked ? QStringList{skipped} : QStringList());
}

void TestScanStandby::countdownShowsSecondsAndStopCancelsIt()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);
    QCheckBox box;
    QLabel label, otherLabel;
    startCountdown(standby, box, label);

    QCOMPARE(label.text(), saved + QStringLiteral("\nRadio and PC standby in 15 s."));
    QCOMPARE(host.logs(), QStringList{QStringLiteral("Radio and PC standby in 15 s.")});
    QVERIFY(standby.keepAwake()); // held through the countdown
    QVERIFY(standby.countdownRunsOn(&label));
    QVERIFY(!standby.countdownRunsOn(&otherLabel));

    QTRY_COMPARE_WITH_TIMEOUT(label.text(),
                              saved + QStringLiteral("\nRadio and PC standby in 14 s."), 10000);
    QCOMPARE(host.logs().size(), 1); // the ticks only change the label

    QVERIFY(!standby.cancelStandby(&otherLabel)); // another tab's Stop is not ours
    QVERIFY(standby.isCountingDown());
    host.events.clear();
    QVERIFY(standby.cancelStandby(&label));

    QCOMPARE(label.text(),
             saved + QStringLiteral("\nAutomatic standby canceled. Results are saved."));
    QCOMPARE(host.events,
             QStringList({QStringLiteral("log Automatic standby canceled. Results are saved."),
                          QStringLiteral("update ui")}));
    QVERIFY(!standby.isCountingDown());
    QVERIFY(!standby.keepAwake());
    QVERIFY(!standby.cancelStandby(&label)); // a second Stop is an ordinary Stop again
    QTest::qWait(1500);
    QCOMPARE(host.events.size(), 2); // nothing ticks any more
    QCOMPARE(backend->sleeps.load(), 0);
}

void TestScanStandby::failedStandbySkipsSleepButDisconnects()
{
    RecordingHost host;
    host.standbyTaken = false;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);
    QCheckBox box;
    QLabel label;
    startCountdown(standby, box, label);
    host.events.clear();

    QTRY_VERIFY_WITH_TIMEOUT(!standby.isCountingDown(), countdownTimeoutMs);

    const QString message =
        QStringLiteral("PC sleep skipped because the receiver standby command could not be sent.");
    QCOMPARE(host.events,
             QStringList({QStringLiteral("disconnect forced"), QStringLiteral("log ") + message,
                          QStringLiteral("update ui")}));
    QCOMPARE(label.text(), saved + QLatin1Char('\n') + message);
    QVERIFY(!standby.keepAwake());
    QCOMPARE(backend->sleeps.load(), 0);
}

void TestScanStandby::refusedSleepReportsTheCode()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    backend->sleepResult = 13;
    ScanStandby standby(host, backend);
    QCheckBox box;
    QLabel label;
    startCountdown(standby, box, label);

    QTRY_VERIFY_WITH_TIMEOUT(!standby.isCountingDown(), countdownTimeoutMs);

    const QString message =
        QStringLiteral("Windows could not enter sleep (error 13). The results are saved.");
    QCOMPARE(host.logs().constLast(), message);
    QCOMPARE(label.text(), saved + QLatin1Char('\n') + message);
    QCOMPARE(backend->sleeps.load(), 1);
    QVERIFY(!backend->sleepOnGuiThread);
}

void TestScanStandby::successStopsAudioAndSuspendsThroughLogind()
{
    PrivateLogind logind;
    if (!logind.startBus() || !logind.startLogind()) {
        if (PrivateLogind::mustFail())
            QFAIL(qPrintable(logind.problem()));
        QSKIP(qPrintable(logind.problem()));
    }
    RecordingHost host;
    ScanStandby standby(host, std::make_shared<LogindPowerBackend>(logind.connection()));
    QCheckBox box;
    QLabel label;
    startCountdown(standby, box, label);
    QVERIFY(standby.keepAwake());
    QCOMPARE(logind.inhibitors(), QStringList{QStringLiteral("sleep:idle|Corvin|block")});
    host.events.clear();

    QTRY_VERIFY_WITH_TIMEOUT(!standby.isCountingDown(), countdownTimeoutMs);

    const QString requesting =
        QStringLiteral("Scan saved. Radio disconnected. Requesting Windows sleep.");
    const QString accepted =
        QStringLiteral("Windows accepted the sleep request. Results are ready for review.");
    QCOMPARE(host.events,
             QStringList({QStringLiteral("disconnect forced"), QStringLiteral("stop audio"),
                          QStringLiteral("update ui"), QStringLiteral("flush settings"),
                          QStringLiteral("log ") + requesting, QStringLiteral("log ") + accepted,
                          QStringLiteral("update ui")}));
    QCOMPARE(label.text(), saved + QLatin1Char('\n') + accepted);
    QCOMPARE(logind.suspendCalls(), QList<bool>{false});
    QVERIFY(!standby.keepAwake());
    QTRY_COMPARE_WITH_TIMEOUT(logind.inhibitors(), QStringList(), 20000);
}

void TestScanStandby::shutdownDuringCountdownReleasesKeepAwake()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ScanStandby standby(host, backend);
    QCheckBox box;
    QLabel label;
    startCountdown(standby, box, label);
    host.events.clear();

    standby.shutdown();

    QVERIFY(!standby.isCountingDown());
    QVERIFY(!standby.keepAwake());
    QVERIFY(!backend->held);
    QTest::qWait(2500);
    QVERIFY(host.events.isEmpty()); // no tick, no standby, no sleep
    QCOMPARE(backend->sleeps.load(), 0);
    QCOMPARE(label.text(), saved + QStringLiteral("\nRadio and PC standby in 15 s."));
}

void TestScanStandby::countdownIsAnActivityWithAShutdownStep()
{
    RecordingHost host;
    auto backend = std::make_shared<ScriptedBackend>();
    ActivityRegistry registry;
    ScanStandby standby(host, backend);
    standby.registerWith(registry);
    QVERIFY(registry.isIdle());
    QCheckBox box;
    QLabel label;
    startCountdown(standby, box, label);
    QVERIFY(registry.isRunning(Activity::StandbyCountdown));
    QVERIFY(!registry.isIdle());

    registry.runShutdown();

    QVERIFY(registry.isIdle());
    QVERIFY(!standby.keepAwake());
    QVERIFY(!backend->held);
}

QTEST_MAIN(TestScanStandby)
#include "tst_scanstandby.moc"
