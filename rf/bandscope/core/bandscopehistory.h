#pragma once

#include <QVector>
#include <QtGlobal>

#include <array>
#include <deque>

// What a run of frames has in common; a frame with another key starts a new history.
struct ScopeHistoryKey
{
    qint64 centreHz = 0;
    int spanCode = 0;
    int peakHold = -1; // the receiver's peak hold as confirmed, -1 unknown
    int binCount = 0;  // 128 or 1024

    bool operator==(const ScopeHistoryKey &other) const
    {
        return centreHz == other.centreHz && spanCode == other.spanCode &&
               peakHold == other.peakHold && binCount == other.binCount;
    }
    bool operator!=(const ScopeHistoryKey &other) const { return !(*this == other); }
};

// One completed sweep: its 1024 codes (-1 missing, 0-15) and when it was processed.
struct ScopeSweep
{
    std::array<qint8, 1024> codes{};
    qint64 utcMs = 0; // milliseconds since the epoch
};

// Rolling statistics of one bin over the newest frames: measured codes (2-15) only.
struct ScopeBinStatistics
{
    int count = 0;
    int maximum = 0;
    double mean = 0.0;
    double sd = 0.0; // population standard deviation; 0 while count < 2
};

// The band scope's history of completed, verified frames: a ring of the newest 256 sweeps of
// one key, the number of frames added since the last reset, and a frozen reference (the
// rolling mean at the moment it was set; -1 for bins without one). Statistics are computed on
// demand from the ring. Memory is bounded to 256 x 1024 codes. Not thread-safe.
class BandScopeHistory
{
public:
    static constexpr int capacity = 256;
    static constexpr int bins = 1024;

    BandScopeHistory();

    // Empties the ring and the reference and zeroes the frame counter; the key stays.
    void clear();
    // Adds a frame; a key that differs from the current one clears everything first and
    // becomes the key. The oldest sweep goes beyond 256.
    void add(const ScopeHistoryKey &key, const std::array<int, bins> &codes, qint64 utcMs);

    const ScopeHistoryKey &key() const { return m_key; }
    int size() const { return static_cast<int>(m_sweeps.size()); }
    bool isEmpty() const { return m_sweeps.empty(); }
    int framesSinceReset() const { return m_framesSinceReset; }
    // Sweep by age: 0 is the newest. age < size().
    const ScopeSweep &sweep(int age) const;

    // Statistics of a bin over the newest min(window, size()) sweeps.
    ScopeBinStatistics statistics(int bin, int window) const;
    QVector<ScopeBinStatistics> statistics(int window) const;

    // Freezes the rolling mean of every bin (count > 0; else -1) as the reference.
    void setReference(int window);
    double reference(int bin) const { return m_reference[static_cast<size_t>(bin)]; }

private:
    ScopeHistoryKey m_key;
    std::deque<ScopeSweep> m_sweeps; // oldest first
    int m_framesSinceReset = 0;
    std::array<double, bins> m_reference{};
};
