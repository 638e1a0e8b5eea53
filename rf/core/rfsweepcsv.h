#pragma once

#include <QFile>
#include <QString>

class QDateTime;

// The CSV file of one sweep, one line per frequency, written and flushed line by line so that
// a stopped or crashed sweep keeps every line it measured:
//
//   frequency_hz,s_meter,attempts,status,band,mode
//   88000000,42,1,measured,VHF,WFM
//
// Text mode: line ends are the platform's (LF here). Not thread-safe.
class RfSweepCsv
{
public:
    // "sweep_<yyyyMMdd_HHmmss_zzz>_<process id>.csv"
    static QString fileName(const QDateTime &localTime, qint64 processId);

    // Creates the folder (with parents), opens path and writes the header line. On failure
    // returns false with the file's error text in *error and leaves nothing open.
    bool open(const QString &path, QString *error);
    // Writes one line (level -1: empty level field) and flushes it. On a short write or a
    // failed flush returns false with the error text in *error.
    bool writeSample(qint64 frequency, int level, int attempts, const QString &status,
                     const QString &band, const QString &mode, QString *error);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

private:
    bool writeLine(const QByteArray &line, QString *error);

    QFile m_file;
};
