#pragma once

// The live feature bank's periodicity view of one second: the largest band-limited
// autocorrelation at lags of 2-250 ms, and the strongest peak in the spectrum of the squared
// analytic envelope (5 Hz to min(rate / 4, 4000) Hz). Part of LiveFeatureBank; same thread
// rules: configure() allocates and plans, analyse() neither allocates nor locks.

#include "anomalymetric.h"
#include "fftbackend.h"

#include <complex>
#include <cstddef>
#include <vector>

class PeriodicityAnalysis
{
public:
    // secondWindow: the periodic Hann window of one second, kept by the caller.
    void configure(int sampleRate, double lowHz, double highHz, const double *secondWindow);
    void reset();

    // centred: one second minus its mean (rate values), with a spread above 1e-20. Sets
    // autocorrelation, envelope_peak and envelope_hz when their preconditions hold.
    void analyse(const double *centred, AnomalyMetrics::Values &values);

private:
    void autocorrelation(AnomalyMetrics::Values &values);
    void envelope(AnomalyMetrics::Values &values);

    std::size_t m_rate = 0;
    std::size_t m_firstBin = 0; // first bin (1 Hz) inside the band
    std::size_t m_lastBin = 0;  // last bin inside the band
    const double *m_window = nullptr;

    std::vector<double> m_input;
    std::vector<std::complex<double>> m_spectrum; // band-limited, 1 Hz bins
    std::vector<std::complex<double>> m_scratchBins;
    std::size_t m_paddedLength = 0; // at least rate + rate / 4
    std::vector<double> m_padded;
    std::vector<std::complex<double>> m_paddedBins;
    std::vector<double> m_correlation;
    std::vector<std::complex<double>> m_analytic;
    std::vector<std::complex<double>> m_envelopeSignal;
    std::vector<double> m_envelope;
    std::vector<std::complex<double>> m_envelopeBins;
    std::vector<double> m_envelopePower;
    std::vector<double> m_scratch;

    NativeDsp::FftBackend::PlannedTransform m_forward;         // input -> spectrum
    NativeDsp::FftBackend::PlannedTransform m_bandInverse;     // scratch bins -> padded
    NativeDsp::FftBackend::PlannedTransform m_paddedForward;   // padded -> padded bins
    NativeDsp::FftBackend::PlannedTransform m_paddedInverse;   // padded bins -> correlation
    NativeDsp::FftBackend::PlannedTransform m_analyticInverse; // analytic -> envelope signal
    NativeDsp::FftBackend::PlannedTransform m_envelopeForward; // envelope -> envelope bins
};
