#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>
#include <QVector>

// The JSON Lines archive of a Smart Scan: a "scan_start" line, one "frequency" line per
// processed frequency and a "scan_end" line. Each line is one compact JSON object (keys in
// ascending order) and a line feed. UI-free; GUI thread or any single thread.

// The outcome counters of a scan, as the summary line shows them.
struct SmartScanCounters
{
    int detected = 0;
    int quiet = 0;
    int noise = 0;
    int unreadable = 0;

    // Counts an analysed outcome ("quiet", "noise", or the detected keys "possible", "tone",
    // "modulated"); true when the outcome is one of these five (it then has a result row).
    bool countResult(const QString &outcome);
    // "%1 detected | %2 quiet | %3 noise | %4 unreadable", translated.
    QString summary() const;
};

// True for the outcomes a listener would keep: "possible", "tone", "modulated".
bool isDetectedOutcome(const QString &outcome);

// Writes the archive one flushed line at a time.
class SmartScanArchiveWriter
{
public:
    // "scan_" + stamp + ".jsonl" for a local time and process id
    // ("scan_20240305_150709_123_4812.jsonl").
    static QString fileName(const QDateTime &localTime, qint64 processId);

    // Creates the folder of path (with parents) and opens the file, truncating it. False with
    // the file error text in *error.
    bool open(const QString &path, QString *error);
    // Writes a record as one line and flushes it; false (with the error text) unless every
    // byte reached the file.
    bool write(const QJsonObject &record, QString *error);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

private:
    QFile m_file;
};

// What a saved archive holds, as reopening shows it.
struct SmartScanArchiveContents
{
    QJsonObject start;            // the scan_start record
    QVector<QJsonObject> results; // frequency records of the five analysed outcomes, in order
    SmartScanCounters counters;
    int processed = 0; // frequency records that count as processed
    int skipped = 0;   // lines that are not a usable record
};

namespace SmartScanArchive {

// Lines longer than this are skipped without being held in memory.
constexpr int maxLineBytes = 1 << 20;

enum class ReadStatus { Ok, CannotOpen, Unsupported };

// Reads an archive. CannotOpen sets *error to the file's error text; Unsupported means the
// first line is not a schema 1 scan_start with sane integer start, end, step and points.
// lineCap (1 ... maxLineBytes) lowers the cap of a line, for tests and fuzzing.
ReadStatus read(const QString &path, SmartScanArchiveContents *contents, QString *error,
                int lineCap = maxLineBytes);

// The frequency (Hz) of a frequency record, or 0 when it is not an integer within
// 100 kHz ... 3 GHz.
qint64 recordFrequency(const QJsonObject &record);

// A value rounded to a number of decimals, for the window arrays.
double rounded(double value, int decimals);

} // namespace SmartScanArchive
