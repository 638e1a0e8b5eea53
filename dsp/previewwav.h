#pragma once

// Band-filtered listening clips of the analysis report.

#include "analysisresult.h"

#include <QString>

#include <atomic>

namespace NativeWav {

// Writes "preview_<index>.wav" into reportFolder: up to 30 s of the analysed channel from 0.4 s
// before the train's first pulse, band-passed between the train's edges and normalised to a
// -3 dBFS peak, as 16-bit mono PCM. Writes nothing for a train without events, a clip shorter
// than 34 frames or a silent clip. Throws the WAV reader's and band-pass's errors,
// "Preview WAV exceeds RIFF limit", "Cannot create preview WAV", "Preview WAV write failed"
// or "Analysis cancelled".
void writePreviewWav(const QString &reportFolder, int index, const Result &result,
                     const AnalysisRequest &request, const PulseTrain &train,
                     const std::atomic<bool> &cancel);

} // namespace NativeWav
