#pragma once

// Small helpers shared by the analyzer's passes.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>

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

} // namespace NativeWav
