#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

// Writes one channel of 16-bit PCM to a mono WAV file with a 44-byte header.
//
// The file survives what can happen to a long recording:
// - every block goes straight to the operating system (no buffer in this process), so a
//   failed write is seen at once and nothing stale is written later;
// - a block that cannot be written whole (full disk, file size limit) or would pass the 32-bit
//   size limit stops the recording: the file is cut back to its last complete block and the
//   header rewritten to describe exactly that;
// - while recording, the RIFF and data sizes on disk are refreshed every half second of audio,
//   so a crash or a kill leaves a playable file that lacks at most about a second.
// Audio thread only.
class WavFileWriter
{
public:
    // 4 294 967 259 bytes: the largest data size whose RIFF size (data + 36) fits in 32 bits.
    static constexpr quint32 maxDataBytes = 0xFFFFFFDBu;
    static constexpr int headerBytes = 44;

    enum class WriteResult {
        Written,            // the block is in the file
        Stopped,            // the file could not grow: cut back, finalised and closed
        StoppedUnfinalized, // as Stopped, but cutting back or finalising failed (file closed)
    };

    explicit WavFileWriter(quint32 dataLimit = maxDataBytes);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter &) = delete;
    WavFileWriter &operator=(const WavFileWriter &) = delete;

    // Opens path (truncated) and writes the header; on failure the file is closed and deleted.
    bool open(const QString &path, int sampleRate);
    bool isOpen() const { return m_fd >= 0; }

    // Writes the selected channel of frameCount interleaved frames of the given channel count.
    // Anything but Written leaves the file closed; without an open file the result is Stopped.
    WriteResult write(const qint16 *samples, int frameCount, int channels, int channel);

    // Rewrites the header with the final sizes, commits the file to the disk and closes it.
    // False when any of these failed (the file is closed anyway). Nothing happens (true) when
    // no file is open.
    bool finalize();

    quint32 dataBytes() const { return m_dataBytes; }
    // Whole seconds of audio written.
    qint64 seconds() const;
    // The path as given to open().
    QString fileName() const { return m_path; }

    static QByteArray header(quint32 dataBytes, quint32 sampleRate);

private:
    bool writeAll(const char *bytes, qint64 size);
    bool refreshSizes();

    int m_fd = -1;
    QString m_path;
    quint32 m_limit;
    quint32 m_dataBytes = 0;
    quint32 m_refreshedBytes = 0;
    quint32 m_rate = 0;
    std::vector<qint16> m_channelBuffer;
};
