#include "periodicityanalysis.h"

#include "nativedsp.h"
#include "rankselect.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double tiny = 1e-20;
constexpr std::size_t firstEnvelopeHz = 5;
constexpr std::size_t envelopeCeilingHz = 4000;
constexpr std::size_t backgroundHalfWidth = 24; // bins each side
constexpr std::size_t guard = 4;                // bins next to a peak left out
// A contrast must beat -1 dB, a power ratio of 0.794; below 0.79 it cannot.
constexpr double firstRatioToBeat = 0.79;
constexpr double ratioMargin = 1.0 - 1e-9;

} // namespace

void PeriodicityAnalysis::configure(int sampleRate, double lowHz, double highHz,
                                    const double *secondWindow)
{
    using NativeDsp::FftBackend::PlannedTransform;
    reset();
    m_rate = static_cast<std::size_t>(sampleRate);
    // Bin i lies at i Hz; bins below low or above high are outside the band.
    m_firstBin = static_cast<std::size_t>(std::max(0.0, std::ceil(lowHz)));
    m_lastBin = std::min(static_cast<std::size_t>(std::floor(highHz)), m_rate / 2);
    m_window = secondWindow;
    const std::size_t bins = m_rate / 2 + 1;
    m_input.assign(m_rate, 0.0);
    m_spectrum.assign(bins, 0.0);
    m_scratchBins.assign(bins, 0.0);
    // Zero padding by the longest lag is enough for the circular correlation to equal the linear
    // one at every lag examined (0 ... rate / 4), and far cheaper than doubling the length.
    m_paddedLength = NativeDsp::nextFastLength(m_rate + m_rate / 4);
    m_padded.assign(m_paddedLength, 0.0);
    m_paddedBins.assign(m_paddedLength / 2 + 1, 0.0);
    m_correlation.assign(m_paddedLength, 0.0);
    m_analytic.assign(m_rate, 0.0);
    m_envelopeSignal.assign(m_rate, 0.0);
    m_envelope.assign(m_rate, 0.0);
    m_envelopeBins.assign(bins, 0.0);
    m_envelopePower.assign(bins, 0.0);
    m_scratch.assign(2 * backgroundHalfWidth + 1, 0.0);

    m_forward = PlannedTransform::realForward(m_input.data(), m_spectrum.data(), m_rate);
    m_bandInverse = PlannedTransform::realInverse(m_scratchBins.data(), m_padded.data(), m_rate);
    m_paddedForward =
        PlannedTransform::realForward(m_padded.data(), m_paddedBins.data(), m_paddedLength);
    m_paddedInverse =
        PlannedTransform::realInverse(m_paddedBins.data(), m_correlation.data(), m_paddedLength);
    m_analyticInverse =
        PlannedTransform::complexInverse(m_analytic.data(), m_envelopeSignal.data(), m_rate);
    m_envelopeForward =
        PlannedTransform::realForward(m_envelope.data(), m_envelopeBins.data(), m_rate);
}

void PeriodicityAnalysis::reset()
{
    *this = PeriodicityAnalysis();
}

void PeriodicityAnalysis::analyse(const double *centred, AnomalyMetrics::Values &values)
{
    std::copy(centred, centred + m_rate, m_input.begin());
    m_forward.run();
    const std::size_t bins = m_spectrum.size();
    for (std::size_t i = 0; i < bins; ++i) {
        if (i < m_firstBin || i > m_lastBin)
            m_spectrum[i] = 0.0;
    }
    autocorrelation(values);
    envelope(values);
}

void PeriodicityAnalysis::autocorrelation(AnomalyMetrics::Values &values)
{
    // u = the band-limited second (inverse transform scaled 1/N), zero-padded so that the
    // circular correlation of the padded signal is the linear one at the lags examined.
    const std::size_t bins = m_spectrum.size();
    std::copy(m_spectrum.begin(), m_spectrum.end(), m_scratchBins.begin());
    m_scratchBins[0].imag(0.0);
    if (m_rate % 2 == 0)
        m_scratchBins[bins - 1].imag(0.0);
    m_bandInverse.run();
    const double inverseScale = 1.0 / static_cast<double>(m_rate);
    for (std::size_t i = 0; i < m_rate; ++i)
        m_padded[i] *= inverseScale;
    std::fill(m_padded.begin() + static_cast<std::ptrdiff_t>(m_rate), m_padded.end(), 0.0);
    m_paddedForward.run();
    for (std::complex<double> &bin : m_paddedBins)
        bin = std::norm(bin);
    m_paddedInverse.run();
    const double paddedScale = 1.0 / static_cast<double>(m_paddedLength);
    const double zeroLag = m_correlation[0] * paddedScale;
    if (!(zeroLag > tiny))
        return;
    const std::size_t firstLag = std::max<std::size_t>(1, m_rate / 500);
    const std::size_t lastLag = m_rate / 4;
    double best = 0.0;
    for (std::size_t lag = firstLag; lag <= lastLag; ++lag)
        best = std::max(best, std::abs(m_correlation[lag] * paddedScale / zeroLag));
    values[static_cast<int>(AnomalyMetric::Autocorrelation)] = best;
}

void PeriodicityAnalysis::envelope(AnomalyMetrics::Values &values)
{
    // Analytic spectrum: no DC, positive frequencies doubled, negative ones zero.
    const std::size_t half = m_rate / 2;
    m_analytic[0] = 0.0;
    for (std::size_t i = 1; i <= half; ++i)
        m_analytic[i] = 2.0 * m_spectrum[i];
    std::fill(m_analytic.begin() + static_cast<std::ptrdiff_t>(half + 1), m_analytic.end(), 0.0);
    m_analyticInverse.run();
    const double scale = 1.0 / static_cast<double>(m_rate);
    double sum = 0.0;
    for (std::size_t i = 0; i < m_rate; ++i) {
        m_envelope[i] = std::norm(m_envelopeSignal[i] * scale);
        sum += m_envelope[i];
    }
    const double mean = sum / static_cast<double>(m_rate);
    double squares = 0.0;
    for (double &e : m_envelope) {
        e -= mean;
        squares += e * e;
    }
    // A flat envelope (a steady tone) has no periodicity to find.
    if (!(mean > tiny) || !(squares / static_cast<double>(m_rate) > mean * mean * 1e-8))
        return;
    for (std::size_t i = 0; i < m_rate; ++i)
        m_envelope[i] *= m_window[i];
    m_envelopeForward.run();
    for (std::size_t i = 0; i < m_envelopeBins.size(); ++i)
        m_envelopePower[i] = std::norm(m_envelopeBins[i]);

    const double *power = m_envelopePower.data();
    const std::size_t lastHz = std::min(m_rate / 4, envelopeCeilingHz);
    double best = -1.0;
    // Power over background of the best so far, less a margin far above rounding: a peak whose
    // ratio cannot reach it cannot win, and is passed over without selecting its median.
    double bestRatio = firstRatioToBeat;
    std::size_t bestHz = 0;
    for (std::size_t f = firstEnvelopeHz; f <= lastHz; ++f) {
        if (!(power[f] >= power[f - 1] && power[f] >= power[f + 1]))
            continue;
        const std::size_t first = std::max<std::size_t>(1, f - backgroundHalfWidth);
        std::size_t count = 0;
        for (std::size_t k = first; k <= f + backgroundHalfWidth; ++k) {
            if (k + guard <= f || k >= f + guard)
                m_scratch[count++] = power[k];
        }
        // max(median, tiny) >= limit, decided by counting: then the ratio stays below the best.
        const double limit = power[f] / bestRatio;
        if (tiny >= limit || RankSelect::countBelow(m_scratch.data(), count, limit) < count / 2 + 1)
            continue;
        const double background = std::max(RankSelect::upperMedian(m_scratch.data(), count), tiny);
        const double contrast = NativeDsp::powerToDb(power[f] / background);
        if (contrast > best) {
            best = contrast;
            bestHz = f;
            bestRatio = power[f] / background * ratioMargin;
        }
    }
    if (bestHz != 0) {
        values[static_cast<int>(AnomalyMetric::EnvelopePeak)] = best;
        values[static_cast<int>(AnomalyMetric::EnvelopeHz)] = static_cast<double>(bestHz);
    }
}
