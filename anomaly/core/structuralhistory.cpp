#include "structuralhistory.h"

#include "rankselect.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double tiny = 1e-20;
constexpr int lags[] = {4, 8};           // rows: 0.5 s and 1 s
constexpr double maximumSlopeHz = 500.0; // column shift per 0.5 s

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

void StructuralHistory::direction(AnomalyMetrics::Values &values) const
{
    const auto cols = static_cast<long>(m_columns);
    const long maxShift = std::min(cols / 4, static_cast<long>(maximumSlopeHz / m_columnHz));
    double best = -1.0;
    double bestSlope = 0.0;
    for (long shift = -maxShift; shift <= maxShift; ++shift) {
        double ab = 0.0;
        double aa = 0.0;
        double bb = 0.0;
        long pairs = 0;
        for (int lag : lags) {
            const long q = shift * lag / 4;
            const long first = std::max(0L, -q);
            const long last = std::min(cols, cols - q); // exclusive
            if (first >= last)
                continue;
            for (int t = lag; t < rowCapacity; ++t) {
                const double *a = m_work.data() + static_cast<std::size_t>(t - lag) * m_columns;
                const double *b = m_work.data() + static_cast<std::size_t>(t) * m_columns;
                for (long c = first; c < last; ++c) {
                    const double x = a[c];
                    const double y = b[c + q];
                    ab += x * y;
                    aa += x * x;
                    bb += y * y;
                }
                pairs += last - first;
            }
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
