#pragma once

// The text of the observation statistics: observation time, decisions and completions, the
// reviewed captures and the advisory threshold calibration of one context, as the statistics
// dialog shows and exports it and `corvin-dsp observations` prints it. Lines end with a line
// feed between them (none after the last). The texts go through the translation catalogue
// (context "ObservationReport"), so they follow the program's language. Any thread.

#include "decisionconfig.h"
#include "observationstatistics.h"

#include <QString>

namespace ObservationReport {

// "All contexts", the context key itself, or "Legacy / incomplete context" for the empty key:
// the entries of the statistics' context list.
QString contextTitle(const ContextChoice &choice);
// The entries of the context list: "All contexts" first, then the contexts in ascending order.
QStringList contextEntries(const QStringList &contexts);
// The choice an entry of the context list stands for.
ContextChoice choiceOf(const QString &entry);

QString build(const QVector<ObservationLog> &logs, const QVector<ArchivedEvent> &events,
              const ContextChoice &choice, const DecisionConfig &config);

} // namespace ObservationReport
