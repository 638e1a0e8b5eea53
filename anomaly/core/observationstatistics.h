#pragma once

// The observation statistics: the observation logs of the observation folder and the events of
// the archive, grouped by RF / analysis context, and summed for one context or for all. Only
// numbers are read from the files; whatever they hold, the sums stay finite. Any thread.

#include "eventarchive.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// One observation log: schema_version 1 with a numeric pcm_samples.
struct ObservationLog
{
    QJsonObject log;
    QString context; // context key (empty: legacy or incomplete)
};

// What the report covers: every log and event, or those of exactly one context key (the empty
// key is the legacy / incomplete context).
struct ContextChoice
{
    bool all = true;
    QString key;

    static ContextChoice allContexts() { return ContextChoice(); }
    static ContextChoice of(const QString &key) { return ContextChoice{false, key}; }
    bool covers(const QString &context) const { return all || context == key; }
};

// The sums of one context.
struct ObservationSums
{
    // Observation logs.
    int closedSessions = 0;
    int openCheckpoints = 0;
    double acquiredSeconds = 0; // pcm_samples / sample_rate_hz of logs with a rate above 0
    double analyzedSeconds = 0; // monitored_seconds
    double exposureSeconds = 0; // eligible_auto_seconds
    double newEvents = 0;
    double changeEvents = 0;
    double endEvents = 0;
    double autoStarted = 0;
    double autoCompleted = 0;
    double manualCompleted = 0;
    double skipped = 0;
    double closedExposureSeconds = 0; // eligible_auto_seconds of closed sessions
    double closedAutoCompleted = 0;   // auto_completed_pcm of closed sessions
    // Events.
    int events = 0;
    int missingJson = 0;
    double declaredSeconds = 0; // total_samples / sample_rate_hz of events with a rate above 0
    std::array<int, EventArchive::labelCount> labels{}; // by ReviewLabel
    int linked = 0; // NEW / CHANGE / END events of a closed session
    int linkedReviewed = 0;
    int linkedFalseAlarms = 0;
};

namespace ObservationStatistics {

// The log in a file's object, when it is one (schema_version 1, numeric pcm_samples).
bool fromObject(const QJsonObject &object, ObservationLog *log);
// Every usable "*.json" log of the folder, in file name order.
QVector<ObservationLog> readLogs(const QString &folder);

// Every distinct context key of the logs and events in ascending text order (the empty key,
// when present, first).
QStringList contexts(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events);

ObservationSums sum(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events,
                    const ContextChoice &choice);

} // namespace ObservationStatistics
