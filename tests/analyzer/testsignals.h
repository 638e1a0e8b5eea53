#pragma once

// Synthetic recordings for the analyzer tests: WAV writing and tone-burst signals.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace TestSignals {

// Writes interleaved samples in -1 ... 1 as 16-bit PCM (clamped; +1 maps to +32767) or as
// 32-bit float when asFloat is set.
inline bool writeWav(const QString &path, int sampleRate, int channels,
                     const std::vector<double> &interleaved, bool asFloat = false)
{
    const int bytes = asFloat ? 4 : 2;
    const auto dataBytes =
        static_cast<quint32>(interleaved.size() * static_cast<std::size_t>(bytes));
    QByteArray out;
    auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    out.append("RIFF", 4);
    put32(36 + dataBytes);
    out.append("WAVEfmt ", 8);
    put32(16);
    put16(asFloat ? 3 : 1);
    put16(static_cast<quint16>(channels));
    put32(static_cast<quint32>(sampleRate));
    put32(static_cast<quint32>(sampleRate * channels * bytes));
    put16(static_cast<quint16>(channels * bytes));
    put16(static_cast<quint16>(bytes * 8));
    out.append("data", 4);
    put32(dataBytes);
    for (double x : interleaved) {
        if (asFloat) {
            const float f = static_cast<float>(x);
            quint32 bits;
            std::memcpy(&bits, &f, 4);
            put32(bits);
        } else {
            const long v = std::lround(std::clamp(x * 32768.0, -32768.0, 32767.0));
            put16(static_cast<quint16>(static_cast<qint16>(v)));
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

// Envelope of a tone burst: Hann-shaped, or keyed (switched on and off abruptly, as a keyed
// carrier is).
enum class BurstShape { Hann, Keyed };

// Adds a tone burst of the given amplitude, centred at centreSeconds.
inline void addBurst(std::vector<double> &samples, int sampleRate, double centreSeconds,
                     double widthSeconds, double frequencyHz, double amplitude,
                     BurstShape shape = BurstShape::Hann)
{
    const double pi = std::acos(-1.0);
    const auto first =
        static_cast<long>(std::lround((centreSeconds - widthSeconds / 2) * sampleRate));
    const auto count = static_cast<long>(std::lround(widthSeconds * sampleRate));
    for (long i = 0; i < count; ++i) {
        const long k = first + i;
        if (k < 0 || k >= static_cast<long>(samples.size()))
            continue;
        const double envelope = shape == BurstShape::Keyed
                                    ? 1.0
                                    : 0.5 - 0.5 * std::cos(2 * pi * (static_cast<double>(i) + 0.5) /
                                                           static_cast<double>(count));
        samples[static_cast<std::size_t>(k)] +=
            amplitude * envelope *
            std::sin(2 * pi * frequencyHz * static_cast<double>(k) / sampleRate);
    }
}

// White noise of the given RMS, reproducible.
inline std::vector<double> noise(std::size_t count, double rms, unsigned seed = 7)
{
    std::mt19937 generator(seed);
    std::normal_distribution<double> normal(0.0, rms);
    std::vector<double> out(count);
    for (double &x : out)
        x = normal(generator);
    return out;
}

// A mono 16-bit recording of faint noise with 40 ms 1 kHz bursts every periodSeconds from
// periodSeconds / 2 on.
inline bool writePulsedWav(const QString &path, int sampleRate, double seconds,
                           double periodSeconds)
{
    std::vector<double> x = noise(static_cast<std::size_t>(seconds * sampleRate), 0.001);
    for (double t = periodSeconds / 2; t < seconds; t += periodSeconds)
        addBurst(x, sampleRate, t, 0.04, 1000, 0.3);
    return writeWav(path, sampleRate, 1, x);
}

} // namespace TestSignals
