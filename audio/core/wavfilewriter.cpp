#include "wavfilewriter.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

void putU32(char *at, quint32 value)
{
    qToLittleEndian(value, at);
}
void putU16(char *at, quint16 value)
{
    qToLittleEndian(value, at);
}

bool writeAt(int fd, const char *bytes, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

bool writeSize(int fd, off_t offset, quint32 value)
{
    char bytes[4];
    putU32(bytes, value);
    return writeAt(fd, bytes, sizeof bytes, offset);
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
    char p[headerBytes];
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
    m_refreshedBytes = 0;
    m_rate = static_cast<quint32>(sampleRate);
    m_path = path;
    const QByteArray name = QFile::encodeName(path);
    do {
        m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        return false;
    const QByteArray bytes = header(0, m_rate);
    if (!writeAll(bytes.constData(), bytes.size())) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(name.constData());
        return false;
    }
    return true;
}

bool WavFileWriter::writeAll(const char *bytes, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, bytes, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= n;
    }
    return true;
}

bool WavFileWriter::refreshSizes()
{
    // Positioned writes leave the append position alone; no sync, the page cache suffices
    // against a crash of the program.
    m_refreshedBytes = m_dataBytes;
    return writeSize(m_fd, 4, m_dataBytes + 36) && writeSize(m_fd, 40, m_dataBytes);
}

WavFileWriter::WriteResult WavFileWriter::write(const qint16 *samples, int frameCount, int channels,
                                                int channel)
{
    if (!isOpen())
        return WriteResult::Stopped;
    const qint64 n = qint64(frameCount) * 2;
    const qint16 *mono = samples;
    if (channels != 1) {
        m_channelBuffer.resize(static_cast<size_t>(frameCount));
        for (int i = 0; i < frameCount; ++i)
            m_channelBuffer[static_cast<size_t>(i)] = samples[i * channels + channel];
        mono = m_channelBuffer.data();
    }
    if (n > qint64(m_limit) - m_dataBytes || !writeAll(reinterpret_cast<const char *>(mono), n)) {
        // Whatever part of the block reached the disk is cut off again, so that the header
        // and the file agree on whole blocks.
        const bool cut = ::ftruncate(m_fd, off_t(headerBytes) + m_dataBytes) == 0;
        const bool finalized = finalize();
        return cut && finalized ? WriteResult::Stopped : WriteResult::StoppedUnfinalized;
    }
    m_dataBytes += static_cast<quint32>(n);
    // Half a second of 16-bit mono audio is rate bytes.
    if (m_dataBytes - m_refreshedBytes >= m_rate && !refreshSizes()) {
        // Overwriting bytes the file already has failed: the disk is in trouble, stop here.
        const bool finalized = finalize();
        return finalized ? WriteResult::Stopped : WriteResult::StoppedUnfinalized;
    }
    return WriteResult::Written;
}

bool WavFileWriter::finalize()
{
    if (!isOpen())
        return true;
    const QByteArray bytes = header(m_dataBytes, m_rate);
    bool ok = writeAt(m_fd, bytes.constData(), static_cast<size_t>(bytes.size()), 0);
    // Errors of delayed writes (network file systems, failing media) only show here; a file
    // that does not support synchronisation (a device) has nothing to commit.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL)
        ok = false;
    if (::close(m_fd) != 0 && errno != EINTR)
        ok = false;
    m_fd = -1;
    return ok;
}

qint64 WavFileWriter::seconds() const
{
    return m_rate == 0 ? 0 : qint64(m_dataBytes / 2) / m_rate;
}
