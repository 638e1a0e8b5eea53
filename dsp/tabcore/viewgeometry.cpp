#include "viewgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Smallest and largest finite value; nullopt when there is none.
std::optional<std::pair<double, double>> finiteExtent(const std::vector<double> &values)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (double v : values) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high)
        return std::nullopt;
    return std::make_pair(low, high);
}

} // namespace

AxisRange spectrumLevelRange(const std::vector<double> &levelsDb)
{
    const auto extent = finiteExtent(levelsDb);
    const double top = std::max(extent ? extent->second + 9.0 : -85.0, -85.0);
    return {std::max(top - 95.0, -170.0), top};
}

AxisRange rmsLevelRange(const std::vector<double> &levelsDb)
{
    const auto extent = finiteExtent(levelsDb);
    AxisRange range{-170.0, 15.0};
    if (extent) {
        range.min = std::max(extent->first - 8.0, -170.0);
        range.max = std::min(extent->second + 8.0, 15.0);
    }
    if (range.max - range.min < 10.0) {
        range.min -= 5.0;
        range.max += 5.0;
    }
    return range;
}

std::vector<std::size_t> thinnedIndices(std::size_t n)
{
    std::vector<std::size_t> indices;
    if (n == 0)
        return indices;
    const std::size_t step = std::max<std::size_t>((n + 9999) / 10000, 1);
    indices.reserve(n / step + 2);
    for (std::size_t i = 0; i < n; i += step)
        indices.push_back(i);
    if (indices.back() != n - 1)
        indices.push_back(n - 1);
    return indices;
}

std::optional<QRectF> locateWindow(const NativeWav::Result &result, double seconds, double hertz)
{
    const double duration = result.durationSeconds;
    const double band = result.highHz - result.lowHz;
    const double width = std::min(std::max(0.03 * duration, 0.4), duration);
    const double height = std::min(std::max(0.15 * band, 300.0), band);
    if (!(width > 0.0) || !(height > 0.0) || !std::isfinite(seconds) || !std::isfinite(hertz))
        return std::nullopt;
    const double left = std::max(std::min(seconds - width / 2, duration - width), 0.0);
    const double bottom =
        std::max(std::min(hertz - height / 2, result.highHz - height), result.lowHz);
    return QRectF(left, bottom, width, height);
}
