#include "anomalyjson.h"

#include "livefeaturebank.h"

#include <QDateTime>
#include <QJsonValue>

#include <cmath>

namespace AnomalyJson {

namespace {

QJsonObject ruleObject(const MetricRule &rule)
{
    return QJsonObject{
        {QStringLiteral("enabled"), rule.enabled},
        {QStringLiteral("absolute_threshold"), rule.absoluteThreshold},
        {QStringLiteral("z_threshold"), rule.z},
        {QStringLiteral("scale_floor"), rule.scaleFloor},
    };
}

QString metricKey(int index)
{
    return QString::fromLatin1(AnomalyMetrics::key(index));
}

} // namespace

QJsonObject decisionConfig(const DecisionConfig &config, bool withCaptureEnd)
{
    QJsonObject object{
        {QStringLiteral("learning_seconds"), config.learn},
        {QStringLiteral("confirmation_seconds"), config.confirm},
        {QStringLiteral("release_seconds"), config.release},
        {QStringLiteral("cooldown_seconds"), config.cooldown},
    };
    if (withCaptureEnd)
        object.insert(QStringLiteral("capture_end"), config.captureEnd);
    return object;
}

QJsonObject rules(const DecisionConfig &config)
{
    QJsonObject object;
    for (int i = 0; i < AnomalyMetrics::count; ++i)
        object.insert(metricKey(i), ruleObject(config.rules[static_cast<std::size_t>(i)]));
    return object;
}

QJsonObject manualTrigger()
{
    return QJsonObject{{QStringLiteral("trigger_type"), QStringLiteral("MANUAL_TEST")}};
}

QJsonObject automaticTrigger(const TriggerPolicy::Step &step, const FeatureUpdate &update,
                             const DecisionConfig &config)
{
    const DecisionResult &result = step.result;
    QJsonObject metrics;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const double value = update.values[at];
        QJsonObject metric = ruleObject(config.rules[at]);
        metric.insert(QStringLiteral("value"),
                      std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null));
        metric.insert(QStringLiteral("score"), result.scores[at]);
        metric.insert(QStringLiteral("changed"),
                      (result.changedMask & AnomalyMetrics::bit(i)) != 0);
        if (std::isfinite(result.baselines[at])) {
            metric.insert(QStringLiteral("baseline"), result.baselines[at]);
            metric.insert(QStringLiteral("scale"), result.scales[at]);
        }
        metrics.insert(metricKey(i), metric);
    }
    return QJsonObject{
        {QStringLiteral("trigger_type"), QString::fromLatin1(decisionName(result.decision))},
        {QStringLiteral("trigger_elapsed_seconds"), static_cast<double>(update.seconds)},
        {QStringLiteral("active_mask"), static_cast<double>(result.activeMask)},
        {QStringLiteral("changed_mask"), static_cast<double>(result.changedMask)},
        {QStringLiteral("metrics"), metrics},
        {QStringLiteral("decision_config"), decisionConfig(config, false)},
    };
}

QString utcNow()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

} // namespace AnomalyJson
