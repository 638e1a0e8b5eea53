// Timed command: CPU time the audio thread spends per second of 48 kHz stereo input while
// "Listen on PC" (voice filter, resampling to 44.1 kHz), Record WAV and the live spectrum with a
// running signal measurement are all active. Runs the real engine on the private PulseAudio
// server of scripts/pulse-test-server (PULSE_SERVER and CORVIN_AUDIO_FIFO_STEREO must be set).
//
//   bench_audio_engine [seconds per run, default 5] [runs, default 3]

#include "audioblockconsumer.h"
#include "audiorecorder.h"
#include "pulsetestserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

class FrameCounter : public AudioBlockConsumer
{
public:
    std::atomic<qint64> frames{0};
    void processBlock(const qint16 *, int frameCount, const QAudioFormat &) override
    {
        frames += frameCount;
    }
    void inputStopped() override {}
};

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// 44.1 kHz stereo speech-band test audio: two tones and some noise, different per side.
QByteArray testAudio(int seconds)
{
    const int frames = 44100 * seconds;
    std::vector<qint16> s(static_cast<size_t>(2 * frames));
    quint32 noise = 1;
    for (int n = 0; n < frames; ++n) {
        noise = noise * 1664525u + 1013904223u;
        const double r = (double(noise >> 8) / double(1u << 24) - 0.5) * 2000.0;
        const double t = double(n) / 44100.0;
        s[static_cast<size_t>(2 * n)] =
            static_cast<qint16>(std::lround(9000.0 * std::sin(2.0 * M_PI * 700.0 * t) + r));
        s[static_cast<size_t>(2 * n + 1)] =
            static_cast<qint16>(std::lround(7000.0 * std::sin(2.0 * M_PI * 1900.0 * t) - r));
    }
    return QByteArray(reinterpret_cast<const char *>(s.data()), int(s.size() * 2));
}

template <typename F> auto onThread(QObject *target, F f)
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        target, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, atoi(argv[1])) : 5;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    const QString reason = PulseTest::unavailableReason();
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "bench_audio_engine: %s\n", qPrintable(reason));
        return 2;
    }

    QThread thread;
    auto *recorder = new AudioRecorder;
    recorder->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, recorder, &QObject::deleteLater);
    thread.start();
    FrameCounter counter;
    std::atomic<int> spectra{0};
    QObject::connect(recorder, &AudioRecorder::spectrumReady, &app, [&] { ++spectra; });
    QObject::connect(recorder, &AudioRecorder::errorOccurred, &app, [](const QString &m) {
        std::fprintf(stderr, "bench_audio_engine: %s\n", qPrintable(m));
    });

    const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in_stereo");
    const QAudioDeviceInfo output = PulseTest::device(QAudio::AudioOutput, "corvin_out");
    const QByteArray audio = testAudio(seconds);
    QTemporaryDir dir;
    std::vector<double> percents;
    for (int run = 0; run < runs; ++run) {
        const bool ok = onThread(recorder, [&] {
            recorder->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, &counter);
            recorder->setFormatConstraint(QAudio::AudioInput, [](const QAudioFormat &f) {
                return f.sampleRate() == 48000 && f.channelCount() == 2;
            });
            recorder->setFormatConstraint(
                QAudio::AudioOutput, [](const QAudioFormat &f) { return f.sampleRate() == 44100; });
            recorder->setFilterPreset(1);
            recorder->setSpectrumEnabled(false);
            return recorder->startInput(input) && recorder->startPlayback(output, 0.5) &&
                   recorder->startRecording(dir.filePath(QString("run%1.wav").arg(run)), 1) &&
                   recorder->startAnalysis(run, seconds * 1000, -55.0);
        });
        QMetaObject::invokeMethod(
            recorder, [recorder] { recorder->setSpectrumEnabled(true); },
            Qt::BlockingQueuedConnection);
        if (!ok) {
            std::fprintf(stderr, "bench_audio_engine: could not start the engine\n");
            return 1;
        }
        counter.frames = 0;
        const double cpuStart = onThread(recorder, [] { return threadCpuSeconds(); });
        {
            PulseTest::FifoFeeder feeder(PulseTest::stereoFifo(), audio, 44100 * 4);
            while (!feeder.finished()) {
                app.processEvents(QEventLoop::AllEvents, 50);
                QThread::msleep(20);
            }
        }
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 500) {
            app.processEvents(QEventLoop::AllEvents, 50);
        }
        const double cpu = onThread(recorder, [] { return threadCpuSeconds(); }) - cpuStart;
        const double audioSeconds = double(counter.frames.load()) / 48000.0;
        const double percent = 100.0 * cpu / audioSeconds;
        percents.push_back(percent);
        std::printf("run %d: %.2f s of 48 kHz stereo, audio thread CPU %.1f ms = %.2f %% of one "
                    "core\n",
                    run + 1, audioSeconds, cpu * 1000.0, percent);
        QMetaObject::invokeMethod(
            recorder, [recorder] { recorder->stopAll(); }, Qt::BlockingQueuedConnection);
    }
    std::sort(percents.begin(), percents.end());
    std::printf("median: %.2f %% of one core (%d spectrum frames)\n", percents[percents.size() / 2],
                spectra.load());
    QMetaObject::invokeMethod(
        recorder,
        [recorder] { recorder->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, nullptr); },
        Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    return 0;
}
