#pragma once

#include <array>

// Butterworth band-pass design as cascaded second-order sections (direct form II convention:
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2)). Pure computation, any thread.

struct BiquadSection
{
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// A band-pass from a 4-pole analog low-pass prototype: four sections (eight poles).
using BandpassSections = std::array<BiquadSection, 4>;

// Designs the band-pass for centre and width normalised to the sample rate (cycles per sample,
// 0 < centre < 0.5). The response is scaled to unit gain at the geometric centre of the band.
BandpassSections designButterworthBandpass(double centre, double width);
