#pragma once

// Generated 16-bit test signals for the anomaly tests: tones, square waves, sweeps and noise,
// and a helper that feeds them to a feature bank second by second.

#include "livefeaturebank.h"

#include <QtGlobal>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace AnomalySignals {

constexpr double twoPi = 6.283185307179586;

inline qint16 toPcm(double value)
{
    return static_cast<qint16>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, value))));
}

// Sum of steady tones (Hz) of one amplitude (full scale = 32768), `seconds` long.
inline std::vector<qint16> tones(int rate, double seconds, const std::vector<double> &hertz,
                                 double amplitude)
{
    const auto count = static_cast<std::size_t>(seconds * rate);
    std::vector<qint16> pcm(count);
    for (std::size_t i = 0; i < count; ++i) {
        double v = 0.0;
        for (double f : hertz)
            v += amplitude * std::sin(twoPi * f * static_cast<double>(i) / rate);
        pcm[i] = toPcm(v);
    }
    return pcm;
}

// A tone whose frequency moves linearly from f0 at rateHzPerS Hz per second.
inline std::vector<qint16> sweep(int rate, double seconds, double f0, double rateHzPerS,
                                 double amplitude)
{
    const auto count = static_cast<std::size_t>(seconds * rate);
    std::vector<qint16> pcm(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        pcm[i] = toPcm(amplitude * std::sin(twoPi * (f0 * t + 0.5 * rateHzPerS * t * t)));
    }
    return pcm;
}

// Gaussian noise of the given standard deviation (full scale = 32768), reproducible by seed.
inline std::vector<qint16> noise(int rate, double seconds, double sigma, unsigned seed)
{
    std::mt19937 generator(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<qint16> pcm(static_cast<std::size_t>(seconds * rate));
    for (qint16 &s : pcm)
        s = toPcm(gauss(generator));
    return pcm;
}

inline std::vector<qint16> mix(std::vector<qint16> a, const std::vector<qint16> &b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        a[i] = toPcm(double(a[i]) + double(b[i]));
    return a;
}

inline std::vector<qint16> concat(std::vector<qint16> a, const std::vector<qint16> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Feeds every sample and returns the updates produced, oldest first.
inline std::vector<FeatureUpdate> run(LiveFeatureBank &bank, const std::vector<qint16> &pcm)
{
    std::vector<FeatureUpdate> updates;
    FeatureUpdate update;
    for (qint16 s : pcm) {
        if (bank.pushSample(s, &update))
            updates.push_back(update);
    }
    return updates;
}

} // namespace AnomalySignals
