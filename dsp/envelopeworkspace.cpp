#include "envelopeworkspace.h"

#include "fftbackend.h"

#include <stdexcept>

namespace NativeWav {

const std::vector<double> &EnvelopeWorkspace::power(const std::vector<double> &y)
{
    const std::size_t n = y.size();
    if (n < 2)
        throw std::invalid_argument("Hilbert transform requires at least two samples");
    m_spectrum.resize(n / 2 + 1);
    m_power.resize(n);
    NativeDsp::FftBackend::realForward(y.data(), m_spectrum.data(), n);
    const std::size_t positiveEnd = (n + 1) / 2;
    m_spectrum[0] = 0.0;
    for (std::size_t k = 1; k < positiveEnd; ++k)
        m_spectrum[k] = {m_spectrum[k].imag(), -m_spectrum[k].real()};
    if (n % 2 == 0)
        m_spectrum[n / 2] = 0.0;
    NativeDsp::FftBackend::realInverse(m_spectrum.data(), m_power.data(), n);
    const double scale = 1.0 / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double h = m_power[i] * scale;
        m_power[i] = 0.5 * (y[i] * y[i] + h * h);
    }
    return m_power;
}

} // namespace NativeWav
