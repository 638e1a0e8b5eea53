#include "structuralhistory.h"

#include "rankselect.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr double tiny = 1e-20;
constexpr int lags[] = {4, 8};           // rows: 0.5 s and 1 s
constexpr double maximumSlopeHz = 500.0; // column shift per 0.5 s

// Sum of a[i] * b[i] in four interleaved partial sums, which the processor runs side by side.
double dot(const double *a, const double *b, std::size_t n)
{
    double s0 = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += a[i] * b[i];
        s1 += a[i + 1] * b[i + 1];
        s2 += a[i + 2] * b[i + 2];
        s3 += a[i + 3] * b[i + 3];
    }
    for (; i < n; ++i)
        s0 += a[i] * b[i];
    return (s0 + s1) + (s2 + s3);
}

} // namespace

void StructuralHistory::configure(std::size_t columns, double columnHz)
{
    reset();
    m_columns = columns;
    m_columnHz = columnHz;
    const std::size_t cells = rowCapacity * columns;
    m_history.assign(cells, 0.0);
    m_work.assign(cells, 0.0);
    m_depths.assign(cells, 0.0);
    m_column.assign(rowCapacity, 0.0);
    m_row.assign(columns, 0.0);
    for (std::size_t l = 0; l < std::size(lags); ++l) {
        m_earlierEnergy[l].assign(columns, 0.0);
        m_laterEnergy[l].assign(columns, 0.0);
    }
}

void StructuralHistory::reset()
{
    *this = StructuralHistory();
}

void StructuralHistory::append(const double *levels)
{
    m_newest = (m_newest + 1) % rowCapacity;
    m_rows = std::min(m_rows + 1, rowCapacity);
    std::copy(levels, levels + m_columns,
              m_history.begin() +
                  static_cast<std::ptrdiff_t>(m_newest) * static_cast<std::ptrdiff_t>(m_columns));
}

void StructuralHistory::analyse(AnomalyMetrics::Values &values)
{
    if (m_rows != rowCapacity || m_columns == 0)
        return;
    residual();
    const std::size_t count = m_depths.size();
    const auto rank = static_cast<std::size_t>(std::floor(0.95 * static_cast<double>(count - 1)));
    values[static_cast<int>(AnomalyMetric::NotchDepth)] =
        RankSelect::select(m_depths.data(), count, rank);
    direction(values);
}

void StructuralHistory::residual()
{
    const std::size_t cols = m_columns;
    // Oldest row first: the ring's oldest row follows the newest one.
    for (int t = 0; t < rowCapacity; ++t) {
        const int slot = (m_newest + 1 + t) % rowCapacity;
        std::copy_n(m_history.begin() +
                        static_cast<std::ptrdiff_t>(slot) * static_cast<std::ptrdiff_t>(cols),
                    cols,
                    m_work.begin() +
                        static_cast<std::ptrdiff_t>(t) * static_cast<std::ptrdiff_t>(cols));
    }
    // Each column minus its median over time...
    for (std::size_t c = 0; c < cols; ++c) {
        for (int t = 0; t < rowCapacity; ++t)
            m_column[static_cast<std::size_t>(t)] = m_work[static_cast<std::size_t>(t) * cols + c];
        const double median = RankSelect::upperMedian(m_column.data(), rowCapacity);
        for (int t = 0; t < rowCapacity; ++t)
            m_work[static_cast<std::size_t>(t) * cols + c] -= median;
    }
    // ... then each row lightly smoothed across frequency, minus its own median; what lies
    // below the row's median is a notch.
    double *depth = m_depths.data();
    for (int t = 0; t < rowCapacity; ++t) {
        double *r = m_work.data() + static_cast<std::size_t>(t) * cols;
        std::copy(r, r + cols, m_row.begin());
        const double median = RankSelect::upperMedian(m_row.data(), cols);
        std::copy(r, r + cols, m_row.begin());
        const double *original = m_row.data();
        for (std::size_t k = 0; k < cols; ++k) {
            const bool edge = k == 0 || k + 1 == cols;
            const double s =
                edge ? original[k] - median
                     : (2.0 * original[k] + original[k - 1] + original[k + 1]) / 4.0 - median;
            r[k] = s;
            *depth++ = std::max(-s, 0.0);
        }
    }
}

void StructuralHistory::direction(AnomalyMetrics::Values &values)
{
    const std::size_t cols = m_columns;
    const auto row = [this, cols](int t) {
        return m_work.data() + static_cast<std::size_t>(t) * cols;
    };
    // The squared sums of a slope's pairs depend on the columns only: per lag, the energy of
    // each column over the earlier rows (a) and over the later rows (b) of its pairs.
    for (std::size_t l = 0; l < std::size(lags); ++l) {
        double *earlier = m_earlierEnergy[l].data();
        double *later = m_laterEnergy[l].data();
        std::fill_n(earlier, cols, 0.0);
        std::fill_n(later, cols, 0.0);
        for (int t = lags[l]; t < rowCapacity; ++t) {
            const double *a = row(t - lags[l]);
            const double *b = row(t);
            for (std::size_t c = 0; c < cols; ++c) {
                earlier[c] += a[c] * a[c];
                later[c] += b[c] * b[c];
            }
        }
    }

    const auto width = static_cast<long>(cols);
    const long maxShift = std::min(width / 4, static_cast<long>(maximumSlopeHz / m_columnHz));
    double best = -1.0;
    double bestSlope = 0.0;
    for (long shift = -maxShift; shift <= maxShift; ++shift) {
        double ab = 0.0;
        double aa = 0.0;
        double bb = 0.0;
        long pairs = 0;
        for (std::size_t l = 0; l < std::size(lags); ++l) {
            const int lag = lags[l];
            const long q = shift * lag / 4;
            // Columns c with 0 <= c + q < cols pair with column c + q of the later row.
            const long first = std::max(0L, -q);
            const long last = std::min(width, width - q); // exclusive
            if (first >= last)
                continue;
            const auto n = static_cast<std::size_t>(last - first);
            for (long c = first; c < last; ++c) {
                aa += m_earlierEnergy[l][static_cast<std::size_t>(c)];
                bb += m_laterEnergy[l][static_cast<std::size_t>(c + q)];
            }
            for (int t = lag; t < rowCapacity; ++t)
                ab += dot(row(t - lag) + first, row(t) + first + q, n);
            pairs += (rowCapacity - lag) * (last - first);
        }
        if (pairs == 0 || !(aa > tiny) || !(bb > tiny))
            continue;
        const double correlation = ab / std::sqrt(aa * bb);
        if (correlation > best) {
            best = correlation;
            bestSlope = 2.0 * static_cast<double>(shift) * m_columnHz;
        }
    }
    if (best >= 0.0) {
        values[static_cast<int>(AnomalyMetric::DirectionCoherence)] = best;
        values[static_cast<int>(AnomalyMetric::DirectionSlope)] = bestSlope;
    }
}
