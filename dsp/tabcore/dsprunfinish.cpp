#include "dsprunfinish.h"

#include "jsontext.h"
#include "reportworkspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A number of the file with the given decimals, "--" when it is missing or not a number.
QString number(const QJsonValue &value, int decimals)
{
    return value.isDouble() ? QString::number(value.toDouble(), 'f', decimals)
                            : QStringLiteral("--");
}

} // namespace

DspRunOutcome finishDspRun(ReportWorkspace &workspace, const DspRunResult &run,
                           bool cancelRequested, const QDateTime &localTime, qint64 pid)
{
    DspRunOutcome outcome;
    if (cancelRequested) {
        outcome.kind = DspRunOutcome::Kind::Cancelled;
        outcome.message = QCoreApplication::translate("DspRun", "DSP analysis cancelled.");
        return outcome;
    }
    if (!run.ok || !run.result || !workspace.outputsComplete()) {
        outcome.kind = DspRunOutcome::Kind::Failed;
        outcome.message =
            QCoreApplication::translate("DspRun", "Native DSP analysis failed: %1")
                .arg(run.error.isEmpty()
                         ? QCoreApplication::translate("DspRun", "Missing report output")
                         : run.error);
        return outcome;
    }
    const QString folder = workspace.moveReport(localTime, pid);
    if (folder.isEmpty()) {
        outcome.kind = DspRunOutcome::Kind::SavedInPlace;
        outcome.reportFolder = workspace.resultFolder();
        outcome.message =
            QCoreApplication::translate("DspRun", "Could not move report; it is available in %1.")
                .arg(QDir::toNativeSeparators(outcome.reportFolder));
        return outcome;
    }
    outcome.kind = DspRunOutcome::Kind::Saved;
    outcome.reportFolder = folder;
    outcome.summary = readSummaryLines(folder);
    outcome.message = QCoreApplication::translate("DspRun", "Native DSP report saved: %1")
                          .arg(QDir::toNativeSeparators(folder));
    return outcome;
}

QStringList readSummaryLines(const QString &reportFolder)
{
    QFile file(QDir(reportFolder).filePath(QStringLiteral("summary.json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = JsonText::parse(file.readAll());
    if (!document.isObject())
        return {};
    const QJsonObject summary = document.object();
    const QJsonValue trainsValue = summary.value(QLatin1String("trains"));
    const QJsonArray trains = trainsValue.toArray();
    QStringList lines;
    lines << QCoreApplication::translate("DspRun", "%1 period(s) and %2 event(s), channel %3.")
                 .arg(trainsValue.isArray() ? QString::number(trains.size()) : QStringLiteral("--"),
                      number(summary.value(QLatin1String("event_count")), 0),
                      number(summary.value(QLatin1String("channel_used")), 0));
    for (const QJsonValue &entry : trains) {
        const QJsonObject train = entry.toObject();
        lines << QCoreApplication::translate("DspRun", "%1 ms interval, %2 Hz audio, %3 pulses.")
                     .arg(number(train.value(QLatin1String("period_ms")), 2),
                          number(train.value(QLatin1String("peak_audio_hz")), 0),
                          number(train.value(QLatin1String("count")), 0));
    }
    return lines;
}
