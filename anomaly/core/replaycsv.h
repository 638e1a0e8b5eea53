#pragma once

// The replay's CSV: one header line, then one row per processed second with the decision, the
// simulated capture and, per metric, value, score, baseline, scale and the rule. Lines end with
// a line feed; numbers carry a decimal point whatever the locale.

#include "triggerpolicy.h"

#include <QByteArray>

struct AnomalySettings;
struct FeatureUpdate;

namespace ReplayCsv {

QByteArray header();

struct Row
{
    const FeatureUpdate *update = nullptr;
    const TriggerPolicy::Step *step = nullptr;
    bool completed = false; // a simulated capture completed on this second
    int channel = 0;        // 0-based; written 1-based
    int sampleRate = 0;
};

// settings: band, pre and post seconds and the decision configuration of the replay.
QByteArray row(const Row &row, const AnomalySettings &settings);

} // namespace ReplayCsv
