#pragma once

#include "rxsimulator.h"

#include <map>
#include <random>

// Generates the receiver's demodulated audio for an AudioScene: silence in standby; on AM and
// FM the tuned station's sound (by its audio kind, weighted by how well it is received) over
// band noise, which on FM a strong station quiets; on USB, LSB and CW every station of the scene's
// sideband list at its RF offset (USB and CW: audio = RF - tuned; LSB: tuned - RF) through a
// 100-3100 Hz passband over a noise floor of the same shape. Keeps its oscillators running between
// calls. Not thread-safe.
class AudioSynth
{
public:
    explicit AudioSynth(int sampleRate);

    // Writes `frames` mono samples in -1..1.
    void render(const AudioScene &scene, float *out, int frames);

    static constexpr double bandNoiseAmplitude = 0.03;
    // An emission's keyed tone: its pitch, when it starts after a tuning and how long it lasts.
    static constexpr double emissionHz = 1250.0;
    static constexpr double emissionDelayS = 0.4;
    static constexpr double emissionLengthS = 0.15;
    // How far a received S-meter level (0-255) quiets the band noise on FM: not at all up to
    // 40, fully (by maxQuietingDb) from 120.
    static constexpr double maxQuietingDb = 40.0;
    static double fmQuieting(double receivedLevel);
    // Envelope 0..1 of the emission's tone, `seconds` after a tuning (5 ms raised-cosine edges).
    static double emissionEnvelope(double seconds);
    // Stations this far beyond half their width from the tuned frequency cannot be heard on SSB.
    static constexpr qint64 sidebandReachHz = 6000;
    // The receiver's SSB passband: full response 300-2800 Hz, raised-cosine edges down to 0 at
    // 100 and 3100 Hz.
    static double passband(double audioHz);
    // USB, LSB and CW.
    static bool isSidebandMode(int mode);

private:
    // The oscillators of one station heard on SSB.
    struct Voice
    {
        double rfPhase = 0.0;    // of the station's RF offset (carrier, FSK and sweep included)
        double pitchPhase = 0.0; // of a voice's fundamental
        double tonePhase = 0.0;  // of a tone, burst or pulse
        double time = 0.0;       // seconds since the station was first heard
        bool mark = false;       // FSK: the upper of the two tones
        double bitTime = 0.0;    // FSK: seconds into the current bit
    };

    double stationSample(const AudioScene &scene);
    double tone(double frequency);
    double speech();
    double sidebandSample(const AudioScene &scene);
    double voiceSample(Voice &voice, const SidebandStation &heard, int receiverSign);
    double shapedNoise();
    static double formantWeight(double time, double frequency);
    static double speechGate(double time);
    static double pitch(double time);

    double m_rate;
    double m_time = 0.0; // seconds since start
    quint64 m_tunings = 0;
    double m_sinceTuning = 1e9; // seconds since the receiver was last tuned
    double m_tonePhase = 0.0;
    double m_pitchPhase = 0.0;
    double m_noiseState = 0.0;
    // Two biquad sections shaping the SSB noise floor (high-pass, low-pass): coefficients
    // b0, b1, b2, a1, a2 and two states each.
    double m_shapeCoefficients[2][5] = {};
    double m_shapeState[2][2] = {};
    std::map<quint64, Voice> m_voices; // by station frequency
    std::mt19937 m_random{99u};
    std::normal_distribution<double> m_gauss{0.0, 1.0};
};
