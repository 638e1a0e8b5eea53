// The Smart Scan engine against the unpaced simulated receiver with fault zones and a scripted
// measurement: the archive lines and their key sets per outcome, the log, the status texts, the
// counters and whether the end offers standby, for completed, failed and stopped scans.
#include "audioanalysisresult.h"
#include "driverscanreceiver.h"
#include "faultplan.h"
#include "measurementrequests.h"
#include "receivermode.h"
#include "simulatorrig.h"
#include "smartscan.h"
#include "smartscandevices.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(FaultZone)

namespace {

// A measurement that answers each started request from the event loop with the next scripted
// class, or never when the script says -1. refuse makes every start fail.
class ScriptedAudio : public SmartScanAudio
{
public:
    explicit ScriptedAudio(QList<int> classes = {})
        : script(std::move(classes))
    {}

    bool startAnalysis(int request, int durationMs, double thresholdDbfs) override
    {
        starts << QStringLiteral("%1 %2 %3").arg(request).arg(durationMs).arg(thresholdDbfs);
        if (refuse)
            return false;
        const int code = script.isEmpty() ? int(SignalClass::Quiet) : script.takeFirst();
        if (code >= 0 && engine) {
            AudioAnalysisResult result;
            result.classification = code;
            result.quality = 90;
            result.dbfs_rms = -23.456;
            result.dbfs_peak = -20.04;
            result.fft_windows = 3;
            result.active_windows = 3;
            result.structured_windows = 2;
            result.window_dbfs = {-23.456, -23.4649999, -30.0};
            result.window_flatness = {0.123456, 0.5, 0.99999};
            SmartScan *target = engine;
            QTimer::singleShot(
                0, target, [target, request, result] { target->analysisReady(request, result); });
        }
        return true;
    }
    void cancelAnalysis() override { ++cancels; }

    QList<int> script;
    SmartScan *engine = nullptr;
    bool refuse = false;
    QStringList starts;
    int cancels = 0;
};

QStringList modeNames()
{
    QStringList names;
    for (int code = 0; code < receiverModeCount; ++code)
        names << receiverModeName(code);
    return names;
}

SmartScanPlan plan(qint64 start, qint64 end, int mode = int(ReceiverMode::Nfm))
{
    SmartScanPlan p;
    p.startHz = start;
    p.endHz = end;
    p.stepHz = 100000;
    p.mode = mode;
    p.modeText = receiverModeName(mode);
    p.serialPort = QStringLiteral("/dev/pts/9");
    p.input = QStringLiteral("Line In");
    p.analysisMs = 500;
    return p;
}

QVector<QJsonObject> archive(const QString &path)
{
    QFile file(path);
    QVector<QJsonObject> records;
    if (!file.open(QIODevice::ReadOnly))
        return records;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            records << QJsonDocument::fromJson(line).object();
    }
    return records;
}

int sent(const QList<QByteArray> &commands, const QByteArray &prefix)
{
    return int(std::count_if(commands.begin(), commands.end(),
                             [&prefix](const QByteArray &c) { return c.startsWith(prefix); }));
}

QString keys(const QJsonObject &record)
{
    return record.keys().join(QLatin1Char(','));
}

// One scan on its own simulator, with everything it says recorded in order.
struct ScanRig
{
    explicit ScanRig(const QStringList &stations = {},
                     QList<int> classes = {int(SignalClass::Tone)})
        : rig(stations)
        , receiver(rig.driver)
        , audio(std::move(classes))
        , scan(receiver, audio, requests, modeNames())
    {
        audio.engine = &scan;
        scan.setOutputFolder(folder.path());
        QObject::connect(&scan, &SmartScan::logMessage, [this](const QString &m) { log << m; });
        QObject::connect(&scan, &SmartScan::statusChanged,
                         [this](const QString &m) { statuses << m; });
        QObject::connect(&scan, &SmartScan::restoreRequested, [this] { ++restores; });
        QObject::connect(&scan, &SmartScan::resultRecorded,
                         [this](const QJsonObject &record) { rows << record; });
        QObject::connect(&scan, &SmartScan::finished, [this](const QString &m, bool, bool standby) {
            message = m;
            standbyEligible = standby;
            ++finishes;
        });
    }
    bool run(const SmartScanPlan &p, int timeoutMs = 20000)
    {
        QString status;
        if (!scan.start(p, &status))
            return false;
        return QTest::qWaitFor([this] { return finishes > 0; }, timeoutMs);
    }
    QVector<QJsonObject> lines() const { return archive(scan.archivePath()); }
    int logged(const QString &part) const { return log.filter(part).size(); }

    QTemporaryDir folder;
    SimulatorRig rig;
    DriverScanReceiver receiver;
    ScriptedAudio audio;
    MeasurementRequests requests;
    SmartScan scan;
    QStringList log;
    QStringList statuses;
    QVector<QJsonObject> rows;
    QString message;
    bool standbyEligible = false;
    int finishes = 0;
    int restores = 0;
};

} // namespace

class SmartScanTest : public QObject
{
    Q_OBJECT

private slots:
    void completedScanArchivesEveryFrequency();
    void autoModeRecordsEffectiveMode();
    void faultZones_data();
    void faultZones();
    void stopWritesIncompleteLine_data();
    void stopWritesIncompleteLine();
    void failuresBeforeTheFirstStep_data();
    void failuresBeforeTheFirstStep();
    void analysisFailures_data();
    void analysisFailures();
    void archiveWriteFails();
    void staleResultIgnored();
};

void SmartScanTest::completedScanArchivesEveryFrequency()
{
    ScanRig s({"station 88100000 NFM 15000 200 speech Radio"});
    QVERIFY(s.rig.ready);
    s.requests.next(); // a favourite measurement came first: the counter is shared
    // 88.25 MHz is off the 100 kHz grid: three points, the end not scanned.
    QVERIFY(s.run(plan(88000000, 88250000)));
    QCOMPARE(s.message, QStringLiteral("Smart Scan complete."));
    QVERIFY(s.standbyEligible);
    QCOMPARE(s.restores, 1);
    QCOMPARE(s.audio.starts, QStringList{"2 500 -55"});
    QCOMPARE(s.audio.cancels, 1);

    const QVector<QJsonObject> lines = s.lines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(keys(lines[0]),
             QStringLiteral("analysis_ms,end_hz,input,minimum_audio_dbfs,mode,points,schema,"
                            "serial_port,start_hz,step_hz,threshold_s_meter,type,utc"));
    QCOMPARE(lines[0].value("points").toInt(), 3);
    QCOMPARE(lines[0].value("end_hz").toDouble(), 88250000.0);
    QCOMPARE(lines[0].value("serial_port").toString(), QStringLiteral("/dev/pts/9"));
    QCOMPARE(keys(lines[1]),
             QStringLiteral("frequency_hz,mode,outcome,read_attempts,s_meter,type,utc"));
    QCOMPARE(lines[1].value("outcome").toString(), QStringLiteral("below_threshold"));
    QCOMPARE(lines[2].value("frequency_hz").toDouble(), 88100000.0);
    QCOMPARE(keys(lines[2]),
             QStringLiteral("active_windows,dbfs_peak,dbfs_rms,fft_windows,frequency_hz,mode,"
                            "outcome,quality,read_attempts,s_meter,structured_windows,type,utc,"
                            "window_dbfs,window_flatness"));
    QCOMPARE(lines[2].value("outcome").toString(), QStringLiteral("tone"));
    QCOMPARE(lines[2].value("mode").toString(), QStringLiteral("NFM"));
    QCOMPARE(lines[2].value("s_meter").toInt(), 200);
    // 0.8 x 90 + 20 x 200 / 255 = 87.69
    QCOMPARE(lines[2].value("quality").toInt(), 88);
    QCOMPARE(lines[3].value("frequency_hz").toDouble(), 88200000.0);
    QCOMPARE(keys(lines[4]), QStringLiteral("detected,message,noise,processed,quiet,type,"
                                            "unreadable,utc"));
    QCOMPARE(lines[4].value("processed").toInt(), 3);
    QCOMPARE(lines[4].value("detected").toInt(), 1);

    // The arrays are stored rounded, as written text.
    QFile file(s.scan.archivePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("\"window_dbfs\":[-23.46,-23.46,-30]"));
    QVERIFY(text.contains("\"window_flatness\":[0.1235,0.5,1]"));
    QVERIFY(text.contains("\"dbfs_rms\":-23.456"));

    QCOMPARE(s.rows.size(), 1);
    QCOMPARE(s.rows[0].value("outcome").toString(), QStringLiteral("tone"));
    QCOMPARE(s.rows[0].value("mode").toString(), QStringLiteral("NFM"));
    QVERIFY(s.statuses.contains("Checking 88.000000 MHz"));
    QVERIFY(s.statuses.contains("Analyzing 88.100000 MHz (S-meter 200)"));
    QCOMPARE(s.statuses.last(), QStringLiteral("Smart Scan complete."));
    QCOMPARE(s.logged("Smart Scan started from 88.0000 to 88.2500 MHz, step 100.0 kHz (NFM)."), 1);
    QCOMPARE(s.log.last(), QStringLiteral("Smart Scan complete. Processed 3/3 frequencies. 1 "
                                          "detected | 0 quiet | 0 noise | 0 unreadable."));
    QVERIFY(!s.scan.timerActive());
    // The mode is sent even though the receiver is already in it.
    QCOMPARE(sent(s.rig.sim.commands(), "MD1"), 1);
}

void SmartScanTest::autoModeRecordsEffectiveMode()
{
    ScanRig s({"station 88000000 WFM 150000 200 speech Radio"}, {int(SignalClass::Modulated)});
    QVERIFY(s.rig.ready);
    QVERIFY(s.run(plan(88000000, 88000000, int(ReceiverMode::Auto))));
    const QVector<QJsonObject> lines = s.lines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].value("mode").toString(), QStringLiteral("AUTO"));
    // The band plan's NFM: AUTO itself never names a result.
    QCOMPARE(lines[1].value("mode").toString(), QStringLiteral("NFM"));
    QCOMPARE(s.rows.size(), 1);
    QCOMPARE(s.rows[0].value("mode").toString(), QStringLiteral("NFM"));
}

void SmartScanTest::faultZones_data()
{
    QTest::addColumn<FaultZone>("zone");
    // Frequency lines: the outcome, and in the fault zone "/" and read_attempts ("-": none).
    // Outside the zone the attempts are not compared: a loaded machine may delay a reply.
    QTest::addColumn<QStringList>("outcomes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("standby");
    QTest::addColumn<QStringList>("logged");

    QTest::newRow("first read fails, second reads")
        << FaultZone{88100000, 88100000, SimFault::MalformedLevel, 1}
        << QStringList{"below_threshold", "below_threshold/2", "below_threshold"}
        << "Smart Scan complete." << true
        << QStringList{"Smart Scan 88.100000 MHz: S-meter attempt 1/3 failed. ",
                       "Smart Scan 88.100000 MHz: S-meter recovered on attempt 2/3 (level "};
    QTest::newRow("one frequency unreadable")
        << FaultZone{88100000, 88100000, SimFault::MalformedLevel, 0}
        << QStringList{"below_threshold", "unreadable/3", "below_threshold"}
        << "Smart Scan complete. Skipped frequencies without an S-meter reading: 1." << true
        << QStringList{"Smart Scan skipped 88.100000 MHz after 3 failed S-meter readings.",
                       "attempt 3/3 failed"};
    QTest::newRow("three unreadable in a row")
        << FaultZone{88000000, 88200000, SimFault::MalformedLevel, 0}
        << QStringList{"unreadable/3", "unreadable/3", "unreadable/3"}
        << "Smart Scan stopped after 3 consecutive frequencies without an S-meter reading." << false
        << QStringList{"Processed 3/3 frequencies. 0 detected | 0 quiet | 0 noise | 3 "
                       "unreadable."};
    QTest::newRow("tuning fails") << FaultZone{88100000, 88100000, SimFault::Reject, 0}
                                  << QStringList{"below_threshold", "tuning_failed/-"}
                                  << "Smart Scan stopped because tuning failed." << false
                                  << QStringList{"Processed 1/3 frequencies."};
}

void SmartScanTest::faultZones()
{
    QFETCH(FaultZone, zone);
    QFETCH(QStringList, outcomes);
    QFETCH(QString, message);
    QFETCH(bool, standby);
    QFETCH(QStringList, logged);
    ScanRig s;
    QVERIFY(s.rig.ready);
    s.rig.sim.addFaultZone(zone);
    QVERIFY(s.run(plan(88000000, 88200000)));
    QCOMPARE(s.message, message);
    QCOMPARE(s.standbyEligible, standby);
    const QVector<QJsonObject> lines = s.lines();
    QStringList seen;
    for (const QJsonObject &line : lines) {
        if (line.value("type") != QLatin1String("frequency"))
            continue;
        const QJsonValue attempts = line.value("read_attempts");
        const double frequency = line.value("frequency_hz").toDouble();
        QString outcome = line.value("outcome").toString();
        if (frequency >= zone.low && frequency <= zone.high)
            outcome += '/' + (attempts.isUndefined() ? QStringLiteral("-")
                                                     : QString::number(attempts.toInt()));
        seen << outcome;
        if (line.value("outcome") == QLatin1String("unreadable")) {
            QCOMPARE(keys(line),
                     QStringLiteral("failure,frequency_hz,mode,outcome,read_attempts,type,utc"));
            const QString failure = line.value("failure").toString();
            QVERIFY(!failure.isEmpty());
            const QString readout =
                QString::number(line.value("frequency_hz").toDouble() / 1e6, 'f', 6);
            QCOMPARE(
                s.logged("Smart Scan " + readout + " MHz: S-meter attempt 3/3 failed. " + failure),
                1);
        }
        if (line.value("outcome") == QLatin1String("tuning_failed"))
            QCOMPARE(keys(line), QStringLiteral("frequency_hz,outcome,type,utc"));
    }
    QCOMPARE(seen, outcomes);
    QCOMPARE(lines.last().value("type").toString(), QStringLiteral("scan_end"));
    QCOMPARE(lines.last().value("unreadable").toInt(), outcomes.filter("unreadable").size());
    for (const QString &part : logged)
        QVERIFY2(s.logged(part) == 1, qPrintable(part + "\n" + s.log.join('\n')));
    QCOMPARE(s.logged(QStringLiteral("Smart Scan %1 MHz: S-meter recovered")
                          .arg(QString::number(zone.low / 1e6, 'f', 6))),
             outcomes.contains("below_threshold/2") ? 1 : 0);
    QCOMPARE(s.restores, 1);
}

void SmartScanTest::stopWritesIncompleteLine_data()
{
    QTest::addColumn<QString>("stopOn"); // status text that triggers Stop; empty: at once
    QTest::addColumn<bool>("failingReads");
    QTest::addColumn<QString>("incompleteKeys"); // empty: no incomplete line
    QTest::addColumn<int>("readAttempts");

    QTest::newRow("analysing") << "Analyzing" << false
                               << "frequency_hz,message,outcome,read_attempts,s_meter,type,utc"
                               << 0;
    QTest::newRow("retrying the S-meter")
        << "Retrying" << true << "frequency_hz,message,outcome,read_attempts,type,utc" << 1;
    QTest::newRow("about to tune") << "" << false << "" << 0;
}

void SmartScanTest::stopWritesIncompleteLine()
{
    QFETCH(QString, stopOn);
    QFETCH(bool, failingReads);
    QFETCH(QString, incompleteKeys);
    QFETCH(int, readAttempts);
    // The measurement never answers, so the scan waits in state 3.
    ScanRig s({"station 88000000 NFM 15000 200 speech Radio"}, {-1});
    QVERIFY(s.rig.ready);
    if (failingReads)
        s.rig.sim.addFaultZone(FaultZone{88000000, 88000000, SimFault::MalformedLevel, 0});
    // Stop from the event loop while the timer waits, never inside a step.
    QObject::connect(&s.scan, &SmartScan::statusChanged, [&](const QString &text) {
        if (!stopOn.isEmpty() && text.startsWith(stopOn))
            QTimer::singleShot(0, &s.scan, [&s] { s.scan.stop(SmartScan::stoppedMessage()); });
    });
    QString status;
    QVERIFY(s.scan.start(plan(88000000, 88500000), &status));
    if (stopOn.isEmpty()) {
        QCOMPARE(s.scan.state(), SmartScan::Tune);
        s.scan.stop(SmartScan::stoppedMessage());
    }
    QVERIFY(QTest::qWaitFor([&s] { return s.finishes > 0; }, 10000));
    QCOMPARE(s.message, QStringLiteral("Smart Scan stopped."));
    QVERIFY(!s.standbyEligible);
    const QVector<QJsonObject> lines = s.lines();
    if (incompleteKeys.isEmpty()) {
        QCOMPARE(lines.size(), 2);
    } else {
        QCOMPARE(lines.size(), 3);
        QCOMPARE(keys(lines[1]), incompleteKeys);
        QCOMPARE(lines[1].value("outcome").toString(), QStringLiteral("incomplete"));
        QCOMPARE(lines[1].value("message").toString(), QStringLiteral("Smart Scan stopped."));
        QCOMPARE(lines[1].value("read_attempts").toInt(), readAttempts);
    }
    QCOMPARE(keys(lines.last()), QStringLiteral("detected,message,noise,processed,quiet,type,"
                                                "unreadable,utc"));
    QCOMPARE(lines.last().value("processed").toInt(), 0);
    QCOMPARE(s.audio.cancels, 1);
    QCOMPARE(s.restores, 1);
    // Stopping again does nothing.
    s.scan.stop(QStringLiteral("again"));
    QCOMPARE(s.finishes, 1);
}

void SmartScanTest::failuresBeforeTheFirstStep_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("status");
    QTest::newRow("end below start") << "plan"
                                     << "Choose an end frequency at or above the start frequency.";
    QTest::newRow("mode refused") << "mode"
                                  << "Could not set the receiver mode. See the log in Settings.";
    QTest::newRow("archive folder is a file")
        << "archive"
        << "Smart Scan cannot start because the archive could not be written.";
}

void SmartScanTest::failuresBeforeTheFirstStep()
{
    QFETCH(QString, failure);
    QFETCH(QString, status);
    ScanRig s;
    QVERIFY(s.rig.ready);
    SmartScanPlan p = plan(88000000, 88200000, int(ReceiverMode::Usb));
    if (failure == "plan")
        p.endHz = p.startHz - 1;
    if (failure == "mode")
        s.rig.sim.triggerFault(SimFault::Reject, 2, "MD");
    QFile blocker(s.folder.filePath("blocker"));
    if (failure == "archive") {
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        s.scan.setOutputFolder(blocker.fileName() + "/scans");
    }
    QSignalSpy preparing(&s.scan, &SmartScan::preparing);
    QSignalSpy started(&s.scan, &SmartScan::started);
    QString text;
    QVERIFY(!s.scan.start(p, &text));
    QCOMPARE(text, status);
    QVERIFY(!s.scan.isRunning());
    QCOMPARE(started.count(), 0);
    QCOMPARE(s.finishes, 0);
    QCOMPARE(sent(s.rig.sim.commands(), "RF"), 0);
    if (failure == "mode") {
        QCOMPARE(preparing.count(), 1);
        const QVector<QJsonObject> lines = s.lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(keys(lines[1]), QStringLiteral("message,processed,type"));
        QCOMPARE(lines[1].value("message").toString(), status);
    }
    if (failure == "archive") {
        QCOMPARE(preparing.count(), 0);
        QCOMPARE(s.log.size(), 1);
        QVERIFY(s.log[0].startsWith("Could not create the scan archive " + blocker.fileName()));
    }
}

void SmartScanTest::analysisFailures_data()
{
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QString>("message");
    QTest::newRow("cannot start") << true
                                  << "Smart Scan stopped because audio analysis could not start.";
    QTest::newRow("no result in time")
        << false << "Smart Scan stopped because the audio input did not supply enough samples.";
}

void SmartScanTest::analysisFailures()
{
    QFETCH(bool, refuse);
    QFETCH(QString, message);
    ScanRig s({"station 88000000 NFM 15000 200 speech Radio"}, {-1});
    QVERIFY(s.rig.ready);
    s.audio.refuse = refuse;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(s.run(plan(88000000, 88200000)));
    QCOMPARE(s.message, message);
    QVERIFY(!s.standbyEligible);
    // The analysis is given its duration and 1500 ms more.
    if (!refuse)
        QVERIFY(clock.elapsed() >= 500 + 1500);
    const QVector<QJsonObject> lines = s.lines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1].value("outcome").toString(), QStringLiteral("incomplete"));
    QCOMPARE(lines[1].value("s_meter").isUndefined(), refuse);
}

void SmartScanTest::archiveWriteFails()
{
    ScanRig s;
    QVERIFY(s.rig.ready);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    // Once the first frequency is archived the file may grow by 10 bytes only: the second
    // frequency line fails like a full disk.
    QObject::connect(&s.scan, &SmartScan::progressed, [&s, saved](int processed) {
        if (processed != 1)
            return;
        rlimit small = saved;
        small.rlim_cur = rlim_t(QFileInfo(s.scan.archivePath()).size() + 10);
        setrlimit(RLIMIT_FSIZE, &small);
    });
    QString status;
    const bool started = s.scan.start(plan(88000000, 88500000), &status);
    const bool done = started && QTest::qWaitFor([&s] { return s.finishes > 0; }, 10000);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(done);
    QCOMPARE(s.message, QStringLiteral("Smart Scan stopped because the data could not be saved."));
    QVERIFY(!s.standbyEligible);
    QCOMPARE(s.logged("Could not write the scan archive: "), 1);
    // Nothing is written after the line that failed; what reached the file reopens as the
    // frequencies the scan completed.
    const QVector<QJsonObject> lines = s.lines();
    QVERIFY(lines.size() >= 2);
    for (const QJsonObject &line : lines)
        QVERIFY(line.value("type") != QLatin1String("scan_end"));
    SmartScanArchiveContents contents;
    QString error;
    QCOMPARE(SmartScanArchive::read(s.scan.archivePath(), &contents, &error),
             SmartScanArchive::ReadStatus::Ok);
    QCOMPARE(s.scan.processed(), 1);
    QCOMPARE(contents.processed, s.scan.processed());
    QCOMPARE(s.restores, 1);
}

void SmartScanTest::staleResultIgnored()
{
    // A late result of an earlier request changes nothing.
    ScanRig s({"station 88000000 NFM 15000 200 speech Radio"}, {-1});
    QVERIFY(s.rig.ready);
    QString status;
    QVERIFY(s.scan.start(plan(88000000, 88000000), &status));
    QVERIFY(QTest::qWaitFor([&s] { return s.scan.state() == SmartScan::Analyse; }, 5000));
    AudioAnalysisResult stale;
    stale.classification = int(SignalClass::Tone);
    s.scan.analysisReady(s.requests.current() - 1, stale);
    QCOMPARE(s.scan.state(), SmartScan::Analyse);
    s.scan.analysisReady(s.requests.current(), stale);
    QVERIFY(QTest::qWaitFor([&s] { return s.finishes > 0; }, 5000));
    QCOMPARE(s.message, QStringLiteral("Smart Scan complete."));
    QCOMPARE(s.rows.size(), 1);
}

QTEST_MAIN(SmartScanTest)
#include "tst_smartscan.moc"
