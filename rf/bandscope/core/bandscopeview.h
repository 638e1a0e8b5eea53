#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QVector>

#include <array>

class BandScopeHistory;
struct ScopeRecord;

// What the band-scope plot, statistics line and waterfall show, computed without widgets:
// the trace points and axes of a view, the statistics line, the waterfall image of the
// history and its time line. Texts in English or Italian as asked.
namespace BandScopeView {

// The traces of the "Trace" list, in its order.
enum Trace { Current = 0, Average = 1, PeakHold = 2, StdDeviation = 3, Difference = 4 };

struct Axis
{
    QString title;
    double low = 0.0;
    double high = 0.0;
    double step = 0.0; // major step; 0 lets the plot choose
};

struct Plot
{
    int view = Current; // the trace drawn (Current while the setup is unconfirmed)
    bool rawAxis = true;
    QVector<QPointF> points; // x: bin index or MHz; y: code, statistic or difference
    Axis left;
    Axis bottom;
};

// The state the plot is drawn from.
struct Source
{
    const ScopeRecord *record = nullptr;
    const BandScopeHistory *history = nullptr;
    int selectedView = Current;
    bool rawAxisTicked = true;
    int window = 16;
    bool captureRunning = false;
    bool frameProcessed = false;
};

// The codes shown: while a capture runs whose current frame is not yet in the history (with a
// confirmed setup and a history to show), the newest history frame; otherwise the frame being
// received. fromHistory tells which.
std::array<int, 1024> shownCodes(const Source &source, bool *fromHistory = nullptr);

Plot plot(const Source &source, bool italian);

// "Sweeps: %1 | Window: %2 | Valid: %3 | Saturation F: %4 | Minimum 2: %5 | Last DS: %6 s |
// RX PH: %7".
QString statisticsLine(const Source &source, bool italian);

// The colour of a level code 2-15 (blue low to red high); invalid for other codes.
QColor levelColour(int code);
// Paints one waterfall row: count pixels from count codes, codes 2-15 in their colours, the
// others left as they are.
void paintCodes(QRgb *pixels, const qint8 *codes, int count);
// The waterfall: as wide as the history key's bin count, `depth` rows, newest on top, codes
// 2-15 coloured on "#121a23".
QImage waterfall(const BandScopeHistory &history, int depth);
// "Newest ... UTC | Oldest shown ... UTC | n/depth sweeps | Blue low - red high", or "No sweeps
// recorded." for an empty history.
QString waterfallTimeText(const BandScopeHistory &history, int depth, bool italian);

constexpr const char *background = "#121a23";

} // namespace BandScopeView
