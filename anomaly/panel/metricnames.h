#pragma once

#include <QString>

// How an anomaly metric (index 0-13) is shown: its name and description in the running
// language ("RMS", "Full-band original PCM RMS, dBFS."), and its value with the metric's
// decimals and unit ("-42.17 dBFS", "--" when not finite).
namespace MetricNames {

QString name(int metric);
QString description(int metric);
QString formatValue(int metric, double value);

} // namespace MetricNames
