#pragma once

// The detector settings: one rule per metric and the policy's counts. Plain values; the ranges
// below are enforced where settings or configuration files are read (DetectorSettings).

#include "anomalymetric.h"

#include <array>

struct MetricRule
{
    bool enabled = false;
    double scaleFloor = 0.0;        // metric units, 0.001-10000: lower limit of the robust scale
    double absoluteThreshold = 0.0; // metric units, 0-10000: upper threshold; 0 disables it
    double z = 0.0;                 // 1-100: robust scales from the median that score 1
};

struct DecisionConfig
{
    bool automatic = false;  // automatic capture (taken from the panel at each arm, not stored)
    bool captureEnd = false; // END decisions capture too
    int learn = 60;          // 10-300: reference values before relative scores count
    int confirm = 3;         // 1-20: consecutive scores >= 1 that activate a metric
    int release = 8;         // 1-120: consecutive scores < 0.7 that release it
    int cooldown = 30;       // 0-600 s after an automatic capture
    std::array<MetricRule, AnomalyMetrics::count> rules = defaultRules();

    // The shipped rules: Z 6 and the table's floors and thresholds; the descriptive metrics
    // disabled.
    static std::array<MetricRule, AnomalyMetrics::count> defaultRules();
};
