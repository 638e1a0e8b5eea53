#include "audiosynth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr int usb = 3, lsb = 4, cw = 5;

} // namespace

AudioSynth::AudioSynth(int sampleRate)
    : m_rate(sampleRate)
{}

double AudioSynth::tone(double frequency)
{
    m_tonePhase = std::fmod(m_tonePhase + twoPi * frequency / m_rate, twoPi);
    return std::sin(m_tonePhase);
}

// A voice-like sound: a gliding fundamental with harmonics shaped by moving formants,
// in syllables of about 4 per second, words separated by pauses.
double AudioSynth::speech()
{
    const double f0 = 125.0 + 35.0 * std::sin(twoPi * 0.7 * m_time);
    m_pitchPhase = std::fmod(m_pitchPhase + twoPi * f0 / m_rate, twoPi * 1000.0);
    const double formants[3] = {600.0 + 200.0 * std::sin(twoPi * 2.1 * m_time),
                                1500.0 + 400.0 * std::sin(twoPi * 1.3 * m_time), 2600.0};
    double sum = 0.0;
    for (int k = 1; k <= 24; ++k) {
        const double f = k * f0;
        double weight = 0.0;
        for (double formant : formants) {
            const double x = (f - formant) / 250.0;
            weight += std::exp(-x * x);
        }
        sum += weight * std::sin(k * m_pitchPhase);
    }
    const double syllable = 0.5 * (1.0 - std::cos(twoPi * 4.0 * m_time));
    const bool inWord = std::fmod(m_time, 2.6) < 2.0;
    return inWord ? 0.35 * sum * syllable : 0.0;
}

double AudioSynth::stationSample(const AudioScene &scene)
{
    const int mode = scene.effectiveMode;
    // On SSB and CW a tuning offset moves the pitch.
    double shift = 0.0;
    if (mode == usb || mode == cw)
        shift = -static_cast<double>(scene.offsetHz);
    else if (mode == lsb)
        shift = static_cast<double>(scene.offsetHz);
    switch (scene.station.kind) {
    case AudioKind::Silence:
        return 0.0;
    case AudioKind::Noise:
        return 0.5 * m_gauss(m_random);
    case AudioKind::Tone:
        return tone(std::clamp(1000.0 + shift, 50.0, m_rate / 2.5));
    case AudioKind::Speech:
        return speech();
    case AudioKind::Bursts: {
        const bool keyed = std::fmod(m_time, 1.2) < 0.25;
        const double sample = tone(std::clamp(1500.0 + shift, 50.0, m_rate / 2.5));
        return keyed ? sample : 0.0;
    }
    case AudioKind::Pulses: {
        const double sincePulse = std::fmod(m_time, 0.1);
        return sincePulse < 0.003 ? std::exp(-sincePulse * 800.0) * tone(1000.0) : 0.0;
    }
    }
    return 0.0;
}

void AudioSynth::render(const AudioScene &scene, float *out, int frames)
{
    const double level = scene.hasStation ? scene.station.level / 255.0 : 0.0;
    const double stationGain = scene.hasStation ? scene.strength * (0.2 + 0.5 * level) : 0.0;
    const double noiseGain = bandNoiseAmplitude * (1.0 - 0.8 * std::min(1.0, stationGain * 3.0));
    for (int i = 0; i < frames; ++i) {
        double sample = 0.0;
        if (!scene.standby) {
            // Band noise: white noise through a gentle low-pass.
            m_noiseState += 0.35 * (m_gauss(m_random) - m_noiseState);
            sample = noiseGain * m_noiseState * 2.0;
            if (stationGain > 0.0)
                sample += stationGain * stationSample(scene);
        }
        out[i] = static_cast<float>(std::clamp(sample, -1.0, 1.0));
        m_time += 1.0 / m_rate;
    }
}
