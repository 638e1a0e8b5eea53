#include "wavfilewriter.h"

#include <QtEndian>

namespace {

void putU32(char *at, quint32 value)
{
    qToLittleEndian(value, at);
}
void putU16(char *at, quint16 value)
{
    qToLittleEndian(value, at);
}

} // namespace

WavFileWriter::WavFileWriter(quint32 dataLimit)
    : m_limit(dataLimit)
{}

WavFileWriter::~WavFileWriter()
{
    finalize();
}

QByteArray WavFileWriter::header(quint32 dataBytes, quint32 sampleRate)
{
    char p[44];
    memcpy(p, "RIFF", 4);
    putU32(p + 4, dataBytes + 36);
    memcpy(p + 8, "WAVEfmt ", 8);
    putU32(p + 16, 16);
    putU16(p + 20, 1);
    putU16(p + 22, 1);
    putU32(p + 24, sampleRate);
    putU32(p + 28, sampleRate * 2);
    putU16(p + 32, 2);
    putU16(p + 34, 16);
    memcpy(p + 36, "data", 4);
    putU32(p + 40, dataBytes);
    return QByteArray(p, sizeof(p));
}

bool WavFileWriter::open(const QString &path, int sampleRate)
{
    finalize();
    m_dataBytes = 0;
    m_rate = static_cast<quint32>(sampleRate);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    if (m_file.write(header(0, m_rate)) != 44) {
        m_file.close();
        m_file.remove();
        return false;
    }
    return true;
}

WavFileWriter::WriteResult WavFileWriter::write(const qint16 *samples, int frameCount, int channels,
                                                int channel)
{
    const qint64 n = qint64(frameCount) * 2;
    const char *bytes = reinterpret_cast<const char *>(samples);
    if (channels != 1) {
        m_buffer.resize(static_cast<int>(n));
        qint16 *out = reinterpret_cast<qint16 *>(m_buffer.data());
        for (int i = 0; i < frameCount; ++i) {
            out[i] = samples[i * channels + channel];
        }
        bytes = m_buffer.constData();
    }
    if (n > qint64(m_limit) - m_dataBytes || m_file.write(bytes, n) < n) {
        m_file.resize(qint64(m_dataBytes) + 44);
        finalize();
        return WriteResult::LimitReached;
    }
    m_dataBytes += static_cast<quint32>(n);
    return WriteResult::Written;
}

bool WavFileWriter::finalize()
{
    if (!m_file.isOpen()) {
        return true;
    }
    const bool ok =
        m_file.seek(0) && m_file.write(header(m_dataBytes, m_rate)) == 44 && m_file.flush();
    m_file.close();
    return ok;
}

qint64 WavFileWriter::seconds() const
{
    return m_rate == 0 ? 0 : qint64(m_dataBytes / 2) / m_rate;
}
