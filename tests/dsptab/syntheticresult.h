#pragma once

// Analysis results built by hand for the DSP tab's tests: a band, a spectrogram whose cells
// encode their row and column, and pulses where the test wants them.

#include "analysisresult.h"

#include <cstddef>
#include <vector>

namespace SyntheticResult {

inline NativeWav::PulseEvent pulse(double seconds, double hertz)
{
    NativeWav::PulseEvent e;
    e.timeSeconds = seconds;
    e.startSeconds = seconds - 0.01;
    e.endSeconds = seconds + 0.01;
    e.widthMs = 12.5;
    e.frequencyHz = hertz;
    e.peakDb = -30.0;
    e.snrDb = 20.0;
    e.bandHz = hertz;
    return e;
}

inline NativeWav::PulseTrain train(double bandHz, double lowHz, double highHz)
{
    NativeWav::PulseTrain t;
    t.periodSeconds = 0.5;
    t.bandHz = bandHz;
    t.lowHz = lowHz;
    t.highHz = highHz;
    return t;
}

// A 48 kHz mono result over lowHz ... highHz of the given duration with `rows` display rows
// every rowStepHz from lowHz and `columns` time columns; cell (r, c) holds -100 + r + c / 1000.
inline NativeWav::Result make(double durationSeconds = 2.0, double lowHz = 80.0,
                              double highHz = 6000.0, int rows = 10, double rowStepHz = 100.0,
                              int columns = 20)
{
    NativeWav::Result r;
    r.sampleRate = 48000;
    r.validBits = 16;
    r.channels = 1;
    r.channelUsed = 1;
    r.durationSeconds = durationSeconds;
    r.frames = static_cast<std::uint64_t>(durationSeconds * r.sampleRate);
    r.lowHz = lowHz;
    r.highHz = highHz;
    r.contrastDb = 12.0;
    r.timeColumns = columns;
    for (int row = 0; row < rows; ++row)
        r.displayFrequencies.push_back(lowHz + row * rowStepHz);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            r.spectrogramDb.push_back(static_cast<float>(-100.0 + row + column / 1000.0));
    }
    for (int column = 0; column < columns; ++column)
        r.levelDb.push_back(-40.0 + column % 7);
    for (double f = lowHz; f <= highHz; f += 10.0) {
        r.spectrumFrequencies.push_back(f);
        r.meanSpectrumDb.push_back(-70.0 + (static_cast<int>(f) % 300 == 0 ? 20.0 : 0.0));
    }
    return r;
}

// Isolated pulses evenly spread over the duration, at frequencies cycling through `hertz`.
inline void addIsolated(NativeWav::Result &r, std::size_t count, const std::vector<double> &hertz)
{
    for (std::size_t i = 0; i < count; ++i) {
        const double t =
            r.durationSeconds * (static_cast<double>(i) + 0.5) / static_cast<double>(count);
        r.events.push_back(pulse(t, hertz[i % hertz.size()]));
    }
}

} // namespace SyntheticResult
