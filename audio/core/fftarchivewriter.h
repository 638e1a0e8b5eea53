#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QVector>

// Writes one live FFT archive (see fftarchive.h): the start record when it opens, a frame
// record per spectrum, the end record when it closes. The file is flushed at most about once a
// second while frames arrive, and always before the archive is reported closed, so a full disk
// is seen. A failed write or flush closes the file and sets the failed flag, which stays set
// until the owner clears it. UI-free; owned by one thread.
class FftArchiveWriter
{
public:
    // Frames are flushed when more than this has passed since the last flush.
    static constexpr qint64 flushIntervalMs = 999;

    FftArchiveWriter() = default;
    ~FftArchiveWriter();
    FftArchiveWriter(const FftArchiveWriter &) = delete;
    FftArchiveWriter &operator=(const FftArchiveWriter &) = delete;

    // Creates path (truncated) and writes the start record for frames of `bins` values. False
    // with *error set (the file's error text) and the failed flag set when that fails.
    bool open(const QString &path, int bins, double firstBinHz, double binWidthHz,
              const QDateTime &utc, QString *error);
    // Appends one frame of magnitudes (dBFS) heard at receiverHz. False with *error set, the file
    // closed and the failed flag set on a short write or a failed flush.
    bool append(const QVector<double> &magnitudes, qint64 receiverHz, const QDateTime &utc,
                QString *error);
    // Writes the end record, flushes and closes. False with *error set when the record or the
    // flush failed (the file is closed anyway). True when nothing was open.
    bool close(const QDateTime &utc, QString *error);

    bool isOpen() const { return m_file.isOpen(); }
    bool failed() const { return m_failed; }
    void clearFailed() { m_failed = false; }
    qint64 frames() const { return m_frames; }
    QString fileName() const { return m_file.fileName(); }

private:
    bool write(const QByteArray &line);
    bool fail(QString *error);

    QFile m_file;
    QElapsedTimer m_flushClock;
    qint64 m_frames = 0;
    bool m_failed = false;
};
