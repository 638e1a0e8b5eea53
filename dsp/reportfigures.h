#pragma once

// Figures of the analysis report: SVG line plots, the SVG pulse timeline and the PNG
// spectrogram. Built from a finished analysis result; safe on any thread (QtGui images only,
// no widgets).

#include "analysisresult.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace NativeWav {

// fixed(x, n): fixed-point with n decimals; a non-finite x is written as 0.
QString fixedNumber(double x, int decimals);
// HTML text escaping, including both quote characters so the text is safe in attributes too.
QString htmlEscaped(const QString &text);

// An 1100 x 260 SVG line plot of y against x (points thinned to about 2500).
QString svgLinePlot(const std::vector<double> &x, const std::vector<double> &y,
                    const QString &title, const QString &xLabel, const QString &yLabel, double xMin,
                    double xMax, double yMin, double yMax);

// Pulse timeline: one row per train, then one row of isolated pulses when there are any.
QString svgEventTimeline(const Result &result);
// The same text handed to sink in pieces (one per pulse), for long recordings.
void svgEventTimeline(const Result &result, const std::function<void(const QString &)> &sink);

// The top of the spectrogram's colour scale: the 99.8th percentile (rank floor((count - 1) *
// 0.998)) of the finite cells above -145 dB, raised to at least -110 dB; whenEmpty when no cell
// qualifies.
double spectrogramReferenceLevel(const std::vector<float> &cells, double whenEmpty);

// The display spectrogram as an RGB PNG (low frequencies at the bottom), written through a
// save-file. Throws "Empty spectrogram", "Spectrogram image allocation failed",
// "Could not save spectrogram PNG" or "Analysis cancelled".
void writeSpectrogramPng(const Result &result, const QString &path,
                         const std::atomic<bool> &cancel);

} // namespace NativeWav
