#pragma once

// Band pass of the analyzer: band-filters one channel around a candidate band in padded
// 20-second blocks, takes the analytic envelope, smooths, decimates and thresholds it, and turns
// the active runs into pulse events. Independent per band, so bands may run on separate threads
// (each with its own sample source).

#include "analysisresult.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace NativeWav {

struct BandPassSettings
{
    double sampleRate = 0.0;
    std::uint64_t frames = 0;
    std::uint64_t blockFrames = 0; // B, 20 s
    std::uint64_t padding = 0;     // 350 ms on each side of a block
    std::size_t decimation = 1;    // D, about 1 kHz envelope rate
    std::size_t smoothing = 1;     // Ws, 4 ms moving average
    std::size_t closing = 1;       // Wc, 9 ms in decimated samples
    double contrastDb = 0.0;
};

BandPassSettings makeBandPassSettings(double sampleRate, std::uint64_t frames, double contrastDb);

// Reads count frames of the analysed channel from the given first frame.
using SampleSource = std::function<std::vector<double>(std::uint64_t first, std::uint64_t count)>;

// The pulses of the band bandHz filtered between lowHz and highHz, ascending by time.
// Throws "Analysis cancelled" when the flag is found set before a block.
std::vector<PulseEvent> measureBandPulses(const SampleSource &read,
                                          const BandPassSettings &settings, double bandHz,
                                          double lowHz, double highHz,
                                          const std::atomic<bool> &cancel);

// Tone frequency of a burst of filtered samples y[0 ... length - 1] searched between the band
// edges with a Hann-windowed, zero-padded FFT and a parabolic peak refinement; 0 when the
// burst is too short or no bin lies between the edges.
double eventFrequency(const double *y, std::size_t length, double sampleRate, double lowHz,
                      double highHz);

} // namespace NativeWav
