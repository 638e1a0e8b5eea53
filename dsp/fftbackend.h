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

// One of the transforms above, planned once for a pair of buffers that stay where they are (for
// code that must neither lock nor allocate once it runs, such as the live feature bank on the
// audio thread). Planning takes the planner's lock and may allocate; run() does neither. The
// buffers must outlive the plan and must not be reallocated. Unscaled like the functions above;
// a real inverse overwrites its input. A default-constructed plan runs nothing.
class PlannedTransform
{
public:
    PlannedTransform() = default;

    static PlannedTransform realForward(const double *in, std::complex<double> *out, std::size_t n);
    static PlannedTransform realInverse(std::complex<double> *in, double *out, std::size_t n);
    static PlannedTransform complexInverse(const std::complex<double> *in,
                                           std::complex<double> *out, std::size_t n);

    void run() const;

private:
    enum class Kind { None, RealForward, RealInverse, ComplexInverse };

    Kind m_kind = Kind::None;
    void *m_plan = nullptr;
    void *m_in = nullptr;
    void *m_out = nullptr;
};

} // namespace NativeDsp::FftBackend
