#include "audiosynth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr int wfm = 0, nfm = 1, usb = 3, lsb = 4, cw = 5, sfm = 6;
constexpr int harmonics = 24;
constexpr double fskShiftHz = 170.0;
constexpr double fskBaud = 45.45;
constexpr double sweepSpanHz = 2500.0;
constexpr double sweepPeriodS = 60.0;

double wrap(double phase)
{
    return std::fmod(phase, twoPi * 1000.0);
}

// RBJ biquad coefficients b0, b1, b2, a1, a2 (normalised by a0) of a high- or low-pass.
void designBiquad(double *c, double rate, double cornerHz, bool highPass)
{
    const double w = twoPi * cornerHz / rate;
    const double alpha = std::sin(w) / (2.0 * std::sqrt(0.5));
    const double cosw = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double b1 = highPass ? -(1.0 + cosw) : 1.0 - cosw;
    const double b0 = highPass ? (1.0 + cosw) / 2.0 : (1.0 - cosw) / 2.0;
    c[0] = b0 / a0;
    c[1] = b1 / a0;
    c[2] = b0 / a0;
    c[3] = -2.0 * cosw / a0;
    c[4] = (1.0 - alpha) / a0;
}

} // namespace

AudioSynth::AudioSynth(int sampleRate)
    : m_rate(sampleRate)
{
    designBiquad(m_shapeCoefficients[0], m_rate, 250.0, true);
    designBiquad(m_shapeCoefficients[1], m_rate, std::min(2900.0, 0.45 * m_rate), false);
}

double AudioSynth::passband(double audioHz)
{
    if (audioHz <= 100.0 || audioHz >= 3100.0)
        return 0.0;
    if (audioHz < 300.0)
        return 0.5 - 0.5 * std::cos(M_PI * (audioHz - 100.0) / 200.0);
    if (audioHz > 2800.0)
        return 0.5 + 0.5 * std::cos(M_PI * (audioHz - 2800.0) / 300.0);
    return 1.0;
}

double AudioSynth::fmQuieting(double receivedLevel)
{
    const double depth = std::clamp((receivedLevel - 40.0) / 80.0, 0.0, 1.0);
    return std::pow(10.0, -depth * maxQuietingDb / 20.0);
}

double AudioSynth::emissionEnvelope(double seconds)
{
    constexpr double edge = 0.005;
    const double t = seconds - emissionDelayS;
    if (t <= 0.0 || t >= emissionLengthS)
        return 0.0;
    const double x = std::min(t, emissionLengthS - t) / edge;
    return x >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * x);
}

bool AudioSynth::isSidebandMode(int mode)
{
    return mode == usb || mode == lsb || mode == cw;
}

double AudioSynth::tone(double frequency)
{
    m_tonePhase = std::fmod(m_tonePhase + twoPi * frequency / m_rate, twoPi);
    return std::sin(m_tonePhase);
}

// A voice-like sound: a gliding fundamental with harmonics shaped by moving formants,
// in syllables of about 4 per second, words separated by pauses.
double AudioSynth::pitch(double time)
{
    return 125.0 + 35.0 * std::sin(twoPi * 0.7 * time);
}

double AudioSynth::formantWeight(double time, double frequency)
{
    const double formants[3] = {600.0 + 200.0 * std::sin(twoPi * 2.1 * time),
                                1500.0 + 400.0 * std::sin(twoPi * 1.3 * time), 2600.0};
    double weight = 0.0;
    for (double formant : formants) {
        const double x = (frequency - formant) / 250.0;
        weight += std::exp(-x * x);
    }
    return weight;
}

double AudioSynth::speechGate(double time)
{
    const double syllable = 0.5 * (1.0 - std::cos(twoPi * 4.0 * time));
    const bool inWord = std::fmod(time, 2.6) < 2.0;
    return inWord ? 0.35 * syllable : 0.0;
}

double AudioSynth::speech()
{
    const double f0 = pitch(m_time);
    m_pitchPhase = wrap(m_pitchPhase + twoPi * f0 / m_rate);
    const double gate = speechGate(m_time);
    if (gate == 0.0)
        return 0.0;
    double sum = 0.0;
    for (int k = 1; k <= harmonics; ++k)
        sum += formantWeight(m_time, k * f0) * std::sin(k * m_pitchPhase);
    return gate * sum;
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
    case AudioKind::Carrier:
    case AudioKind::Fsk:
    case AudioKind::Sweep:
        // A carrier demodulated in AM or FM is silent.
        return 0.0;
    case AudioKind::Noise:
        // White: flat across the audio band, about -30 dBFS in the voice band from a strong
        // station.
        return 0.2 * m_gauss(m_random);
    case AudioKind::Tone:
        return tone(std::clamp(1000.0 + shift, 50.0, m_rate / 2.5));
    case AudioKind::Emission: {
        const double envelope = emissionEnvelope(m_sinceTuning);
        const double sample = tone(std::clamp(emissionHz + shift, 50.0, m_rate / 2.5));
        return envelope * sample;
    }
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

double AudioSynth::shapedNoise()
{
    double x = m_gauss(m_random);
    for (int s = 0; s < 2; ++s) {
        const double *c = m_shapeCoefficients[s];
        double *z = m_shapeState[s];
        // Transposed direct form II.
        const double y = c[0] * x + z[0];
        z[0] = c[1] * x - c[3] * y + z[1];
        z[1] = c[2] * x - c[4] * y;
        x = y;
    }
    return 0.06 * x;
}

// One sample of a station heard on SSB or CW. Its sound is a set of components at baseband
// frequencies f (a tone, a voice's harmonics); the station's mode places them at RF: USB at
// offset + f, LSB at offset - f, AM both at half amplitude around a carrier, CW and FM as a
// carrier (keyed by the sound on CW). The receiver hears RF offset x at audio r x (r = +1 on
// USB and CW, -1 on LSB), through its passband.
double AudioSynth::voiceSample(Voice &voice, const SidebandStation &heard, int receiverSign)
{
    const SimStation &station = heard.station;
    const double step = 1.0 / m_rate;
    double rfOffset = static_cast<double>(heard.rfOffsetHz);
    if (station.kind == AudioKind::Fsk) {
        voice.bitTime += step;
        if (voice.bitTime >= 1.0 / fskBaud) {
            voice.bitTime -= 1.0 / fskBaud;
            voice.mark = (m_random() & 1u) != 0;
        }
        rfOffset += voice.mark ? fskShiftHz : 0.0;
    } else if (station.kind == AudioKind::Sweep) {
        const double x = std::fmod(voice.time, sweepPeriodS) / (sweepPeriodS / 2.0);
        rfOffset += sweepSpanHz * (x < 1.0 ? x : 2.0 - x);
    }
    voice.rfPhase = wrap(voice.rfPhase + twoPi * rfOffset / m_rate);
    const double time = voice.time;
    voice.time += step;

    const auto heardAt = [&](double offset) { return passband(receiverSign * offset); };
    const bool rfKind = station.kind == AudioKind::Carrier || station.kind == AudioKind::Fsk ||
                        station.kind == AudioKind::Sweep;
    if (rfKind)
        return heardAt(rfOffset) * std::sin(voice.rfPhase);
    if (station.kind == AudioKind::Noise)
        return heardAt(rfOffset) * 0.5 * m_gauss(m_random);

    // The sound: one tone (with an envelope) or a voice's harmonics.
    double toneHz = 0.0;
    double envelope = 0.0;
    switch (station.kind) {
    case AudioKind::Tone:
        toneHz = 1000.0;
        envelope = 1.0;
        break;
    case AudioKind::Bursts:
        toneHz = 1500.0;
        envelope = std::fmod(time, 1.2) < 0.25 ? 1.0 : 0.0;
        break;
    case AudioKind::Emission:
        toneHz = emissionHz;
        envelope = emissionEnvelope(m_sinceTuning);
        break;
    case AudioKind::Pulses: {
        const double sincePulse = std::fmod(time, 0.1);
        toneHz = 1000.0;
        envelope = sincePulse < 0.003 ? std::exp(-sincePulse * 800.0) : 0.0;
        break;
    }
    case AudioKind::Speech:
        envelope = speechGate(time);
        break;
    default:
        break;
    }
    const double f0 = pitch(time);
    voice.pitchPhase = wrap(voice.pitchPhase + twoPi * f0 / m_rate);
    voice.tonePhase = wrap(voice.tonePhase + twoPi * toneHz / m_rate);

    const int mode = station.mode;
    if (mode == cw)
        return heardAt(rfOffset) * envelope * std::sin(voice.rfPhase);
    if (mode == wfm || mode == nfm || mode == sfm)
        return heardAt(rfOffset) * std::sin(voice.rfPhase);
    // The sidebands: +1 upper, -1 lower; AM carries both at half amplitude and a carrier.
    const bool am = mode != usb && mode != lsb;
    double sum = am ? heardAt(rfOffset) * std::sin(voice.rfPhase) : 0.0;
    for (int side : {1, -1}) {
        if ((side == 1 && mode == lsb) || (side == -1 && mode == usb) || envelope == 0.0)
            continue;
        const double scale = am ? 0.5 * envelope : envelope;
        if (station.kind != AudioKind::Speech) {
            sum += scale * heardAt(rfOffset + side * toneHz) *
                   std::sin(voice.rfPhase + side * voice.tonePhase);
            continue;
        }
        for (int k = 1; k <= harmonics; ++k) {
            const double weight = heardAt(rfOffset + side * k * f0);
            if (weight > 0.0) {
                sum += scale * weight * formantWeight(time, k * f0) *
                       std::sin(voice.rfPhase + side * k * voice.pitchPhase);
            }
        }
    }
    return sum;
}

double AudioSynth::sidebandSample(const AudioScene &scene)
{
    const int receiverSign = scene.effectiveMode == lsb ? -1 : 1;
    double sample = shapedNoise();
    for (const SidebandStation &heard : scene.sideband) {
        const double gain = 0.2 + 0.5 * heard.station.level / 255.0;
        sample += gain * voiceSample(m_voices[heard.station.frequency], heard, receiverSign);
    }
    return sample;
}

void AudioSynth::render(const AudioScene &scene, float *out, int frames)
{
    const bool sideband = isSidebandMode(scene.effectiveMode);
    if (sideband) {
        // Stations no longer heard start afresh when they come back.
        for (auto it = m_voices.begin(); it != m_voices.end();) {
            const bool heard = std::any_of(
                scene.sideband.begin(), scene.sideband.end(),
                [&](const SidebandStation &s) { return s.station.frequency == it->first; });
            it = heard ? std::next(it) : m_voices.erase(it);
        }
    }
    if (scene.tunings != m_tunings) {
        m_tunings = scene.tunings;
        m_sinceTuning = 0.0;
    }
    const double level = scene.hasStation ? scene.station.level / 255.0 : 0.0;
    const double stationGain = scene.hasStation ? scene.strength * (0.2 + 0.5 * level) : 0.0;
    const int mode = scene.effectiveMode;
    const bool fm = mode == wfm || mode == nfm || mode == sfm;
    const double received = scene.hasStation ? scene.strength * scene.station.level : 0.0;
    const double noiseGain = bandNoiseAmplitude * (1.0 - 0.8 * std::min(1.0, stationGain * 3.0)) *
                             (fm ? fmQuieting(received) : 1.0);
    for (int i = 0; i < frames; ++i) {
        double sample = 0.0;
        if (scene.standby) {
            sample = 0.0;
        } else if (sideband) {
            sample = sidebandSample(scene);
        } else {
            // Band noise: white noise through a gentle low-pass.
            m_noiseState += 0.35 * (m_gauss(m_random) - m_noiseState);
            sample = noiseGain * m_noiseState * 2.0;
            if (stationGain > 0.0)
                sample += stationGain * stationSample(scene);
        }
        out[i] = static_cast<float>(std::clamp(sample, -1.0, 1.0));
        m_time += 1.0 / m_rate;
        m_sinceTuning += 1.0 / m_rate;
    }
}
