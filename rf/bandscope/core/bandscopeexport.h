#pragma once

#include <QByteArray>
#include <QString>

class BandScopeHistory;
class QDateTime;
struct ScopeRecord;

// The band scope's export of the latest frame: a CSV file with one line per bin (codes,
// status, nominal frequency, rolling statistics and reference) and, beside it, the raw file
// with the capture log and the bytes of the last DS exactly as received. Both are written
// atomically; the export counts only when both files were written.
namespace BandScopeExport {

constexpr const char *header =
    "utc,requested_center_hz,requested_span_hz,requested_step_hz,peak_hold_requested,"
    "frame_complete,index,nominal_rf_hz,in_nominal_span,code_hex,code_decimal,status,"
    "center_span_confirmed,peak_hold_actual,stats_count,mean_native,sd_native,peak_native,"
    "reference_native,current_minus_reference";

// "bandscope_yyyyMMdd_HHmmss_zzz.csv" for the local time given.
QString defaultFileName(const QDateTime &localTime);
// The name with ".csv" appended unless it already ends with it (in any letter case).
QString withCsvSuffix(const QString &name);
// The raw file beside a CSV: its name without the last four characters, plus "_raw.txt".
QString rawPathFor(const QString &csvPath);

// The CSV text (UTF-8, lines ending in a line feed) of the record's frame with the rolling
// statistics over `window` frames of the history.
QByteArray csv(const ScopeRecord &record, const BandScopeHistory &history, int window);
// The raw file: the capture log (UTF-8), "\n--- DS RAW (original bytes) ---\n", the raw bytes.
QByteArray raw(const ScopeRecord &record);

// Writes both files atomically. False with a reason when either could not be opened, written
// completely or committed.
bool write(const QString &csvPath, const QByteArray &csvBytes, const QString &rawPath,
           const QByteArray &rawBytes, QString *error);

} // namespace BandScopeExport
