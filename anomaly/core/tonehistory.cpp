#include "tonehistory.h"

#include "rankselect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double unavailable = std::numeric_limits<double>::quiet_NaN();
constexpr double tiny = 1e-20;
constexpr int neighbourhood = 60; // bins each side of a peak
constexpr int guard = 4;          // bins next to a peak left out of its background
constexpr int supportNeeded = 5;  // rows of 8
constexpr int combMultiples = 15;
constexpr int minimumSpacing = 10; // Hz

// Whether the median background of bin j, the upper median of the bins first ... last without
// the guard bins around j, lies below the threshold: x > k max(median, tiny) becomes
// x > k tiny and median < x / k, decided by counting instead of selecting.
bool backgroundBelow(const double *values, std::size_t j, std::size_t first, std::size_t last,
                     double threshold)
{
    const std::size_t lowerEnd = j + 1 > guard + first ? j + 1 - guard : first; // exclusive
    const std::size_t upperStart = j + guard;
    std::size_t count = lowerEnd - first;
    std::size_t below = RankSelect::countBelow(values + first, count, threshold);
    if (upperStart <= last) {
        count += last + 1 - upperStart;
        below += RankSelect::countBelow(values + upperStart, last + 1 - upperStart, threshold);
    }
    return below >= count / 2 + 1;
}

} // namespace

void ToneHistory::configure(int sampleRate, double lowHz, double highHz, const double *secondWindow)
{
    reset();
    m_rate = static_cast<std::size_t>(sampleRate);
    m_firstHz = std::max(1, static_cast<int>(std::ceil(lowHz)));
    const int lastHz = static_cast<int>(std::floor(highHz));
    m_length = lastHz >= m_firstHz ? static_cast<std::size_t>(lastHz - m_firstHz + 1) : 0;
    m_window = secondWindow;
    m_windowed.assign(m_rate, 0.0);
    m_bins.assign(m_rate / 2 + 1, 0.0);
    m_transform = NativeDsp::FftBackend::PlannedTransform::realForward(m_windowed.data(),
                                                                       m_bins.data(), m_rate);
    m_history.assign(rowCapacity * m_length, 0.0);
    m_average.assign(m_length, 0.0);
    m_peaks.reserve(m_length);
}

void ToneHistory::reset()
{
    m_rate = 0;
    m_length = 0;
    m_window = nullptr;
    m_rows = 0;
    m_newest = -1;
    m_windowed = {};
    m_bins = {};
    m_transform = {};
    m_history = {};
    m_average = {};
    m_peaks = {};
}

const double *ToneHistory::row(int age) const
{
    const int slot = (m_newest - (m_rows - 1) + age + rowCapacity) % rowCapacity;
    return m_history.data() + static_cast<std::size_t>(slot) * m_length;
}

void ToneHistory::append(const double *centred)
{
    for (std::size_t i = 0; i < m_rate; ++i)
        m_windowed[i] = m_window[i] * centred[i];
    m_transform.run();
    m_newest = (m_newest + 1) % rowCapacity;
    m_rows = std::min(m_rows + 1, rowCapacity);
    double *target = m_history.data() + static_cast<std::size_t>(m_newest) * m_length;
    const std::complex<double> *source = m_bins.data() + m_firstHz;
    for (std::size_t k = 0; k < m_length; ++k)
        target[k] = std::norm(source[k]);
}

bool ToneHistory::supported(std::size_t j, std::size_t first, std::size_t last) const
{
    int support = 0;
    for (int age = 0; age < rowCapacity; ++age) {
        const double *r = row(age);
        const double peak = std::max({r[j - 1], r[j], r[j + 1]});
        if (peak > 4.0 * tiny && backgroundBelow(r, j, first, last, peak / 4.0))
            ++support;
        // The answer is known as soon as the count is reached or out of reach.
        const int left = rowCapacity - 1 - age;
        if (support >= supportNeeded || support + left < supportNeeded)
            break;
    }
    return support >= supportNeeded;
}

void ToneHistory::findPeaks(AnomalyMetrics::Values &values)
{
    if (m_rows != rowCapacity || m_length < 5)
        return;
    std::fill(m_average.begin(), m_average.end(), 0.0);
    for (int age = 0; age < rowCapacity; ++age) {
        const double *r = row(age);
        for (std::size_t k = 0; k < m_length; ++k)
            m_average[k] += 0.125 * r[k];
    }
    const double *a = m_average.data();
    const double top = *std::max_element(m_average.begin(), m_average.end());

    m_peaks.clear();
    for (std::size_t j = 2; j + 3 <= m_length; ++j) {
        if (!(a[j] > a[j - 1] && a[j] >= a[j + 1] && a[j] > a[j - 2] && a[j] >= a[j + 2] &&
              a[j] >= top * 1e-5))
            continue;
        const std::size_t first = j >= neighbourhood ? j - neighbourhood : 0;
        const std::size_t last = std::min(j + neighbourhood, m_length - 1);
        // Above 9 dB in the 8 s average, and above 6 dB in at least 5 of the 8 seconds.
        if (a[j] > 8.0 * tiny && backgroundBelow(a, j, first, last, a[j] / 8.0) &&
            supported(j, first, last))
            m_peaks.push_back(m_firstHz + static_cast<int>(j));
    }

    values[static_cast<int>(AnomalyMetric::PersistentPeaks)] = static_cast<double>(m_peaks.size());
    values[static_cast<int>(AnomalyMetric::CombCount)] = 0.0;
    if (m_peaks.size() > maximumCombPeaks)
        values[static_cast<int>(AnomalyMetric::CombCount)] = unavailable;
    else
        findComb(values);
}

void ToneHistory::findComb(AnomalyMetrics::Values &values) const
{
    int bestTeeth = 0;
    int bestSpacing = 0;
    const auto begin = m_peaks.begin();
    const auto end = m_peaks.end();
    for (auto i = begin; i != end; ++i) {
        for (auto k = i + 1; k != end; ++k) {
            const int spacing = *k - *i;
            if (spacing < minimumSpacing)
                continue;
            int teeth = 2;
            for (int m = 2; m <= combMultiples; ++m) {
                // Peaks are whole hertz: within 1.5 Hz of the expected tooth means within 1.
                const int expected = *i + m * spacing;
                const auto found = std::lower_bound(k, end, expected - 1);
                if (found == end || *found > expected + 1)
                    break;
                ++teeth;
            }
            if (teeth > bestTeeth || (teeth == bestTeeth && spacing < bestSpacing)) {
                bestTeeth = teeth;
                bestSpacing = spacing;
            }
        }
    }
    if (bestTeeth >= 3) {
        values[static_cast<int>(AnomalyMetric::CombCount)] = bestTeeth;
        values[static_cast<int>(AnomalyMetric::CombSpacing)] = bestSpacing;
    }
}
