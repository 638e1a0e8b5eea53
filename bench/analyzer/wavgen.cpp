// corvin-bench-wavgen OUT.wav HOURS [RATE [CHANNELS]]: writes a 16-bit recording of HOURS (may
// be fractional) at RATE Hz (default 48000) with noise, two steady tones and periodic tone-burst
// trains in nine audio bands, streamed in one-second blocks so any length fits in constant
// memory. With more than one channel (default 1, at most 64) the first carries the signal and
// every other one the same at half the amplitude, so the analysis picks the first: a
// multi-channel file costs the analysis what its mono twin costs, apart from the channels.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct Train
{
    double frequencyHz;
    double periodSeconds;
    double widthSeconds;
    double amplitude;
};

// Bursts cover at least 4 % of the time in every band so each band stands out in every block.
const Train trains[] = {
    {450, 1.0, 0.050, 0.10},  {900, 1.5, 0.070, 0.08},  {1350, 2.0, 0.090, 0.12},
    {1800, 0.8, 0.040, 0.06}, {2300, 2.5, 0.110, 0.09}, {2900, 1.2, 0.060, 0.07},
    {3500, 3.0, 0.130, 0.10}, {4200, 0.9, 0.045, 0.05}, {5100, 1.7, 0.080, 0.08},
};

void put16(std::FILE *f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xff),
                                static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE *f, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        std::fputc(static_cast<int>((v >> (8 * i)) & 0xff), f);
}

} // namespace

int main(int argc, char *argv[])
{
    const int fs = argc > 3 ? std::atoi(argv[3]) : 48000;
    const int channels = argc > 4 ? std::atoi(argv[4]) : 1;
    if (argc < 3 || argc > 5 || fs < 8000 || fs > 192000 || channels < 1 || channels > 64) {
        std::fprintf(stderr, "usage: corvin-bench-wavgen OUT.wav HOURS [RATE [CHANNELS]]\n");
        return 2;
    }
    const auto frames = static_cast<std::uint64_t>(std::atof(argv[2]) * 3600.0 * fs);
    const std::uint64_t dataBytes = 2 * frames * static_cast<std::uint64_t>(channels);
    const bool rf64 = dataBytes + 36 > 0xffffffffull;
    std::FILE *f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    std::fwrite(rf64 ? "RF64" : "RIFF", 1, 4, f);
    put32(f, rf64 ? 0xffffffffu : static_cast<std::uint32_t>(dataBytes + 36));
    std::fwrite("WAVE", 1, 4, f);
    if (rf64) {
        std::fwrite("ds64", 1, 4, f);
        put32(f, 28);
        const std::uint64_t riff = dataBytes + 36 + 36;
        for (std::uint64_t v : {riff, dataBytes, frames}) {
            put32(f, static_cast<std::uint32_t>(v));
            put32(f, static_cast<std::uint32_t>(v >> 32));
        }
        put32(f, 0);
    }
    std::fwrite("fmt ", 1, 4, f);
    put32(f, 16);
    put16(f, 1);
    put16(f, static_cast<std::uint16_t>(channels));
    put32(f, static_cast<std::uint32_t>(fs));
    put32(f, static_cast<std::uint32_t>(2 * fs * channels));
    put16(f, static_cast<std::uint16_t>(2 * channels));
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, rf64 ? 0xffffffffu : static_cast<std::uint32_t>(dataBytes));

    std::mt19937 generator(12345);
    std::normal_distribution<double> noise(0.0, 0.003);
    const double pi = std::acos(-1.0);
    std::vector<unsigned char> block;
    for (std::uint64_t start = 0; start < frames; start += fs) {
        const std::uint64_t count = std::min<std::uint64_t>(fs, frames - start);
        const auto width = static_cast<std::size_t>(channels);
        block.resize(2 * count * width);
        for (std::uint64_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(start + i) / fs;
            double x = noise(generator) + 0.02 * std::sin(2 * pi * 60.0 * t) +
                       0.01 * std::sin(2 * pi * 1000.0 * t);
            for (const Train &train : trains) {
                const double phase = std::fmod(t, train.periodSeconds);
                if (phase < train.widthSeconds) {
                    const double shape = std::sin(pi * phase / train.widthSeconds);
                    x += train.amplitude * shape * shape * std::sin(2 * pi * train.frequencyHz * t);
                }
            }
            for (std::size_t c = 0; c < width; ++c) {
                const double y = c == 0 ? x : 0.5 * x;
                const long v = std::lround(std::fmax(-32768.0, std::fmin(32767.0, y * 32768.0)));
                const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
                const std::size_t at = 2 * (i * width + c);
                block[at] = static_cast<unsigned char>(u & 0xff);
                block[at + 1] = static_cast<unsigned char>(u >> 8);
            }
        }
        if (std::fwrite(block.data(), 1, block.size(), f) != block.size()) {
            std::perror(argv[1]);
            return 1;
        }
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
