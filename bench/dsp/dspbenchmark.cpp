// DSP engine throughput: the FFT wrappers against raw FFTW plans of the same size, the
// zero-phase band-pass on a 20 s block at 48 kHz, and WAV channel reads from a large file.

#include "nativedsp.h"
#include "wavimage.h"
#include "wavreader.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::vector<double> noise(std::size_t n)
{
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> distribution(-1.0, 1.0);
    std::vector<double> x(n);
    for (double &v : x)
        v = distribution(generator);
    return x;
}

void BM_RawFftwRealForward(benchmark::State &state)
{
    const auto n = static_cast<int>(state.range(0));
    double *in = fftw_alloc_real(static_cast<std::size_t>(n));
    fftw_complex *out = fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    const auto x = noise(static_cast<std::size_t>(n));
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out[1][0]);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void BM_WrappedRealForwardBuffers(benchmark::State &state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto x = noise(n);
    std::vector<NativeDsp::Complex> bins(n / 2 + 1);
    for (auto _ : state) {
        NativeDsp::forwardRealFft(x.data(), n, bins.data());
        benchmark::DoNotOptimize(bins[1]);
    }
}

void BM_WrappedRealForwardVector(benchmark::State &state)
{
    const auto x = noise(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto bins = NativeDsp::forwardRealFft(x);
        benchmark::DoNotOptimize(bins[1]);
    }
}

void BM_RawFftwComplexForward(benchmark::State &state)
{
    const auto n = static_cast<int>(state.range(0));
    fftw_complex *in = fftw_alloc_complex(static_cast<std::size_t>(n));
    fftw_complex *out = fftw_alloc_complex(static_cast<std::size_t>(n));
    fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    const auto x = noise(2 * static_cast<std::size_t>(n));
    std::copy(x.begin(), x.end(), &in[0][0]);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out[1][0]);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void BM_WrappedComplexForward(benchmark::State &state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto x = noise(2 * n);
    std::vector<NativeDsp::Complex> values(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = {x[2 * i], x[2 * i + 1]};
    for (auto _ : state) {
        auto result = NativeDsp::complexFft(values, NativeDsp::FftDirection::Forward);
        benchmark::DoNotOptimize(result[1]);
    }
}

void BM_ZeroPhaseBandpass(benchmark::State &state)
{
    const auto x = noise(20 * 48000);
    for (auto _ : state) {
        auto y = NativeDsp::zeroPhaseBandpass(x, 48000.0, 300.0, 3000.0);
        benchmark::DoNotOptimize(y[1000]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.size()));
}

void BM_AnalyticEnvelopePower(benchmark::State &state)
{
    const auto x = noise(20 * 48000 + 2 * 16800);
    for (auto _ : state) {
        auto power = NativeDsp::analyticEnvelopePower(x);
        benchmark::DoNotOptimize(power[1000]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.size()));
}

// A stereo 16-bit file of about 230 MB (20 minutes at 48 kHz), written on first use.
std::string largeFilePath;

const std::string &largeFile()
{
    if (largeFilePath.empty()) {
        largeFilePath = [] {
            const std::string name = "/tmp/corvin-bench-" + std::to_string(getpid()) + ".wav";
            const std::uint64_t frames = 20ull * 60 * 48000;
            WavFixture::WavImage header;
            header.format(1, 2, 48000, 16);
            WavFixture::Bytes bytes =
                header.chunk("data", {}, static_cast<std::uint32_t>(frames * 4), false).bytes();
            const std::uint32_t riffSize =
                static_cast<std::uint32_t>(bytes.size() - 8 + frames * 4);
            for (int i = 0; i < 4; ++i)
                bytes[4 + static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(riffSize >> (8 * i));
            std::ofstream file(name, std::ios::binary);
            file.write(reinterpret_cast<const char *>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            std::vector<char> block(48000 * 4);
            std::mt19937 generator(3);
            for (char &c : block)
                c = static_cast<char>(generator());
            for (std::uint64_t written = 0; written < frames; written += 48000)
                file.write(block.data(), static_cast<std::streamsize>(block.size()));
            return name;
        }();
    }
    return largeFilePath;
}

// The analyzer's access pattern: one channel in 20 s blocks through the whole file.
void BM_ReadChannel(benchmark::State &state)
{
    NativeWav::WavReader reader;
    reader.open(largeFile());
    const std::uint64_t block = 20 * 48000;
    for (auto _ : state) {
        for (std::uint64_t first = 0; first < reader.frameCount(); first += block) {
            auto samples = reader.readChannel(first, block, 1);
            benchmark::DoNotOptimize(samples[0]);
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(reader.frameCount() * reader.blockAlign()));
}

} // namespace

BENCHMARK(BM_RawFftwRealForward)->Arg(64)->Arg(4096)->Arg(48000);
BENCHMARK(BM_WrappedRealForwardBuffers)->Arg(64)->Arg(4096)->Arg(48000);
BENCHMARK(BM_WrappedRealForwardVector)->Arg(4096)->Arg(48000);
BENCHMARK(BM_RawFftwComplexForward)->Arg(4096)->Arg(48000);
BENCHMARK(BM_WrappedComplexForward)->Arg(4096)->Arg(48000);
BENCHMARK(BM_ZeroPhaseBandpass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyticEnvelopePower)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadChannel)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!largeFilePath.empty())
        std::remove(largeFilePath.c_str());
    return 0;
}
