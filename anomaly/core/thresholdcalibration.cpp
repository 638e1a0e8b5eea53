#include "thresholdcalibration.h"

#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ThresholdCalibration {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct MetricSamples
{
    QVector<double> positive;
    QVector<double> falseValues;
    bool attributable = false; // a false snapshot crossed this metric's absolute threshold
};

bool isSnapshot(const ArchivedEvent &entry, ReviewLabel *label)
{
    const QJsonObject &event = entry.event;
    const QString type = event.value(QLatin1String("trigger_type")).toString();
    *label = EventArchive::labelOf(entry.review);
    return event.value(QLatin1String("complete")).toBool() &&
           (type == QLatin1String("NEW") || type == QLatin1String("CHANGE")) &&
           (*label == ReviewLabel::Interesting || *label == ReviewLabel::FalseAlarm) &&
           !event.value(QLatin1String("metrics")).toObject().isEmpty();
}

// The finite numeric value of a stored metric, or NaN.
double finiteValue(const QJsonObject &metric)
{
    const QJsonValue value = metric.value(QLatin1String("value"));
    return value.isDouble() && std::isfinite(value.toDouble()) ? value.toDouble() : nan;
}

double suggestion(const MetricSamples &samples, double threshold, double minPositive,
                  double maxFalse)
{
    if (samples.positive.size() < minimumSamples || samples.falseValues.size() < minimumSamples ||
        !samples.attributable || !std::isfinite(threshold) || !(threshold > 0) ||
        !(maxFalse >= threshold) || !(minPositive > maxFalse))
        return nan;
    const double midpoint = maxFalse + (minPositive - maxFalse) / 2;
    return std::isfinite(midpoint) && midpoint > maxFalse && midpoint < minPositive ? midpoint
                                                                                    : nan;
}

} // namespace

Calibration calibrate(const QVector<ArchivedEvent> &events, const DecisionConfig &config)
{
    Calibration calibration;
    std::array<MetricSamples, AnomalyMetrics::count> samples;
    for (const ArchivedEvent &entry : events) {
        ReviewLabel label;
        if (!isSnapshot(entry, &label))
            continue;
        const bool positive = label == ReviewLabel::Interesting;
        ++(positive ? calibration.positiveSnapshots : calibration.falseSnapshots);
        const QJsonObject metrics = entry.event.value(QLatin1String("metrics")).toObject();
        for (int i = 0; i < AnomalyMetrics::count; ++i) {
            const QJsonObject metric =
                metrics.value(QLatin1String(AnomalyMetrics::key(i))).toObject();
            const double value = finiteValue(metric);
            if (std::isnan(value))
                continue;
            MetricSamples &of = samples[static_cast<std::size_t>(i)];
            if (metric.value(QLatin1String("enabled")).toBool())
                (positive ? of.positive : of.falseValues).append(value);
            const double absolute = metric.value(QLatin1String("absolute_threshold")).toDouble();
            if (!positive && metric.value(QLatin1String("changed")).toBool() && absolute > 0 &&
                value >= absolute)
                of.attributable = true;
        }
    }

    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const MetricRule &rule = config.rules[static_cast<std::size_t>(i)];
        if (!rule.enabled || !(rule.absoluteThreshold > 0))
            continue;
        const MetricSamples &of = samples[static_cast<std::size_t>(i)];
        CalibrationRow row;
        row.metric = i;
        row.positiveCount = of.positive.size();
        row.falseCount = of.falseValues.size();
        row.minPositive =
            of.positive.isEmpty() ? nan : *std::min_element(of.positive.begin(), of.positive.end());
        row.maxFalse = of.falseValues.isEmpty()
                           ? nan
                           : *std::max_element(of.falseValues.begin(), of.falseValues.end());
        row.threshold = rule.absoluteThreshold;
        row.suggested = suggestion(of, row.threshold, row.minPositive, row.maxFalse);
        calibration.rows.append(row);
    }
    return calibration;
}

} // namespace ThresholdCalibration
