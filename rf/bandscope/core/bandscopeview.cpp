#include "bandscopeview.h"

#include "bandscopehistory.h"
#include "rflevelgradient.h"
#include "scoperecord.h"
#include "scopespan.h"
#include "scopetext.h"

#include <QDateTime>

#include <algorithm>

namespace BandScopeView {

namespace {

bool isLevel(int code)
{
    return code >= 2 && code <= 15;
}

} // namespace

std::array<int, 1024> shownCodes(const Source &source, bool *fromHistory)
{
    const ScopeRecord &record = *source.record;
    const BandScopeHistory &history = *source.history;
    const bool useHistory = source.captureRunning && !source.frameProcessed &&
                            record.setupVerified && !history.isEmpty();
    if (fromHistory)
        *fromHistory = useHistory;
    if (!useHistory)
        return record.frame.codes;
    std::array<int, 1024> codes{};
    const ScopeSweep &newest = history.sweep(0);
    std::copy(newest.codes.begin(), newest.codes.end(), codes.begin());
    return codes;
}

Plot plot(const Source &source, bool italian)
{
    const ScopeRecord &record = *source.record;
    const BandScopeHistory &history = *source.history;
    Plot result;
    result.rawAxis = !record.setupVerified || source.rawAxisTicked;
    result.view = record.setupVerified ? source.selectedView : Current;
    bool fromHistory = false;
    const std::array<int, 1024> codes = shownCodes(source, &fromHistory);
    const qint64 centre = record.requestedCentreHz;
    const int span = record.requestedSpanCode;
    const bool statistic =
        result.view == Average || result.view == PeakHold || result.view == StdDeviation;
    const QVector<ScopeBinStatistics> stats =
        statistic ? history.statistics(source.window) : QVector<ScopeBinStatistics>();

    for (int bin = 0; bin < 1024; ++bin) {
        const int code = codes[static_cast<size_t>(bin)];
        double y = 0.0;
        switch (result.view) {
        case Current:
            if (code < 0 || (!result.rawAxis && code < 2))
                continue;
            y = code;
            break;
        case Average:
        case PeakHold:
        case StdDeviation: {
            const ScopeBinStatistics &s = stats[bin];
            if (s.count < (result.view == StdDeviation ? 2 : 1))
                continue;
            y = result.view == Average ? s.mean : result.view == PeakHold ? s.maximum : s.sd;
            break;
        }
        default: {
            const double reference = history.reference(bin);
            if (code < 2 || reference < 0.0)
                continue;
            y = code - reference;
            break;
        }
        }
        double x = bin;
        if (!result.rawAxis) {
            if (!ScopeSpan::inNominalSpan(bin, centre, span))
                continue;
            x = ScopeSpan::nominalHz(bin, centre, span) / 1e6;
        }
        result.points.append(QPointF(x, y));
    }

    const auto pick = [italian](const char *english, const char *italianText) {
        return ScopeText::pick(italian, english, italianText);
    };
    if (result.view == Difference)
        result.left = {pick("Difference (codes)", "Differenza (codici)"), -13, 13, 4};
    else if (result.view == StdDeviation)
        result.left = {pick("Population SD", "Dev. standard"), 0, 7, 1};
    else
        result.left = {pick("Native level", "Livello nativo"), 0, 15, 3};
    if (result.rawAxis) {
        const int bins = fromHistory ? history.key().binCount : record.frame.binCount();
        result.bottom = {pick("Raw DS index", "Indice DS grezzo"), 0, double(bins - 1), 0};
    } else {
        const qint64 half = ScopeSpan::span(span).spanHz / 2;
        result.bottom = {pick("Nominal RF frequency (MHz) - unverified mapping",
                              "Frequenza RF nominale (MHz) - mappatura da verificare"),
                         (centre - half) / 1e6, (centre + half) / 1e6, 0};
    }
    return result;
}

QString statisticsLine(const Source &source, bool italian)
{
    const ScopeRecord &record = *source.record;
    const BandScopeHistory &history = *source.history;
    const std::array<int, 1024> codes = shownCodes(source);
    int valid = 0;
    int saturated = 0;
    int minimum = 0;
    for (const int code : codes) {
        if (!isLevel(code))
            continue;
        ++valid;
        saturated += code == 15 ? 1 : 0;
        minimum += code == 2 ? 1 : 0;
    }
    const auto share = [valid](int count) {
        return valid > 0 ? QString::number(100.0 * count / valid, 'f', 1) + QLatin1Char('%')
                         : QStringLiteral("--");
    };
    return ScopeText::pick(italian,
                           "Sweeps: %1 | Window: %2 | Valid: %3 | Saturation F: %4 | Minimum 2: "
                           "%5 | Last DS: %6 s | RX PH: %7",
                           "Scansioni: %1 | Finestra: %2 | Validi: %3 | Saturazione F: %4 | "
                           "Minimo 2: %5 | Ultimo DS: %6 s | PH RX: %7")
        .arg(history.framesSinceReset())
        .arg(std::min(source.window, history.size()))
        .arg(valid)
        .arg(share(saturated), share(minimum))
        .arg(record.lastDsDurationMs / 1000.0, 0, 'f', 2)
        .arg(record.actualPeakHold >= 0 ? QString::number(record.actualPeakHold)
                                        : QStringLiteral("?"));
}

QColor levelColour(int code)
{
    // Codes 2-15 are the gradient's fourteen stops.
    static const QGradientStops stops = RfLevelGradient::stops();
    return isLevel(code) ? stops[code - 2].second : QColor();
}

void paintCodes(QRgb *pixels, const qint8 *codes, int count)
{
    static const std::array<QRgb, 16> colours = [] {
        std::array<QRgb, 16> table{};
        for (int code = 2; code <= 15; ++code)
            table[static_cast<size_t>(code)] = levelColour(code).rgb();
        return table;
    }();
    for (int x = 0; x < count; ++x) {
        if (isLevel(codes[x]))
            pixels[x] = colours[static_cast<size_t>(codes[x])];
    }
}

QImage waterfall(const BandScopeHistory &history, int depth)
{
    const int width = std::clamp(history.key().binCount, 1, BandScopeHistory::bins);
    QImage image(width, std::max(1, depth), QImage::Format_RGB32);
    image.fill(QColor(QLatin1String(background)));
    const int rows = std::min(depth, history.size());
    for (int row = 0; row < rows; ++row)
        paintCodes(reinterpret_cast<QRgb *>(image.scanLine(row)), history.sweep(row).codes.data(),
                   width);
    return image;
}

QString waterfallTimeText(const BandScopeHistory &history, int depth, bool italian)
{
    if (history.isEmpty())
        return ScopeText::pick(italian, "No sweeps recorded.", "Nessuna scansione registrata.");
    const int rows = std::min(depth, history.size());
    const auto stamp = [&history](int age) {
        return QDateTime::fromMSecsSinceEpoch(history.sweep(age).utcMs, Qt::UTC)
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    return ScopeText::pick(italian,
                           "Newest %1 UTC | Oldest shown %2 UTC | %3/%4 sweeps | Blue low - red "
                           "high",
                           "Recente %1 UTC | Meno recente %2 UTC | %3/%4 scansioni | Blu basso - "
                           "rosso alto")
        .arg(stamp(0), stamp(rows - 1))
        .arg(rows)
        .arg(depth);
}

} // namespace BandScopeView
