// The anomaly session inside the real audio engine on the private PulseAudio server, fed by the
// receiver simulator with scheduled audio events: the captured event holds the received audio
// without a sample lost or repeated, and the events sit where they were scheduled.

#include "audiorecorder.h"
#include "pulsetestserver.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtTest>

namespace {

template <typename F> auto onThread(QObject *object, F f)
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        object, [&result, &f] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

// First sample at or after `from` whose magnitude exceeds the threshold, or -1.
int onset(const QByteArray &pcm, int from, int threshold)
{
    for (int i = from; i < pcm.size() / 2; ++i) {
        if (std::abs(qFromLittleEndian<qint16>(pcm.constData() + 2 * i)) > threshold)
            return i;
    }
    return -1;
}

// First sample at or after `from` that starts a run of `quiet` samples below the threshold.
int end(const QByteArray &pcm, int from, int threshold, int quiet)
{
    int run = 0;
    for (int i = from; i < pcm.size() / 2; ++i) {
        run =
            std::abs(qFromLittleEndian<qint16>(pcm.constData() + 2 * i)) > threshold ? 0 : run + 1;
        if (run == quiet)
            return i - quiet + 1;
    }
    return -1;
}

} // namespace

class TestAnomalyCapture : public QObject
{
    Q_OBJECT

private slots:
    void scheduledEventsLandAtTheirOffsets();
};

void TestAnomalyCapture::scheduledEventsLandAtTheirOffsets()
{
    REQUIRE_PULSE_SERVER();
    const int rate = 48000;
    QTemporaryDir dir;
    QFile plan(dir.filePath("quiet.plan")); // no stations: band noise only
    QVERIFY(plan.open(QIODevice::WriteOnly));
    plan.close();

    QThread thread;
    auto *recorder = new AudioRecorder;
    recorder->moveToThread(&thread);
    connect(&thread, &QThread::finished, recorder, &QObject::deleteLater);
    thread.start();
    QSignalSpy progress(recorder, &AudioRecorder::anomalyProgress);
    QSignalSpy events(recorder, &AudioRecorder::anomalyEventReady);

    // Two 12 kHz tone bursts (a quarter of the rate: samples 0, +A, 0, -A, ...) 1.5 s apart.
    QProcess simulator;
    simulator.start(qEnvironmentVariable("CORVIN_RXSIM"),
                    {"--band-plan", plan.fileName(), "--audio-fifo", PulseTest::monoFifo(),
                     "--audio-event", "8:tone 12000 0.2 -6", "--audio-event",
                     "9.5:tone 12000 0.2 -6"});
    QVERIFY(simulator.waitForStarted());

    const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in");
    AnomalyArmRequest request;
    request.preSeconds = 10;
    request.postSeconds = 1;
    request.monitor = false;
    request.baseMetadata.insert("observation_path", dir.filePath("log.json"));
    QVERIFY(onThread(recorder, [recorder, &input, &request] {
        return recorder->startInput(input) && recorder->armAnomaly(request);
    }));

    // Trigger once the ring is full and both bursts have been rendered.
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += simulator.readAllStandardError(), log.count("audio event") == 2), 20000);
    QVERIFY(log.contains("\"tone 12000 0.2 -6\" starts at sample 384000 (8.000 s)"));
    QVERIFY(log.contains("starts at sample 456000 (9.500 s)"));
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toInt() == 10, 20000);
    QTest::qWait(600); // the second burst is through the sound server
    QVERIFY(onThread(recorder, [recorder] { return recorder->triggerAnomaly(); }));
    QTRY_COMPARE_WITH_TIMEOUT(events.count(), 1, 5000);

    const QByteArray pcm = events.at(0).at(0).toByteArray();
    QCOMPARE(pcm.size(), 11 * rate * 2);
    const int threshold = 10000;
    const int first = onset(pcm, 0, threshold);
    QVERIFY(first >= 0);
    const int second = onset(pcm, end(pcm, first, threshold, 4800), threshold);
    QVERIFY2(second >= 0, "the second burst is in the event");
    // Exactly 1.5 s apart, each 0.2 s long: no sample lost or repeated on the way.
    QCOMPARE(second - first, 72000);
    const int length = end(pcm, first, threshold, 4800) - first;
    QVERIFY2(std::abs(length - 9600) <= 2, qPrintable(QString::number(length)));

    onThread(recorder, [recorder] {
        recorder->stopAll();
        return true;
    });
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(5000));
    thread.quit();
    thread.wait();
    const QJsonObject closed =
        QJsonDocument::fromJson([&dir] {
            QFile file(dir.filePath("log.json"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }())
            .object();
    QCOMPARE(closed.value("closed").toBool(), true);
    QCOMPARE(closed.value("manual_completed_pcm").toInt(), 1);
}

QTEST_GUILESS_MAIN(TestAnomalyCapture)
#include "tst_anomalycapture.moc"
