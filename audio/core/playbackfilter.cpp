#include "playbackfilter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Band
{
    double low;
    double high;
};
constexpr Band kBands[2] = {{300.0, 3400.0}, {350.0, 2200.0}};

} // namespace

PlaybackFilter::PlaybackFilter(int sampleRate, int channels)
    : m_channels(std::clamp(channels, 1, maxChannels))
    , m_rampLength(std::max(1, sampleRate / 50))
{
    const double rate = sampleRate;
    for (size_t k = 0; k < m_filters.size(); ++k) {
        Filter &f = m_filters[k];
        f.low = kBands[k].low;
        f.high = std::min(kBands[k].high, 0.45 * rate);
        if (rate > 0.0 && f.low < f.high) {
            const std::vector<NativeDsp::BiquadSection> design =
                NativeDsp::designButterworthBandpass(sectionCount, (f.low + f.high) / 2.0 / rate,
                                                     (f.high - f.low) / rate,
                                                     NativeDsp::BandpassZeros::Split);
            std::copy(design.begin(), design.end(), f.sections.begin());
            f.designed = true;
        }
    }
}

void PlaybackFilter::selectPreset(int preset, bool ramp)
{
    std::array<double, 2> targets{};
    if (preset == Voice && m_filters[0].designed) {
        targets[0] = 1.0;
    } else if (preset == NarrowVoice && m_filters[1].designed) {
        targets[1] = 1.0;
    }
    if (targets == m_targetWeights) {
        return;
    }
    for (size_t k = 0; k < m_filters.size(); ++k) {
        if (m_weights[k] == 0.0 && targets[k] != 0.0) {
            m_filters[k].state = {};
        }
    }
    // The fade starts from where the mix is now, so a switch in the middle of a ramp is smooth.
    m_startWeights = m_weights;
    m_targetWeights = targets;
    if (ramp) {
        m_rampRemaining = m_rampLength;
    } else {
        m_rampRemaining = 0;
        m_weights = targets;
    }
}

double PlaybackFilter::run(Filter &filter, int channel, double x)
{
    ChannelState &st = filter.state[static_cast<size_t>(channel)];
    double in = x + st.guard;
    st.guard = -st.guard;
    for (size_t s = 0; s < filter.sections.size(); ++s) {
        const NativeDsp::BiquadSection &c = filter.sections[s];
        double &d1 = st.delays[2 * s];
        double &d2 = st.delays[2 * s + 1];
        const double w = in - c.a1 * d1 - c.a2 * d2;
        in = c.b0 * w + c.b1 * d1 + c.b2 * d2;
        d2 = d1;
        d1 = w;
    }
    return in;
}

void PlaybackFilter::process(qint16 *samples, int frameCount)
{
    if (m_rampRemaining == 0 && m_weights[0] == 0.0 && m_weights[1] == 0.0) {
        return;
    }
    for (int frame = 0; frame < frameCount; ++frame) {
        if (m_rampRemaining > 0) {
            --m_rampRemaining;
            const double progress = 1.0 - static_cast<double>(m_rampRemaining) / m_rampLength;
            for (size_t k = 0; k < m_weights.size(); ++k) {
                m_weights[k] =
                    m_startWeights[k] + (m_targetWeights[k] - m_startWeights[k]) * progress;
            }
        }
        qint16 *frameSamples = samples + frame * m_channels;
        for (int c = 0; c < m_channels; ++c) {
            const double x = frameSamples[c];
            double y = x;
            for (size_t k = 0; k < m_filters.size(); ++k) {
                if (m_weights[k] > 0.0) {
                    y += (run(m_filters[k], c, x) - x) * m_weights[k];
                }
            }
            frameSamples[c] = static_cast<qint16>(std::round(std::clamp(y, -32768.0, 32767.0)));
        }
    }
}
