#pragma once

// Finds a periodic train among the pulses of one band and compares pulse lists.
// Pure functions on event lists; safe to call from any thread.

#include "analysisresult.h"

#include <vector>

namespace NativeWav {

struct TrainFit
{
    double periodSeconds = 0.0;     // 0 = no train
    double jitterSeconds = 0.0;     // standard deviation of the pulse times about the fitted grid
    std::vector<PulseEvent> events; // inliers, ascending by time
};

// Events must be ascending by time. A result with period 0 means no train was found.
TrainFit findPulseTrain(const std::vector<PulseEvent> &events);

// Fraction of the events of x that have an event of y (ascending by time) within tolerance
// seconds; 0 when either list is empty.
double matchFraction(const std::vector<PulseEvent> &x, const std::vector<PulseEvent> &y,
                     double toleranceSeconds);

} // namespace NativeWav
