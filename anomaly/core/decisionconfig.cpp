#include "decisionconfig.h"

std::array<MetricRule, AnomalyMetrics::count> DecisionConfig::defaultRules()
{
    constexpr double z = 6.0;
    // Per metric: enabled, scale floor, absolute threshold, Z.
    return {{
        {true, 1.0, 0.0, z},    // rms
        {true, 0.3, 0.0, z},    // kurtosis
        {true, 0.025, 0.0, z},  // entropy
        {true, 0.03, 0.0, z},   // flatness
        {true, 0.04, 0.0, z},   // flux
        {true, 0.04, 0.8, z},   // autocorrelation
        {true, 1.5, 23.0, z},   // envelope_peak
        {false, 0.0, 0.0, 0.0}, // envelope_hz
        {true, 2.0, 0.0, z},    // persistent_peaks
        {false, 0.0, 0.0, 0.0}, // comb_spacing
        {true, 1.0, 4.0, z},    // comb_count
        {true, 0.035, 0.23, z}, // direction_coherence
        {false, 0.0, 0.0, 0.0}, // direction_slope
        {true, 1.0, 0.0, z},    // notch_depth
    }};
}
