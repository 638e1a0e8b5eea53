#pragma once

// Butterworth band-pass design of any order as cascaded second-order sections: the analog
// low-pass prototype's poles are carried over by the bilinear band-pass mapping, and the
// response is normalised to unit gain at the geometric centre of the band on the warped
// frequency axis. Shared by the analyzer's zero-phase band-pass and the live playback filter.
// Pure computation, any thread.

#include <vector>

namespace NativeDsp {

// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2), run in Direct Form II.
struct BiquadSection
{
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// How the band-pass zeros (one at z = -1 and one at z = +1 per analog pole) are dealt to the
// sections. The overall response is the same either way; only the level of the signal between
// the sections differs.
enum class BandpassZeros {
    // Of the two digital pole pairs of a conjugate analog pair, the first takes a double zero
    // at -1 and the second a double zero at +1; the pair of a real analog pole takes -1 and +1.
    Paired,
    // Every section takes one zero at -1 and one at +1 (numerator b0 (1 - z^-2)).
    Split,
};

// `order` sections (2 x order poles); none for an order below 1. centre and width are normalised to
// the sample rate (cycles per sample): the edges are centre -/+ width / 2, the lower one raised to
// at least 1e-8 / (2 pi), the upper one lowered to at most 1/2 - 1e-8 / (2 pi). The sections
// come in prototype order: for each conjugate analog pair the two digital pairs it maps to,
// then the real pole of an odd order. The unit-gain scaling sits in the first section's
// numerator.
std::vector<BiquadSection> designButterworthBandpass(int order, double centre, double width,
                                                     BandpassZeros zeros);

} // namespace NativeDsp
