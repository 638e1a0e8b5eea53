#pragma once

// Numeric primitives shared by the offline analyzer, its report, the live feature bank and the
// synthetic RF spectrum. Pure functions on double-precision vectors: they keep no state between
// calls, allocate their results and may run concurrently on any thread.
//
// Bad input raises std::invalid_argument (or std::length_error) carrying a fixed English
// message; callers catch it and show or log the message. Nothing is returned on failure.

#include <complex>
#include <cstddef>
#include <vector>

namespace NativeDsp {

using Complex = std::complex<double>;

enum class FftDirection { Forward, Inverse };

// Transform conventions: the forward kernel is e^(-2*pi*i*k*n/N) and unscaled (unless a scale
// is given); every inverse is scaled by 1/N, so forward then inverse returns the input. Real
// transforms carry only the half spectrum, bins 0 ... N/2 (integer division); bin k lies at
// k * fs / N Hz. Any length N >= 0 works; lengths from nextFastLength() are the fastest.

// N real samples -> N/2 + 1 bins, X_k = scale * sum x_n e^(-2*pi*i*k*n/N). N = 0 gives {}.
std::vector<Complex> forwardRealFft(const std::vector<double> &samples, double scale = 1.0);
// Same on caller buffers (no allocation once the length's plan exists): reads n samples,
// writes n/2 + 1 bins. For loops that transform many segments of one length.
void forwardRealFft(const double *samples, std::size_t n, Complex *bins, double scale = 1.0);

// N/2 + 1 bins -> N real samples of the Hermitian spectrum they describe, scaled by 1/N. The
// imaginary parts of bin 0 and (N even) bin N/2 do not contribute. Missing bins count as 0,
// surplus bins are ignored.
std::vector<double> inverseRealFft(const std::vector<Complex> &bins, std::size_t n);

// N complex values -> N complex values; forward unscaled, inverse scaled by 1/N.
std::vector<Complex> complexFft(const std::vector<Complex> &values, FftDirection direction);

// |X_k|^2 of the unwindowed, unscaled forward real transform: N/2 + 1 values.
std::vector<double> powerSpectrum(const std::vector<double> &samples);

// Periodic Hann window of n weights, w_i = 0.5 - 0.5 cos(2*pi*i/n) (w_0 = 0, no trailing 0).
std::vector<double> hannWindow(std::size_t n);

// Zero-phase order-5 Butterworth band-pass (forward-backward, odd-reflection padding of up to
// 33 samples at each end). Edges in Hz, 0 < lowHz < highHz < sampleRate / 2. Returns as many
// samples as given. Errors: "Invalid sample count or sample rate" (fewer than 2 samples, rate
// not finite or <= 0), "Butterworth band limits must be within Nyquist" (invalid_argument),
// "Too many samples for DSPFilters" (length_error, padded length above 2^31 - 1).
std::vector<double> zeroPhaseBandpass(const std::vector<double> &samples, double sampleRate,
                                      double lowHz, double highHz);

// 0.5 * |z_n|^2 of the analytic signal z: for a sinusoid of amplitude A, A^2 / 2 at every
// sample. Error: "Hilbert transform requires at least two samples" (invalid_argument).
// Keeps its work buffer (up to 16 MiB) on the calling thread for the next call.
std::vector<double> analyticEnvelopePower(const std::vector<double> &samples);

// Interpolated order statistic: p clamped to [0, 1] (NaN reads as 0), position p * (n - 1) between
// the two nearest ranks. Partial selection, no full sort. Empty input gives 0.
double percentile(std::vector<double> values, double p);
// percentile() at 0.5 (interpolated; the offline analyzer's median). Empty gives 0.
double median(std::vector<double> values);
// The value of 0-based rank n/2 in ascending order, not interpolated (the live feature bank's
// median). Empty gives 0.
double upperMedian(std::vector<double> values);

// 10 * log10(max(power, 1e-20)) dB; a power of 0 gives -200 dB.
double powerToDb(double power);

// Arithmetic mean; an empty input is the caller's to avoid (it gives NaN).
double mean(const std::vector<double> &values);

// Smallest m >= n whose prime factors are all among 2, 3, 5, 7 and 11; n = 0 gives 1.
std::size_t nextFastLength(std::size_t n);

} // namespace NativeDsp
