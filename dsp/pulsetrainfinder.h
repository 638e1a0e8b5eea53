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

// True when a stored train has nearly the same period (within 3.5 %) and more than 70 % of the
// fit's pulses coincide with its pulses within max(5.5 % of the period, 28 ms).
bool isDuplicateTrain(const std::vector<PulseTrain> &trains, const TrainFit &fit);

// True when a pulse of one of the trains lies within 28 ms of the event.
bool coincidesWithTrain(const PulseEvent &event, const std::vector<PulseTrain> &trains);

// Isolated pulses of the bands without a train, in band and time order: a pulse within 28 ms of
// a train pulse, or within 20 ms of an already accepted pulse, is left out. Ascending by time.
std::vector<PulseEvent> collectIsolatedEvents(const std::vector<IsolatedBand> &bands,
                                              const std::vector<PulseTrain> &trains);

} // namespace NativeWav
