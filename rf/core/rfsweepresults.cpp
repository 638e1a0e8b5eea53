#include "rfsweepresults.h"

#include <QCoreApplication>

QString rfMegahertzText(qint64 hertz)
{
    return QString::number(hertz / 1e6, 'f', 4);
}

void RfSweepResults::reset(const RfSweepPlan &plan)
{
    m_plan = plan;
    m_overall = RfStatistics();
    for (int band = 0; band < RfBands::count; ++band) {
        const auto i = static_cast<size_t>(band);
        m_bands[i] = RfStatistics();
        m_slices[i] = plan.slice(band);
        m_buckets[i] = QVector<RfBucket>(m_slices[i].buckets);
    }
}

void RfSweepResults::record(qint64 k, qint64 frequency, int level, int mode)
{
    m_overall.add(frequency, level, mode);
    const int band = RfBands::indexOf(frequency);
    if (band == RfBands::none)
        return;
    const auto i = static_cast<size_t>(band);
    m_bands[i].add(frequency, level, mode);
    const RfBandSlice &slice = m_slices[i];
    if (level < 0 || k < slice.first || k >= slice.first + slice.planned)
        return;
    // 64-bit: (k - first) x buckets overflows 32 bits on long sweeps.
    const qint64 index = (k - slice.first) * slice.buckets / slice.planned;
    RfBucket &bucket = m_buckets[i][static_cast<int>(index)];
    if (bucket.level < level)
        bucket = RfBucket{frequency, level, -1};
}

bool RfSweepResults::decimated() const
{
    for (const RfBandSlice &slice : m_slices) {
        if (slice.buckets < slice.planned)
            return true;
    }
    return false;
}

QString RfSweepResults::summary() const
{
    QString text = QCoreApplication::translate(
                       "RfSweep", "%1/%2 sampled | %3 with readings | %4 without readings")
                       .arg(m_overall.processed())
                       .arg(m_plan.count())
                       .arg(m_overall.valid())
                       .arg(m_overall.processed() - m_overall.valid());
    if (!m_overall.top().isEmpty()) {
        const RfTopEntry &peak = m_overall.top().first();
        text += QCoreApplication::translate("RfSweep", " | Peak %1 at %2 MHz")
                    .arg(peak.level)
                    .arg(rfMegahertzText(peak.frequency));
    }
    return text;
}

QString RfSweepResults::bandCoverage(int index) const
{
    const RfStatistics &stats = band(index);
    return QCoreApplication::translate("RfSweep", "%1 valid | %2 without readings | %3 planned")
        .arg(stats.valid())
        .arg(stats.processed() - stats.valid())
        .arg(slice(index).planned);
}
