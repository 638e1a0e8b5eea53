#include "blockspectrum.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBits = 12;

} // namespace

BlockSpectrum::BlockSpectrum()
    : m_window(size)
    , m_reverse(size)
    , m_twiddles(size / 2)
    , m_work(size)
{
    for (int n = 0; n < size; ++n) {
        m_window[static_cast<size_t>(n)] = 0.5 - 0.5 * std::cos(2.0 * kPi * n / size);
        int r = 0;
        for (int b = 0; b < kBits; ++b) {
            r |= ((n >> b) & 1) << (kBits - 1 - b);
        }
        m_reverse[static_cast<size_t>(n)] = static_cast<quint16>(r);
    }
    for (int k = 0; k < size / 2; ++k) {
        m_twiddles[static_cast<size_t>(k)] = std::polar(1.0, -2.0 * kPi * k / size);
    }
}

void BlockSpectrum::amplitudes(const qint16 *samples, double *out)
{
    for (int n = 0; n < size; ++n) {
        const size_t i = static_cast<size_t>(n);
        m_work[m_reverse[i]] = {samples[n] * m_window[i] / 32768.0, 0.0};
    }
    for (int half = 1, stride = size / 2; half < size; half *= 2, stride /= 2) {
        for (int start = 0; start < size; start += 2 * half) {
            for (int k = 0; k < half; ++k) {
                const size_t top = static_cast<size_t>(start + k);
                const size_t bottom = top + static_cast<size_t>(half);
                // Written out by hand: the library's operator* guards against infinities and
                // costs a function call per butterfly.
                const std::complex<double> w = m_twiddles[static_cast<size_t>(k * stride)];
                const std::complex<double> b = m_work[bottom];
                const std::complex<double> t(w.real() * b.real() - w.imag() * b.imag(),
                                             w.real() * b.imag() + w.imag() * b.real());
                const std::complex<double> a = m_work[top];
                m_work[bottom] = {a.real() - t.real(), a.imag() - t.imag()};
                m_work[top] = {a.real() + t.real(), a.imag() + t.imag()};
            }
        }
    }
    for (int j = 0; j < bins; ++j) {
        const double scale = (j == 0 || j == size / 2) ? 2.0 / size : 4.0 / size;
        const std::complex<double> x = m_work[static_cast<size_t>(j)];
        out[j] = std::sqrt(x.real() * x.real() + x.imag() * x.imag()) * scale;
    }
}

void SpectrumBlocks::setChannels(int channels)
{
    m_channels = std::clamp(channels, 1, maxChannels);
    m_fill = 0;
}
