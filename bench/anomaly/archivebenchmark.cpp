// corvin-bench-archive: the event archive and the observation statistics over a folder of
// 10 000 events (a WAV header, a sidecar with the fourteen stored metrics, a review for every
// third) and 1 000 observation logs in 10 contexts. "Listing" reads the archive as the archive
// dialog does; "Statistics" reads logs and events, lists the contexts and builds the report of
// every context, as the statistics dialog does at opening and on each choice.

#include "anomalyjson.h"
#include "eventarchive.h"
#include "observationreport.h"
#include "wavfilewriter.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int eventCount = 10000;
constexpr int logCount = 1000;
constexpr int contextCount = 10;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QJsonObject contextOf(int i)
{
    return QJsonObject{{"frequency_hz", 145000000.0 + (i % contextCount) * 12500.0},
                       {"mode", "NFM"},
                       {"analysis_low_hz", 80},
                       {"analysis_high_hz", 6000},
                       {"sample_rate_hz", 48000},
                       {"source_channel_index", 0},
                       {"audio_device", "Pulse monitor"}};
}

QJsonObject withContext(int i, const QJsonObject &extra)
{
    QJsonObject object = contextOf(i);
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

// The folder, written once for all benchmarks.
QString archiveFolder()
{
    static QTemporaryDir dir;
    static bool written = false;
    if (written)
        return dir.path();
    written = true;
    const QDir events(dir.path());
    events.mkpath(QStringLiteral("observations"));
    const QByteArray wav = WavFileWriter::header(0, 48000);
    const QJsonObject rules = AnomalyJson::rules(DecisionConfig());
    QJsonObject metrics;
    for (auto it = rules.begin(); it != rules.end(); ++it) {
        QJsonObject metric = it.value().toObject();
        metric.insert("value", 0.5);
        metric.insert("score", 1.2);
        metric.insert("changed", true);
        metric.insert("baseline", 0.4);
        metric.insert("scale", 0.05);
        metrics.insert(it.key(), metric);
    }
    const char *labels[] = {"INTERESTING", "FALSE_ALARM", "KNOWN_SIGNAL"};
    for (int i = 0; i < eventCount; ++i) {
        const QString name = QStringLiteral("145.500000_%1").arg(i, 5, 10, QLatin1Char('0'));
        const QJsonObject event = withContext(i, {{"observation_id", QString::number(i % logCount)},
                                                  {"trigger_type", i % 2 ? "NEW" : "CHANGE"},
                                                  {"complete", true},
                                                  {"total_samples", 1680000},
                                                  {"trigger_utc", "2026-01-02T03:04:05.678Z"},
                                                  {"metrics", metrics}});
        bool ok = writeFile(events.filePath(name + ".wav"), wav) &&
                  writeFile(events.filePath(name + ".json"), QJsonDocument(event).toJson());
        if (i % 3 == 0)
            ok = ok && EventArchive::writeReview(
                           events.filePath(name + ".wav"),
                           EventArchive::labelOf(QJsonObject{{"label", labels[i / 3 % 3]}}),
                           QStringLiteral("note"), QDateTime::currentDateTimeUtc());
        if (!ok)
            std::fprintf(stderr, "cannot write the archive in %s\n", qPrintable(dir.path()));
    }
    for (int i = 0; i < logCount; ++i) {
        const QJsonObject log = withContext(i, {{"schema_version", 1},
                                                {"observation_id", QString::number(i)},
                                                {"closed", i % 10 != 0},
                                                {"pcm_samples", 172800000.0},
                                                {"monitored_seconds", 3600},
                                                {"eligible_auto_seconds", 3585},
                                                {"new_events", 5},
                                                {"change_events", 3},
                                                {"end_events", 2},
                                                {"auto_started", 4},
                                                {"auto_completed_pcm", 4},
                                                {"manual_completed_pcm", 1},
                                                {"skipped", 1},
                                                {"rules", rules}});
        writeFile(events.filePath(QStringLiteral("observations/%1.json").arg(i)),
                  QJsonDocument(log).toJson());
    }
    return dir.path();
}

void Listing(benchmark::State &state)
{
    const QString folder = archiveFolder();
    for (auto _ : state) {
        const QVector<ArchivedEvent> events = EventArchive::list(folder);
        QStringList rows;
        for (const ArchivedEvent &event : events)
            rows << EventArchive::columns(event);
        benchmark::DoNotOptimize(rows);
        if (events.size() != eventCount)
            state.SkipWithError("archive incomplete");
    }
}
BENCHMARK(Listing)->Unit(benchmark::kMillisecond)->UseRealTime();

void Statistics(benchmark::State &state)
{
    const QString folder = archiveFolder();
    const DecisionConfig config;
    for (auto _ : state) {
        const QVector<ObservationLog> logs =
            ObservationStatistics::readLogs(QDir(folder).filePath(QStringLiteral("observations")));
        const QVector<ArchivedEvent> events = EventArchive::list(folder);
        QString report =
            ObservationReport::build(logs, events, ContextChoice::allContexts(), config);
        for (const QString &key : ObservationStatistics::contexts(logs, events))
            report += ObservationReport::build(logs, events, ContextChoice::of(key), config);
        benchmark::DoNotOptimize(report);
        if (logs.size() != logCount)
            state.SkipWithError("logs incomplete");
    }
}
BENCHMARK(Statistics)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
