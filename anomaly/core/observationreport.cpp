#include "observationreport.h"

#include "thresholdcalibration.h"

#include <QCoreApplication>

#include <cmath>

namespace ObservationReport {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("ObservationReport", source);
}

QString whole(double value)
{
    return QString::number(value, 'f', 0);
}

QString hours(double seconds)
{
    return QString::number(seconds / 3600.0, 'f', 4);
}

// count per hour of exposure with 2 decimals, or "--" without exposure.
QString perHour(double count, double exposureSeconds)
{
    return exposureSeconds > 0 ? QString::number(count * 3600.0 / exposureSeconds, 'f', 2)
                               : QStringLiteral("--");
}

QString calibrationNumber(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 8) : QStringLiteral("--");
}

void appendCalibration(QStringList &lines, const QVector<ArchivedEvent> &events,
                       const ContextChoice &choice, const DecisionConfig &config)
{
    QVector<ArchivedEvent> ofContext;
    for (const ArchivedEvent &event : events) {
        if (choice.covers(event.context))
            ofContext.append(event);
    }
    const Calibration calibration = ThresholdCalibration::calibrate(ofContext, config);
    lines << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Labelled automatic NEW/CHANGE snapshots (interesting / false): ")) +
                 QString::number(calibration.positiveSnapshots) + QStringLiteral(" / ") +
                 QString::number(calibration.falseSnapshots);
    lines << text(QT_TRANSLATE_NOOP(
        "ObservationReport",
        "Metric                 Positive   False   Min pos.    Max false   Current     "
        "Suggested"));
    for (const CalibrationRow &row : calibration.rows) {
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                     .arg(QString::fromLatin1(AnomalyMetrics::key(row.metric)).leftJustified(22),
                          QString::number(row.positiveCount).rightJustified(8),
                          QString::number(row.falseCount).rightJustified(7),
                          calibrationNumber(row.minPositive).rightJustified(11),
                          calibrationNumber(row.maxFalse).rightJustified(11),
                          calibrationNumber(row.threshold).rightJustified(11),
                          calibrationNumber(row.suggested).rightJustified(11));
    }
    lines << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Proposal only if >=5 finite samples per class, non-overlapping values, and an "
                 "absolute false-trigger candidate."))
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Midpoint of largest false value and smallest interesting value; raises existing "
                 "threshold only."))
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Snapshot advice is not a replay, does not account for relative rules, "
                 "confirmation or missed events."))
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Test proposed settings against independent full WAVs using Replay; no settings "
                 "changed here."));
}

} // namespace

QString contextTitle(const ContextChoice &choice)
{
    if (choice.all)
        return text(QT_TRANSLATE_NOOP("ObservationReport", "All contexts"));
    return choice.key.isEmpty()
               ? text(QT_TRANSLATE_NOOP("ObservationReport", "Legacy / incomplete context"))
               : choice.key;
}

QStringList contextEntries(const QStringList &contexts)
{
    QStringList entries{contextTitle(ContextChoice::allContexts())};
    for (const QString &key : contexts)
        entries << contextTitle(ContextChoice::of(key));
    return entries;
}

ContextChoice choiceOf(const QString &entry)
{
    if (entry == contextTitle(ContextChoice::allContexts()))
        return ContextChoice::allContexts();
    if (entry == contextTitle(ContextChoice::of(QString())))
        return ContextChoice::of(QString());
    return ContextChoice::of(entry);
}

QString build(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events,
              const ContextChoice &choice, const DecisionConfig &config)
{
    const ObservationSums s = ObservationStatistics::sum(logs, events, choice);
    const QString slash = QStringLiteral(" / ");
    QStringList lines;
    lines << text(QT_TRANSLATE_NOOP("ObservationReport", "OBSERVATION SUMMARY"))
          << contextTitle(choice)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Closed sessions: ")) +
                 QString::number(s.closedSessions) +
                 text(QT_TRANSLATE_NOOP("ObservationReport", " | Open checkpoints: ")) +
                 QString::number(s.openCheckpoints)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Acquired PCM hours: ")) +
                 hours(s.acquiredSeconds)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Analyzed hours: ")) +
                 hours(s.analyzedSeconds)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Automatic decision exposure (hours): ")) +
                 hours(s.exposureSeconds)
          << text(QT_TRANSLATE_NOOP("ObservationReport",
                                    "Decisions NEW / CHANGE / END (including preview): ")) +
                 whole(s.newEvents) + slash + whole(s.changeEvents) + slash + whole(s.endEvents)
          << text(QT_TRANSLATE_NOOP("ObservationReport",
                                    "Automatic starts / completed PCM / skipped: ")) +
                 whole(s.autoStarted) + slash + whole(s.autoCompleted) + slash + whole(s.skipped)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Manual completed PCM: ")) +
                 whole(s.manualCompleted)
          << text(QT_TRANSLATE_NOOP("ObservationReport",
                                    "Automatic PCM completions/hour (closed sessions): ")) +
                 perHour(s.closedAutoCompleted, s.closedExposureSeconds)
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Linked automatic WAV / reviewed / false alarms (closed sessions): ")) +
                 QString::number(s.linked) + slash + QString::number(s.linkedReviewed) + slash +
                 QString::number(s.linkedFalseAlarms)
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Confirmed false-alarm captures/hour (lower bound, not false-positive "
                 "probability): ")) +
                 perHour(s.linkedFalseAlarms, s.closedExposureSeconds)
          << text(QT_TRANSLATE_NOOP("ObservationReport", "Closed automatic exposure (hours): ")) +
                 hours(s.closedExposureSeconds)
          << text(QT_TRANSLATE_NOOP(
                 "ObservationReport",
                 "Open checkpoints may be incomplete (refresh after disarm). PCM completions do "
                 "not certify disk writes."))
          << QString() << text(QT_TRANSLATE_NOOP("ObservationReport", "EVENT ARCHIVE"))
          << text(QT_TRANSLATE_NOOP("ObservationReport",
                                    "WAV / missing JSON / declared seconds: ")) +
                 QString::number(s.events) + slash + QString::number(s.missingJson) + slash +
                 QString::number(s.declaredSeconds, 'f', 2);
    QStringList labels;
    for (int count : s.labels)
        labels << QString::number(count);
    lines << text(QT_TRANSLATE_NOOP("ObservationReport",
                                    "Unreviewed / Interesting / False alarm / Known / Unknown: ")) +
                 labels.join(slash)
          << QString()
          << text(
                 QT_TRANSLATE_NOOP("ObservationReport", "ADVISORY ABSOLUTE-THRESHOLD CALIBRATION"));
    if (choice.all || choice.key.isEmpty())
        lines << text(QT_TRANSLATE_NOOP(
            "ObservationReport",
            "Choose one complete RF / analysis context. Older events without band "
            "metadata are excluded from advice."));
    else
        appendCalibration(lines, events, choice, config);
    return lines.join(QLatin1Char('\n'));
}

} // namespace ObservationReport
