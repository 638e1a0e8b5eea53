#pragma once

#include "butterworthdesign.h"

#include <QtGlobal>

#include <array>

// Optional voice filter of the "Listen on PC" path: two Butterworth band-passes ("Voice"
// 300-3400 Hz, "Narrow voice" 350-2200 Hz) with a 20 ms crossfade between presets, so switching
// never clicks. Processes interleaved 16-bit frames of one or two channels in place.
// Owned and used by the audio thread only; fixed state, no allocation while processing.
class PlaybackFilter
{
public:
    enum Preset { Off = 0, Voice = 1, NarrowVoice = 2 };
    static constexpr int presetCount = 3;
    static constexpr int maxChannels = 2;
    // Each filter is an eight-pole Butterworth band-pass: four second-order sections.
    static constexpr int sectionCount = 4;
    using Sections = std::array<NativeDsp::BiquadSection, sectionCount>;

    // Designs both filters for the sample rate (Hz); an upper edge above 0.45 x rate is lowered to
    // it, and a filter whose band vanishes stays undesigned (selecting it means Off).
    PlaybackFilter(int sampleRate, int channels);

    // Fades to the preset over the ramp (20 ms) or, without ramp, switches at once.
    void selectPreset(int preset, bool ramp);

    // Filters frameCount interleaved frames in place.
    void process(qint16 *samples, int frameCount);

    bool isDesigned(int filter) const { return m_filters[static_cast<size_t>(filter)].designed; }
    // Edges actually designed for a filter (0 = Voice, 1 = Narrow voice), Hz.
    double lowEdge(int filter) const { return m_filters[static_cast<size_t>(filter)].low; }
    double highEdge(int filter) const { return m_filters[static_cast<size_t>(filter)].high; }
    const Sections &sections(int filter) const
    {
        return m_filters[static_cast<size_t>(filter)].sections;
    }
    double weight(int filter) const { return m_weights[static_cast<size_t>(filter)]; }
    int rampLength() const { return m_rampLength; }
    bool isRamping() const { return m_rampRemaining > 0; }

private:
    struct ChannelState
    {
        std::array<double, 2 * sectionCount> delays{};
        double guard = 1e-8;
    };
    struct Filter
    {
        bool designed = false;
        double low = 0.0;
        double high = 0.0;
        Sections sections;
        std::array<ChannelState, maxChannels> state;
    };

    double run(Filter &filter, int channel, double x);

    int m_channels;
    int m_rampLength;
    int m_rampRemaining = 0;
    std::array<Filter, 2> m_filters;
    std::array<double, 2> m_weights{};
    std::array<double, 2> m_startWeights{};
    std::array<double, 2> m_targetWeights{};
};
