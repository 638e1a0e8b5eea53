#pragma once

#include <QString>

class SyntheticGrid;

// The synthetic spectrum's CSV export: the header line, then one line per grid bin, covered or
// not, with the sweep's settings repeated on every line. Numbers have a decimal point, no group
// separators and 12 significant digits; an uncovered bin has an empty psd_dbfs_hz. Written
// through an atomic save file in pieces, so a 500 001-bin grid needs little memory. UI-free.
namespace SyntheticCsv {

// What every line repeats besides the bin's own frequency, PSD and weight.
struct SweepInfo
{
    QString utcStart; // ISO 8601 with milliseconds
    int completedSlices = 0;
    int plannedSlices = 0;
    double maxClipFraction = 0.0;
    int binHz = 0;
    int lowHz = 0;
    int highHz = 0;
    int settleMs = 0;
    int captureMs = 0;
    int channel = 0;
};

enum class Result {
    Saved,
    OpenFailed,   // *error: the file's own error text
    WriteFailed,  // "CSV write failed.": the temporary file is discarded
    CommitFailed, // *error: the file's own error text
};

extern const char *const header;

Result write(const QString &path, const SyntheticGrid &grid, const SweepInfo &info, QString *error);

// "rf_synthetic_<local yyyyMMdd_HHmmss>.csv", the name the save dialog proposes.
QString proposedFileName();

} // namespace SyntheticCsv
