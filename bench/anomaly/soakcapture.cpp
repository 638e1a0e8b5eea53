// corvin-bench-anomaly-soak SECONDS LOG_DIR [DEVICE]: arms the audio engine's anomaly session on
// an audio input (default: the system default) with analysis and automatic capture on, for
// SECONDS, then disarms and prints one line: the samples the session received (pcm_samples of
// its observation log), the frames between the first and the last non-zero sample seen at the
// engine's other block stage (the audio a source actually sent, without the silence a sound
// server may add around it), the events captured, and the slowest feature update. Used by
// run-soak.sh to show that an armed detector loses no audio while the machine is busy.

#include "audioblockconsumer.h"
#include "audiorecorder.h"

#include <QAudioDeviceInfo>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Counts the frames from the first to the last frame with a non-zero sample. Audio thread.
class SignalSpan : public AudioBlockConsumer
{
public:
    void processBlock(const qint16 *samples, int frameCount, const QAudioFormat &format) override
    {
        const int channels = format.channelCount();
        for (int f = 0; f < frameCount; ++f, ++m_frames) {
            for (int c = 0; c < channels; ++c) {
                if (samples[f * channels + c] != 0) {
                    if (m_first < 0)
                        m_first = m_frames;
                    m_last = m_frames;
                    break;
                }
            }
        }
    }
    void inputStopped() override {}
    qint64 span() const { return m_first < 0 ? 0 : m_last - m_first + 1; }

private:
    qint64 m_frames = 0;
    qint64 m_first = -1;
    qint64 m_last = -1;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int seconds = args.value(1).toInt(&ok);
    if (args.size() < 3 || !ok || seconds <= 0) {
        std::fprintf(stderr, "usage: corvin-bench-anomaly-soak SECONDS LOG_DIR [DEVICE]\n");
        return 2;
    }
    QAudioDeviceInfo device = QAudioDeviceInfo::defaultInputDevice();
    for (const QAudioDeviceInfo &d : QAudioDeviceInfo::availableDevices(QAudio::AudioInput)) {
        if (args.size() > 3 && d.deviceName() == args[3])
            device = d;
    }
    const QString log = QDir(args[2]).filePath(QStringLiteral("soak.json"));

    QThread thread;
    auto *recorder = new AudioRecorder;
    SignalSpan span;
    recorder->setBlockConsumer(AudioRecorder::BlockStage::RfCapture, &span);
    recorder->moveToThread(&thread);
    thread.start();
    int events = 0;
    double slowestMs = 0.0;
    QObject::connect(recorder, &AudioRecorder::anomalyEventReady, &app,
                     [&events](const QByteArray &, const QJsonObject &) { ++events; });
    QObject::connect(recorder, &AudioRecorder::anomalyFeaturesReady, &app,
                     [&slowestMs](int, int, int, const QVector<double> &, double ms) {
                         slowestMs = std::max(slowestMs, ms);
                     });
    AnomalyArmRequest request;
    request.config.automatic = true;
    request.baseMetadata.insert(QStringLiteral("observation_path"), log);
    bool armed = false;
    QMetaObject::invokeMethod(
        recorder, [&] { armed = recorder->startInput(device) && recorder->armAnomaly(request); },
        Qt::BlockingQueuedConnection);
    if (!armed) {
        std::fprintf(stderr, "error: cannot arm on %s\n", qPrintable(device.deviceName()));
        return 1;
    }
    std::fprintf(stderr, "armed on %s\n", qPrintable(device.deviceName()));
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    qint64 spanFrames = 0;
    QMetaObject::invokeMethod(
        recorder,
        [&] {
            recorder->disarmAnomaly();
            spanFrames = span.span();
            recorder->stopAll();
            recorder->setBlockConsumer(AudioRecorder::BlockStage::RfCapture, nullptr);
        },
        Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    delete recorder; // writes the closing log
    QFile file(log);
    const QJsonObject closed = file.open(QIODevice::ReadOnly)
                                   ? QJsonDocument::fromJson(file.readAll()).object()
                                   : QJsonObject();
    std::printf("pcm_samples=%.0f signal_frames=%lld monitored_seconds=%.0f events=%d "
                "auto_started=%.0f skipped=%d slowest_update_ms=%.1f\n",
                closed.value(QStringLiteral("pcm_samples")).toDouble(),
                static_cast<long long>(spanFrames),
                closed.value(QStringLiteral("monitored_seconds")).toDouble(), events,
                closed.value(QStringLiteral("auto_started")).toDouble(),
                closed.value(QStringLiteral("skipped")).toInt(), slowestMs);
    return 0;
}
