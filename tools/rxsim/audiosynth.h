#pragma once

#include "rxsimulator.h"

#include <random>

// Generates the receiver's demodulated audio for an AudioScene: the tuned station's
// sound (by its audio kind, weighted by how well it is received) over band noise;
// silence in standby. Keeps its oscillators running between calls. Not thread-safe.
class AudioSynth
{
public:
    explicit AudioSynth(int sampleRate);

    // Writes `frames` mono samples in -1..1.
    void render(const AudioScene &scene, float *out, int frames);

    static constexpr double bandNoiseAmplitude = 0.03;

private:
    double stationSample(const AudioScene &scene);
    double tone(double frequency);
    double speech();

    double m_rate;
    double m_time = 0.0; // seconds since start
    double m_tonePhase = 0.0;
    double m_pitchPhase = 0.0;
    double m_noiseState = 0.0;
    std::mt19937 m_random{99u};
    std::normal_distribution<double> m_gauss{0.0, 1.0};
};
