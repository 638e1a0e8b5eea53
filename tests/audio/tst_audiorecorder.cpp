#include "audioblockconsumer.h"
#include "audiopanel.h"
#include "audiorecorder.h"
#include "playbackconverter.h"
#include "pulsetestserver.h"
#include "wavfilewriter.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

using PulseTest::bytesToSamples;
using PulseTest::pattern;
using PulseTest::samplesToBytes;

// Index in haystack where needle[from ... from + length) appears (each sample within tolerance),
// or -1.
int locate(const std::vector<qint16> &haystack, const std::vector<qint16> &needle, size_t from,
           size_t length, int tolerance)
{
    if (needle.size() < from + length) {
        return -1;
    }
    for (size_t at = 0; at + length <= haystack.size(); ++at) {
        size_t i = 0;
        while (i < length && std::abs(haystack[at + i] - needle[from + i]) <= tolerance) {
            ++i;
        }
        if (i == length) {
            return int(at);
        }
    }
    return -1;
}

// Counts the frames the recorder has served, through its block-consumer hook.
class FrameCounter : public AudioBlockConsumer
{
public:
    std::atomic<int> frames{0};
    std::atomic<int> stops{0};
    void processBlock(const qint16 *, int frameCount, const QAudioFormat &) override
    {
        frames += frameCount;
    }
    void inputStopped() override { ++stops; }
};

bool onlyInputs48kOr441(const QAudioFormat &f)
{
    return f.sampleRate() == 44100;
}

} // namespace

class TestAudioRecorder : public QObject
{
    Q_OBJECT

    QThread m_thread;
    AudioRecorder *m_recorder = nullptr;
    QStringList m_errors;
    QList<qint64> m_durations;
    QList<int> m_peaks;
    QList<QPair<int, AudioAnalysisResult>> m_results;
    QVector<double> m_lastMagnitudes;
    QVector<double> m_lastFrequencies;
    int m_frames = 0;
    FrameCounter m_counter; // frames served to the block consumers, i.e. captured

    template <typename F> auto call(F f)
    {
        decltype(f()) result{};
        QMetaObject::invokeMethod(
            m_recorder, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }
    template <typename F> void run(F f)
    {
        QMetaObject::invokeMethod(m_recorder, f, Qt::BlockingQueuedConnection);
    }

    QAudioDeviceInfo monoInput() { return PulseTest::device(QAudio::AudioInput, "corvin_in"); }
    QAudioDeviceInfo stereoInput()
    {
        return PulseTest::device(QAudio::AudioInput, "corvin_in_stereo");
    }
    QAudioDeviceInfo output() { return PulseTest::device(QAudio::AudioOutput, "corvin_out"); }

private slots:
    void initTestCase()
    {
        m_recorder = new AudioRecorder;
        m_recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_recorder, &QObject::deleteLater);
        connect(m_recorder, &AudioRecorder::errorOccurred, this,
                [this](const QString &m) { m_errors << m; });
        connect(m_recorder, &AudioRecorder::recordingDurationChanged, this,
                [this](qint64 s) { m_durations << s; });
        connect(m_recorder, &AudioRecorder::inputPeakChanged, this,
                [this](int m, bool) { m_peaks << m; });
        connect(m_recorder, &AudioRecorder::signalAnalysisReady, this,
                [this](int r, const AudioAnalysisResult &a) {
                    m_results.append({r, a});
                });
        connect(m_recorder, &AudioRecorder::spectrumReady, this,
                [this](const QVector<double> &f, const QVector<double> &m) {
                    m_lastFrequencies = f;
                    m_lastMagnitudes = m;
                    ++m_frames;
                });
        m_thread.start();
    }

    void cleanupTestCase()
    {
        run([this] {
            m_recorder->stopAll();
            m_recorder->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, nullptr);
        });
        m_thread.quit();
        m_thread.wait();
    }

    void init()
    {
        run([this] {
            m_recorder->stopAll();
            m_recorder->setFormatConstraint(QAudio::AudioInput, {});
            m_recorder->setFormatConstraint(QAudio::AudioOutput, {});
            m_recorder->setFilterPreset(0);
            m_recorder->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, &m_counter);
        });
        m_counter.frames = 0;
        m_counter.stops = 0;
        m_errors.clear();
        m_durations.clear();
        m_peaks.clear();
        m_results.clear();
        m_frames = 0;
    }

    void failuresWithoutDevices()
    {
        QVERIFY(!call([this] { return m_recorder->startInput(QAudioDeviceInfo()); }));
        QTRY_COMPARE(m_errors, QStringList{"No audio input is available."});
        QVERIFY(!call([this] { return m_recorder->startPlayback(output(), 0.5); }));
        QVERIFY(!call([this] { return m_recorder->startRecording("x.wav", 0); }));
        QVERIFY(!call([this] { return m_recorder->startAnalysis(1, 1500, -55.0); }));
        const AudioRecorderState state = call([this] { return m_recorder->queryState(false); });
        QVERIFY(!state.inputRunning && !state.listening && !state.recording);
        QVERIFY(!state.inputFormat.isValid());
    }

    void recordsFedSignalToWav()
    {
        REQUIRE_PULSE_SERVER();
        QVERIFY(call([this] { return m_recorder->startInput(monoInput()); }));
        const QAudioFormat format = call([this] { return m_recorder->inputFormat(); });
        QCOMPARE(format.sampleRate(), 48000); // 48 kHz stereo is tried first
        QCOMPARE(format.channelCount(), 2);

        QTemporaryDir dir;
        const QString path = dir.filePath("take.wav");
        QVERIFY(!call([this, path] { return m_recorder->startRecording(path, 2); }));
        QTRY_COMPARE(m_errors, QStringList{"Selected WAV input channel unavailable."});
        const QString unwritable = dir.filePath("missing/take.wav");
        QVERIFY(!call([&] { return m_recorder->startRecording(unwritable, 0); }));
        QTRY_COMPARE(m_errors.size(), 2);
        QCOMPARE(m_errors.last(), QStringLiteral("Could not create WAV file %1.").arg(unwritable));
        QVERIFY(!QFile::exists(unwritable));
        QVERIFY(call([this, path] { return m_recorder->startRecording(path, 0); }));
        QVERIFY(!call([this, path] { return m_recorder->startRecording(path, 0); }));

        // The pipe source delivers nothing until fed, so the file holds exactly what is fed.
        std::vector<qint16> fed(72000);
        for (int n = 0; n < 72000; ++n) {
            fed[static_cast<size_t>(n)] = pattern(n, 11);
        }
        {
            PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), samplesToBytes(fed), 96000);
            QTRY_VERIFY_WITH_TIMEOUT(feeder.finished(), 20000);
            QVERIFY(!feeder.failed());
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_durations.contains(1), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_counter.frames.load(), 72000, 10000);
        run([this] { m_recorder->stopRecording(); });
        QVERIFY(!call([this] { return m_recorder->queryState(true); }).recording);
        QCOMPARE(m_durations, (QList<qint64>{0, 1}));
        QCOMPARE(AudioPanel::durationText(m_durations.last()), QStringLiteral("00:00:01"));
        QCOMPARE(m_errors.size(), 2);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 44 + 144000);
        QCOMPARE(bytes.left(44), WavFileWriter::header(144000, 48000));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 144036u);
        QVERIFY(bytesToSamples(bytes.mid(44)) == fed);
        QVERIFY(!m_peaks.isEmpty());
        QVERIFY2(*std::max_element(m_peaks.begin(), m_peaks.end()) >= 32700,
                 qPrintable(QString::number(*std::max_element(m_peaks.begin(), m_peaks.end()))));
    }

    void recordsRightChannelOfStereoInput()
    {
        REQUIRE_PULSE_SERVER();
        run([this] { m_recorder->setFormatConstraint(QAudio::AudioInput, onlyInputs48kOr441); });
        QVERIFY(call([this] { return m_recorder->startInput(stereoInput()); }));
        QCOMPARE(call([this] { return m_recorder->inputFormat(); }).sampleRate(), 44100);
        QTemporaryDir dir;
        const QString path = dir.filePath("right.wav");
        QVERIFY(call([this, path] { return m_recorder->startRecording(path, 1); }));
        std::vector<qint16> fed(2 * 22050);
        for (int n = 0; n < 22050; ++n) {
            fed[static_cast<size_t>(2 * n)] = pattern(n, 1);
            fed[static_cast<size_t>(2 * n + 1)] = pattern(n, 5000);
        }
        {
            PulseTest::FifoFeeder feeder(PulseTest::stereoFifo(), samplesToBytes(fed), 176400);
            QTRY_VERIFY_WITH_TIMEOUT(feeder.finished(), 20000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_counter.frames.load(), 22050, 10000);
        run([this] { m_recorder->stopRecording(); });
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.left(44), WavFileWriter::header(44100, 44100));
        const std::vector<qint16> got = bytesToSamples(bytes.mid(44));
        QCOMPARE(got.size(), size_t(22050));
        for (int n = 0; n < 22050; ++n) {
            QCOMPARE(got[static_cast<size_t>(n)], fed[static_cast<size_t>(2 * n + 1)]);
        }
    }

    void playbackIsResampledAndDownmixed()
    {
        REQUIRE_PULSE_SERVER();
        run([this] {
            m_recorder->setFormatConstraint(QAudio::AudioInput, onlyInputs48kOr441);
            m_recorder->setFormatConstraint(QAudio::AudioOutput, [](const QAudioFormat &f) {
                return f.sampleRate() == 48000 && f.channelCount() == 1;
            });
        });
        PulseTest::MonitorCapture monitor(1);
        QVERIFY(monitor.waitForData(10000));
        QVERIFY(call([this] { return m_recorder->startInput(stereoInput()); }));
        QVERIFY(call([this] { return m_recorder->startPlayback(output(), 1.0); }));
        const AudioRecorderState state = call([this] { return m_recorder->queryState(true); });
        QVERIFY(state.listening);
        QCOMPARE(state.outputFormat.sampleRate(), 48000);
        QCOMPARE(state.outputFormat.channelCount(), 1);

        std::vector<qint16> fed(2 * 44100);
        for (int n = 0; n < 44100; ++n) {
            // Slow ramps, different on each side, so interpolation and the mean are visible.
            fed[static_cast<size_t>(2 * n)] = static_cast<qint16>((n * 3) % 40000 - 20000);
            fed[static_cast<size_t>(2 * n + 1)] = static_cast<qint16>((n * 5) % 50000 - 25000);
        }
        {
            PulseTest::FifoFeeder feeder(PulseTest::stereoFifo(), samplesToBytes(fed), 176400);
            QTRY_VERIFY_WITH_TIMEOUT(feeder.finished(), 20000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_counter.frames.load(), 44100, 10000);
        QTest::qWait(1000); // through the output buffer and the sink
        const std::vector<qint16> captured = bytesToSamples(monitor.stop());
        run([this] { m_recorder->stopPlayback(); });
        QVERIFY(m_errors.isEmpty());

        PlaybackConverter reference;
        reference.configure(44100, 2, 48000, 1);
        QByteArray expectedBytes;
        reference.append(fed.data(), 44100, expectedBytes);
        const std::vector<qint16> expected = bytesToSamples(expectedBytes);
        // A stretch from the middle of the second arrives intact at the sink.
        QVERIFY2(locate(captured, expected, 20000, 4800, 1) >= 0,
                 qPrintable(QString("captured %1 samples").arg(captured.size())));
    }

    void filterOffPassesSamplesAfterFade()
    {
        REQUIRE_PULSE_SERVER();
        PulseTest::MonitorCapture monitor(2);
        QVERIFY(monitor.waitForData(10000));
        run([this] { m_recorder->setFilterPreset(1); });
        QVERIFY(call([this] { return m_recorder->startInput(monoInput()); }));
        QVERIFY(call([this] { return m_recorder->startPlayback(output(), 1.0); }));
        std::vector<qint16> fed(60000);
        for (int n = 0; n < 60000; ++n) {
            fed[static_cast<size_t>(n)] = pattern(n, 77);
        }
        PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), samplesToBytes(fed), 96000);
        // Everything up to here has gone through the voice filter.
        QTRY_VERIFY_WITH_TIMEOUT(m_counter.frames >= 10000, 10000);
        QMetaObject::invokeMethod(m_recorder, [this] { m_recorder->setFilterPreset(0); });
        QTRY_VERIFY_WITH_TIMEOUT(feeder.finished(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_counter.frames.load(), 60000, 10000);
        QTest::qWait(1000); // through the output buffer and the sink
        const std::vector<qint16> captured = bytesToSamples(monitor.stop());
        run([this] { m_recorder->stopAll(); });
        QCOMPARE(m_counter.stops.load(), 1);

        // Mono input, stereo output of the same rate: every frame carries the sample twice.
        std::vector<qint16> expected(2 * fed.size());
        for (size_t n = 0; n < fed.size(); ++n) {
            expected[2 * n] = expected[2 * n + 1] = fed[n];
        }
        QVERIFY(locate(captured, expected, 2 * 50000, 2 * 4800, 0) >= 0);
        // While the voice filter ran, the output was not the input.
        QCOMPARE(locate(captured, expected, 2 * 1000, 2 * 200, 0), -1);
    }

    void measuresTheStrongerChannel()
    {
        REQUIRE_PULSE_SERVER();
        run([this] { m_recorder->setFormatConstraint(QAudio::AudioInput, onlyInputs48kOr441); });
        QVERIFY(call([this] { return m_recorder->startInput(stereoInput()); }));
        QVERIFY(call([this] { return m_recorder->startAnalysis(5, 500, -55.0); }));
        std::vector<qint16> fed(2 * 44100);
        for (int n = 0; n < 44100; ++n) {
            fed[static_cast<size_t>(2 * n + 1)] =
                static_cast<qint16>(std::lround(3000.0 * std::sin(2.0 * kPi * 1000.0 * n / 44100)));
        }
        {
            PulseTest::FifoFeeder feeder(PulseTest::stereoFifo(), samplesToBytes(fed), 176400);
            QTRY_VERIFY_WITH_TIMEOUT(m_results.size() == 1, 20000);
        }
        const AudioAnalysisResult &r = m_results[0].second;
        QCOMPARE(r.fft_windows, 5); // 44.1 kHz, 500 ms
        QCOMPARE(r.classification, int(SignalClass::Tone));
        QCOMPARE(r.active_windows, 5);
    }

    void measuresAndShowsSpectrumOfLiveInput()
    {
        REQUIRE_PULSE_SERVER();
        QVERIFY(call([this] { return m_recorder->startInput(monoInput()); }));
        QVERIFY(call([this] { return m_recorder->startAnalysis(42, 500, -55.0); }));
        run([this] { m_recorder->setSpectrumEnabled(true); });
        // Bin 85 of 4096 at 48 kHz, -6 dBFS, for 1 s.
        std::vector<qint16> fed(48000);
        const double hz = 85.0 * 48000.0 / 4096.0;
        for (int n = 0; n < 48000; ++n) {
            fed[static_cast<size_t>(n)] =
                static_cast<qint16>(std::lround(16384.0 * std::sin(2.0 * kPi * hz * n / 48000)));
        }
        {
            PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), samplesToBytes(fed), 96000);
            QTRY_VERIFY_WITH_TIMEOUT(m_results.size() == 1, 20000);
        }
        QCOMPARE(m_results[0].first, 42);
        const AudioAnalysisResult &r = m_results[0].second;
        QCOMPARE(r.fft_windows, 6);
        QCOMPARE(r.classification, int(SignalClass::Tone));
        QCOMPARE(r.quality, 100);
        QVERIFY(std::abs(r.dbfs_peak - -9.03) < 0.3);

        QVERIFY(m_frames >= 6);
        QCOMPARE(m_lastFrequencies.size(), 2049);
        QCOMPARE(m_lastFrequencies[1], 48000.0 / 4096.0);
        QVERIFY(std::abs(m_lastMagnitudes[85] - -6.02) < 0.1);
        QVERIFY(m_lastMagnitudes[1000] < -90.0);

        // An input that nothing needs is closed by the state query.
        run([this] { m_recorder->setSpectrumEnabled(false); });
        QVERIFY(call([this] { return m_recorder->queryState(true); }).inputRunning);
        QVERIFY(!call([this] { return m_recorder->queryState(false); }).inputRunning);
        QTRY_COMPARE(m_peaks.last(), -1);
    }
};

QTEST_MAIN(TestAudioRecorder)
#include "tst_audiorecorder.moc"
