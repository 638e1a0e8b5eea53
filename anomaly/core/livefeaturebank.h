#pragma once

// The live feature bank: turns a stream of 16-bit mono PCM into the fourteen anomaly metrics,
// once for every full second of audio counted from configuration.
//
// One instance serves one stream and is confined to the thread that feeds it (the audio thread
// for live audio, the replay's thread for a recording); it starts no threads and takes no locks.
// configure() allocates every buffer and plans every transform; after it, pushSample() and the
// update it triggers neither allocate nor lock.

#include "anomalymetric.h"
#include "fftbackend.h"
#include "periodicityanalysis.h"
#include "structuralhistory.h"
#include "tonehistory.h"

#include <QtGlobal>

#include <complex>
#include <vector>

// One update of the bank.
struct FeatureUpdate
{
    // In AnomalyMetric order; NaN = not available this second (never zero in disguise).
    AnomalyMetrics::Values values{};
    // Updates since the bank was configured; the first carries 1.
    qint64 seconds = 0;
    // Rows now held in the structural history, 0-64 (64 rows = 8 s).
    int historyRows = 0;
    // Wall-clock processing time of this update, milliseconds (monotonic clock).
    double computeMs = 0.0;
};

class LiveFeatureBank
{
public:
    static constexpr int minimumRate = 8000;   // Hz
    static constexpr int maximumRate = 192000; // Hz
    static constexpr int structuralRows = StructuralHistory::rowCapacity;

    LiveFeatureBank();
    ~LiveFeatureBank();
    LiveFeatureBank(const LiveFeatureBank &) = delete;
    LiveFeatureBank &operator=(const LiveFeatureBank &) = delete;

    // Resets, then prepares for a rate in Hz and an analysis band in Hz. The rate must be
    // 8000-192000, both edges finite, 0 <= low < high, else std::invalid_argument("Invalid live
    // analysis band"). The high edge is clamped to 16 Hz below Nyquist; a band then narrower
    // than 100 Hz leaves the bank unconfigured and raises std::invalid_argument("Live band too
    // narrow"). Memory exhaustion raises std::bad_alloc and leaves the bank unconfigured.
    void configure(int sampleRate, double lowHz, double highHz);
    // Back to the unconfigured state: rate 0, counter 0, buffers and histories empty.
    void reset();

    // Takes one sample. Returns true, with *update filled, when the sample completes a second.
    // Unconfigured: does nothing and returns false. Errors of the computation propagate as
    // standard exceptions and leave the bank in an intermediate state; reset it then.
    bool pushSample(qint16 sample, FeatureUpdate *update)
    {
        if (m_rate == 0)
            return false;
        m_second[m_filled++] = sample / 32768.0;
        if (m_filled < m_second.size())
            return false;
        computeUpdate(update);
        return true;
    }

    bool isConfigured() const { return m_rate != 0; }
    int sampleRate() const { return m_rate; }
    double lowHz() const { return m_low; }
    // After clamping below Nyquist.
    double highHz() const { return m_high; }
    // Samples of the current, unfinished second.
    int pendingSamples() const { return static_cast<int>(m_filled); }

private:
    void computeUpdate(FeatureUpdate *update);
    double levelAndMean(AnomalyMetrics::Values &values, double *spread);
    double blockSpectra(double mean);
    void spectralShape(double bandPower, AnomalyMetrics::Values &values);

    int m_rate = 0;
    double m_low = 0.0;
    double m_high = 0.0;
    std::size_t m_blockLength = 0; // rate / 8
    std::size_t m_lowBin = 0;      // first block bin of the band
    std::size_t m_bandBins = 0;    // n
    std::size_t m_columnWidth = 0; // block bins per structural column
    qint64 m_counter = 0;

    std::vector<double> m_second; // the current second, +-1
    std::size_t m_filled = 0;
    std::vector<double> m_centred; // the finished second minus its mean
    std::vector<double> m_blockWindow;
    std::vector<double> m_secondWindow; // periodic Hann of one second
    std::vector<double> m_block;
    std::vector<std::complex<double>> m_blockBins;
    std::vector<double> m_bandAverage;
    std::vector<double> m_columnLevels;
    std::vector<double> m_previousShape; // empty or n values
    bool m_hasPreviousShape = false;

    ToneHistory m_tones;
    PeriodicityAnalysis m_periodicity;
    StructuralHistory m_structure;
    NativeDsp::FftBackend::PlannedTransform m_blockTransform;
};
