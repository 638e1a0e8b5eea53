#pragma once

#include <QGradientStops>
#include <QLinearGradient>

// The RF level gradient shared by the RF plots (S-meter sweep, band scope, synthetic
// spectrum): fourteen HSV colour stops from blue (low values) to red (high values). Stop i of
// 0 ... 13 has hue (1 - i/13) x 0.62, saturation 0.82, value 0.82 + 0.18 x i/13 and full
// alpha. UI-free (QtGui only); usable from any thread.
namespace RfLevelGradient {

constexpr int stopCount = 14;

// The stops at positions i/13, for gradients and colour maps of any orientation.
QGradientStops stops();

// A vertical linear gradient (x = 0) from the canvas position of the low end of the value
// range (lowY, e.g. the scale map's transform of 0) to that of the high end (highY), for pens
// and brushes that colour a plot by level.
QLinearGradient gradient(double lowY, double highY);

} // namespace RfLevelGradient
