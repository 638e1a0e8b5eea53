#pragma once

// The JSON objects of event sidecars and observation logs: the detector configuration, the
// rules, and the metadata of an automatic or manual trigger. Written by the platform JSON
// writer, so keys come out in ascending order; readers must not depend on key order.

#include "decisionconfig.h"
#include "triggerpolicy.h"

#include <QJsonObject>

struct FeatureUpdate;

namespace AnomalyJson {

// learning_seconds, confirmation_seconds, release_seconds, cooldown_seconds, and with
// withCaptureEnd also capture_end.
QJsonObject decisionConfig(const DecisionConfig &config, bool withCaptureEnd);
// Per metric key (all 14): enabled, absolute_threshold, z_threshold, scale_floor.
QJsonObject rules(const DecisionConfig &config);

// A manual test trigger: trigger_type "MANUAL_TEST" only.
QJsonObject manualTrigger();
// An automatic trigger: trigger_type (the decision's name), trigger_elapsed_seconds,
// active_mask, changed_mask, metrics (per key: value or null, score, enabled,
// absolute_threshold, z_threshold, scale_floor, changed, and baseline and scale when the
// baseline is finite) and decision_config.
QJsonObject automaticTrigger(const TriggerPolicy::Step &step, const FeatureUpdate &update,
                             const DecisionConfig &config);

// The current UTC time in ISO 8601 with milliseconds, "2024-05-01T10:20:30.123Z".
QString utcNow();

} // namespace AnomalyJson
