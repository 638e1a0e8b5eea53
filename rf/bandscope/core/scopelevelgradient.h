#pragma once

#include <QGradientStops>
#include <QLinearGradient>

// Stand-in for the RF level gradient of the RF views until the shared one is available here:
// fourteen HSV stops from blue (low) to red (high); stop i of 0 ... 13 has hue (1 - i/13) x
// 0.62, saturation 0.82, value 0.82 + 0.18 x i/13. UI-free (QtGui only).
namespace ScopeLevelGradient {

constexpr int stopCount = 14;

QGradientStops stops();
// A vertical gradient from canvas position lowY (the low end of the value range) to highY.
QLinearGradient gradient(double lowY, double highY);

} // namespace ScopeLevelGradient
