#include "fourierpass.h"

#include "analysismath.h"
#include "nativedsp.h"
#include "parallelwork.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace NativeWav {

namespace {

constexpr std::size_t maxRows = 480;
constexpr std::size_t maxColumns = 1300;
constexpr std::size_t keptPerBlock = 8;
constexpr std::size_t maxCandidates = 16;

std::size_t roundToSize(double x)
{
    return static_cast<std::size_t>(std::llround(x));
}

} // namespace

double StftLayout::binFrequency(std::size_t bin) const
{
    return static_cast<double>(firstBin + bin) * sampleRate / static_cast<double>(fftLength);
}

StftLayout makeStftLayout(double sampleRate, std::uint64_t frames, double lowHz, double highHz)
{
    StftLayout layout;
    layout.sampleRate = sampleRate;
    layout.frames = frames;
    layout.durationSeconds = static_cast<double>(frames) / sampleRate;
    layout.segmentLength = static_cast<std::size_t>(std::min<std::uint64_t>(
        std::max<std::size_t>(roundToSize(0.024 * sampleRate), 32), frames));
    layout.hop =
        std::min(std::max<std::size_t>(roundToSize(0.004 * sampleRate), 1), layout.segmentLength);
    layout.fftLength = NativeDsp::nextFastLength(2 * layout.segmentLength);
    const double m = static_cast<double>(layout.fftLength);
    const auto k0 = static_cast<long long>(std::ceil(m * lowHz / sampleRate));
    const auto k1 = std::min(static_cast<long long>(std::floor(m * highHz / sampleRate)),
                             static_cast<long long>(layout.fftLength / 2));
    if (k1 < k0 + 2)
        throw std::runtime_error("Selected frequency range is too narrow");
    layout.firstBin = static_cast<std::size_t>(k0);
    layout.bins = static_cast<std::size_t>(k1 - k0 + 1);
    layout.rowStep = std::max<std::size_t>((layout.bins - 1 + maxRows) / maxRows, 1);
    layout.rows = (layout.bins + layout.rowStep - 1) / layout.rowStep;
    const std::uint64_t columns = (frames + layout.hop - 1) / layout.hop;
    layout.timeColumns = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max<std::uint64_t>(columns, 1), maxColumns));
    layout.blockFrames = static_cast<std::uint64_t>(std::llround(20.0 * sampleRate));
    const std::size_t l = layout.segmentLength;
    layout.window.resize(l);
    const double pi = std::acos(-1.0);
    for (std::size_t i = 0; i < l; ++i) {
        layout.window[i] =
            0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(i) / static_cast<double>(l));
        layout.windowSum += layout.window[i];
    }
    return layout;
}

FourierPass::FourierPass(const StftLayout &layout, double contrastDb)
    : m_layout(layout)
    , m_contrastDb(contrastDb)
    , m_binSums(layout.bins, 0.0)
    , m_spectrogram(layout.rows * layout.timeColumns, 0.0f)
    , m_columnSquares(layout.timeColumns, 0.0)
    , m_columnCounts(layout.timeColumns, 0)
{}

FourierPass::~FourierPass() = default;

void FourierPass::addBlock(std::uint64_t start, std::vector<double> samples,
                           const std::atomic<bool> &cancel)
{
    const std::size_t length = samples.size();
    addLevels(start, samples, length);
    const std::size_t l = m_layout.segmentLength;
    if (samples.size() < l)
        samples.resize(l, 0.0);
    const std::size_t segments = (samples.size() - l) / m_layout.hop + 1;
    transformSegments(samples, segments, cancel);
    accumulate(start, segments);
    mergeCandidates(discoverBands(segments));
}

void FourierPass::addLevels(std::uint64_t start, const std::vector<double> &samples,
                            std::size_t length)
{
    const std::uint64_t n = m_layout.frames;
    const std::uint64_t t = m_layout.timeColumns;
    std::size_t i = 0;
    while (i < length) {
        const std::uint64_t frame = start + i;
        const std::uint64_t column = std::min<std::uint64_t>(frame * t / n, t - 1);
        // First frame of the next column: the smallest f with f * T / N >= column + 1.
        const std::uint64_t next =
            column + 1 >= t ? start + length : ((column + 1) * n + t - 1) / t;
        const std::size_t stop =
            static_cast<std::size_t>(std::min<std::uint64_t>(next, start + length) - start);
        double squares = m_columnSquares[column];
        for (std::size_t k = i; k < stop; ++k)
            squares += samples[k] * samples[k];
        m_columnSquares[column] = squares;
        m_columnCounts[column] += stop - i;
        i = stop;
    }
}

void FourierPass::transformSegments(const std::vector<double> &block, std::size_t segments,
                                    const std::atomic<bool> &cancel)
{
    const std::size_t g = m_layout.bins;
    const std::size_t rows = m_layout.rows;
    const std::size_t l = m_layout.segmentLength;
    const std::size_t m = m_layout.fftLength;
    m_power.resize(segments * g);
    m_rowMax.resize(segments * rows);
    const double norm = 1.0 / (m_layout.windowSum * m_layout.windowSum);
    parallelRanges(segments, [&](std::size_t begin, std::size_t end, std::size_t) {
        std::vector<double> input(m, 0.0);
        std::vector<NativeDsp::Complex> output(m / 2 + 1);
        const NativeDsp::Complex *spectrum = output.data() + m_layout.firstBin;
        for (std::size_t s = begin; s < end; ++s) {
            if ((s - begin) % 256 == 0)
                throwIfCancelled(cancel);
            const double *segment = block.data() + s * m_layout.hop;
            for (std::size_t i = 0; i < l; ++i)
                input[i] = segment[i] * m_layout.window[i];
            NativeDsp::forwardRealFft(input.data(), m, output.data());
            float *power = m_power.data() + s * g;
            for (std::size_t j = 0; j < g; ++j) {
                const std::size_t k = m_layout.firstBin + j;
                const double d = (k == 0 || (m % 2 == 0 && k == m / 2)) ? 1.0 : 2.0;
                power[j] = static_cast<float>(std::norm(spectrum[j]) * d * norm);
            }
            float *rowMax = m_rowMax.data() + s * rows;
            for (std::size_t r = 0; r < rows; ++r) {
                const std::size_t last = std::min(r * m_layout.rowStep + m_layout.rowStep, g);
                rowMax[r] = *std::max_element(power + r * m_layout.rowStep, power + last);
            }
        }
    });
}

void FourierPass::accumulate(std::uint64_t start, std::size_t segments)
{
    const std::size_t g = m_layout.bins;
    const std::size_t rows = m_layout.rows;
    const std::size_t t = m_layout.timeColumns;
    const double halfSegment = static_cast<double>(m_layout.segmentLength) / 2.0;
    for (std::size_t s = 0; s < segments; ++s) {
        const float *power = m_power.data() + s * g;
        for (std::size_t j = 0; j < g; ++j)
            m_binSums[j] += static_cast<double>(power[j]);
        const double centre = static_cast<double>(start + s * m_layout.hop) + halfSegment;
        const double position =
            centre / m_layout.sampleRate * static_cast<double>(t) / m_layout.durationSeconds;
        const std::size_t column = std::min(static_cast<std::size_t>(std::floor(position)), t - 1);
        const float *rowMax = m_rowMax.data() + s * rows;
        for (std::size_t r = 0; r < rows; ++r) {
            float &cell = m_spectrogram[r * t + column];
            cell = std::max(cell, rowMax[r]);
        }
    }
    m_segments += segments;
}

std::vector<CandidateBand> FourierPass::discoverBands(std::size_t segments) const
{
    const std::size_t g = m_layout.bins;
    std::vector<double> peakDb(g);
    std::vector<double> contrast(g);
    parallelRanges(g, [&](std::size_t begin, std::size_t end, std::size_t) {
        std::vector<double> sums(segments);
        for (std::size_t j = begin; j < end; ++j) {
            const std::size_t below = j == 0 ? 0 : j - 1;
            const std::size_t above = j + 1 == g ? j : j + 1;
            for (std::size_t s = 0; s < segments; ++s) {
                const float *power = m_power.data() + s * g;
                sums[s] = static_cast<double>(power[below]) + static_cast<double>(power[j]) +
                          static_cast<double>(power[above]);
            }
            const auto [background, peak] = medianAndUpperPercentile(sums, 0.97);
            peakDb[j] = analysisDb(peak);
            contrast[j] = peakDb[j] - analysisDb(background);
        }
    });

    const double maxPeakDb = *std::max_element(peakDb.begin(), peakDb.end());
    std::vector<double> score(g);
    for (std::size_t j = 0; j < g; ++j)
        score[j] = (peakDb[j] - maxPeakDb) * 0.55 + contrast[j];

    std::vector<std::size_t> picks;
    picks.push_back(
        static_cast<std::size_t>(std::max_element(score.begin(), score.end()) - score.begin()));
    const auto w = std::max<std::size_t>(
        static_cast<std::size_t>(
            std::ceil(static_cast<double>(m_layout.fftLength) * 90.0 / m_layout.sampleRate)),
        1);
    for (std::size_t j = 1; j + 1 < g; ++j) {
        if (score[j] < score[j - 1] || score[j] < score[j + 1])
            continue;
        const double leftMin =
            *std::min_element(score.begin() + static_cast<std::ptrdiff_t>(j >= w ? j - w : 0),
                              score.begin() + static_cast<std::ptrdiff_t>(j + 1));
        const double rightMin = *std::min_element(
            score.begin() + static_cast<std::ptrdiff_t>(j),
            score.begin() + static_cast<std::ptrdiff_t>(std::min(j + w, g - 1) + 1));
        if (score[j] - std::max(leftMin, rightMin) >= 0.8)
            picks.push_back(j);
    }
    std::stable_sort(picks.begin(), picks.end(),
                     [&](std::size_t a, std::size_t b) { return score[a] > score[b]; });

    std::vector<CandidateBand> kept;
    for (std::size_t j : picks) {
        if (kept.size() == keptPerBlock)
            break;
        if (contrast[j] < m_contrastDb - 1.0 || peakDb[j] < maxPeakDb - 44.0 || peakDb[j] <= -115.0)
            continue;
        const double f = m_layout.binFrequency(j);
        const bool crowded = std::any_of(kept.begin(), kept.end(), [&](const CandidateBand &c) {
            return std::abs(c.frequencyHz - f) < 90.0;
        });
        if (!crowded)
            kept.push_back({score[j], f});
    }
    return kept;
}

void FourierPass::mergeCandidates(const std::vector<CandidateBand> &kept)
{
    for (const CandidateBand &band : kept) {
        auto near =
            std::find_if(m_candidates.begin(), m_candidates.end(), [&](const CandidateBand &c) {
                return std::abs(c.frequencyHz - band.frequencyHz) < 100.0;
            });
        if (near == m_candidates.end())
            m_candidates.push_back(band);
        else if (band.score > near->score)
            *near = band;
    }
    std::stable_sort(
        m_candidates.begin(), m_candidates.end(),
        [](const CandidateBand &a, const CandidateBand &b) { return a.score > b.score; });
    if (m_candidates.size() > maxCandidates)
        m_candidates.resize(maxCandidates);
}

void FourierPass::finish(Result &result)
{
    const std::size_t g = m_layout.bins;
    result.spectrumFrequencies.resize(g);
    result.meanSpectrumDb.resize(g);
    const double segments = static_cast<double>(std::max<std::uint64_t>(m_segments, 1));
    for (std::size_t j = 0; j < g; ++j) {
        result.spectrumFrequencies[j] = m_layout.binFrequency(j);
        result.meanSpectrumDb[j] = analysisDb(m_binSums[j] / segments);
    }
    result.timeColumns = static_cast<std::int32_t>(m_layout.timeColumns);
    result.levelDb.resize(m_layout.timeColumns);
    for (std::size_t c = 0; c < m_layout.timeColumns; ++c) {
        const double count = static_cast<double>(std::max<std::uint64_t>(m_columnCounts[c], 1));
        result.levelDb[c] = analysisDb(m_columnSquares[c] / count);
    }
    result.spectrogramDb.resize(m_spectrogram.size());
    std::transform(m_spectrogram.begin(), m_spectrogram.end(), result.spectrogramDb.begin(),
                   [](float cell) { return static_cast<float>(analysisDb(cell)); });
    result.displayFrequencies.resize(m_layout.rows);
    for (std::size_t r = 0; r < m_layout.rows; ++r)
        result.displayFrequencies[r] = result.spectrumFrequencies[r * m_layout.rowStep];

    const std::vector<double> &level = result.meanSpectrumDb;
    std::vector<SpectralPeak> peaks;
    for (std::size_t j = 1; j + 1 < g; ++j) {
        if (level[j] <= -130.0 || level[j] < level[j - 1] || level[j] < level[j + 1])
            continue;
        const auto at = [&](std::size_t k) {
            return level.begin() + static_cast<std::ptrdiff_t>(k);
        };
        const double leftMin = *std::min_element(at(j >= 10 ? j - 10 : 0), at(j));
        const double rightMin = *std::min_element(at(j + 1), at(std::min(j + 10, g - 1) + 1));
        if (level[j] - std::max(leftMin, rightMin) >= 4.0)
            peaks.push_back({result.spectrumFrequencies[j], level[j]});
    }
    std::stable_sort(peaks.begin(), peaks.end(), [](const SpectralPeak &a, const SpectralPeak &b) {
        return a.levelDb > b.levelDb;
    });
    if (peaks.size() > 6)
        peaks.resize(6);
    result.spectralPeaks = std::move(peaks);
    m_power = {};
    m_rowMax = {};
}

} // namespace NativeWav
