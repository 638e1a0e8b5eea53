#pragma once

#include <cstddef>
#include <vector>

// Welch's estimate of the one-sided power spectral density of raw audio, for the synthetic RF
// spectrum. Samples are scaled to +-1 (full scale); the result is in full-scale units per Hz,
// so 10 log10 of a bin is dBFS/Hz. UI-free; each call allocates its own buffers, so calls may
// run on any thread.
struct WelchPsd
{
    double spacing = 0.0;      // Hz between bins: sampleRate / N
    std::vector<double> power; // bins 0 ... N/2
    int windows = 0;           // windows averaged
    double clipped = 0.0;      // fraction of samples at or beyond full scale, 0 ... 1
};

// N = sampleRate / binHz (integer division) points per window, periodic Hann window, 50 %
// overlap (windows start every N/2 samples while a whole window fits), each window's own mean
// removed; bin k gains factor |X_k|^2 / (sampleRate x sum w^2), factor 1 for k = 0 and (N even)
// k = N/2, else 2; the sum is divided by the number of windows. A sample counts as clipped
// when it is >= 32767/32768 or <= -1. The Hann window's equivalent noise bandwidth is 1.5 bins.
//
// Throws std::invalid_argument "Invalid sample rate or bin" (sampleRate < 1 or binHz < 1) or
// "Insufficient samples" (N < 4, or fewer than N samples).
WelchPsd welchPsd(const double *samples, std::size_t count, int sampleRate, int binHz);
