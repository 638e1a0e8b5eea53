#pragma once

// The live feature bank's 1 Hz view: the power spectrum of each second over the analysis band,
// an 8-second history of it, and from that the persistent tones and the best comb of equally
// spaced tones. Part of LiveFeatureBank; same thread rules.

#include "anomalymetric.h"
#include "fftbackend.h"

#include <complex>
#include <cstddef>
#include <vector>

class ToneHistory
{
public:
    static constexpr int rowCapacity = 8; // seconds
    static constexpr int maximumCombPeaks = 100;

    // Allocates for a rate (Hz) and the band [ceil(low) (at least 1), floor(high)] in 1 Hz bins.
    // secondWindow: the periodic Hann window of one second, kept by the caller.
    void configure(int sampleRate, double lowHz, double highHz, const double *secondWindow);
    void reset();

    // Appends the 1 Hz power spectrum of one second given minus its mean (rate values).
    void append(const double *centred);
    // persistent_peaks, comb_count and comb_spacing once 8 rows are held; leaves them alone
    // otherwise.
    void findPeaks(AnomalyMetrics::Values &values);

    int rows() const { return m_rows; }
    // Frequency (Hz) of the first bin of a row.
    int firstHz() const { return m_firstHz; }
    std::size_t rowLength() const { return m_length; }

private:
    const double *row(int age) const; // 0 = oldest
    bool supported(std::size_t j, std::size_t first, std::size_t last) const;
    void findComb(AnomalyMetrics::Values &values) const;

    std::size_t m_rate = 0;
    int m_firstHz = 1;
    std::size_t m_length = 0; // bins per row
    const double *m_window = nullptr;
    std::vector<double> m_windowed;
    std::vector<std::complex<double>> m_bins;
    NativeDsp::FftBackend::PlannedTransform m_transform;
    std::vector<double> m_history; // rowCapacity rows, ring
    int m_rows = 0;
    int m_newest = -1;
    std::vector<double> m_average;
    std::vector<int> m_peaks; // Hz, ascending
};
