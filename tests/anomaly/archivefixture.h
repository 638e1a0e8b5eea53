#pragma once

// Events and observation logs laid out as in data/anomaly, for the archive and statistics
// tests: an event is a WAV with an optional JSON sidecar and review file beside it.

#include "testwav.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace ArchiveFixture {

// The metadata of one complete context: 145.5 MHz NFM, 80-6000 Hz, 48 kHz, left channel.
inline QJsonObject context()
{
    return QJsonObject{
        {QStringLiteral("frequency_hz"), 145500000.0},
        {QStringLiteral("mode"), QStringLiteral("NFM")},
        {QStringLiteral("analysis_low_hz"), 80.0},
        {QStringLiteral("analysis_high_hz"), 6000.0},
        {QStringLiteral("sample_rate_hz"), 48000.0},
        {QStringLiteral("source_channel_index"), 0.0},
        {QStringLiteral("audio_device"), QStringLiteral("Pulse monitor")},
    };
}
inline const char *contextKey = "145500000 Hz | NFM | 80-6000 Hz | Fs 48000 | ch 1 | Pulse monitor";

// object with the keys of extra added (extra wins).
inline QJsonObject with(QJsonObject object, const QJsonObject &extra)
{
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeJson(const QString &path, const QJsonObject &object)
{
    return writeBytes(path, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

// <folder>/<name>.wav (one second of silence at 8 kHz) and, when given, <name>.json and
// <name>.review.json; the WAV's modification time is set to modified when it is valid.
inline bool writeEvent(const QString &folder, const QString &name, const QJsonObject *event,
                       const QJsonObject *review = nullptr, const QDateTime &modified = {})
{
    const QDir dir(folder);
    const QString wav = dir.filePath(name + QStringLiteral(".wav"));
    if (!TestWav::write(wav, 8000, 1, 16, false, QByteArray(16000, '\0')))
        return false;
    if (event && !writeJson(dir.filePath(name + QStringLiteral(".json")), *event))
        return false;
    if (review && !writeJson(dir.filePath(name + QStringLiteral(".review.json")), *review))
        return false;
    if (!modified.isValid())
        return true;
    QFile file(wav);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(modified, QFileDevice::FileModificationTime);
}

inline QJsonObject review(const char *label, const QString &notes = QString())
{
    return QJsonObject{{QStringLiteral("label"), QLatin1String(label)},
                       {QStringLiteral("notes"), notes}};
}

// An observation log of the context: closed or an open checkpoint, with its counters.
inline QJsonObject log(const QString &id, bool closed, double pcmSamples, double exposure,
                       double autoCompleted)
{
    return with(context(), QJsonObject{
                               {QStringLiteral("schema_version"), 1},
                               {QStringLiteral("observation_id"), id},
                               {QStringLiteral("closed"), closed},
                               {QStringLiteral("pcm_samples"), pcmSamples},
                               {QStringLiteral("monitored_seconds"), pcmSamples / 48000.0},
                               {QStringLiteral("eligible_auto_seconds"), exposure},
                               {QStringLiteral("new_events"), 3},
                               {QStringLiteral("change_events"), 2},
                               {QStringLiteral("end_events"), 1},
                               {QStringLiteral("auto_started"), 2},
                               {QStringLiteral("auto_completed_pcm"), autoCompleted},
                               {QStringLiteral("manual_completed_pcm"), 1},
                               {QStringLiteral("skipped"), 1},
                           });
}

// An automatic capture of the context with one stored metric.
inline QJsonObject snapshot(const QString &id, const char *type, const char *metric, double value,
                            bool changed, double absolute)
{
    const QJsonObject stored{{QStringLiteral("value"), value},
                             {QStringLiteral("enabled"), true},
                             {QStringLiteral("changed"), changed},
                             {QStringLiteral("absolute_threshold"), absolute}};
    return with(context(),
                QJsonObject{
                    {QStringLiteral("observation_id"), id},
                    {QStringLiteral("trigger_type"), QLatin1String(type)},
                    {QStringLiteral("complete"), true},
                    {QStringLiteral("total_samples"), 96000},
                    {QStringLiteral("metrics"), QJsonObject{{QLatin1String(metric), stored}}},
                });
}

} // namespace ArchiveFixture
