#pragma once

// The console's stage lines of an analysis run. The DSP tab polls the job's progress and
// prints a line for every stage threshold crossed since the previous poll, so a jump over
// several stages prints each of them once, in order.

#include <QString>
#include <QStringList>

namespace ProgressStages {

// The lines that open a run: the engine's banner and "Analyzing WAV: %1" with the recording's
// path in native separators.
QStringList openingLines(const QString &wavPath);

// The lines for the thresholds crossed when the progress moves from previous (-1 before the
// first poll) to current: "Audio levels completed..." on reaching 15, "Analyzing pulse
// envelopes..." on reaching 44, "Writing HTML..." on passing 81. Translated.
QStringList linesBetween(int previous, int current);

// The report phase's line ("Writing HTML, SVG/PNG, CSV, JSON and filtered WAV..."), translated.
QString reportStageText();

} // namespace ProgressStages
