#include "observationstatistics.h"

#include "archivejson.h"
#include "parallelwork.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace ObservationStatistics {

namespace {

// A numeric field; anything else (absent, text, null, and numbers the reader could not hold)
// adds nothing.
double number(const QJsonObject &object, const char *key)
{
    const double value = object.value(QLatin1String(key)).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

// samples / rate when samples is a number not below 0 and the rate is above 0, else 0: an event
// without its sidecar must not turn the sum into 0/0, nor a damaged one make it shrink.
double seconds(const QJsonObject &object, const char *samplesKey)
{
    const QJsonValue samples = object.value(QLatin1String(samplesKey));
    const double rate = number(object, "sample_rate_hz");
    if (!samples.isDouble() || !(samples.toDouble() >= 0) || !(rate > 0))
        return 0.0;
    const double value = samples.toDouble() / rate;
    return std::isfinite(value) ? value : 0.0;
}

bool isAutomaticDecision(const QString &type)
{
    return type == QLatin1String("NEW") || type == QLatin1String("CHANGE") ||
           type == QLatin1String("END");
}

} // namespace

bool fromObject(const QJsonObject &object, ObservationLog *log)
{
    const QJsonValue schema = object.value(QLatin1String("schema_version"));
    if (!schema.isDouble() || schema.toDouble() != 1.0 ||
        !object.value(QLatin1String("pcm_samples")).isDouble())
        return false;
    log->log = object;
    log->context = ArchiveJson::contextKey(object);
    return true;
}

QVector<ObservationLog> readLogs(const QString &folder)
{
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*.json")}, QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name);
    QVector<QString> paths;
    for (const QFileInfo &file : files)
        paths.append(file.absoluteFilePath());
    // Parsed in parallel, each part into its own slots; kept in file name order.
    QVector<ObservationLog> read(paths.size());
    QVector<char> usable(paths.size(), 0);
    ObservationLog *logSlots = read.data();
    char *usableSlots = usable.data();
    const QString *pathSlots = paths.constData();
    NativeWav::parallelRanges(static_cast<std::size_t>(paths.size()),
                              [=](std::size_t begin, std::size_t end, std::size_t) {
                                  for (std::size_t i = begin; i < end; ++i)
                                      usableSlots[i] = fromObject(
                                          ArchiveJson::readObject(pathSlots[i]), &logSlots[i]);
                              });
    QVector<ObservationLog> logs;
    for (int i = 0; i < read.size(); ++i) {
        if (usable[i])
            logs.append(read[i]);
    }
    return logs;
}

QStringList contexts(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events)
{
    QSet<QString> keys;
    for (const ObservationLog &log : logs)
        keys.insert(log.context);
    for (const ArchivedEvent &event : events)
        keys.insert(event.context);
    QStringList sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

ObservationSums sum(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events,
                    const ContextChoice &choice)
{
    ObservationSums sums;
    QSet<QString> closedIds;
    for (const ObservationLog &entry : logs) {
        if (!choice.covers(entry.context))
            continue;
        const QJsonObject &log = entry.log;
        sums.acquiredSeconds += seconds(log, "pcm_samples");
        sums.analyzedSeconds += number(log, "monitored_seconds");
        const double exposure = number(log, "eligible_auto_seconds");
        sums.exposureSeconds += exposure;
        sums.newEvents += number(log, "new_events");
        sums.changeEvents += number(log, "change_events");
        sums.endEvents += number(log, "end_events");
        sums.autoStarted += number(log, "auto_started");
        sums.autoCompleted += number(log, "auto_completed_pcm");
        sums.manualCompleted += number(log, "manual_completed_pcm");
        sums.skipped += number(log, "skipped");
        if (!log.value(QLatin1String("closed")).toBool()) {
            ++sums.openCheckpoints;
            continue;
        }
        ++sums.closedSessions;
        sums.closedExposureSeconds += exposure;
        sums.closedAutoCompleted += number(log, "auto_completed_pcm");
        const QString id = log.value(QLatin1String("observation_id")).toString();
        if (!id.isEmpty())
            closedIds.insert(id);
    }

    for (const ArchivedEvent &entry : events) {
        if (!choice.covers(entry.context))
            continue;
        const QJsonObject &event = entry.event;
        ++sums.events;
        if (event.isEmpty())
            ++sums.missingJson;
        sums.declaredSeconds += seconds(event, "total_samples");
        const ReviewLabel label = EventArchive::labelOf(entry.review);
        ++sums.labels[static_cast<std::size_t>(label)];
        const QString id = event.value(QLatin1String("observation_id")).toString();
        if (isAutomaticDecision(event.value(QLatin1String("trigger_type")).toString()) &&
            !id.isEmpty() && closedIds.contains(id)) {
            ++sums.linked;
            if (EventArchive::isReviewed(label))
                ++sums.linkedReviewed;
            if (label == ReviewLabel::FalseAlarm)
                ++sums.linkedFalseAlarms;
        }
    }
    return sums;
}

} // namespace ObservationStatistics
