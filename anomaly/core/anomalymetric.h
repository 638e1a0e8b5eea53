#pragma once

// The fourteen metrics of the live feature bank in their fixed order. The order is the index
// of every per-metric array, the bit number in the decision masks and the order of the keys in
// files.

#include <array>
#include <cstdint>

enum class AnomalyMetric {
    Rms = 0,                 // dBFS, full band
    Kurtosis = 1,            // excess kurtosis, full band
    Entropy = 2,             // 0-1
    Flatness = 3,            // 0-1
    Flux = 4,                // 0-1
    Autocorrelation = 5,     // 0-1
    EnvelopePeak = 6,        // dB
    EnvelopeHz = 7,          // Hz, descriptive only
    PersistentPeaks = 8,     // count
    CombSpacing = 9,         // Hz, descriptive only
    CombCount = 10,          // count
    DirectionCoherence = 11, // correlation
    DirectionSlope = 12,     // Hz/s, descriptive only
    NotchDepth = 13,         // dB
};

namespace AnomalyMetrics {

constexpr int count = 14;

// One value per metric, indexed by AnomalyMetric.
using Values = std::array<double, count>;

// The file key of a metric ("rms", "kurtosis", ..., "notch_depth"); index 0-13.
const char *key(int index);
inline const char *key(AnomalyMetric metric)
{
    return key(static_cast<int>(metric));
}
// Index of a key, or -1.
int indexOf(const char *key);

// False for the three descriptive metrics (envelope_hz, comb_spacing, direction_slope): they
// have no detector rule and never take part in decisions.
bool hasRule(int index);

// Bit of a metric in the decision masks.
constexpr std::uint32_t bit(int index)
{
    return std::uint32_t(1) << index;
}

} // namespace AnomalyMetrics
