#pragma once

#include "rfbands.h"
#include "rfstatistics.h"
#include "rfsweepplan.h"

#include <QString>
#include <QVector>

#include <array>

// One plotted stick: the strongest reading of a group of neighbouring samples.
struct RfBucket
{
    qint64 frequency = 0; // Hz
    int level = -1;       // -1 = no reading in the group yet
    int mode = -1;
};

// What a sweep has measured so far, in bounded memory: overall and per-band statistics, and
// per band its plot buckets (max-hold decimation to about 1400 sticks for the whole sweep).
// The full data lives only in the sweep's CSV file. UI-free.
class RfSweepResults
{
public:
    // Clears everything and lays out the bands of the plan.
    void reset(const RfSweepPlan &plan);

    // Records sample k (frequency start + k x step) with its level, or -1 without a reading,
    // and the receiver's effective mode code (9 = none). A bucket takes the reading only when
    // its stored level is lower, so the earlier reading wins a tie.
    void record(qint64 k, qint64 frequency, int level, int mode);

    const RfSweepPlan &plan() const { return m_plan; }
    const RfStatistics &overall() const { return m_overall; }
    const RfStatistics &band(int index) const { return m_bands[static_cast<size_t>(index)]; }
    const RfBandSlice &slice(int index) const { return m_slices[static_cast<size_t>(index)]; }
    const QVector<RfBucket> &buckets(int index) const
    {
        return m_buckets[static_cast<size_t>(index)];
    }

    // True when some band has fewer buckets than samples (the plot shows group maxima).
    bool decimated() const;

    // "%1/%2 sampled | %3 with readings | %4 without readings", followed by
    // " | Peak %1 at %2 MHz" once there is a reading; translated.
    QString summary() const;
    // "%1 valid | %2 without readings | %3 planned" of a band; translated.
    QString bandCoverage(int index) const;

private:
    RfSweepPlan m_plan;
    RfStatistics m_overall;
    std::array<RfStatistics, RfBands::count> m_bands;
    std::array<RfBandSlice, RfBands::count> m_slices;
    std::array<QVector<RfBucket>, RfBands::count> m_buckets;
};

// Frequencies as the RF texts show them: MHz with four decimals.
QString rfMegahertzText(qint64 hertz);
