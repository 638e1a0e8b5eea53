// libFuzzer target: the report builder over several files. The input is split at NUL bytes into
// JSON texts taken in turn as an observation log, an event sidecar and that event's review.
// Whatever they hold, every context's report keeps its fixed lines and holds no NaN.

#include "archiveinvariants.h"
#include "archivejson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> parts = fuzzBytes(data, size).split('\0');
    QVector<ObservationLog> logs;
    QVector<ArchivedEvent> events;
    for (int i = 0; i < parts.size(); ++i) {
        const QJsonObject object = ArchiveJson::parseObject(parts[i]);
        switch (i % 3) {
        case 0: {
            ObservationLog log;
            if (ObservationStatistics::fromObject(object, &log))
                logs.append(log);
            break;
        }
        case 1: {
            ArchivedEvent event;
            event.event = object;
            event.context = ArchiveJson::contextKey(object);
            events.append(event);
            break;
        }
        default:
            events.last().review = object;
        }
    }
    // Rules with absolute thresholds on every metric that has a rule.
    DecisionConfig config;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        MetricRule &rule = config.rules[static_cast<std::size_t>(i)];
        rule.enabled = AnomalyMetrics::hasRule(i);
        rule.absoluteThreshold = rule.enabled ? 0.5 : 0.0;
    }
    requireSaneReport(ObservationReport::build(logs, events, ContextChoice::allContexts(), config),
                      ContextChoice::allContexts());
    // A few contexts are enough: each report reads every log and event again.
    const QStringList contexts = ObservationStatistics::contexts(logs, events).mid(0, 4);
    for (const QString &key : contexts) {
        const ContextChoice choice = ContextChoice::of(key);
        requireSaneReport(ObservationReport::build(logs, events, choice, config), choice);
    }
    return 0;
}
