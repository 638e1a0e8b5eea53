#pragma once

// Zero-phase runner of the order-5 Butterworth band-pass (five second-order sections in Direct
// Form II, zeros paired per section) used by NativeDsp::zeroPhaseBandpass.

#include "butterworthdesign.h"

#include <vector>

namespace NativeDsp {

class ButterworthBandpass
{
public:
    static constexpr int order = 5;

    // Edges in Hz, already validated: 0 < lowHz < highHz < sampleRate / 2.
    ButterworthBandpass(double sampleRate, double lowHz, double highHz);

    // Filters forward, reverses, filters again from rest and reverses back: zero phase and the
    // squared magnitude response. In place.
    void filterZeroPhase(std::vector<double> &signal) const;

private:
    std::vector<BiquadSection> m_sections;
};

} // namespace NativeDsp
