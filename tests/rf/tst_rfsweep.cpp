// The RF sweep against the simulated receiver: its CSV lines, log, messages, outcomes and
// report for completed, failed and stopped sweeps, with faults confined to frequency zones.
#include "faultplan.h"
#include "receivermode.h"
#include "rfsweep.h"
#include "simulatorrig.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(FaultZone)

namespace {

QStringList texts(const QSignalSpy &spy)
{
    QStringList list;
    for (const QList<QVariant> &call : spy)
        list << call.at(0).toString();
    return list;
}

bool tuned(const QList<QByteArray> &commands)
{
    for (const QByteArray &command : commands) {
        if (command.startsWith("RF"))
            return true;
    }
    return false;
}

QStringList modeNames()
{
    QStringList names;
    for (int code = 0; code < receiverModeCount; ++code)
        names << receiverModeName(code);
    return names;
}

RfSweepPlan plan(qint64 start, qint64 end, int mode = 2, int settleMs = 1)
{
    RfSweepPlan p;
    p.startHz = start;
    p.endHz = end;
    p.stepHz = 100000;
    p.mode = mode;
    p.modeText = receiverModeName(mode);
    p.settleMs = settleMs;
    return p;
}

// Everything a sweep says, in order.
struct Recorder
{
    explicit Recorder(RfSweep &sweep)
    {
        QObject::connect(&sweep, &RfSweep::logMessage,
                         [this](const QString &m) { events << "log " + m; });
        QObject::connect(&sweep, &RfSweep::restoreRequested, [this] { events << "restore"; });
        QObject::connect(&sweep, &RfSweep::finished, [this](RfSweep::Outcome o, const QString &m) {
            outcome = o;
            message = m;
            events << "finished";
            done = true;
        });
    }
    bool logged(const QString &text) const
    {
        return events.contains(QStringLiteral("log ") + text);
    }
    QStringList events;
    RfSweep::Outcome outcome = RfSweep::Outcome::Completed;
    QString message;
    bool done = false;
};

} // namespace

class RfSweepTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void completedSweepInAuto();
    void faultZones_data();
    void faultZones();
    void stopWritesInterruptedSample_data();
    void stopWritesInterruptedSample();
    void csvCannotBeCreated();
    void csvWriteFails();
    void modeCannotBeSet();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void RfSweepTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
}

void RfSweepTest::completedSweepInAuto()
{
    SimulatorRig rig({"station 88100000 WFM 150000 200 speech Radio"});
    QVERIFY(rig.ready);
    rig.sim.addFaultZone(FaultZone{88200000, 88200000, SimFault::MalformedLevel, 1});
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(m_folder->path());
    Recorder recorder(sweep);
    QSignalSpy progress(&sweep, &RfSweep::progressed);
    QSignalSpy modeSet(&sweep, &RfSweep::modeSet);
    QString status;
    QVERIFY(sweep.start(plan(88000000, 88400000, int(ReceiverMode::Auto)), &status));
    QVERIFY(sweep.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.done, 10000);

    QCOMPARE(recorder.outcome, RfSweep::Outcome::Completed);
    QCOMPARE(recorder.message, QStringLiteral("Frequency spectrum sweep completed."));
    QCOMPARE(modeSet.count(), 1);
    QCOMPARE(progress.count(), 5);
    const QStringList lines = SimulatorRig::csvLines(sweep.csvPath());
    QCOMPARE(lines.size(), 5);
    // Under AUTO the CSV names the receiver's effective mode (the band plan's NFM, WFM on the
    // station) and a reading after a failure counts its attempts.
    QVERIFY2(lines[1].startsWith(QLatin1String("88100000,")), qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(QLatin1String(",1,measured,VHF,NFM")));
    QVERIFY2(lines[2].contains(QLatin1String(",2,measured,VHF,NFM")), qPrintable(lines[2]));
    QVERIFY(recorder.logged(
        "RF sweep 88.2000 MHz: S-meter attempt 1/3 failed. Invalid receiver signal-level reply: "
        "LM 300"));
    QVERIFY(recorder.events.filter(QStringLiteral("recovered on attempt 2")).size() == 1);
    QVERIFY(recorder.events
                .filter(QStringLiteral("Frequency spectrum sweep completed. 5/5 "
                                       "sampled | 5 with readings | 0 without "
                                       "readings | Peak "))
                .size() == 1);

    // Restore before the report; the report beside the CSV file.
    const int restore = recorder.events.indexOf(QStringLiteral("restore"));
    QVERIFY(restore >= 0 && restore < recorder.events.indexOf(QStringLiteral("finished")));
    QString html = sweep.csvPath();
    html.replace(QLatin1String(".csv"), QLatin1String(".html"));
    QCOMPARE(sweep.reportPath(), html);
    QVERIFY(QFileInfo::exists(html));
    QVERIFY(recorder.logged("RF spectrum report saved: " + html));
    QCOMPARE(sweep.results().overall().top().first().mode, int(ReceiverMode::Nfm));
    QVERIFY(!sweep.timerActive());
}

void RfSweepTest::faultZones_data()
{
    QTest::addColumn<FaultZone>("zone");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logged");

    QTest::newRow("unreadable frequency skipped")
        << FaultZone{88100000, 88100000, SimFault::MalformedLevel, 0}
        << QStringList{"88000000,8,1,measured,VHF,AM", "88100000,,3,unreadable,VHF,",
                       "88200000,8,1,measured,VHF,AM"}
        << int(RfSweep::Outcome::Completed) << "Frequency spectrum sweep completed."
        << "RF sweep skipped 88.1000 MHz after 3 failed S-meter readings.";
    QTest::newRow("three unreadable in a row stop")
        << FaultZone{88000000, 88200000, SimFault::MalformedLevel, 0}
        << QStringList{"88000000,,3,unreadable,VHF,", "88100000,,3,unreadable,VHF,",
                       "88200000,,3,unreadable,VHF,"}
        << int(RfSweep::Outcome::Failure)
        << "Frequency spectrum sweep stopped after 3 consecutive frequencies without S-meter "
           "readings."
        << "Retrying S-meter at 88.2000 MHz (3/3)";
    QTest::newRow("tuning fails")
        << FaultZone{88100000, 88100000, SimFault::Reject, 0}
        << QStringList{"88000000,8,1,measured,VHF,AM", "88100000,,0,tuning_failed,VHF,"}
        << int(RfSweep::Outcome::Failure)
        << "Frequency spectrum sweep stopped because tuning failed at 88.1000 MHz."
        << "RF spectrum report saved:";
}

void RfSweepTest::faultZones()
{
    QFETCH(FaultZone, zone);
    QFETCH(QStringList, lines);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    QFETCH(QString, logged);
    SimulatorRig rig;
    QVERIFY(rig.ready);
    rig.sim.addFaultZone(zone);
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(m_folder->path());
    Recorder recorder(sweep);
    QSignalSpy status(&sweep, &RfSweep::statusChanged);
    QString text;
    QVERIFY(sweep.start(plan(88000000, 88200000), &text));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.done, 20000);
    QCOMPARE(int(recorder.outcome), outcome);
    QCOMPARE(recorder.message, message);
    QCOMPARE(SimulatorRig::csvLines(sweep.csvPath()), lines);
    QVERIFY2(!recorder.events.filter(logged).isEmpty() || !texts(status).filter(logged).isEmpty(),
             qPrintable(logged));
    // A report for every finish.
    QVERIFY(QFileInfo::exists(sweep.reportPath()));
}

void RfSweepTest::stopWritesInterruptedSample_data()
{
    QTest::addColumn<bool>("duringRetry");
    QTest::addColumn<QString>("line");
    QTest::newRow("settle wait") << false << "88000000,,0,interrupted,VHF,";
    QTest::newRow("retry wait") << true << "88000000,,1,interrupted,VHF,";
}

void RfSweepTest::stopWritesInterruptedSample()
{
    QFETCH(bool, duringRetry);
    QFETCH(QString, line);
    SimulatorRig rig;
    QVERIFY(rig.ready);
    if (duringRetry)
        rig.sim.addFaultZone(FaultZone{88000000, 88000000, SimFault::MalformedLevel, 0});
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(m_folder->path());
    Recorder recorder(sweep);
    // Stop from the event loop while the step timer waits (never inside a step).
    connect(&sweep, &RfSweep::statusChanged, this, [&sweep, duringRetry](const QString &text) {
        if (text.startsWith(duringRetry ? QLatin1String("Retrying") : QLatin1String("Measuring")))
            QTimer::singleShot(0, &sweep,
                               [&sweep] { sweep.stop(RfSweep::stoppedByUserMessage()); });
    });
    QString text;
    QVERIFY(sweep.start(plan(88000000, 88500000, 2, duringRetry ? 1 : 5000), &text));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.done, 10000);
    QCOMPARE(recorder.outcome, RfSweep::Outcome::UserStop);
    QCOMPARE(recorder.message, QStringLiteral("Frequency spectrum sweep stopped by user."));
    QCOMPARE(SimulatorRig::csvLines(sweep.csvPath()), QStringList{line});
    QVERIFY(QFileInfo::exists(sweep.reportPath()));
    // Stopping again does nothing.
    sweep.stop(QStringLiteral("again"));
    QCOMPARE(recorder.events.count(QStringLiteral("finished")), 1);
}

void RfSweepTest::csvCannotBeCreated()
{
    SimulatorRig rig;
    QVERIFY(rig.ready);
    QFile blocker(m_folder->filePath(QStringLiteral("rf")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(blocker.fileName());
    Recorder recorder(sweep);
    QString status;
    QVERIFY(!sweep.start(plan(88000000, 88200000), &status));
    QCOMPARE(status, QStringLiteral("Could not create the RF sweep CSV. See the log in Settings."));
    QVERIFY(!sweep.isRunning());
    QCOMPARE(recorder.events.size(), 1);
    QVERIFY(
        recorder.events.first().startsWith(QLatin1String("log Could not create RF sweep CSV ")));
    QVERIFY(!tuned(rig.sim.commands()));
}

void RfSweepTest::csvWriteFails()
{
    SimulatorRig rig;
    QVERIFY(rig.ready);
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(m_folder->path());
    Recorder recorder(sweep);
    // Files may grow to the header and two lines; the third line fails like a full disk.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    bool limited = false;
    const auto restore = [&] {
        if (limited)
            setrlimit(RLIMIT_FSIZE, &saved);
        limited = false;
    };
    // The report after the failure may be written again.
    connect(&sweep, &RfSweep::logMessage, this, [&restore](const QString &message) {
        if (message.startsWith(QLatin1String("Could not write RF sweep CSV")))
            restore();
    });
    rlimit small = saved;
    small.rlim_cur = 47 + 2 * 29; // "88000000,8,1,measured,VHF,AM\n"
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    limited = true;
    QString status;
    const bool started = sweep.start(plan(88000000, 88500000), &status);
    if (started)
        QTRY_VERIFY_WITH_TIMEOUT(recorder.done, 10000);
    restore();
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(started);
    QCOMPARE(recorder.outcome, RfSweep::Outcome::Failure);
    QCOMPARE(recorder.message, QStringLiteral("Frequency spectrum sweep stopped because the CSV "
                                              "could not be written. See the log in Settings."));
    QCOMPARE(SimulatorRig::csvLines(sweep.csvPath()),
             (QStringList{"88000000,8,1,measured,VHF,AM", "88100000,8,1,measured,VHF,AM"}));
    // The failed line is not counted.
    QCOMPARE(sweep.results().overall().processed(), qint64(2));
    QVERIFY(QFileInfo::exists(sweep.reportPath()));
}

void RfSweepTest::modeCannotBeSet()
{
    SimulatorRig rig;
    QVERIFY(rig.ready);
    rig.sim.triggerFault(SimFault::Reject, 2, "MD");
    RfSweep sweep(rig.driver, modeNames());
    sweep.setOutputFolder(m_folder->path());
    Recorder recorder(sweep);
    QSignalSpy modeSet(&sweep, &RfSweep::modeSet);
    QString status;
    QVERIFY(sweep.start(plan(88000000, 88200000, int(ReceiverMode::Usb)), &status));
    QVERIFY(recorder.done);
    QCOMPARE(recorder.outcome, RfSweep::Outcome::Failure);
    QCOMPARE(recorder.message, QStringLiteral("Frequency spectrum sweep stopped because the "
                                              "receiver mode could not be set."));
    QCOMPARE(modeSet.count(), 0);
    QVERIFY(SimulatorRig::csvLines(sweep.csvPath()).isEmpty());
    QVERIFY(!tuned(rig.sim.commands()));
    QVERIFY(QFileInfo::exists(sweep.reportPath()));
}

QTEST_MAIN(RfSweepTest)
#include "tst_rfsweep.moc"
