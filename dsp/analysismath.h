#pragma once

// Small helpers shared by the analyzer's passes.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace NativeWav {

// The analyzer's decibel conversion: silence reads -160 dB.
inline double analysisDb(double power)
{
    return 10.0 * std::log10(std::max(power, 1e-16));
}

inline void throwIfCancelled(const std::atomic<bool> &cancel)
{
    if (cancel.load(std::memory_order_relaxed))
        throw std::runtime_error("Analysis cancelled");
}

// The interpolated median and the percentile p (0.5 ... 1) of values, equal to
// NativeDsp::median and NativeDsp::percentile, with one partial selection over all values: the
// selection for p leaves every lower rank in front, so the median is selected there. Reorders
// values, which must not be empty. Returns {median, percentile}.
inline std::pair<double, double> medianAndUpperPercentile(std::vector<double> &values, double p)
{
    const std::size_t n = values.size();
    const auto at = [&values](std::size_t k) {
        return values.begin() + static_cast<std::ptrdiff_t>(k);
    };
    const double highPosition = p * static_cast<double>(n - 1);
    const auto high = static_cast<std::size_t>(std::floor(highPosition));
    std::nth_element(values.begin(), at(high), values.end());
    const double highLower = values[high];
    const double highUpper =
        high + 1 < n ? *std::min_element(at(high + 1), values.end()) : highLower;
    const double percentile =
        high + 1 < n
            ? highLower + (highUpper - highLower) * (highPosition - static_cast<double>(high))
            : highLower;

    const double midPosition = 0.5 * static_cast<double>(n - 1);
    const auto mid = static_cast<std::size_t>(std::floor(midPosition));
    if (mid + 1 >= n)
        return {values[mid], percentile};
    double midLower = highLower;
    double midUpper = highUpper;
    if (mid < high) {
        std::nth_element(values.begin(), at(mid), at(high));
        midLower = values[mid];
        midUpper = mid + 1 < high ? std::min(*std::min_element(at(mid + 1), at(high)), highLower)
                                  : highLower;
    }
    return {midLower + (midUpper - midLower) * (midPosition - static_cast<double>(mid)),
            percentile};
}

} // namespace NativeWav
