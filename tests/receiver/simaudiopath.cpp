#include "simaudiopath.h"

#include "audiothreadcall.h"
#include "pulsetestserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <cstdlib>

qint64 SimAudioPath::nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void SimAudioPath::Capture::processBlock(const qint16 *block, int frameCount,
                                         const QAudioFormat &format)
{
    const qint64 arrival = nowNs();
    const int channels = format.channelCount();
    std::lock_guard<std::mutex> hold(lock);
    for (int i = 0; i < frameCount; ++i)
        samples.push_back(block[i * channels]);
    blockEnds.emplace_back(qint64(samples.size()), arrival);
}

SimAudioPath::SimAudioPath() = default;

SimAudioPath::~SimAudioPath()
{
    if (m_recorder) {
        AudioRecorder *r = m_recorder;
        callOnAudioThread(r, [r] {
            r->stopAll();
            r->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, nullptr);
        });
        m_thread.quit();
        m_thread.wait();
    }
    if (m_audio)
        m_audio->stop();
    m_driver.closePort();
    m_sim.stop();
}

bool SimAudioPath::start(QString *error)
{
    if (!m_sim.start(error))
        return false;
    if (!m_driver.openPort(m_sim.portPath())) {
        *error = QStringLiteral("cannot open the simulator's terminal");
        return false;
    }
    m_audio = std::make_unique<AudioFifoWriter>([this] { return m_sim.audioScene(); },
                                                PulseTest::monoFifo(), 48000, 1);
    if (!m_audio->start(error))
        return false;

    m_recorder = new AudioRecorder;
    m_recorder->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_recorder, &QObject::deleteLater);
    m_thread.start();
    const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in");
    AudioRecorder *r = m_recorder;
    Capture *capture = &m_capture;
    if (!callOnAudioThread(r, [r, capture, input] {
            r->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, capture);
            return r->startInput(input);
        })) {
        *error = QStringLiteral("the audio engine could not open corvin_in");
        return false;
    }
    // The pipe holds what the simulator wrote before anyone read it; wait until that has been
    // captured and live audio flows.
    QElapsedTimer clock;
    clock.start();
    while (capturedFrames() < 48000 && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (capturedFrames() < 48000) {
        *error = QStringLiteral("no audio captured within 10 s");
        return false;
    }
    return true;
}

qint64 SimAudioPath::capturedFrames() const
{
    std::lock_guard<std::mutex> hold(m_capture.lock);
    return qint64(m_capture.samples.size());
}

std::vector<qint16> SimAudioPath::samplesFrom(qint64 first) const
{
    std::lock_guard<std::mutex> hold(m_capture.lock);
    const auto begin = m_capture.samples.begin() +
                       std::min<qint64>(std::max<qint64>(first, 0), m_capture.samples.size());
    return std::vector<qint16>(begin, m_capture.samples.end());
}

qint64 SimAudioPath::arrivalOfFirstAbove(qint64 first, int threshold) const
{
    std::lock_guard<std::mutex> hold(m_capture.lock);
    const qint64 size = qint64(m_capture.samples.size());
    for (qint64 i = std::max<qint64>(first, 0); i < size; ++i) {
        if (std::abs(int(m_capture.samples[size_t(i)])) < threshold)
            continue;
        for (const auto &block : m_capture.blockEnds) {
            if (block.first > i)
                return block.second;
        }
    }
    return -1;
}
