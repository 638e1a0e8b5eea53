#include "bandpulsepass.h"

#include "analysismath.h"
#include "nativedsp.h"

#include <algorithm>
#include <cmath>

namespace NativeWav {

namespace {

// Centred moving average of env over width samples, into out: output i is the mean of samples
// i - width/2 ... i - width/2 + width - 1, with the ends mirrored (index -1 reads sample 0,
// index n reads sample n - 1). A running sum, summed afresh every 1024 outputs so that rounding
// cannot build up.
void movingAverage(const std::vector<double> &env, std::size_t width, std::vector<double> &out)
{
    const auto n = static_cast<long long>(env.size());
    const auto w = static_cast<long long>(width);
    const auto at = [&](long long q) {
        const long long k = q < 0 ? -q - 1 : (q >= n ? 2 * n - q - 1 : q);
        return env[static_cast<std::size_t>(std::clamp(k, 0LL, n - 1))];
    };
    out.resize(env.size());
    double sum = 0.0;
    for (long long i = 0; i < n; ++i) {
        const long long first = i - w / 2;
        if (i % 1024 == 0) {
            sum = 0.0;
            for (long long q = first; q < first + w; ++q)
                sum += at(q);
        } else {
            sum += at(first + w - 1) - at(first - 1);
        }
        out[static_cast<std::size_t>(i)] = sum / static_cast<double>(width);
    }
}

// Binary closing (dilation, then erosion) with an odd window of 2 * half + 1 values; positions
// whose window reaches past either end come out inactive.
std::vector<char> closeActivity(const std::vector<char> &active, std::size_t half)
{
    const std::size_t n = active.size();
    std::vector<std::size_t> count(n + 1, 0);
    for (std::size_t k = 0; k < n; ++k)
        count[k + 1] = count[k] + (active[k] ? 1 : 0);
    std::vector<char> dilated(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t lo = k >= half ? k - half : 0;
        const std::size_t hi = std::min(k + half + 1, n);
        dilated[k] = count[hi] > count[lo];
    }
    for (std::size_t k = 0; k < n; ++k)
        count[k + 1] = count[k] + (dilated[k] ? 1 : 0);
    std::vector<char> closed(n, 0);
    for (std::size_t k = half; k + half < n; ++k)
        closed[k] = count[k + half + 1] - count[k - half] == 2 * half + 1;
    return closed;
}

} // namespace

BandPassSettings makeBandPassSettings(double sampleRate, std::uint64_t frames, double contrastDb)
{
    BandPassSettings s;
    s.sampleRate = sampleRate;
    s.frames = frames;
    s.blockFrames = static_cast<std::uint64_t>(std::llround(20.0 * sampleRate));
    s.padding = static_cast<std::uint64_t>(std::llround(0.35 * sampleRate));
    s.decimation =
        std::max<std::size_t>(static_cast<std::size_t>(std::floor(sampleRate)) / 1000, 1);
    s.smoothing =
        std::max<std::size_t>(static_cast<std::size_t>(std::llround(0.004 * sampleRate)), 1);
    s.closing = std::max<std::size_t>(static_cast<std::size_t>(std::llround(
                                          0.009 * sampleRate / static_cast<double>(s.decimation))),
                                      1);
    s.contrastDb = contrastDb;
    return s;
}

double eventFrequency(const double *y, std::size_t length, double sampleRate, double lowHz,
                      double highHz)
{
    if (length <= 4)
        return 0.0;
    const std::size_t m = NativeDsp::nextFastLength(
        std::max(length, static_cast<std::size_t>(std::llround(sampleRate / 3.0))));
    std::vector<double> input(m, 0.0);
    const double pi = std::acos(-1.0);
    for (std::size_t i = 0; i < length; ++i) {
        const double w =
            0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(length));
        input[i] = y[i] * w;
    }
    const std::vector<NativeDsp::Complex> x = NativeDsp::forwardRealFft(input);
    const double md = static_cast<double>(m);
    const std::size_t qLo =
        std::max<std::size_t>(static_cast<std::size_t>(std::ceil(md * lowHz / sampleRate)), 1);
    const std::size_t qHi =
        std::min(static_cast<std::size_t>(std::ceil(md * highHz / sampleRate)), m / 2);
    if (qLo >= qHi)
        return 0.0;
    std::size_t best = qLo;
    double bestPower = std::norm(x[qLo]);
    for (std::size_t q = qLo + 1; q < qHi; ++q) {
        const double power = std::norm(x[q]);
        if (power > bestPower) {
            bestPower = power;
            best = q;
        }
    }
    // best >= 1 and best < m / 2, so both neighbours exist.
    const double a = std::log(std::max(std::abs(x[best - 1]), 1e-25));
    const double b = std::log(std::max(std::abs(x[best]), 1e-25));
    const double c = std::log(std::max(std::abs(x[best + 1]), 1e-25));
    const double den = a - 2.0 * b + c;
    double delta = 0.0;
    if (den < 0.0)
        delta = std::clamp(0.5 * (a - c) / den, -0.5, 0.5);
    return (static_cast<double>(best) + delta) * sampleRate / md;
}

std::vector<PulseEvent> measureBandPulses(const SampleSource &read,
                                          const BandPassSettings &settings, double bandHz,
                                          double lowHz, double highHz,
                                          const std::atomic<bool> &cancel)
{
    const double fs = settings.sampleRate;
    const std::uint64_t n = settings.frames;
    const std::size_t d = settings.decimation;
    const double threshold = std::pow(10.0, settings.contrastDb / 10.0);
    std::vector<PulseEvent> events;
    std::vector<double> sm;
    for (std::uint64_t p = 0; p < n; p += settings.blockFrames) {
        throwIfCancelled(cancel);
        const std::uint64_t e = std::min(p + settings.blockFrames, n);
        const std::uint64_t s0 = p > settings.padding ? p - settings.padding : 0;
        const std::uint64_t s1 = std::min(e + settings.padding, n);
        if (s1 - s0 <= 33)
            continue;
        const std::vector<double> y =
            NativeDsp::zeroPhaseBandpass(read(s0, s1 - s0), fs, lowHz, highHz);
        const std::vector<double> env = NativeDsp::analyticEnvelopePower(y);
        movingAverage(env, settings.smoothing, sm);
        const std::size_t length = env.size();

        std::vector<double> decimated((length - 1) / d + 1);
        for (std::size_t k = 0; k < decimated.size(); ++k)
            decimated[k] = sm[k * d];
        const double floor = std::max(NativeDsp::median(decimated), 1e-14);
        const double level = floor * threshold;
        std::vector<char> active(decimated.size());
        for (std::size_t k = 0; k < decimated.size(); ++k)
            active[k] = decimated[k] >= level;
        if (settings.closing > 1)
            active = closeActivity(active, settings.closing / 2);

        for (std::size_t a = 0; a < active.size();) {
            if (!active[a]) {
                ++a;
                continue;
            }
            std::size_t b = a;
            while (b < active.size() && active[b])
                ++b;
            const std::size_t start = std::min(a * d, length);
            const std::size_t end = std::min(b * d, length);
            const bool atFileStart = a == 0 && s0 == 0;
            a = b;
            if (start >= end || static_cast<double>(end - start) / fs < 0.005 || atFileStart)
                continue;
            const double t =
                (static_cast<double>(s0) + static_cast<double>(start + end) / 2.0) / fs;
            if (t < static_cast<double>(p) / fs || t >= static_cast<double>(e) / fs)
                continue;

            const auto runBegin = sm.begin() + static_cast<std::ptrdiff_t>(start);
            const auto runEnd = sm.begin() + static_cast<std::ptrdiff_t>(end);
            const auto m =
                static_cast<std::size_t>(std::max_element(runBegin, runEnd) - sm.begin());
            const double peak = sm[m];
            const double half = floor + 0.25 * (peak - floor);
            std::size_t left = m;
            while (left > start && sm[left - 1] >= half)
                --left;
            std::size_t right = m;
            while (right + 1 < end && sm[right + 1] >= half)
                ++right;

            PulseEvent event;
            event.timeSeconds = t;
            event.startSeconds = static_cast<double>(s0 + start) / fs;
            event.endSeconds = static_cast<double>(s0 + end) / fs;
            event.widthMs = static_cast<double>(right - left + 1) * 1000.0 / fs;
            event.frequencyHz = eventFrequency(y.data() + start, end - start, fs, lowHz, highHz);
            event.peakDb = analysisDb(peak);
            event.snrDb = analysisDb(peak / floor);
            event.bandHz = bandHz;
            events.push_back(event);
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const PulseEvent &x, const PulseEvent &y) {
        return x.timeSeconds < y.timeSeconds;
    });
    return events;
}

} // namespace NativeWav
