#include "bandscopehistory.h"

#include <algorithm>
#include <cmath>

BandScopeHistory::BandScopeHistory()
{
    clear();
}

void BandScopeHistory::clear()
{
    m_sweeps.clear();
    m_framesSinceReset = 0;
    m_reference.fill(-1.0);
}

void BandScopeHistory::add(const ScopeHistoryKey &key, const std::array<int, bins> &codes,
                           qint64 utcMs)
{
    if (key != m_key) {
        clear();
        m_key = key;
    }
    ScopeSweep sweep;
    std::transform(codes.begin(), codes.end(), sweep.codes.begin(),
                   [](int code) { return static_cast<qint8>(std::clamp(code, -1, 15)); });
    sweep.utcMs = utcMs;
    m_sweeps.push_back(sweep);
    if (m_sweeps.size() > capacity)
        m_sweeps.pop_front();
    ++m_framesSinceReset;
}

const ScopeSweep &BandScopeHistory::sweep(int age) const
{
    return m_sweeps[m_sweeps.size() - 1 - static_cast<size_t>(age)];
}

ScopeBinStatistics BandScopeHistory::statistics(int bin, int window) const
{
    ScopeBinStatistics stats;
    double m2 = 0.0;
    const int frames = std::min(window, size());
    for (int age = 0; age < frames; ++age) {
        const int code = sweep(age).codes[static_cast<size_t>(bin)];
        if (code < 2 || code > 15)
            continue;
        ++stats.count;
        stats.maximum = std::max(stats.maximum, code);
        // Welford's update.
        const double before = stats.mean;
        stats.mean += (code - before) / stats.count;
        m2 += (code - before) * (code - stats.mean);
    }
    if (stats.count > 1)
        stats.sd = std::sqrt(std::max(m2 / stats.count, 0.0));
    return stats;
}

QVector<ScopeBinStatistics> BandScopeHistory::statistics(int window) const
{
    QVector<ScopeBinStatistics> all(bins);
    for (int bin = 0; bin < bins; ++bin)
        all[bin] = statistics(bin, window);
    return all;
}

void BandScopeHistory::setReference(int window)
{
    for (int bin = 0; bin < bins; ++bin) {
        const ScopeBinStatistics stats = statistics(bin, window);
        m_reference[static_cast<size_t>(bin)] = stats.count > 0 ? stats.mean : -1.0;
    }
}
