// corvin-bench-receiver: one exchange through the real driver and a pseudo-terminal against
// the simulated receiver on a line paced like 19200 baud 8N2. Reports the median time of an
// exchange and how much of it lies beyond the wire time of its bytes (the driver's and the
// operating system's overhead; the target is at most 2 ms).
#include "corvindriver.h"
#include "rxsimulator.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace {

struct Rig
{
    Rig()
    {
        QString error;
        ready = sim.start(&error) && driver.openPort(sim.portPath());
        sim.setWireLogKept(false);
    }
    RxSimulator sim;
    Corvindriver driver;
    bool ready = false;
};

void measure(benchmark::State &state, const QString &command, const QByteArray &prefix,
             int replyBytes)
{
    Rig rig;
    if (!rig.ready) {
        state.SkipWithError("simulator or port not available");
        return;
    }
    std::vector<double> times;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        const auto result = rig.driver.exchange(command, prefix, nullptr, nullptr,
                                                Corvindriver::RetryPolicy::SingleTry);
        times.push_back(clock.nsecsElapsed() / 1e6);
        if (result != Corvindriver::ExchangeResult::Ok) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const int wireBytes = command.size() + 1 + replyBytes;
    const double wire = wireBytes * RxSimulator::byteTimeNs / 1e6;
    state.counters["median_ms"] = median;
    state.counters["wire_ms"] = wire;
    state.counters["overhead_ms"] = median - wire;
    state.counters["p90_ms"] = times[times.size() * 9 / 10];
    state.counters["max_ms"] = times.back();
}

// "LM" and its level reply "LMxx" + CR.
void levelExchange(benchmark::State &state)
{
    measure(state, QStringLiteral("LM"), "LM", 5);
}

// "RF" + ten digits, acknowledged by a bare CR.
void tuneExchange(benchmark::State &state)
{
    measure(state, QStringLiteral("RF0089100000"), QByteArray(), 1);
}

} // namespace

BENCHMARK(levelExchange)->Iterations(400)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(tuneExchange)->Iterations(400)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
