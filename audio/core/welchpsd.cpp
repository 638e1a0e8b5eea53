#include "welchpsd.h"

#include "nativedsp.h"

#include <stdexcept>

WelchPsd welchPsd(const double *samples, std::size_t count, int sampleRate, int binHz)
{
    if (sampleRate < 1 || binHz < 1)
        throw std::invalid_argument("Invalid sample rate or bin");
    const std::size_t n = static_cast<std::size_t>(sampleRate / binHz);
    if (n < 4 || count < n)
        throw std::invalid_argument("Insufficient samples");

    WelchPsd result;
    result.spacing = double(sampleRate) / double(n);
    const std::size_t bins = n / 2 + 1;
    result.power.assign(bins, 0.0);
    const std::vector<double> window = NativeDsp::hannWindow(n);
    double windowPower = 0.0;
    for (double w : window)
        windowPower += w * w;
    const double norm = 1.0 / (double(sampleRate) * windowPower);

    std::vector<double> segment(n);
    std::vector<NativeDsp::Complex> spectrum(bins);
    const std::size_t hop = n / 2;
    for (std::size_t start = 0; start + n <= count; start += hop) {
        double mean = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            mean += samples[start + i];
        mean /= double(n);
        for (std::size_t i = 0; i < n; ++i)
            segment[i] = (samples[start + i] - mean) * window[i];
        NativeDsp::forwardRealFft(segment.data(), n, spectrum.data());
        for (std::size_t k = 0; k < bins; ++k) {
            const bool single = k == 0 || (n % 2 == 0 && k == n / 2);
            result.power[k] += (single ? 1.0 : 2.0) * std::norm(spectrum[k]) * norm;
        }
        ++result.windows;
    }
    for (double &p : result.power)
        p /= result.windows;

    std::size_t clipped = 0;
    for (std::size_t i = 0; i < count; ++i)
        clipped += samples[i] >= 32767.0 / 32768.0 || samples[i] <= -1.0 ? 1 : 0;
    result.clipped = double(clipped) / double(count);
    return result;
}
