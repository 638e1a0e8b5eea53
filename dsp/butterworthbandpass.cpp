#include "butterworthbandpass.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace NativeDsp {

namespace {

using Complex = std::complex<double>;
constexpr double pi = 3.14159265358979323846;
constexpr int order = 5;

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

ButterworthBandpass::Section section(Complex pole1, Complex pole2, Complex zero1, Complex zero2)
{
    ButterworthBandpass::Section s{1.0, 0.0, 0.0, 0.0, 0.0};
    quadratic(zero1, zero2, s.b1, s.b2);
    quadratic(pole1, pole2, s.a1, s.a2);
    return s;
}

Complex response(const ButterworthBandpass::Section &s, Complex zInverse)
{
    const Complex z2 = zInverse * zInverse;
    return (s.b0 + s.b1 * zInverse + s.b2 * z2) / (1.0 + s.a1 * zInverse + s.a2 * z2);
}

} // namespace

ButterworthBandpass::ButterworthBandpass(double sampleRate, double lowHz, double highHz)
{
    const double centre = (lowHz + highHz) / 2.0 / sampleRate;
    const double width = (highHz - lowHz) / sampleRate;
    const double omegaWidth = 2.0 * pi * width;
    const double omega2 = std::max(2.0 * pi * centre - omegaWidth / 2.0, 1e-8);
    const double omega1 = std::min(omega2 + omegaWidth, pi - 1e-8);
    const double a = std::cos((omega1 + omega2) / 2.0) / std::cos((omega1 - omega2) / 2.0);
    const double b = 1.0 / std::tan((omega1 - omega2) / 2.0);

    // Analog prototype: conjugate pole pairs at angles pi/2 + (2k + 1) pi / (2 order) and one
    // real pole at -1; its zeros at infinity map to -1 and +1.
    const Complex minusOne(-1.0, 0.0);
    const Complex plusOne(1.0, 0.0);
    int next = 0;
    for (int k = 0; k < order / 2; ++k) {
        const double theta = pi / 2.0 + (2 * k + 1) * pi / (2.0 * order);
        const DigitalPair poles = mapBandPass(std::polar(1.0, theta), a, b);
        m_sections[next++] = section(poles.first, std::conj(poles.first), minusOne, minusOne);
        m_sections[next++] = section(poles.second, std::conj(poles.second), plusOne, plusOne);
    }
    const DigitalPair real = mapBandPass(minusOne, a, b);
    m_sections[next] = section(real.first, real.second, minusOne, plusOne);

    // Unit gain at the band's centre on the warped frequency axis.
    const double omegaN =
        2.0 * std::atan(std::sqrt(std::tan(omega1 / 2.0) * std::tan(omega2 / 2.0)));
    const Complex zInverse = std::polar(1.0, -omegaN);
    Complex total(1.0, 0.0);
    for (const Section &s : m_sections)
        total *= response(s, zInverse);
    const double gain = 1.0 / std::abs(total);
    Section &first = m_sections.front();
    first.b0 *= gain;
    first.b1 *= gain;
    first.b2 *= gain;
}

void ButterworthBandpass::filterZeroPhase(std::vector<double> &signal) const
{
    // A tiny offset of alternating sign on the first section's input keeps the recursion out of
    // denormal numbers when the signal decays to silence. It runs on across both passes.
    double offset = 1e-8;
    const auto pass = [this, &signal, &offset] {
        double w1[sectionCount] = {};
        double w2[sectionCount] = {};
        for (double &sample : signal) {
            offset = -offset;
            double x = sample + offset;
            for (int i = 0; i < sectionCount; ++i) {
                const Section &s = m_sections[static_cast<std::size_t>(i)];
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
