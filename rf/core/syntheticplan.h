#pragma once

#include <QVector>
#include <QtGlobal>

// The parameters of a synthetic RF spectrum sweep and its plan of USB tunings. UI-free.
struct SyntheticParameters
{
    qint64 startHz = 4600000;
    qint64 endHz = 4700000;
    int stepHz = 1000; // between tunings, a multiple of 100
    int lowHz = 300;   // usable audio passband, low edge
    int highHz = 2300; // usable audio passband, high edge
    int binHz = 5;     // nominal FFT bin
    int captureMs = 1000;
    int settleMs = 350;
    int channel = 0; // 0 left/mono, 1 right

    // A "From"/"To" field in MHz as whole hertz, rounded half up.
    static qint64 megahertzToHz(double megahertz);
};

namespace SyntheticPlan {

constexpr int maxTunings = 2000;
constexpr int maxGridBins = 500001;
constexpr qint64 maxFrequencyHz = 3000000000LL;
// The first tuning lies at least this far above the bottom of the receiver's range.
constexpr qint64 minStartBelowLowHz = 100000;

// The tuned frequencies (Hz) of a sweep: the first is ((start - low) / 100) x 100 (integer
// division), then one every step until tuning + high reaches the end. False when the
// parameters break a rule: bin x capture ms >= 1000; start < end; 0 <= low < high; step > 0 and
// a multiple of 100; high - low >= step; start - low >= 100 000 Hz; end <= 3 GHz; at most 2000
// tunings, none above 3 GHz; (end - start) / bin <= 500 000.
bool build(const SyntheticParameters &parameters, QVector<qint64> *tunings);

} // namespace SyntheticPlan
