#include "playbackbandpass.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <utility>

namespace {

using Complex = std::complex<double>;

constexpr double kPi = 3.14159265358979323846;
constexpr int kPrototypePoles = 4;

// Maps one analog prototype pole onto its two digital band-pass poles.
class BandpassMapping
{
public:
    BandpassMapping(double lowEdge, double highEdge)
    {
        m_a = std::cos((highEdge + lowEdge) * 0.5) / std::cos((highEdge - lowEdge) * 0.5);
        m_b = 1.0 / std::tan((highEdge - lowEdge) * 0.5);
    }

    std::pair<Complex, Complex> map(Complex s) const
    {
        const double a2 = m_a * m_a;
        const double b2 = m_b * m_b;
        const double ab2 = 2.0 * m_a * m_b;
        const Complex c = (1.0 + s) / (1.0 - s);
        const Complex v =
            std::sqrt(4.0 * (b2 * (a2 - 1.0) + 1.0) * c * c + 8.0 * (b2 * (a2 - 1.0) - 1.0) * c +
                      4.0 * (b2 * (a2 - 1.0) + 1.0));
        const Complex d = 2.0 * (m_b - 1.0) * c + 2.0 * (1.0 + m_b);
        return {(ab2 * c + ab2 - v) / d, (ab2 * c + ab2 + v) / d};
    }

private:
    double m_a = 0.0;
    double m_b = 0.0;
};

// A section with the zero pair (-1, +1) and the conjugate pole pair (p, conj p).
BiquadSection sectionForPole(Complex p)
{
    BiquadSection s;
    s.b0 = 1.0;
    s.b1 = 0.0;
    s.b2 = -1.0;
    s.a1 = -2.0 * p.real();
    s.a2 = std::norm(p);
    return s;
}

Complex response(const BandpassSections &sections, double omega)
{
    const Complex z1 = std::polar(1.0, -omega);
    const Complex z2 = z1 * z1;
    Complex h = 1.0;
    for (const BiquadSection &s : sections) {
        h *= (s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    }
    return h;
}

} // namespace

BandpassSections designButterworthBandpass(double centre, double width)
{
    const double omegaWidth = 2.0 * kPi * width;
    const double rawLow = 2.0 * kPi * centre - omegaWidth * 0.5;
    const double lowEdge = std::max(rawLow, 1e-8);
    const double highEdge = std::min(rawLow + omegaWidth, kPi - 1e-8);
    const BandpassMapping mapping(lowEdge, highEdge);

    BandpassSections sections;
    for (int k = 0; k < kPrototypePoles / 2; ++k) {
        const double theta = kPi / 2.0 + (2 * k + 1) * kPi / (2.0 * kPrototypePoles);
        const auto poles = mapping.map(std::polar(1.0, theta));
        sections[static_cast<size_t>(2 * k)] = sectionForPole(poles.first);
        sections[static_cast<size_t>(2 * k + 1)] = sectionForPole(poles.second);
    }

    const double centreOmega =
        2.0 * std::atan(std::sqrt(std::tan(highEdge * 0.5) * std::tan(lowEdge * 0.5)));
    const double gain = std::abs(response(sections, centreOmega));
    if (gain > 0.0) {
        sections[0].b0 /= gain;
        sections[0].b1 /= gain;
        sections[0].b2 /= gain;
    }
    return sections;
}
