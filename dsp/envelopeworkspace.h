#pragma once

// Analytic envelope power 0.5 * |z|^2 of real blocks, with buffers reused from block to block.
// Gives the values of NativeDsp::analyticEnvelopePower (to rounding) at about half its cost: the
// real part of the analytic signal z is the block itself, and its imaginary part is the real
// signal whose half spectrum is -i * X_k (bins 1 ... ceil(n/2) - 1, 0 at DC and Nyquist), so one
// real forward and one real inverse transform replace a complex inverse transform.
// One instance per thread.

#include <complex>
#include <vector>

namespace NativeWav {

class EnvelopeWorkspace
{
public:
    // One value per sample of y; valid until the next call. Throws "Hilbert transform requires
    // at least two samples".
    const std::vector<double> &power(const std::vector<double> &y);

private:
    std::vector<std::complex<double>> m_spectrum;
    std::vector<double> m_power;
};

} // namespace NativeWav
