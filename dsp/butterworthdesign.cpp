#include "butterworthdesign.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace NativeDsp {

namespace {

using Complex = std::complex<double>;
constexpr double pi = 3.14159265358979323846;

// The two digital values of one analog pole under the band-pass mapping with constants a, b.
struct DigitalPair
{
    Complex first;
    Complex second;
};

DigitalPair mapBandPass(Complex s, double a, double b)
{
    const double ab = a * b;
    const double k = b * b * (a * a - 1.0);
    const Complex c = (1.0 + s) / (1.0 - s);
    const Complex v = std::sqrt(4.0 * (k + 1.0) * c * c + 8.0 * (k - 1.0) * c + 4.0 * (k + 1.0));
    const Complex d = 2.0 * (b - 1.0) * c + 2.0 * (1.0 + b);
    const Complex base = 2.0 * ab * c + 2.0 * ab;
    return {(base - v) / d, (base + v) / d};
}

// 1 - (r1 + r2) z^-1 + r1 r2 z^-2 for a conjugate pair or two real roots.
void quadratic(Complex r1, Complex r2, double &c1, double &c2)
{
    c1 = -(r1 + r2).real();
    c2 = (r1 * r2).real();
}

BiquadSection section(Complex pole1, Complex pole2, Complex zero1, Complex zero2)
{
    BiquadSection s;
    quadratic(zero1, zero2, s.b1, s.b2);
    quadratic(pole1, pole2, s.a1, s.a2);
    return s;
}

Complex response(const BiquadSection &s, Complex zInverse)
{
    const Complex z2 = zInverse * zInverse;
    return (s.b0 + s.b1 * zInverse + s.b2 * z2) / (1.0 + s.a1 * zInverse + s.a2 * z2);
}

} // namespace

std::vector<BiquadSection> designButterworthBandpass(int order, double centre, double width,
                                                     BandpassZeros zeros)
{
    std::vector<BiquadSection> sections;
    if (order < 1)
        return sections;
    const double omegaWidth = 2.0 * pi * width;
    const double omega2 = std::max(2.0 * pi * centre - omegaWidth / 2.0, 1e-8);
    const double omega1 = std::min(omega2 + omegaWidth, pi - 1e-8);
    const double a = std::cos((omega1 + omega2) / 2.0) / std::cos((omega1 - omega2) / 2.0);
    const double b = 1.0 / std::tan((omega1 - omega2) / 2.0);

    // Analog prototype: conjugate pole pairs at angles pi/2 + (2k + 1) pi / (2 order) and, for
    // an odd order, one real pole at -1; its zeros at infinity map to -1 and +1.
    const Complex minusOne(-1.0, 0.0);
    const Complex plusOne(1.0, 0.0);
    const bool paired = zeros == BandpassZeros::Paired;
    sections.reserve(static_cast<std::size_t>(order));
    for (int k = 0; k < order / 2; ++k) {
        const double theta = pi / 2.0 + (2 * k + 1) * pi / (2.0 * order);
        const DigitalPair poles = mapBandPass(std::polar(1.0, theta), a, b);
        sections.push_back(
            section(poles.first, std::conj(poles.first), minusOne, paired ? minusOne : plusOne));
        sections.push_back(
            section(poles.second, std::conj(poles.second), paired ? plusOne : minusOne, plusOne));
    }
    if (order % 2 != 0) {
        const DigitalPair real = mapBandPass(minusOne, a, b);
        sections.push_back(section(real.first, real.second, minusOne, plusOne));
    }

    // Unit gain at the band's centre on the warped frequency axis.
    const double omegaN =
        2.0 * std::atan(std::sqrt(std::tan(omega1 / 2.0) * std::tan(omega2 / 2.0)));
    const Complex zInverse = std::polar(1.0, -omegaN);
    Complex total(1.0, 0.0);
    for (const BiquadSection &s : sections)
        total *= response(s, zInverse);
    const double gain = 1.0 / std::abs(total);
    if (std::isfinite(gain)) {
        BiquadSection &first = sections.front();
        first.b0 *= gain;
        first.b1 *= gain;
        first.b2 *= gain;
    }
    return sections;
}

} // namespace NativeDsp
