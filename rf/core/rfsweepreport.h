#pragma once

#include <QImage>
#include <QString>

class RfSweepResults;

// The self-contained HTML report of a sweep: the shared page head, the message, parameter and
// summary lines, the band legend, an embedded PNG chart of the sticks over the band
// backgrounds, the statistics, the strongest frequencies, a table per band and a link to the
// CSV file. Texts follow the running language. UI-free (QtGui for the chart); any thread that
// may paint on a QImage (the application must be a QGuiApplication).
namespace RfSweepReport {

constexpr int chartWidth = 1440;
constexpr int chartHeight = 590;

// The chart: white 1440 x 590 image, plot area (116, 24, 1220 x 475), band backgrounds, grid,
// labels and one stick per bucket in the band's dark colour.
QImage chart(const RfSweepResults &results);

// Writes the report for results to htmlPath atomically (nothing is left on failure). message
// is the sweep's final message, csvFileName the CSV file's name (without folder) for the
// download link. On failure returns false with the file's error text in *error.
bool write(const QString &htmlPath, const RfSweepResults &results, const QString &message,
           const QString &csvFileName, QString *error);

} // namespace RfSweepReport
