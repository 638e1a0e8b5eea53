#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

// Writes one channel of 16-bit PCM to a mono WAV file with a 44-byte header. The header is
// written when the file is opened and rewritten with the final sizes when it is finalised.
// The data may grow up to a limit that keeps the RIFF size inside 32 bits. Audio thread only.
class WavFileWriter
{
public:
    // 4 294 967 259 bytes: the largest data size whose RIFF size (data + 36) fits in 32 bits.
    static constexpr quint32 maxDataBytes = 0xFFFFFFDBu;

    enum class WriteResult { Written, LimitReached };

    explicit WavFileWriter(quint32 dataLimit = maxDataBytes);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter &) = delete;
    WavFileWriter &operator=(const WavFileWriter &) = delete;

    // Opens path (truncated) and writes the header; on failure the file is closed and deleted.
    bool open(const QString &path, int sampleRate);
    bool isOpen() const { return m_file.isOpen(); }

    // Writes the selected channel of frameCount interleaved frames of the given channel count.
    // When the data would pass the limit or the write is short, the file is truncated to its last
    // complete block and finalised; the result is then LimitReached and the file is closed.
    WriteResult write(const qint16 *samples, int frameCount, int channels, int channel);

    // Rewrites the header with the final sizes, flushes and closes. False when the header or the
    // flush failed (the file is closed anyway). Nothing happens (true) when no file is open.
    bool finalize();

    quint32 dataBytes() const { return m_dataBytes; }
    // Whole seconds of audio written.
    qint64 seconds() const;
    QString fileName() const { return m_file.fileName(); }

    static QByteArray header(quint32 dataBytes, quint32 sampleRate);

private:
    QFile m_file;
    quint32 m_limit;
    quint32 m_dataBytes = 0;
    quint32 m_rate = 0;
    QByteArray m_buffer;
};
