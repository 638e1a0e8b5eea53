#include "audiofifowriter.h"

#include "audioevents.h"
#include "audiosynth.h"
#include "fifopath.h"

#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

AudioFifoWriter::AudioFifoWriter(std::function<AudioScene()> scene, QString path, int sampleRate,
                                 int channels)
    : m_scene(std::move(scene))
    , m_path(std::move(path))
    , m_rate(sampleRate)
    , m_channels(channels)
{}

AudioFifoWriter::~AudioFifoWriter()
{
    stop();
}

bool AudioFifoWriter::start(QString *error)
{
    if (!ensureFifo(m_path, error))
        return false;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void AudioFifoWriter::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void AudioFifoWriter::run()
{
    // A reader that goes away must not kill the process: take SIGPIPE on this thread
    // only, blocked, and clear it after each EPIPE.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    const QByteArray path = m_path.toLocal8Bit();
    // Blocks of at most 20 ms that a pipe writes in one piece (PIPE_BUF).
    const int bytesPerFrame = 2 * m_channels;
    const int blockFrames = std::max(1, std::min(m_rate / 50, 4096 / bytesPerFrame));
    const auto blockTime = std::chrono::nanoseconds(1000000000LL * blockFrames / m_rate);
    AudioSynth synth(m_rate);
    std::vector<float> mono(static_cast<size_t>(blockFrames));
    QByteArray pcm(blockFrames * bytesPerFrame, '\0');
    int fd = -1;
    qint64 generated = 0; // stream samples rendered, written or dropped
    auto next = std::chrono::steady_clock::now();

    while (!m_stop) {
        synth.render(m_scene(), mono.data(), blockFrames);
        if (m_events)
            m_events->mix(mono.data(), blockFrames, generated);
        generated += blockFrames;
        auto *out = reinterpret_cast<uchar *>(pcm.data());
        for (int i = 0; i < blockFrames; ++i) {
            const auto value =
                static_cast<qint16>(std::lround(mono[static_cast<size_t>(i)] * 32767.0f));
            for (int c = 0; c < m_channels; ++c, out += 2)
                qToLittleEndian(value, out);
        }
        if (fd < 0)
            fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); // ENXIO: no reader
        bool written = false;
        if (fd >= 0) {
            const ssize_t n = ::write(fd, pcm.constData(), static_cast<size_t>(pcm.size()));
            written = n == pcm.size();
            if (n < 0 && errno == EPIPE) {
                ::close(fd);
                fd = -1;
                const timespec none{0, 0};
                sigtimedwait(&pipeSignal, nullptr, &none);
            }
        }
        (written ? m_written : m_dropped) += blockFrames;

        next += blockTime;
        const auto now = std::chrono::steady_clock::now();
        if (now - next > std::chrono::milliseconds(200))
            next = now; // fell far behind (machine stalled): restart the clock
        std::this_thread::sleep_until(next);
    }
    if (fd >= 0)
        ::close(fd);
}
