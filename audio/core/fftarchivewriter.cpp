#include "fftarchivewriter.h"

#include "fftarchive.h"

FftArchiveWriter::~FftArchiveWriter()
{
    // An owner that forgot to close still leaves whole lines behind.
    if (m_file.isOpen())
        m_file.close();
}

bool FftArchiveWriter::open(const QString &path, int bins, double firstBinHz, double binWidthHz,
                            const QDateTime &utc, QString *error)
{
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    m_frames = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !write(FftArchive::startLine(bins, firstBinHz, binWidthHz, utc))) {
        return fail(error);
    }
    m_flushClock.start();
    return true;
}

bool FftArchiveWriter::append(const QVector<double> &magnitudes, qint64 receiverHz,
                              const QDateTime &utc, QString *error)
{
    if (!m_file.isOpen())
        return false;
    if (!write(FftArchive::frameLine(FftArchive::encodeFrame(magnitudes), receiverHz, utc)))
        return fail(error);
    ++m_frames;
    if (m_flushClock.elapsed() > flushIntervalMs) {
        if (!m_file.flush())
            return fail(error);
        m_flushClock.restart();
    }
    return true;
}

bool FftArchiveWriter::close(const QDateTime &utc, QString *error)
{
    if (!m_file.isOpen())
        return true;
    const bool ok = write(FftArchive::endLine(m_frames, utc)) && m_file.flush();
    if (!ok && error)
        *error = m_file.errorString();
    m_file.close();
    return ok;
}

bool FftArchiveWriter::write(const QByteArray &line)
{
    return m_file.write(line) == line.size();
}

bool FftArchiveWriter::fail(QString *error)
{
    if (error)
        *error = m_file.errorString();
    m_file.close();
    m_failed = true;
    return false;
}
