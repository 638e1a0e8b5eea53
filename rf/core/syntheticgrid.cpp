#include "syntheticgrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Integer division rounding towards minus and plus infinity.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

qint64 ceilDiv(qint64 a, qint64 b)
{
    return -floorDiv(-a, b);
}

} // namespace

SyntheticGrid::SyntheticGrid(qint64 startHz, qint64 endHz, int binHz)
    : m_start(startHz)
    , m_end(endHz)
    , m_bin(binHz)
    , m_sum(static_cast<size_t>((endHz - startHz) / binHz + 1), 0.0)
    , m_weight(m_sum.size(), 0.0)
{}

bool SyntheticGrid::combine(qint64 tunedHz, double spacing, const QVector<double> &power, int lowHz,
                            int highHz)
{
    if (!(spacing > 0.0) || power.size() < 2 || lowHz >= highHz)
        return false;
    const qint64 first = std::max<qint64>(0, ceilDiv(tunedHz + lowHz - m_start, m_bin));
    const qint64 last = std::min<qint64>(floorDiv(tunedHz + highHz - m_start, m_bin), size() - 1);
    const double span = highHz - lowHz;
    for (qint64 i = first; i <= last; ++i) {
        const qint64 h = m_start + i * m_bin - tunedHz;
        if (h < lowHz || h > highHz)
            continue;
        const double m = double(h) / spacing;
        const double o = std::floor(m);
        if (o < 0.0 || o + 1.0 >= power.size())
            continue;
        const int k = static_cast<int>(o);
        const double p = power[k] + (power[k + 1] - power[k]) * (m - o);
        const double wt =
            std::clamp(2.0 * double(std::min(highHz - h, h - lowHz)) / span, edgeWeight, 1.0);
        m_sum[static_cast<size_t>(i)] += p * wt;
        m_weight[static_cast<size_t>(i)] += wt;
    }
    return true;
}

double SyntheticGrid::psdDb(int bin) const
{
    const auto i = static_cast<size_t>(bin);
    return 10.0 * std::log10(std::max(m_sum[i] / m_weight[i], 1e-20));
}

SyntheticTrace SyntheticTrace::fromGrid(const SyntheticGrid &grid)
{
    SyntheticTrace trace;
    bool inRun = false;
    for (int i = 0; i < grid.size(); ++i) {
        if (!grid.isCovered(i)) {
            inRun = false;
            continue;
        }
        if (!inRun)
            trace.runs.append({trace.points.size(), 0});
        inRun = true;
        ++trace.runs.last().count;
        trace.points.append(QPointF(grid.frequencyOf(i) / 1e6, grid.psdDb(i)));
    }
    return trace;
}
