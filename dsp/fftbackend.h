#pragma once

// The one place that talks to the FFT library. Unscaled, out-of-place transforms on buffers of
// any alignment; plans are made once per length, kind and buffer alignment and then shared.
// Every function may run on several threads at once (each with its own buffers).

#include <complex>
#include <cstddef>

namespace NativeDsp::FftBackend {

// n real samples -> n/2 + 1 bins, kernel e^(-2*pi*i*k*n/N). The input is left unchanged.
void realForward(const double *in, std::complex<double> *out, std::size_t n);
// n/2 + 1 bins of a Hermitian spectrum -> n real samples, unscaled. Overwrites the input.
void realInverse(std::complex<double> *in, double *out, std::size_t n);
// n complex values, kernel e^(-2*pi*i*k*n/N) forward and e^(+...) inverse, unscaled.
void complexTransform(const std::complex<double> *in, std::complex<double> *out, std::size_t n,
                      bool inverse);

} // namespace NativeDsp::FftBackend
