#pragma once

// Access to the private PulseAudio server of scripts/pulse-test-server for device tests: its
// pipe-source FIFOs, a real-time feeder that writes known audio into them and a capture of the
// null sink's monitor through parec.

#include <QAudioDeviceInfo>
#include <QByteArray>
#include <QProcess>
#include <QString>

#include <atomic>
#include <thread>
#include <vector>

namespace PulseTest {

// Empty when the server is usable; otherwise why not.
QString unavailableReason();

// The device of the mode whose name is exactly name (null when absent).
QAudioDeviceInfo device(QAudio::Mode mode, const QString &name);

// A sequence that does not repeat within 65521 samples, so any captured stretch can be
// located in what was fed; salt tells sequences apart.
inline qint16 pattern(int n, int salt)
{
    return static_cast<qint16>((qint64(n) * 7919 + salt) % 65521 - 32760);
}

// 16-bit samples as the little-endian bytes a FIFO takes, and back.
QByteArray samplesToBytes(const std::vector<qint16> &samples);
std::vector<qint16> bytesToSamples(const QByteArray &bytes);

QString monoFifo();   // corvin_in: 48 kHz mono
QString stereoFifo(); // corvin_in_stereo: 44.1 kHz stereo

// Discards what waits in a FIFO: a pipe source with no client stops reading, so audio written
// after the last recording ended would open the next one. Returns the bytes discarded.
qint64 drainFifo(const QString &fifo);

// Writes bytes into a FIFO at the given byte rate, in 10 ms pieces, on its own thread.
class FifoFeeder
{
public:
    FifoFeeder(const QString &fifo, const QByteArray &bytes, int bytesPerSecond);
    ~FifoFeeder();
    bool finished() const { return m_done.load(); }
    bool failed() const { return m_failed.load(); }

private:
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Records the null sink's monitor as 48 kHz 16-bit with the given channel count.
class MonitorCapture
{
public:
    explicit MonitorCapture(int channels);
    // True once the monitor delivers audio. An idle null sink renders in long blocks, so the
    // first data can take a couple of seconds.
    bool waitForData(int timeoutMs);
    QByteArray stop();

private:
    QProcess m_process;
    QByteArray m_data;
};

} // namespace PulseTest

// Device tests skip when the server is missing, but fail in CI where it must be there.
#define REQUIRE_PULSE_SERVER()                                                                     \
    do {                                                                                           \
        const QString reason = PulseTest::unavailableReason();                                     \
        if (!reason.isEmpty()) {                                                                   \
            if (qEnvironmentVariableIsSet("CI"))                                                   \
                QFAIL(qPrintable(reason));                                                         \
            QSKIP(qPrintable(reason));                                                             \
        }                                                                                          \
    } while (false)
