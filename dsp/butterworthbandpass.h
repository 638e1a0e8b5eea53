#pragma once

// Order-5 Butterworth band-pass as five second-order sections in Direct Form II, designed by
// the bilinear band-pass mapping of the analog low-pass prototype and normalised to unit gain
// at the geometric centre of the band. Used by NativeDsp::zeroPhaseBandpass.

#include <array>
#include <vector>

namespace NativeDsp {

class ButterworthBandpass
{
public:
    // Edges in Hz, already validated: 0 < lowHz < highHz < sampleRate / 2.
    ButterworthBandpass(double sampleRate, double lowHz, double highHz);

    // Filters forward, reverses, filters again from rest and reverses back: zero phase and the
    // squared magnitude response. In place.
    void filterZeroPhase(std::vector<double> &signal) const;

    struct Section
    {
        double b0, b1, b2; // numerator
        double a1, a2;     // denominator 1 + a1 z^-1 + a2 z^-2
    };
    static constexpr int sectionCount = 5;

private:
    std::array<Section, sectionCount> m_sections{};
};

} // namespace NativeDsp
