#pragma once

#include "bandscopehistory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QString>

#include <deque>

// Records the band scope's sweeps as they arrive: a CSV file with a line per sweep,
// "utc,center_hz,span_code,peak_hold,bins" and then the 1024 codes in decimal (empty where
// missing), and beside it (".png" for ".csv") the waterfall of the recorded sweeps, a pixel per
// bin and sweep, newest on top. Lines are appended and flushed one by one, so a file cut short
// by a crash still holds whole lines. The image is rewritten atomically at most every two
// seconds and when the recording stops; it shows the newest 4096 sweeps. Not thread-safe.
class ScopeHistoryRecorder
{
public:
    static constexpr int maxImageRows = 4096;
    static constexpr int imageIntervalMs = 2000;

    ~ScopeHistoryRecorder();

    // Creates (or replaces) the file and writes the header. False with a reason on failure.
    bool start(const QString &csvPath, QString *error);
    bool isRecording() const { return m_file.isOpen(); }
    QString csvPath() const { return m_file.fileName(); }
    QString imagePath() const { return imagePathFor(m_file.fileName()); }
    int sweepsRecorded() const { return m_sweeps; }

    // Appends one sweep. False with a reason when the line could not be written.
    bool append(const ScopeHistoryKey &key, const ScopeSweep &sweep, QString *error);
    // Writes the waterfall image now. False with a reason when it could not be saved.
    bool writeImage(QString *error);
    // Writes the image and closes the file. False with a reason when the image failed.
    bool stop(QString *error);

    // The CSV name with ".png" in place of a final ".csv" (appended otherwise).
    static QString imagePathFor(const QString &csvPath);
    static QByteArray headerLine();

private:
    QFile m_file;
    std::deque<ScopeSweep> m_rows; // the newest sweeps, newest first
    QElapsedTimer m_sinceImage;
    int m_sweeps = 0;
};
