#include "detectorsettings.h"

#include "jsontext.h"
#include "settingskeys.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

struct Range
{
    double low;
    double high;
};

constexpr Range lowHzRange{0.0, 20000.0};
constexpr Range highHzRange{100.0, 30000.0};
constexpr Range preRange{1.0, 120.0};
constexpr Range postRange{1.0, 300.0};
constexpr Range channelRange{0.0, 1.0};
constexpr Range learnRange{10.0, 300.0};
constexpr Range confirmRange{1.0, 20.0};
constexpr Range releaseRange{1.0, 120.0};
constexpr Range cooldownRange{0.0, 600.0};
constexpr Range zRange{1.0, 100.0};
constexpr Range floorRange{0.001, 10000.0};
constexpr Range absoluteRange{0.0, 10000.0};

double clamped(double value, double fallback, Range range)
{
    return std::isfinite(value) ? std::clamp(value, range.low, range.high) : fallback;
}

int clampedInt(double value, int fallback, Range range)
{
    return std::isfinite(value)
               ? static_cast<int>(std::lround(std::clamp(value, range.low, range.high)))
               : fallback;
}

// A stored number: a number, or text with a decimal point whatever the locale. NaN otherwise.
double number(const QVariant &value)
{
    if (!value.isValid())
        return std::nan("");
    bool ok = false;
    const double parsed = value.type() == QVariant::String
                              ? value.toString().trimmed().toDouble(&ok)
                              : value.toDouble(&ok);
    return ok ? parsed : std::nan("");
}

bool flag(const QVariant &value, bool fallback)
{
    if (value.type() == QVariant::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

QString metricKey(int metric, const char *suffix)
{
    return QString::fromLatin1(SettingsKeys::anomalyDecisionPrefix) +
           QLatin1String(AnomalyMetrics::key(metric)) + QLatin1Char('/') + QLatin1String(suffix);
}

// Reads JSON members by key, refusing a member of the wrong type.
class JsonFields
{
public:
    JsonFields(const QJsonObject &object, QString path, QString *error)
        : m_object(object)
        , m_path(std::move(path))
        , m_error(error)
    {}

    bool ok() const { return m_error->isEmpty(); }

    double number(const char *name, double fallback, Range range)
    {
        const QJsonValue value = member(name, QJsonValue::Double, "a number");
        return value.isDouble() ? clamped(value.toDouble(), fallback, range) : fallback;
    }
    int integer(const char *name, int fallback, Range range)
    {
        const QJsonValue value = member(name, QJsonValue::Double, "a number");
        return value.isDouble() ? clampedInt(value.toDouble(), fallback, range) : fallback;
    }
    bool flag(const char *name, bool fallback)
    {
        const QJsonValue value = member(name, QJsonValue::Bool, "true or false");
        return value.isBool() ? value.toBool() : fallback;
    }
    QJsonObject object(const char *name)
    {
        return member(name, QJsonValue::Object, "an object").toObject();
    }
    QString path(const char *name) const
    {
        return m_path.isEmpty() ? QString::fromLatin1(name)
                                : m_path + QLatin1Char('.') + QLatin1String(name);
    }

private:
    QJsonValue member(const char *name, QJsonValue::Type type, const char *what)
    {
        const QJsonValue value = m_object.value(QLatin1String(name));
        if (value.isUndefined() || value.type() == type || !ok())
            return value.type() == type ? value : QJsonValue(QJsonValue::Undefined);
        *m_error = QStringLiteral("%1 must be %2").arg(path(name), QLatin1String(what));
        return QJsonValue(QJsonValue::Undefined);
    }

    QJsonObject m_object;
    QString m_path;
    QString *m_error;
};

} // namespace

namespace DetectorSettings {

Lookup lookupIn(const QSettings &settings)
{
    return [&settings](const QString &name) { return settings.value(name); };
}

DecisionConfig readDecisionConfig(const Lookup &lookup)
{
    DecisionConfig config;
    const DecisionConfig defaults;
    const auto value = [&lookup](const char *name) { return lookup(key(name)); };
    config.learn =
        clampedInt(number(value(SettingsKeys::anomalyDecisionLearn)), defaults.learn, learnRange);
    config.confirm = clampedInt(number(value(SettingsKeys::anomalyDecisionConfirm)),
                                defaults.confirm, confirmRange);
    config.release = clampedInt(number(value(SettingsKeys::anomalyDecisionRelease)),
                                defaults.release, releaseRange);
    config.cooldown = clampedInt(number(value(SettingsKeys::anomalyDecisionCooldown)),
                                 defaults.cooldown, cooldownRange);
    config.captureEnd = flag(value(SettingsKeys::anomalyDecisionCaptureEnd), defaults.captureEnd);
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (!AnomalyMetrics::hasRule(i))
            continue;
        MetricRule &rule = config.rules[static_cast<std::size_t>(i)];
        const MetricRule &fallback = defaults.rules[static_cast<std::size_t>(i)];
        rule.enabled =
            flag(lookup(metricKey(i, SettingsKeys::anomalyMetricEnabled)), fallback.enabled);
        rule.z =
            clamped(number(lookup(metricKey(i, SettingsKeys::anomalyMetricZ))), fallback.z, zRange);
        rule.scaleFloor = clamped(number(lookup(metricKey(i, SettingsKeys::anomalyMetricFloor))),
                                  fallback.scaleFloor, floorRange);
        rule.absoluteThreshold =
            clamped(number(lookup(metricKey(i, SettingsKeys::anomalyMetricAbsolute))),
                    fallback.absoluteThreshold, absoluteRange);
    }
    return config;
}

void writeDecisionConfig(QSettings &settings, const DecisionConfig &config)
{
    settings.setValue(key(SettingsKeys::anomalyDecisionLearn), config.learn);
    settings.setValue(key(SettingsKeys::anomalyDecisionConfirm), config.confirm);
    settings.setValue(key(SettingsKeys::anomalyDecisionRelease), config.release);
    settings.setValue(key(SettingsKeys::anomalyDecisionCooldown), config.cooldown);
    settings.setValue(key(SettingsKeys::anomalyDecisionCaptureEnd), config.captureEnd);
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (!AnomalyMetrics::hasRule(i))
            continue;
        const MetricRule &rule = config.rules[static_cast<std::size_t>(i)];
        settings.setValue(metricKey(i, SettingsKeys::anomalyMetricEnabled), rule.enabled);
        settings.setValue(metricKey(i, SettingsKeys::anomalyMetricZ), rule.z);
        settings.setValue(metricKey(i, SettingsKeys::anomalyMetricFloor), rule.scaleFloor);
        settings.setValue(metricKey(i, SettingsKeys::anomalyMetricAbsolute),
                          rule.absoluteThreshold);
    }
}

AnomalySettings read(const Lookup &lookup)
{
    AnomalySettings settings;
    const AnomalySettings defaults;
    const auto value = [&lookup](const char *name) { return lookup(key(name)); };
    settings.monitor = flag(value(SettingsKeys::anomalyMonitor), defaults.monitor);
    settings.lowHz = clamped(number(value(SettingsKeys::anomalyLowHz)), defaults.lowHz, lowHzRange);
    settings.highHz =
        clamped(number(value(SettingsKeys::anomalyHighHz)), defaults.highHz, highHzRange);
    settings.preSeconds =
        clampedInt(number(value(SettingsKeys::anomalyPre)), defaults.preSeconds, preRange);
    settings.postSeconds =
        clampedInt(number(value(SettingsKeys::anomalyPost)), defaults.postSeconds, postRange);
    settings.channel =
        clampedInt(number(value(SettingsKeys::audioWavChannel)), defaults.channel, channelRange);
    settings.decision = readDecisionConfig(lookup);
    return settings;
}

bool fromJson(const QJsonObject &object, AnomalySettings *settings, QString *error)
{
    error->clear();
    AnomalySettings result;
    const AnomalySettings defaults;
    JsonFields top(object, QString(), error);
    result.lowHz = top.number("analysis_low_hz", defaults.lowHz, lowHzRange);
    result.highHz = top.number("analysis_high_hz", defaults.highHz, highHzRange);
    result.preSeconds = top.integer("pre_seconds_requested", defaults.preSeconds, preRange);
    result.postSeconds = top.integer("post_seconds_requested", defaults.postSeconds, postRange);
    result.channel = top.integer("source_channel_index", defaults.channel, channelRange);

    const DecisionConfig &fallback = defaults.decision;
    DecisionConfig &decision = result.decision;
    JsonFields counts(top.object("decision_config"), top.path("decision_config"), error);
    decision.learn = counts.integer("learning_seconds", fallback.learn, learnRange);
    decision.confirm = counts.integer("confirmation_seconds", fallback.confirm, confirmRange);
    decision.release = counts.integer("release_seconds", fallback.release, releaseRange);
    decision.cooldown = counts.integer("cooldown_seconds", fallback.cooldown, cooldownRange);
    decision.captureEnd = counts.flag("capture_end", fallback.captureEnd);

    const QJsonObject rules = top.object("rules");
    for (int i = 0; i < AnomalyMetrics::count && error->isEmpty(); ++i) {
        if (!AnomalyMetrics::hasRule(i))
            continue;
        const char *name = AnomalyMetrics::key(i);
        JsonFields ruleFields(rules, top.path("rules"), error);
        JsonFields fields(ruleFields.object(name), ruleFields.path(name), error);
        MetricRule &rule = decision.rules[static_cast<std::size_t>(i)];
        const MetricRule &ruleDefault = fallback.rules[static_cast<std::size_t>(i)];
        rule.enabled = fields.flag("enabled", ruleDefault.enabled);
        rule.absoluteThreshold =
            fields.number("absolute_threshold", ruleDefault.absoluteThreshold, absoluteRange);
        rule.z = fields.number("z_threshold", ruleDefault.z, zRange);
        rule.scaleFloor = fields.number("scale_floor", ruleDefault.scaleFloor, floorRange);
    }
    if (!error->isEmpty())
        return false;
    *settings = result;
    return true;
}

bool fromJsonFile(const QString &path, AnomalySettings *settings, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QString parseError;
    const QJsonDocument document = JsonText::parse(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("%1 is not a JSON object (%2)").arg(path, parseError);
        return false;
    }
    return fromJson(document.object(), settings, error);
}

} // namespace DetectorSettings
