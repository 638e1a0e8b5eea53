#pragma once

#include <QString>

// The display name of an anomaly metric (index 0-13) in the running language: "RMS",
// "Excess kurtosis", ... "Notch depth P95".
namespace MetricNames {

QString name(int metric);

} // namespace MetricNames
