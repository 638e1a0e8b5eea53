#include "anomalymetric.h"

#include <cstring>

namespace AnomalyMetrics {

namespace {

constexpr std::array<const char *, count> keys = {
    "rms",
    "kurtosis",
    "entropy",
    "flatness",
    "flux",
    "autocorrelation",
    "envelope_peak",
    "envelope_hz",
    "persistent_peaks",
    "comb_spacing",
    "comb_count",
    "direction_coherence",
    "direction_slope",
    "notch_depth",
};

} // namespace

const char *key(int index)
{
    return index >= 0 && index < count ? keys[static_cast<std::size_t>(index)] : "";
}

int indexOf(const char *name)
{
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(keys[static_cast<std::size_t>(i)], name) == 0)
            return i;
    }
    return -1;
}

bool hasRule(int index)
{
    const auto metric = static_cast<AnomalyMetric>(index);
    return index >= 0 && index < count && metric != AnomalyMetric::EnvelopeHz &&
           metric != AnomalyMetric::CombSpacing && metric != AnomalyMetric::DirectionSlope;
}

} // namespace AnomalyMetrics
