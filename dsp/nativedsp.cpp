#include "nativedsp.h"

#include "butterworthbandpass.h"
#include "fftbackend.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace NativeDsp {

namespace {

constexpr double pi = 3.14159265358979323846;

// Work buffers up to this length (16 MiB, the half spectrum of a padded 20 s block at 96 kHz)
// stay allocated on their thread between calls.
constexpr std::size_t keptScratchLength = std::size_t(1) << 20;

std::vector<Complex> &threadScratch()
{
    thread_local std::vector<Complex> scratch;
    return scratch;
}

void scaleInPlace(double *values, std::size_t count, double factor)
{
    for (std::size_t i = 0; i < count; ++i)
        values[i] *= factor;
}

} // namespace

void forwardRealFft(const double *samples, std::size_t n, Complex *bins, double scale)
{
    FftBackend::realForward(samples, bins, n);
    if (scale != 1.0 && n > 0)
        scaleInPlace(reinterpret_cast<double *>(bins), 2 * (n / 2 + 1), scale);
}

std::vector<Complex> forwardRealFft(const std::vector<double> &samples, double scale)
{
    if (samples.empty())
        return {};
    std::vector<Complex> bins(samples.size() / 2 + 1);
    forwardRealFft(samples.data(), samples.size(), bins.data(), scale);
    return bins;
}

std::vector<double> inverseRealFft(const std::vector<Complex> &bins, std::size_t n)
{
    if (n == 0)
        return {};
    // The transform overwrites its input, and only a Hermitian spectrum has a real inverse:
    // work on a copy whose self-conjugate bins are made real.
    std::vector<Complex> half(n / 2 + 1);
    std::copy_n(bins.begin(), std::min(bins.size(), half.size()), half.begin());
    half.front().imag(0.0);
    if (n % 2 == 0)
        half.back().imag(0.0);
    std::vector<double> samples(n);
    FftBackend::realInverse(half.data(), samples.data(), n);
    scaleInPlace(samples.data(), n, 1.0 / static_cast<double>(n));
    return samples;
}

std::vector<Complex> complexFft(const std::vector<Complex> &values, FftDirection direction)
{
    const std::size_t n = values.size();
    std::vector<Complex> result(n);
    const bool inverse = direction == FftDirection::Inverse;
    FftBackend::complexTransform(values.data(), result.data(), n, inverse);
    if (inverse && n > 0)
        scaleInPlace(reinterpret_cast<double *>(result.data()), 2 * n,
                     1.0 / static_cast<double>(n));
    return result;
}

std::vector<double> powerSpectrum(const std::vector<double> &samples)
{
    const std::vector<Complex> bins = forwardRealFft(samples);
    std::vector<double> power(bins.size());
    std::transform(bins.begin(), bins.end(), power.begin(), [](Complex x) { return std::norm(x); });
    return power;
}

std::vector<double> hannWindow(std::size_t n)
{
    std::vector<double> weights(n);
    for (std::size_t i = 0; i < n; ++i)
        weights[i] =
            0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(n));
    return weights;
}

std::vector<double> zeroPhaseBandpass(const std::vector<double> &samples, double sampleRate,
                                      double lowHz, double highHz)
{
    const std::size_t count = samples.size();
    if (count < 2 || !std::isfinite(sampleRate) || sampleRate <= 0.0)
        throw std::invalid_argument("Invalid sample count or sample rate");
    if (!std::isfinite(lowHz) || !std::isfinite(highHz) || lowHz <= 0.0 || lowHz >= highHz ||
        highHz >= sampleRate / 2.0)
        throw std::invalid_argument("Butterworth band limits must be within Nyquist");

    // Odd reflection about both end points keeps the signal and its slope continuous there, so
    // the filter starts from rest without an edge transient. 33 = three times the length of the
    // design's 11-coefficient polynomials.
    const std::size_t pad = std::min<std::size_t>(count - 1, 33);
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 2 * pad)
        throw std::length_error("Too many samples for DSPFilters");
    std::vector<double> work(count + 2 * pad);
    const double first = samples.front();
    const double last = samples.back();
    for (std::size_t i = 0; i < pad; ++i) {
        work[i] = 2.0 * first - samples[pad - i];
        work[pad + count + i] = 2.0 * last - samples[count - 2 - i];
    }
    std::copy(samples.begin(), samples.end(), work.begin() + static_cast<std::ptrdiff_t>(pad));

    ButterworthBandpass filter(sampleRate, lowHz, highHz);
    filter.filterZeroPhase(work);

    std::copy(work.begin() + static_cast<std::ptrdiff_t>(pad),
              work.begin() + static_cast<std::ptrdiff_t>(pad + count), work.begin());
    work.resize(count);
    return work;
}

std::vector<double> analyticEnvelopePower(const std::vector<double> &samples)
{
    const std::size_t n = samples.size();
    if (n < 2)
        throw std::invalid_argument("Hilbert transform requires at least two samples");

    // z = x + i h, with h the Hilbert transform of x: keeping bin 0 and the Nyquist bin,
    // doubling bins 1 ... ceil(n/2) - 1 and zeroing the rest leaves Re(z) = x, while h is the
    // real signal whose half spectrum is -i X_k for those bins and 0 at DC and Nyquist. So one
    // real forward and one real inverse transform give z. The half spectrum is kept per thread:
    // fresh pages cost more than the transforms here.
    std::vector<Complex> local;
    const std::size_t bins = n / 2 + 1;
    std::vector<Complex> &half = bins <= keptScratchLength ? threadScratch() : local;
    half.resize(bins);
    FftBackend::realForward(samples.data(), half.data(), n);
    half[0] = 0.0;
    const std::size_t positiveEnd = (n + 1) / 2;
    for (std::size_t k = 1; k < positiveEnd; ++k)
        half[k] = {half[k].imag(), -half[k].real()};
    if (n % 2 == 0)
        half[n / 2] = 0.0;
    std::vector<double> power(n);
    FftBackend::realInverse(half.data(), power.data(), n);

    const double scale = 1.0 / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double h = power[i] * scale;
        power[i] = 0.5 * (samples[i] * samples[i] + h * h);
    }
    return power;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    const double fraction = p >= 0.0 ? std::min(p, 1.0) : 0.0; // NaN reads as 0
    const double position = fraction * static_cast<double>(values.size() - 1);
    const auto rank = static_cast<std::size_t>(std::floor(position));
    auto nth = values.begin() + static_cast<std::ptrdiff_t>(rank);
    std::nth_element(values.begin(), nth, values.end());
    const double lower = *nth;
    if (rank + 1 >= values.size())
        return lower;
    // After the selection the next rank is the smallest value behind the selected one.
    const double upper = *std::min_element(nth + 1, values.end());
    return lower + (upper - lower) * (position - static_cast<double>(rank));
}

double median(std::vector<double> values)
{
    return percentile(std::move(values), 0.5);
}

double upperMedian(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    auto nth = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), nth, values.end());
    return *nth;
}

double powerToDb(double power)
{
    return 10.0 * std::log10(std::max(power, 1e-20));
}

double mean(const std::vector<double> &values)
{
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::size_t nextFastLength(std::size_t n)
{
    for (std::size_t candidate = std::max<std::size_t>(n, 1);; ++candidate) {
        std::size_t rest = candidate;
        for (std::size_t factor : {2u, 3u, 5u, 7u, 11u})
            while (rest % factor == 0)
                rest /= factor;
        if (rest == 1)
            return candidate;
    }
}

} // namespace NativeDsp
