#pragma once

// Reading the anomaly detector's settings, from the settings store and from the configuration
// object of an observation log (which a replay takes as its configuration). Every value is
// clamped to its range; a value that is absent, unparsable or not finite reads as its default,
// so a damaged store can never switch a metric off for good or make it fire forever.

#include "decisionconfig.h"

#include <QJsonObject>
#include <QString>
#include <QVariant>

#include <functional>

class QSettings;

// What the capture panel and a replay are configured with.
struct AnomalySettings
{
    bool monitor = true;    // "Enable analysis"
    double lowHz = 80.0;    // 0-20000
    double highHz = 6000.0; // 100-30000
    int preSeconds = 15;    // 1-120
    int postSeconds = 20;   // 1-300
    int channel = 0;        // 0 left/mono, 1 right
    DecisionConfig decision;
};

namespace DetectorSettings {

// A settings value by key; an invalid QVariant when the key is absent.
using Lookup = std::function<QVariant(const QString &key)>;
Lookup lookupIn(const QSettings &settings);

// "Anomaly/Decision/..." keys; automatic stays false (it is never stored).
DecisionConfig readDecisionConfig(const Lookup &lookup);
// Every anomaly key, the shared "Audio/WavChannel" included.
AnomalySettings read(const Lookup &lookup);

// Stores every "Anomaly/Decision/..." key: the five counts and, for each metric with a rule,
// Enabled, Z, Floor and Absolute (49 keys). The automatic flag is never stored.
void writeDecisionConfig(QSettings &settings, const DecisionConfig &config);

// An observation log's (or a hand-written) configuration: analysis_low_hz, analysis_high_hz,
// pre_seconds_requested, post_seconds_requested, source_channel_index, decision_config
// (learning_seconds, confirmation_seconds, release_seconds, cooldown_seconds, capture_end) and
// rules (per metric key: enabled, absolute_threshold, z_threshold, scale_floor). Other keys are
// ignored; missing ones keep their defaults; values are clamped as settings. A key of the wrong
// JSON type makes it fail with a message naming the key.
bool fromJson(const QJsonObject &object, AnomalySettings *settings, QString *error);
// The same from a JSON file (a replay's or the statistics' --config); a file that cannot be read
// or holds no JSON object fails with a message naming it.
bool fromJsonFile(const QString &path, AnomalySettings *settings, QString *error);

} // namespace DetectorSettings
