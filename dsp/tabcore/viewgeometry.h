#pragma once

// Axis ranges, curve thinning and the locate window of the DSP tab's plots. UI-free.

#include "analysisresult.h"

#include <QRectF>

#include <cstddef>
#include <optional>
#include <vector>

struct AxisRange
{
    double min = 0.0;
    double max = 1.0;
};

// Y range of the mean spectrum (dB): top = max(largest + 9, -85), bottom = max(top - 95, -170).
AxisRange spectrumLevelRange(const std::vector<double> &levelsDb);

// Y range of the RMS level (dBFS): max(smallest - 8, -170) ... min(largest + 8, 15), widened by
// 5 dB on both sides when narrower than 10 dB.
AxisRange rmsLevelRange(const std::vector<double> &levelsDb);

// The points of an n-point curve that are drawn (about 10 000 at most): every k-th from 0 with
// k = max(floor((n + 9999) / 10000), 1), plus the last point when it is not on the step.
std::vector<std::size_t> thinnedIndices(std::size_t n);

// The spectrogram window that locates an event at (seconds, hertz): x (time) and y (audio
// frequency) with width min(max(3 % of the duration, 0.4 s), duration) and height
// min(max(15 % of the analysed band, 300 Hz), band), centred on the event and moved inside the
// analysed area. Empty when either side would be zero.
std::optional<QRectF> locateWindow(const NativeWav::Result &result, double seconds, double hertz);
