// "Add current frequency" end to end: the simulated receiver's S-meter and the real audio path
// (Qt Multimedia on the private PulseAudio server) measuring a tone fed into its pipe source;
// and the measurement that gets no audio (timeout) or loses its input.
#include "../audio/pulsetestserver.h"
#include "activityregistry.h"
#include "audiorecorder.h"
#include "favoritemeasurement.h"
#include "favoritestab.h"
#include "favoritestable.h"
#include "measurementrequests.h"
#include "simulatorrig.h"
#include "testhost.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cmath>
#include <vector>

namespace {

// The window's audio as the measurement sees it: the recorder on its thread, the input the
// private server's mono pipe source.
class AudioHost : public TestHost
{
public:
    AudioHost()
    {
        recorder = new AudioRecorder;
        recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, recorder, &QObject::deleteLater);
        m_thread.start();
    }
    ~AudioHost() override
    {
        QMetaObject::invokeMethod(
            recorder, [r = recorder] { r->stopAll(); }, Qt::BlockingQueuedConnection);
        // The closed input is deleted by the audio thread's running event loop, before it ends.
        QMetaObject::invokeMethod(
            recorder, [] {}, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool startAudioInput() override
    {
        ++audioInputStarts;
        bool started = false;
        const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in");
        QMetaObject::invokeMethod(
            recorder, [r = recorder, input] { return r->startInput(input); },
            Qt::BlockingQueuedConnection, &started);
        return started;
    }
    bool isAudioInputHeld() const override
    {
        return const_cast<AudioHost *>(this)->activities().isRunning(Activity::FavoriteMeasurement);
    }

private:
    QThread m_thread;
};

// A 1 kHz sine at -20 dBFS, 48 kHz mono.
QByteArray tone(double seconds)
{
    const int n = int(48000 * seconds);
    QByteArray bytes(n * 2, Qt::Uninitialized);
    auto *samples = reinterpret_cast<qint16 *>(bytes.data());
    for (int i = 0; i < n; ++i)
        samples[i] = qint16(std::lround(3276.7 * std::sin(2 * M_PI * 1000.0 * i / 48000.0)));
    return bytes;
}

} // namespace

class FavoriteMeasurementTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toneIsMeasuredAndSaved();
    void noAudioOrLostInput_data();
    void noAudioOrLostInput();
};

void FavoriteMeasurementTest::initTestCase()
{
    REQUIRE_PULSE_SERVER();
}

void FavoriteMeasurementTest::toneIsMeasuredAndSaved()
{
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    SimulatorRig rig{{"station 145500000 NFM 12000 180 tone Beacon"}};
    AudioHost host;
    host.receiverDriver = &rig.driver;
    host.settings().setValue("SmartScan/smartDurationMs", 1000);
    FavoritesTab tab(host);
    // Tone for the whole measurement, with room for the S-meter reads before it.
    PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), tone(3.0), 96000);
    tab.measurement().begin(QStringLiteral("Beacon"));
    QTRY_COMPARE_WITH_TIMEOUT(tab.table()->rowCount(), 1, 15000);
    QCOMPARE(tab.findChild<QLabel *>("favoritesStatus")->text(),
             QStringLiteral("Favorite added with signal measurements."));
    const Favorite added = tab.table()->favoriteAt(0);
    QCOMPARE(added.attributes.value("classification").toString(), QStringLiteral("Tonal audio"));
    const int level = added.attributes.value("s_meter").toString().toInt();
    QVERIFY(level > 100);
    QCOMPARE(added.attributes.value("quality").toString(),
             QString::number(std::lround(0.8 * 100 + 20.0 * level / 255)));
    QVERIFY(qAbs(added.attributes.value("dbfs_rms").toString().toDouble() + 23.0) < 1.5);
    QCOMPARE(host.audioInputStarts, 1);
    QVERIFY(host.audioStatusRefreshes >= 2);
}

void FavoriteMeasurementTest::noAudioOrLostInput_data()
{
    QTest::addColumn<bool>("lose");
    QTest::addColumn<QString>("logged");
    QTest::newRow("timeout") << false
                             << "Favorite audio analysis timed out before enough samples arrived.";
    QTest::newRow("input lost") << true << "Audio input was lost while measuring the favorite.";
}

void FavoriteMeasurementTest::noAudioOrLostInput()
{
    QFETCH(bool, lose);
    QFETCH(QString, logged);
    SimulatorRig rig;
    AudioHost host;
    host.receiverDriver = &rig.driver;
    host.settings().setValue("SmartScan/smartDurationMs", 500);
    qRegisterMetaType<PendingFavorite>();
    MeasurementRequests requests;
    FavoriteMeasurement measurement(host, requests);
    QSignalSpy finished(&measurement, &FavoriteMeasurement::finished);
    measurement.begin(QStringLiteral("Silent"));
    // The pipe source gets a tenth of a second, less than one window: the measurement starts
    // and waits for samples that never come.
    QTRY_VERIFY_WITH_TIMEOUT(measurement.pending() && measurement.pending()->analysing, 5000);
    PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), tone(0.1), 96000);
    if (lose)
        host.loseAudioInput();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QVERIFY(host.logContains(logged));
    QCOMPARE(finished.first().at(2).toBool(), false);
    const QJsonObject attributes = finished.first().at(1).toJsonObject();
    QVERIFY(attributes.contains("s_meter"));
    QVERIFY(!attributes.contains("classification"));
    // A late result of the cancelled measurement changes nothing.
    emit host.recorder->signalAnalysisReady(requests.current(), AudioAnalysisResult());
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
}

QTEST_MAIN(FavoriteMeasurementTest)
#include "tst_favoritemeasurement.moc"
