#include "livefeaturebank.h"

#include "nativedsp.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

constexpr double unavailable = std::numeric_limits<double>::quiet_NaN();
constexpr double tiny = 1e-20;
constexpr int blocksPerSecond = 8;
constexpr double minimumBandHz = 100.0;
constexpr double nyquistGuardHz = 16.0;
constexpr double columnHz = 25.0; // nominal structural column width

} // namespace

LiveFeatureBank::LiveFeatureBank() = default;
LiveFeatureBank::~LiveFeatureBank() = default;

void LiveFeatureBank::reset()
{
    m_rate = 0;
    m_low = 0.0;
    m_high = 0.0;
    m_blockLength = 0;
    m_lowBin = 0;
    m_bandBins = 0;
    m_columnWidth = 0;
    m_counter = 0;
    m_second = {};
    m_filled = 0;
    m_centred = {};
    m_blockWindow = {};
    m_secondWindow = {};
    m_block = {};
    m_blockBins = {};
    m_bandAverage = {};
    m_columnLevels = {};
    m_previousShape = {};
    m_hasPreviousShape = false;
    m_blockTransform = {};
    m_tones.reset();
    m_periodicity.reset();
    m_structure.reset();
}

void LiveFeatureBank::configure(int sampleRate, double lowHz, double highHz)
{
    reset();
    if (sampleRate < minimumRate || sampleRate > maximumRate || !std::isfinite(lowHz) ||
        !std::isfinite(highHz) || lowHz < 0.0 || !(lowHz < highHz))
        throw std::invalid_argument("Invalid live analysis band");
    highHz = std::min(highHz, sampleRate * 0.5 - nyquistGuardHz);
    if (highHz - lowHz < minimumBandHz)
        throw std::invalid_argument("Live band too narrow");

    try {
        const auto rate = static_cast<std::size_t>(sampleRate);
        const std::size_t blk = rate / blocksPerSecond;
        // Block bin k lies at k * rate / blk Hz.
        const auto toBins = [blk, sampleRate](double hertz) {
            return static_cast<double>(blk) * hertz / sampleRate;
        };
        m_lowBin = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(toBins(lowHz))));
        const std::size_t highBin =
            std::min(static_cast<std::size_t>(std::floor(toBins(highHz))), rate / 16);
        m_bandBins = highBin + 1 - m_lowBin;
        m_columnWidth =
            std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(toBins(columnHz))));
        m_blockLength = blk;

        m_second.assign(rate, 0.0);
        m_centred.assign(rate, 0.0);
        m_blockWindow = NativeDsp::hannWindow(blk);
        m_secondWindow = NativeDsp::hannWindow(rate);
        m_block.assign(blk, 0.0);
        m_blockBins.assign(blk / 2 + 1, 0.0);
        m_bandAverage.assign(m_bandBins, 0.0);
        m_columnLevels.assign(m_bandBins / m_columnWidth, 0.0);
        m_previousShape.assign(m_bandBins, 0.0);
        m_blockTransform = NativeDsp::FftBackend::PlannedTransform::realForward(
            m_block.data(), m_blockBins.data(), blk);
        m_tones.configure(sampleRate, lowHz, highHz, m_secondWindow.data());
        m_periodicity.configure(sampleRate, lowHz, highHz, m_secondWindow.data());
        m_structure.configure(m_columnLevels.size(), static_cast<double>(m_columnWidth) *
                                                         sampleRate / static_cast<double>(blk));
    } catch (...) {
        reset();
        throw;
    }
    m_rate = sampleRate;
    m_low = lowHz;
    m_high = highHz;
}

void LiveFeatureBank::computeUpdate(FeatureUpdate *update)
{
    const auto started = std::chrono::steady_clock::now();
    AnomalyMetrics::Values &values = update->values;
    values.fill(unavailable);
    update->seconds = ++m_counter;

    double spread = 0.0;
    const double mean = levelAndMean(values, &spread);
    const double bandPower = blockSpectra(mean);
    update->historyRows = m_structure.rows();
    spectralShape(bandPower, values);

    m_tones.append(m_centred.data());
    if (bandPower > tiny)
        m_tones.findPeaks(values);
    if (spread > tiny)
        m_periodicity.analyse(m_centred.data(), values);
    if (bandPower > tiny)
        m_structure.analyse(values);

    m_filled = 0;
    const auto elapsed = std::chrono::steady_clock::now() - started;
    update->computeMs =
        static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()) /
        1e6;
}

double LiveFeatureBank::levelAndMean(AnomalyMetrics::Values &values, double *spread)
{
    const std::size_t n = m_second.size();
    const double *x = m_second.data();
    double sum = 0.0;
    double squares = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += x[i];
        squares += x[i] * x[i];
    }
    const double mean = sum / static_cast<double>(n);
    double s2 = 0.0;
    double s4 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = x[i] - mean;
        m_centred[i] = d;
        const double d2 = d * d;
        s2 += d2;
        s4 += d2 * d2;
    }
    values[static_cast<int>(AnomalyMetric::Rms)] =
        10.0 * std::log10(std::max(squares / static_cast<double>(n), tiny));
    if (s2 > tiny)
        values[static_cast<int>(AnomalyMetric::Kurtosis)] =
            static_cast<double>(n) * s4 / (s2 * s2) - 3.0;
    *spread = s2;
    return mean;
}

double LiveFeatureBank::blockSpectra(double mean)
{
    std::fill(m_bandAverage.begin(), m_bandAverage.end(), 0.0);
    const std::size_t blk = m_blockLength;
    const std::size_t columns = m_columnLevels.size();
    const auto width = static_cast<double>(m_columnWidth);
    for (int b = 0; b < blocksPerSecond; ++b) {
        const double *x = m_second.data() + static_cast<std::size_t>(b) * blk;
        for (std::size_t i = 0; i < blk; ++i)
            m_block[i] = (x[i] - mean) * m_blockWindow[i];
        m_blockTransform.run();
        const std::complex<double> *band = m_blockBins.data() + m_lowBin;
        for (std::size_t k = 0; k < m_bandBins; ++k)
            m_bandAverage[k] += 0.125 * std::norm(band[k]);
        for (std::size_t c = 0; c < columns; ++c) {
            double sum = 0.0;
            for (std::size_t k = c * m_columnWidth; k < (c + 1) * m_columnWidth; ++k)
                sum += std::norm(band[k]);
            m_columnLevels[c] = NativeDsp::powerToDb(sum / width);
        }
        m_structure.append(m_columnLevels.data());
    }
    double bandPower = 0.0;
    for (double p : m_bandAverage)
        bandPower += p;
    return bandPower;
}

void LiveFeatureBank::spectralShape(double bandPower, AnomalyMetrics::Values &values)
{
    if (!(bandPower > tiny)) {
        m_hasPreviousShape = false;
        return;
    }
    const double n = static_cast<double>(m_bandBins);
    double entropy = 0.0;
    double logSum = 0.0;
    double flux = 0.0;
    for (std::size_t k = 0; k < m_bandBins; ++k) {
        const double p = m_bandAverage[k] / bandPower;
        if (p > 0.0)
            entropy -= p * std::log(p);
        logSum += std::log(std::max(m_bandAverage[k], tiny));
        if (m_hasPreviousShape)
            flux += std::abs(p - m_previousShape[k]);
        m_previousShape[k] = p;
    }
    values[static_cast<int>(AnomalyMetric::Entropy)] = entropy / std::log(n);
    values[static_cast<int>(AnomalyMetric::Flatness)] = std::exp(logSum / n) / (bandPower / n);
    if (m_hasPreviousShape)
        values[static_cast<int>(AnomalyMetric::Flux)] = 0.5 * flux;
    m_hasPreviousShape = true;
}
