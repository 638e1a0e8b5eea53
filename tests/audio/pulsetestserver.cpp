#include "pulsetestserver.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PulseTest {

QByteArray samplesToBytes(const std::vector<qint16> &samples)
{
    return QByteArray(reinterpret_cast<const char *>(samples.data()), int(samples.size() * 2));
}

std::vector<qint16> bytesToSamples(const QByteArray &bytes)
{
    std::vector<qint16> samples(static_cast<size_t>(bytes.size() / 2));
    memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

QString monoFifo()
{
    return qEnvironmentVariable("CORVIN_AUDIO_FIFO");
}
QString stereoFifo()
{
    return qEnvironmentVariable("CORVIN_AUDIO_FIFO_STEREO");
}

QString unavailableReason()
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        return QStringLiteral("PULSE_SERVER is not set: start scripts/pulse-test-server");
    }
    if (!QFileInfo(monoFifo()).exists() || !QFileInfo(stereoFifo()).exists()) {
        return QStringLiteral("the pipe-source FIFOs of scripts/pulse-test-server are missing");
    }
    if (device(QAudio::AudioInput, QStringLiteral("corvin_in")).isNull() ||
        device(QAudio::AudioOutput, QStringLiteral("corvin_out")).isNull()) {
        return QStringLiteral("the private PulseAudio server does not offer corvin_in/corvin_out");
    }
    return QString();
}

QAudioDeviceInfo device(QAudio::Mode mode, const QString &name)
{
    const auto devices = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo &d : devices) {
        if (d.deviceName() == name) {
            return d;
        }
    }
    return QAudioDeviceInfo();
}

qint64 drainFifo(const QString &fifo)
{
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    qint64 total = 0;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        total += n;
    }
    ::close(fd);
    return total;
}

FifoFeeder::FifoFeeder(const QString &fifo, const QByteArray &bytes, int bytesPerSecond)
{
    const QByteArray path = QFile::encodeName(fifo);
    m_thread = std::thread([this, path, bytes, bytesPerSecond] {
        // The pipe source keeps its FIFO open for reading and writing, so this does not block.
        const int fd = ::open(path.constData(), O_WRONLY);
        if (fd < 0) {
            m_failed = true;
            m_done = true;
            return;
        }
        const int piece = std::max(2, (bytesPerSecond / 100) & ~3);
        const auto start = std::chrono::steady_clock::now();
        for (int at = 0; at < bytes.size() && !m_stop; at += piece) {
            const int n = std::min(piece, bytes.size() - at);
            if (::write(fd, bytes.constData() + at, static_cast<size_t>(n)) != n) {
                m_failed = true;
                break;
            }
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(qint64(at + n) * 1000000 / bytesPerSecond));
        }
        ::close(fd);
        m_done = true;
    });
}

FifoFeeder::~FifoFeeder()
{
    m_stop = true;
    m_thread.join();
}

MonitorCapture::MonitorCapture(int channels)
{
    m_process.start(QStringLiteral("parec"),
                    {QStringLiteral("-d"), QStringLiteral("corvin_out.monitor"),
                     QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                     QStringLiteral("--rate=48000"), QStringLiteral("--channels=%1").arg(channels),
                     QStringLiteral("--latency-msec=20")});
}

bool MonitorCapture::waitForData(int timeoutMs)
{
    if (!m_process.waitForStarted(5000)) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (m_data.isEmpty() && clock.elapsed() < timeoutMs) {
        m_process.waitForReadyRead(100);
        m_data += m_process.readAllStandardOutput();
    }
    return !m_data.isEmpty();
}

QByteArray MonitorCapture::stop()
{
    m_process.terminate();
    m_process.waitForFinished(5000);
    return m_data + m_process.readAllStandardOutput();
}

} // namespace PulseTest
