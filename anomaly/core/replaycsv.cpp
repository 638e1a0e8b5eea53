#include "replaycsv.h"

#include "detectorsettings.h"
#include "livefeaturebank.h"

#include <QLocale>

#include <cmath>

namespace ReplayCsv {

namespace {

constexpr int digits = 12;

QByteArray number(double value)
{
    return std::isfinite(value) ? QByteArray::number(value, 'g', digits) : QByteArray();
}

QByteArray shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toLatin1();
}

} // namespace

QByteArray header()
{
    QByteArray line("seconds,history_rows,decision,active_mask,changed_mask,capture,completed,"
                    "channel,rate,low_hz,high_hz,pre_s,post_s,learn_s,confirm_s,release_s,"
                    "cooldown_s,capture_end");
    static const char *const suffixes[] = {"",         "_score", "_baseline", "_scale",
                                           "_enabled", "_z",     "_absolute", "_floor"};
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        for (const char *suffix : suffixes) {
            line += ',';
            line += AnomalyMetrics::key(i);
            line += suffix;
        }
    }
    line += '\n';
    return line;
}

QByteArray row(const Row &row, const AnomalySettings &settings)
{
    const FeatureUpdate &update = *row.update;
    const DecisionResult &result = row.step->result;
    const DecisionConfig &config = settings.decision;
    QByteArray line;
    line.reserve(2048);
    const auto field = [&line](const QByteArray &text) {
        line += text;
        line += ',';
    };
    field(QByteArray::number(update.seconds));
    field(QByteArray::number(update.historyRows));
    field(decisionName(result.decision));
    field(QByteArray::number(result.activeMask));
    field(QByteArray::number(result.changedMask));
    field(TriggerPolicy::captureName(row.step->capture));
    field(row.completed ? "1" : "0");
    field(QByteArray::number(row.channel + 1));
    field(QByteArray::number(row.sampleRate));
    field(shortest(settings.lowHz));
    field(shortest(settings.highHz));
    field(QByteArray::number(settings.preSeconds));
    field(QByteArray::number(settings.postSeconds));
    field(QByteArray::number(config.learn));
    field(QByteArray::number(config.confirm));
    field(QByteArray::number(config.release));
    field(QByteArray::number(config.cooldown));
    field(config.captureEnd ? "1" : "0");
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const MetricRule &rule = config.rules[at];
        field(number(update.values[at]));
        field(number(result.scores[at]));
        field(number(result.baselines[at]));
        field(number(result.scales[at]));
        field(rule.enabled ? "1" : "0");
        field(number(rule.z));
        field(number(rule.absoluteThreshold));
        field(number(rule.scaleFloor));
    }
    line[line.size() - 1] = '\n';
    return line;
}

} // namespace ReplayCsv
