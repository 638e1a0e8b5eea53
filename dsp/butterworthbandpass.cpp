#include "butterworthbandpass.h"

#include <algorithm>

namespace NativeDsp {

ButterworthBandpass::ButterworthBandpass(double sampleRate, double lowHz, double highHz)
    : m_sections(designButterworthBandpass(order, (lowHz + highHz) / 2.0 / sampleRate,
                                           (highHz - lowHz) / sampleRate, BandpassZeros::Paired))
{}

void ButterworthBandpass::filterZeroPhase(std::vector<double> &signal) const
{
    // A tiny offset of alternating sign on the first section's input keeps the recursion out of
    // denormal numbers when the signal decays to silence. It runs on across both passes.
    double offset = 1e-8;
    const auto pass = [this, &signal, &offset] {
        double w1[order] = {};
        double w2[order] = {};
        for (double &sample : signal) {
            offset = -offset;
            double x = sample + offset;
            for (int i = 0; i < order; ++i) {
                const BiquadSection &s = m_sections[static_cast<std::size_t>(i)];
                const double w = x - s.a1 * w1[i] - s.a2 * w2[i];
                x = s.b0 * w + s.b1 * w1[i] + s.b2 * w2[i];
                w2[i] = w1[i];
                w1[i] = w;
            }
            sample = x;
        }
    };
    pass();
    std::reverse(signal.begin(), signal.end());
    pass();
    std::reverse(signal.begin(), signal.end());
}

} // namespace NativeDsp
