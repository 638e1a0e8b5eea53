#pragma once

// What every reading of the detector settings must give, whatever the input: values finite
// and inside their ranges, the descriptive metrics without a rule, automatic capture off.
// Aborts (a finding for the fuzzer) otherwise.

#include "detectorsettings.h"

#include <cmath>
#include <cstdlib>

inline void requireInRange(double value, double low, double high)
{
    if (!std::isfinite(value) || value < low || value > high)
        std::abort();
}

inline void requireValid(const AnomalySettings &s)
{
    requireInRange(s.lowHz, 0, 20000);
    requireInRange(s.highHz, 100, 30000);
    requireInRange(s.preSeconds, 1, 120);
    requireInRange(s.postSeconds, 1, 300);
    requireInRange(s.channel, 0, 1);
    const DecisionConfig &c = s.decision;
    requireInRange(c.learn, 10, 300);
    requireInRange(c.confirm, 1, 20);
    requireInRange(c.release, 1, 120);
    requireInRange(c.cooldown, 0, 600);
    if (c.automatic)
        std::abort();
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const MetricRule &rule = c.rules[static_cast<std::size_t>(i)];
        if (!AnomalyMetrics::hasRule(i)) {
            if (rule.enabled)
                std::abort();
            continue;
        }
        requireInRange(rule.z, 1, 100);
        requireInRange(rule.scaleFloor, 0.001, 10000);
        requireInRange(rule.absoluteThreshold, 0, 10000);
    }
}
