#pragma once

// The analysis report: a self-contained folder (Italian HTML page, JSON summary, CSV of the
// pulses, SVG and PNG figures, band-filtered WAV clips) that opens in any browser.
// Runs on the DSP worker thread after the analysis; reads the result only and polls the
// cancellation flag. Every failure raises std::runtime_error with a fixed English message;
// files already committed stay, the rest are missing.

#include "analysisresult.h"

#include <QString>

#include <atomic>

namespace NativeWav {

// Identification of the native engine in "summary.json" and its one-line banner (report page
// header and the DSP console).
QString nativeDspFormat();
QString nativeDspBanner();

// Creates reportFolder (with parents) and writes, in this order: summary.json, events.csv,
// spectrogram.png, levels.svg, spectrum.svg, events.svg (when there are pulses), the preview
// clips and report.html. wavPath names the recording on the page and in the summary; the
// digest and the clips read the file at request.wavPath.
void writeAnalysisReport(const Result &result, const AnalysisRequest &request,
                         const QString &wavPath, const QString &reportFolder,
                         const std::atomic<bool> &cancel);

// Writes text as UTF-8 through a save-file that replaces path only when complete. Throws
// "Could not write report file", "Report write failed" or "Could not commit report file".
void writeReportFile(const QString &path, const QString &text);

} // namespace NativeWav
