#include "blockspectrum.h"

#include "nativedsp.h"

#include <algorithm>
#include <cmath>

BlockSpectrum::BlockSpectrum()
    : m_window(NativeDsp::hannWindow(static_cast<size_t>(size)))
    , m_input(static_cast<size_t>(size))
    , m_bins(static_cast<size_t>(bins))
{}

void BlockSpectrum::amplitudes(const qint16 *samples, double *out)
{
    for (int n = 0; n < size; ++n) {
        const size_t i = static_cast<size_t>(n);
        m_input[i] = samples[n] * m_window[i] / 32768.0;
    }
    NativeDsp::forwardRealFft(m_input.data(), m_input.size(), m_bins.data());
    for (int j = 0; j < bins; ++j) {
        const double scale = (j == 0 || j == size / 2) ? 2.0 / size : 4.0 / size;
        const std::complex<double> x = m_bins[static_cast<size_t>(j)];
        out[j] = std::sqrt(x.real() * x.real() + x.imag() * x.imag()) * scale;
    }
}

void SpectrumBlocks::setChannels(int channels)
{
    m_channels = std::clamp(channels, 1, maxChannels);
    m_fill = 0;
}
