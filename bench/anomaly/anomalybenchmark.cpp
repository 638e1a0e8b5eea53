// corvin-bench-anomaly: cost of one live feature bank update (one second of audio) at the
// common input rates, on one core, with a realistic signal: noise, two steady tones and a
// pulsed carrier, all structural and tone analyses warm (8 s of history).

#include "decisionengine.h"
#include "livefeaturebank.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<qint16> busySignal(int rate, int seconds)
{
    std::mt19937 generator(11);
    std::normal_distribution<double> gauss(0.0, 1500.0);
    std::vector<qint16> pcm(static_cast<std::size_t>(rate) * static_cast<std::size_t>(seconds));
    const double twoPi = 6.283185307179586;
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const bool keyed = std::fmod(t, 0.2) < 0.05;
        const double v = gauss(generator) + 3000 * std::sin(twoPi * 1000 * t) +
                         2000 * std::sin(twoPi * 2200 * t) +
                         (keyed ? 6000 * std::sin(twoPi * 1500 * t) : 0.0);
        pcm[i] = static_cast<qint16>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, v))));
    }
    return pcm;
}

void featureBankUpdate(benchmark::State &state)
{
    const auto rate = static_cast<int>(state.range(0));
    const std::vector<qint16> pcm = busySignal(rate, 10);
    LiveFeatureBank bank;
    bank.configure(rate, 80, 6000);
    FeatureUpdate update;
    std::size_t next = 0;
    // Warm-up: a full structural history, so every analysis runs in the measured updates.
    for (int s = 0; s < 9; ++s) {
        for (int i = 0; i < rate; ++i)
            bank.pushSample(pcm[next++ % pcm.size()], &update);
    }
    double computeMs = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < rate; ++i) {
            if (bank.pushSample(pcm[next++ % pcm.size()], &update))
                computeMs = update.computeMs;
        }
        benchmark::DoNotOptimize(update);
    }
    state.counters["computeMs"] = computeMs;
}
BENCHMARK(featureBankUpdate)
    ->Arg(44100)
    ->Arg(48000)
    ->Arg(96000)
    ->Arg(192000)
    ->Unit(benchmark::kMillisecond);

void decisionStep(benchmark::State &state)
{
    DecisionEngine engine;
    DecisionConfig config;
    config.learn = 300;
    engine.reset(config);
    FeatureUpdate update;
    update.historyRows = 64;
    std::mt19937 generator(5);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (auto _ : state) {
        for (double &v : update.values)
            v = gauss(generator);
        benchmark::DoNotOptimize(engine.step(update));
    }
}
BENCHMARK(decisionStep)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
