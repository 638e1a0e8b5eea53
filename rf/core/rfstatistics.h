#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>

// One of the strongest readings of a sweep.
struct RfTopEntry
{
    qint64 frequency = 0; // Hz
    int level = 0;        // S-meter 0-255
    int mode = 9;         // the receiver's effective mode code when read; 9 (AUTO) = none
};

// Running S-meter statistics of a sweep or of one band: counts, a 256-bin histogram of the
// levels and the ten strongest readings. Minimum, maximum, mean, median and deviation come
// from the histogram alone, so the cost is O(256) whatever the number of samples and no sample
// list is kept. UI-free.
class RfStatistics
{
public:
    static constexpr int levels = 256;
    static constexpr int topSize = 10;

    // Counts a sample; level -1 means no reading (the sample counts as processed only).
    // A reading enters the top list after every entry of the same level, so the earlier sample
    // ranks first on a tie; the list keeps the ten strongest.
    void add(qint64 frequency, int level, int mode);

    qint64 processed() const { return m_processed; }
    qint64 valid() const { return m_valid; }
    qint64 countAt(int level) const { return m_histogram[static_cast<size_t>(level)]; }
    const QVector<RfTopEntry> &top() const { return m_top; }

    // Of the valid readings (0 when there are none).
    int minimum() const;
    int maximum() const;
    double mean() const;
    // (v1 + v2) / 2 with v1, v2 the levels at the 0-based ranks floor((n-1)/2) and floor(n/2).
    double median() const;
    // Population deviation; a negative variance from rounding counts as 0.
    double standardDeviation() const;

    // "Min %1 | Max %2\nMean %3 | Median %4\nStandard deviation %5", or
    // "No valid S-meter readings."; translated.
    QString text() const;

private:
    int levelAtRank(qint64 rank) const;

    qint64 m_processed = 0;
    qint64 m_valid = 0;
    std::array<qint64, levels> m_histogram{};
    QVector<RfTopEntry> m_top;
};
