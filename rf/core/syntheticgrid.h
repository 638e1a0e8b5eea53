#pragma once

#include <QPointF>
#include <QVector>
#include <QtGlobal>

#include <vector>

// The common RF grid of a synthetic sweep: bin i lies at start + i x bin Hz, for
// i = 0 ... (end - start) / bin (integer division). Every slice adds its interpolated power
// with a triangular weight that favours the centre of the audio passband; a bin is covered
// when its weight sum is above 0, and its PSD is the weighted mean in linear power. UI-free.
class SyntheticGrid
{
public:
    // The weight at and near the passband edges.
    static constexpr double edgeWeight = 0.05;

    SyntheticGrid() = default;
    // binHz > 0 and startHz <= endHz (SyntheticPlan checks the size).
    SyntheticGrid(qint64 startHz, qint64 endHz, int binHz);

    bool isEmpty() const { return m_sum.empty(); }
    int size() const { return static_cast<int>(m_sum.size()); }
    qint64 startHz() const { return m_start; }
    qint64 endHz() const { return m_end; }
    int binHz() const { return m_bin; }
    qint64 frequencyOf(int bin) const { return m_start + qint64(bin) * m_bin; }

    // Adds a slice tuned at tunedHz (USB: RF = tuned + audio) whose power bins are spacing Hz
    // apart, using its audio passband lowHz ... highHz. Grid bins whose audio offset h lies in
    // the passband get the power linearly interpolated at h / spacing, weighted by
    // 2 min(high - h, h - low) / (high - low) clamped to 0.05 ... 1. False ("Invalid segment")
    // when spacing <= 0, there are fewer than 2 power bins or low >= high; nothing changes then.
    bool combine(qint64 tunedHz, double spacing, const QVector<double> &power, int lowHz,
                 int highHz);

    bool isCovered(int bin) const { return m_weight[static_cast<size_t>(bin)] > 0.0; }
    double weight(int bin) const { return m_weight[static_cast<size_t>(bin)]; }
    // 10 log10(max(sum / weight, 1e-20)) dBFS/Hz of a covered bin.
    double psdDb(int bin) const;

private:
    qint64 m_start = 0;
    qint64 m_end = 0;
    int m_bin = 1;
    std::vector<double> m_sum;
    std::vector<double> m_weight;
};

// What the plot draws of a grid: the covered bins as points (x in MHz, y in dBFS/Hz) and the
// runs of consecutive covered bins, so that no line crosses an uncovered gap.
struct SyntheticTrace
{
    struct Run
    {
        int first = 0; // index into points
        int count = 0;
    };

    QVector<QPointF> points;
    QVector<Run> runs;

    static SyntheticTrace fromGrid(const SyntheticGrid &grid);
};
