// The spectrum features' per-frame and per-slice costs: a live FFT archive frame of 2049 bins
// written to a file (and its size, as MB per hour at 48 kHz), Welch's estimate of one
// synthetic slice at 48 kHz, and the synthetic grid's update and trace rebuild at 20 001 and
// 500 001 bins.

#include "blockspectrum.h"
#include "fftarchivewriter.h"
#include "syntheticgrid.h"
#include "welchpsd.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr int rate = 48000;

// A noisy floor near -85 dBFS with a few carriers, like a live audio spectrum.
QVector<double> liveSpectrum(int bins, std::mt19937 &generator)
{
    std::exponential_distribution<double> power(1.0);
    QVector<double> magnitudes(bins);
    for (int k = 0; k < bins; ++k)
        magnitudes[k] = -85.0 + 10.0 * std::log10(power(generator) + 1e-12);
    for (int k : {85, 171, 600, 1200})
        magnitudes[k] = -20.0;
    return magnitudes;
}

void BM_ArchiveFrame(benchmark::State &state)
{
    constexpr int bins = BlockSpectrum::size / 2 + 1;
    QTemporaryDir dir;
    FftArchiveWriter writer;
    QString error;
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    if (!writer.open(dir.filePath("fft.jsonl"), bins, 0.0, double(rate) / BlockSpectrum::size, utc,
                     &error)) {
        state.SkipWithError("cannot open the archive");
        return;
    }
    std::mt19937 generator(3);
    QVector<QVector<double>> frames;
    for (int i = 0; i < 64; ++i)
        frames.append(liveSpectrum(bins, generator));
    const qint64 before = QFileInfo(writer.fileName()).size();
    int i = 0;
    for (auto _ : state) {
        if (!writer.append(frames[i++ % frames.size()], 7050000, utc, &error)) {
            state.SkipWithError("write failed");
            return;
        }
    }
    const qint64 frameCount = writer.frames();
    writer.close(utc, &error);
    const double bytesPerFrame =
        double(QFileInfo(dir.filePath("fft.jsonl")).size() - before) / double(frameCount);
    const double framesPerHour = 3600.0 * rate / BlockSpectrum::size;
    state.counters["bytes_per_frame"] = bytesPerFrame;
    state.counters["MB_per_hour"] = bytesPerFrame * framesPerHour / 1e6;
}
BENCHMARK(BM_ArchiveFrame)->Unit(benchmark::kMicrosecond);

// One slice: binHz, capture milliseconds.
void BM_WelchSlice(benchmark::State &state)
{
    const int binHz = static_cast<int>(state.range(0));
    const auto count = static_cast<std::size_t>(rate) * std::size_t(state.range(1)) / 1000;
    std::mt19937 generator(5);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> samples(count);
    for (std::size_t n = 0; n < count; ++n)
        samples[n] = 0.3 * std::sin(2.0 * M_PI * 1000.0 * double(n) / rate) + noise(generator);
    int windows = 0;
    for (auto _ : state) {
        const WelchPsd psd = welchPsd(samples.data(), samples.size(), rate, binHz);
        windows = psd.windows;
        benchmark::DoNotOptimize(psd.power.data());
    }
    state.counters["windows"] = windows;
    state.counters["points"] = rate / binHz;
}
// The defaults (5 Hz, 1000 ms: 9 windows of 9600 points), then 1 Hz and 50 Hz over 5000 ms.
BENCHMARK(BM_WelchSlice)
    ->Args({5, 1000})
    ->Args({1, 5000})
    ->Args({50, 5000})
    ->Unit(benchmark::kMillisecond);

// A grid of range(0) bins of 5 Hz, every bin covered by slices 1 kHz apart.
SyntheticGrid coveredGrid(int bins, QVector<double> &slice)
{
    const qint64 start = 4600000;
    SyntheticGrid grid(start, start + qint64(bins - 1) * 5, 5);
    slice = QVector<double>(rate / 5 / 2 + 1, 1e-9);
    for (qint64 tuned = start - 2300; tuned < grid.endHz(); tuned += 1000)
        grid.combine(tuned, 5.0, slice, 300, 2300);
    return grid;
}

void BM_GridUpdate(benchmark::State &state)
{
    QVector<double> slice;
    SyntheticGrid grid = coveredGrid(static_cast<int>(state.range(0)), slice);
    const qint64 tuned = grid.startHz() + (grid.endHz() - grid.startHz()) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(grid.combine(tuned, 5.0, slice, 300, 2300));
}
BENCHMARK(BM_GridUpdate)->Arg(20001)->Arg(500001)->Unit(benchmark::kMicrosecond);

void BM_TraceRebuild(benchmark::State &state)
{
    QVector<double> slice;
    const SyntheticGrid grid = coveredGrid(static_cast<int>(state.range(0)), slice);
    for (auto _ : state) {
        const SyntheticTrace trace = SyntheticTrace::fromGrid(grid);
        benchmark::DoNotOptimize(trace.points.constData());
    }
}
BENCHMARK(BM_TraceRebuild)->Arg(20001)->Arg(500001)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
