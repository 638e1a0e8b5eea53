// The anomaly capture panel against the real audio engine (private PulseAudio server) and a
// simulated receiver: arming checks, the armed cycle with its files, every disarm path, the
// event still on its way at exit, and the decision line.

#include "activityregistry.h"
#include "anomalypanel.h"
#include "audiopanel.h"
#include "audiorecorder.h"
#include "corvindriver.h"
#include "datafolders.h"
#include "featurebankgroup.h"
#include "metricgrid.h"
#include "pulsetestserver.h"
#include "replaydialog.h"
#include "rxsimulator.h"
#include "settingskeys.h"
#include "testhost.h"
#include "testwav.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// The main window as the panel sees it: a receiver on a simulated line, the audio engine on
// its own thread with its PC audio panel, and a test tone flowing into the default input.
class Host : public TestHost
{
public:
    explicit Host(const QString &settingsFile)
        : TestHost(settingsFile)
    {
        QString error;
        simulator.setPaced(false);
        if (!simulator.start(&error))
            qFatal("simulator: %s", qPrintable(error));
        receiverDriver = new Corvindriver(this);
        recorder = new AudioRecorder;
        recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, recorder, &QObject::deleteLater);
        m_thread.start();
        activities().registerShutdownStep(ShutdownStep::Audio, this, [this] { stopAudio(); });
        audio = std::make_unique<AudioPanel>(*this);
        panel = std::make_unique<AnomalyPanel>(*this, *audio);
        audio->start();
        panel->start();
    }
    ~Host() override
    {
        panel.reset();
        audio.reset();
        stopAudio();
        if (receiverDriver->isOpen())
            receiverDriver->closePort();
    }

    bool isAudioInputHeld() const override
    {
        return const_cast<Host *>(this)->activities().isRunning(Activity::AnomalyCapture);
    }
    void stopAllAudio() override
    {
        QMetaObject::invokeMethod(
            recorder, [r = recorder] { r->stopAll(); }, Qt::BlockingQueuedConnection);
    }

    // Connects on the simulated line and confirms 145.5 MHz NFM, as the panel shows it.
    bool connectReceiver()
    {
        return receiverDriver->openPort(simulator.portPath()) &&
               receiverDriver->tune(receiver.frequency) && receiverDriver->setMode(receiver.mode);
    }

    void stopAudio()
    {
        if (!m_thread.isRunning())
            return;
        stopAllAudio();
        m_thread.quit();
        m_thread.wait();
    }

    RxSimulator simulator;
    std::unique_ptr<AudioPanel> audio;
    std::unique_ptr<AnomalyPanel> panel;

private:
    QThread m_thread;
};

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("missing %s", name);
    return widget;
}

QByteArray toneBytes(int seconds)
{
    QByteArray bytes(seconds * 48000 * 2, Qt::Uninitialized);
    for (int i = 0; i < seconds * 48000; ++i)
        qToLittleEndian<qint16>(static_cast<qint16>(3000 * std::sin(6.283185307 * 700 * i / 48000)),
                                bytes.data() + 2 * i);
    return bytes;
}

// Reads away what waits in the pipe source's FIFO: a source nobody records from stops reading,
// and what the feeder wrote meanwhile would reach the next test.
QJsonObject readJson(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

QStringList observationLogs()
{
    return QDir(DataFolders::path(QLatin1String(DataFolders::anomalyObservations)))
        .entryList({"*.json"}, QDir::Files, QDir::Time);
}

QString eventFolder()
{
    return DataFolders::path(QLatin1String(DataFolders::anomaly));
}

} // namespace

class TestAnomalyPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PulseTest::FifoFeeder> m_feeder;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (PulseTest::unavailableReason().isEmpty())
            m_feeder = std::make_unique<PulseTest::FifoFeeder>(PulseTest::monoFifo(),
                                                               toneBytes(240), 96000);
    }
    void cleanupTestCase()
    {
        m_feeder.reset();
        // What the feeder wrote after the last capture would otherwise reach the next test.
        PulseTest::drainFifo(PulseTest::monoFifo());
    }
    void init() { QDir(eventFolder()).removeRecursively(); }

    void settingsClampedAndWritten();
    void armRefusals_data();
    void armRefusals();
    void armedCycleWritesEventAndLog();
    void disarmPaths_data();
    void disarmPaths();
    void eventWavFailureDisarms();
    void eventOnItsWayAtExitIsWritten();
    // Opens no input: it runs before a test that reads the pipe source to its end.
    void replayKeepsTheSettingsOfItsOpening();
    void decisionLineAndEarlierArms();
};

void TestAnomalyPanel::settingsClampedAndWritten()
{
    REQUIRE_PULSE_SERVER();
    const QString file = m_dir.filePath("clamped.ini");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(SettingsKeys::anomalyPre, 500);
        settings.setValue(SettingsKeys::anomalyPost, "nan");
        settings.setValue(SettingsKeys::audioWavChannel, 4);
        settings.setValue(SettingsKeys::anomalyLowHz, -3);
        settings.setValue(SettingsKeys::anomalyMonitor, false);
    }
    Host host(file);
    AnomalyPanel &panel = *host.panel;
    QCOMPARE(child<QSpinBox>(&panel, "anomalyPre")->value(), 120);
    QCOMPARE(child<QSpinBox>(&panel, "anomalyPost")->value(), 20);
    QCOMPARE(child<QComboBox>(&panel, "anomalyWavChannel")->currentIndex(), 1);
    QCOMPARE(child<QSpinBox>(&panel, "anomalyLowHz")->value(), 0);
    QCOMPARE(child<QSpinBox>(&panel, "anomalyHighHz")->value(), 6000);
    QVERIFY(!child<QCheckBox>(&panel, "anomalyMonitorCB")->isChecked());
    QVERIFY(!child<QCheckBox>(&panel, "anomalyAutomaticCB")->isChecked());
    QCOMPARE(panel.statusText(), QString::fromUtf8("Idle \u2014 WAV is raw mono."));

    child<QSpinBox>(&panel, "anomalyPre")->setValue(7);
    child<QSpinBox>(&panel, "anomalyHighHz")->setValue(4000);
    child<QComboBox>(&panel, "anomalyWavChannel")->setCurrentIndex(0);
    child<QCheckBox>(&panel, "anomalyMonitorCB")->setChecked(true);
    child<QCheckBox>(&panel, "anomalyAutomaticCB")->setChecked(true);
    QSettings &s = host.settings();
    QCOMPARE(s.value(SettingsKeys::anomalyPre).toInt(), 7);
    QCOMPARE(s.value(SettingsKeys::anomalyHighHz).toInt(), 4000);
    QCOMPARE(s.value(SettingsKeys::audioWavChannel).toInt(), 0);
    QCOMPARE(s.value(SettingsKeys::anomalyMonitor).toBool(), true);
    QVERIFY(!s.contains("Anomaly/Automatic")); // never stored
}

void TestAnomalyPanel::armRefusals_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("status");
    QTest::newRow("receiver disconnected") << 0 << "en"
                                           << "Connect receiver and stop scans first.";
    QTest::newRow("another activity") << 1 << "en"
                                      << "Connect receiver and stop scans first.";
    QTest::newRow("tuning waits") << 2 << "en"
                                  << "Wait for tuning to settle, then arm again.";
    QTest::newRow("frequency not confirmed")
        << 3 << "en"
        << "Use a confirmed fixed frequency and non-AUTO mode.";
    QTest::newRow("AUTO mode") << 4 << "en"
                               << "Use a confirmed fixed frequency and non-AUTO mode.";
    QTest::newRow("band too narrow") << 5 << "en"
                                     << "Choose an analysis band at least 100 Hz wide.";
    QTest::newRow("automatic without analysis") << 6 << "en"
                                                << "Enable analysis before automatic trigger.";
    QTest::newRow("in Italian") << 2 << "it"
                                << "Attendi la sintonia, poi arma di nuovo.";
}

void TestAnomalyPanel::armRefusals()
{
    REQUIRE_PULSE_SERVER();
    QFETCH(int, situation);
    QFETCH(QString, language);
    QFETCH(QString, status);
    Host host(m_dir.filePath("refusals.ini"));
    qApp->setProperty("language", language);
    AnomalyPanel &panel = *host.panel;
    bool otherActivity = false;
    host.activities().registerActivity(Activity::SmartScan, &host,
                                       [&otherActivity] { return otherActivity; });
    if (situation == 4)
        host.receiver.mode = 9;
    if (situation != 0)
        QVERIFY(host.connectReceiver());
    switch (situation) {
    case 1:
        otherActivity = true;
        break;
    case 2:
        host.receiver.queuedTunes.append(7000000);
        break;
    case 3:
        host.receiver.frequency += 100;
        break;
    case 5:
        child<QSpinBox>(&panel, "anomalyLowHz")->setValue(5000);
        child<QSpinBox>(&panel, "anomalyHighHz")->setValue(5099);
        break;
    case 6:
        child<QCheckBox>(&panel, "anomalyMonitorCB")->setChecked(false);
        child<QCheckBox>(&panel, "anomalyAutomaticCB")->setChecked(true);
        break;
    }
    panel.armButton()->click();
    qApp->setProperty("language", QVariant());
    QCOMPARE(panel.statusText(), status);
    QVERIFY(!panel.isArmed());
    QVERIFY(!host.activities().isRunning(Activity::AnomalyCapture));
    QCOMPARE(panel.armButton()->text(), QStringLiteral("Arm"));
    QVERIFY(observationLogs().isEmpty() || situation > 4);
}

void TestAnomalyPanel::armedCycleWritesEventAndLog()
{
    REQUIRE_PULSE_SERVER();
    Host host(m_dir.filePath("cycle.ini"));
    AnomalyPanel &panel = *host.panel;
    QSignalSpy analyze(&panel, &AnomalyPanel::analyzeWavRequested);
    child<QSpinBox>(&panel, "anomalyPre")->setValue(1);
    child<QSpinBox>(&panel, "anomalyPost")->setValue(1);
    QVERIFY(host.connectReceiver());
    const int logsBefore = observationLogs().size();
    panel.armButton()->click();
    QCOMPARE(panel.statusText(), QString::fromUtf8("Filling pre-trigger buffer\u2026"));
    QVERIFY(panel.isArmed());
    QCOMPARE(panel.armButton()->text(), QStringLiteral("Disarm"));
    QVERIFY(host.activities().isRunning(Activity::AnomalyCapture));
    QVERIFY(!child<QSpinBox>(&panel, "anomalyPre")->isEnabled());
    QVERIFY(!child<QCheckBox>(&panel, "anomalyAutomaticCB")->isEnabled());
    QVERIFY(!child<QComboBox>(&panel, "anomalyWavChannel")->isEnabled());
    QCOMPARE(child<QLabel>(&panel, "anomalyDetectorStatus")->text(),
             QStringLiteral("Waiting for complete history / buffer"));
    QTRY_COMPARE(observationLogs().size(), logsBefore + 1);

    QTRY_COMPARE_WITH_TIMEOUT(panel.statusText(), QString::fromUtf8("Buffer 1/1 s \u2014 ready"),
                              10000);
    QVERIFY(panel.testTriggerButton()->isEnabled());
    panel.testTriggerButton()->click();
    QCOMPARE(panel.statusText(), QString::fromUtf8("Capturing post-trigger PCM\u2026"));
    QVERIFY(!panel.testTriggerButton()->isEnabled());
    QTRY_VERIFY2_WITH_TIMEOUT(panel.statusText().startsWith("Saved: 145.500000_"),
                              qPrintable(panel.statusText()), 10000);

    const QString wav = panel.lastEventWav();
    QCOMPARE(QFileInfo(wav).size(), qint64(44 + 2 * 2 * 48000));
    const QString sidecar = wav.left(wav.size() - 4) + ".json";
    const QJsonObject metadata = readJson(sidecar);
    QCOMPARE(metadata.value("wav_file").toString(), QFileInfo(wav).fileName());
    QCOMPARE(metadata.value("trigger_type").toString(), QStringLiteral("MANUAL_TEST"));
    QCOMPARE(metadata.value("mode").toString(), QStringLiteral("NFM"));
    QCOMPARE(metadata.value("frequency_hz").toDouble(), 145500000.0);
    QVERIFY(host.logContains("Event saved: " + QDir::toNativeSeparators(wav)));
    child<QPushButton>(&panel, "anomalyAnalyzeLast")->click();
    QCOMPARE(analyze.count(), 1);
    QCOMPARE(analyze.at(0).at(0).toString(), wav);

    panel.armButton()->click();
    QCOMPARE(panel.statusText(), QString::fromUtf8("Disarmed \u2014 unfinished event discarded."));
    QVERIFY(!host.activities().isRunning(Activity::AnomalyCapture));
    QVERIFY(child<QSpinBox>(&panel, "anomalyPre")->isEnabled());
    QCOMPARE(child<QLabel>(&panel, "anomalyDetectorStatus")->text(), QStringLiteral("Idle"));
    QTRY_VERIFY(readJson(QDir(DataFolders::path(DataFolders::anomalyObservations))
                             .filePath(observationLogs().first()))
                    .value("closed")
                    .toBool());
    // Nothing needs the input any more: it is closed.
    const AudioRecorderState state = [&host] {
        AudioRecorderState s;
        QMetaObject::invokeMethod(
            host.recorder, [&s, r = host.recorder] { s = r->queryState(true); },
            Qt::BlockingQueuedConnection);
        return s;
    }();
    QVERIFY(!state.inputRunning);
}

void TestAnomalyPanel::disarmPaths_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("status");
    QTest::newRow("input stops") << 0 << "Capture stopped; unfinished event discarded.";
    QTest::newRow("receiver disconnects") << 1 << "Disarmed \u2014 unfinished event discarded.";
}

void TestAnomalyPanel::disarmPaths()
{
    REQUIRE_PULSE_SERVER();
    QFETCH(int, path);
    QFETCH(QString, status);
    Host host(m_dir.filePath("paths.ini"));
    AnomalyPanel &panel = *host.panel;
    QVERIFY(host.connectReceiver());
    panel.armButton()->click();
    QVERIFY(panel.isArmed());
    if (path == 0)
        host.stopAllAudio();
    else
        host.activities().stop(Activity::AnomalyCapture);
    QTRY_VERIFY(!panel.isArmed());
    QCOMPARE(panel.statusText(), status);
    QCOMPARE(panel.armButton()->text(), QStringLiteral("Arm"));
}

void TestAnomalyPanel::eventWavFailureDisarms()
{
    REQUIRE_PULSE_SERVER();
    Host host(m_dir.filePath("failure.ini"));
    AnomalyPanel &panel = *host.panel;
    child<QSpinBox>(&panel, "anomalyPre")->setValue(1);
    child<QSpinBox>(&panel, "anomalyPost")->setValue(1);
    QVERIFY(host.connectReceiver());
    panel.armButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(panel.testTriggerButton()->isEnabled(), 10000);
    // The events folder becomes a file: the WAV cannot be written.
    QVERIFY(QDir(eventFolder()).removeRecursively());
    QFile blocker(eventFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    panel.testTriggerButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!panel.isArmed(), 10000);
    QCOMPARE(panel.statusText(), QStringLiteral("Event WAV write failed; disarmed."));
    QVERIFY(host.logCount("Event WAV write failed: ") == 1);
    QVERIFY(QFile::remove(eventFolder()));
}

void TestAnomalyPanel::eventOnItsWayAtExitIsWritten()
{
    REQUIRE_PULSE_SERVER();
    auto host = std::make_unique<Host>(m_dir.filePath("exit.ini"));
    AnomalyPanel &panel = *host->panel;
    child<QSpinBox>(&panel, "anomalyPre")->setValue(1);
    child<QSpinBox>(&panel, "anomalyPost")->setValue(1);
    QVERIFY(host->connectReceiver());
    panel.armButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(panel.testTriggerButton()->isEnabled(), 10000);
    panel.testTriggerButton()->click();
    // The capture completes on the audio thread while this thread handles no events: the
    // event waits in the queue when the window shuts down.
    QThread::msleep(2500);
    host->activities().runShutdown();
    const QStringList wavs = QDir(eventFolder()).entryList({"*.wav"});
    QCOMPARE(wavs.size(), 1);
    QVERIFY(host->logContains("Event saved: "));
    const QJsonObject log = readJson(QDir(DataFolders::path(DataFolders::anomalyObservations))
                                         .filePath(observationLogs().first()));
    QCOMPARE(log.value("closed").toBool(), true);
    QCOMPARE(log.value("manual_completed_pcm").toInt(), 1);
    host.reset();
}

void TestAnomalyPanel::decisionLineAndEarlierArms()
{
    REQUIRE_PULSE_SERVER();
    Host host(m_dir.filePath("decisions.ini"));
    AnomalyPanel &panel = *host.panel;
    QVERIFY(host.connectReceiver());
    panel.armButton()->click();
    panel.armButton()->click();
    panel.armButton()->click(); // the second arm
    QVERIFY(panel.isArmed());
    auto *line = child<QLabel>(&panel, "anomalyDetectorStatus");
    QVector<double> scores(14, 0.0);
    scores[6] = 1.5;
    scores[11] = 1.5; // a tie: the first metric wins
    scores[7] = 9.0;  // descriptive: never the maximum
    emit host.recorder->anomalyDecisionReady(1, "NEW", scores, 5, 1 << 6, 0, 0);
    QCoreApplication::processEvents();
    QCOMPARE(line->text(), QStringLiteral("Waiting for complete history / buffer"));
    emit host.recorder->anomalyDecisionReady(2, "NEW", scores, 5, (1 << 6) | (1 << 11), 1, 2);
    QCoreApplication::processEvents();
    QCOMPARE(line->text(), QStringLiteral("PREVIEW | observation 5/60 s | active: Envelope peak, "
                                          "Direction coherence | max: Envelope peak 1.50 | last: "
                                          "NEW | completed: 1 | skipped: 2"));
    QCOMPARE(host.logCount("Detector: NEW"), 1);
    MetricGrid *grid = panel.featureBank()->metricGrid();
    QCOMPARE(grid->valueLabel(6)->styleSheet(),
             QStringLiteral("font-weight: bold; color: #e09337;"));
    emit host.recorder->anomalyFeaturesReady(1, 9, 64, QVector<double>(14, 1.0), 2.0);
    QCoreApplication::processEvents();
    QCOMPARE(grid->valueLabel(0)->text(), QStringLiteral("--"));
    emit host.recorder->anomalyFeaturesReady(2, 9, 64, QVector<double>(14, 1.0), 2.0);
    emit host.recorder->anomalyFeaturesError(1, "an older arm");
    QCoreApplication::processEvents();
    QCOMPARE(grid->valueLabel(0)->text(), QStringLiteral("1.00 dBFS"));
    QCOMPARE(grid->statusText(),
             QStringLiteral("Elapsed 9 s | structural history 8/8 s | DSP 2.0 ms/update"));
    emit host.recorder->anomalyDecisionReady(2, "NONE", QVector<double>(14, 0.0), 6, 0, 1, 2);
    QCoreApplication::processEvents();
    QCOMPARE(line->text(), QStringLiteral("PREVIEW | observation 6/60 s | active: -- | max: RMS "
                                          "0.00 | last: NEW | completed: 1 | skipped: 2"));
    QCOMPARE(host.logCount("Detector: NEW"), 1);
}

void TestAnomalyPanel::replayKeepsTheSettingsOfItsOpening()
{
    REQUIRE_PULSE_SERVER();
    Host host(m_dir.filePath("replay.ini"));
    AnomalyPanel &panel = *host.panel;
    child<QSpinBox>(&panel, "anomalyPre")->setValue(7);
    child<QSpinBox>(&panel, "anomalyPost")->setValue(9);
    child<QSpinBox>(&panel, "anomalyLowHz")->setValue(300);
    child<QComboBox>(&panel, "anomalyWavChannel")->setCurrentIndex(1);

    // An 8-bit recording is refused with a warning.
    const QString pcm8 = m_dir.filePath("pcm8.wav");
    QVERIFY(TestWav::write(pcm8, 8000, 1, 8, false, QByteArray(8000, '\x80')));
    QString warning;
    QTimer::singleShot(0, [&warning] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        warning = box->windowTitle() + ": " + box->text();
        box->close();
    });
    panel.openReplay(pcm8);
    QCOMPARE(warning, QStringLiteral("Replay error: Replay requires PCM16 WAV"));
    QVERIFY(!panel.replayDialog());

    const QString wav = m_dir.filePath("pcm16.wav");
    QVERIFY(TestWav::write(wav, 8000, 1, 16, false, QByteArray(32000, '\0')));
    panel.openReplay(wav);
    QPointer<ReplayDialog> dialog = panel.replayDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    child<QSpinBox>(&panel, "anomalyPre")->setValue(3);
    child<QSpinBox>(&panel, "anomalyLowHz")->setValue(500);
    const AnomalySettings &taken = dialog->settings();
    QCOMPARE(taken.preSeconds, 7);
    QCOMPARE(taken.postSeconds, 9);
    QCOMPARE(taken.lowHz, 300.0);
    QCOMPARE(taken.channel, 1);
    QCOMPARE(child<QSpinBox>(dialog.data(), "replayChannel")->value(), 1); // a mono recording
    dialog->close();
    QTRY_VERIFY(!dialog);
}

QTEST_MAIN(TestAnomalyPanel)
#include "tst_anomalypanel.moc"
