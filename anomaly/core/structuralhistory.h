#pragma once

// The live feature bank's structural view: a 64-row (8 s) history of 125 ms band spectra in
// columns of about 24 Hz, and from it the direction of drifting structures (best correlation of
// the residual waterfall with itself shifted along a slope) and the depth of notches. Part of
// LiveFeatureBank; same thread rules: configure() allocates, the rest neither allocates nor
// locks.

#include "anomalymetric.h"

#include <array>
#include <cstddef>
#include <vector>

class StructuralHistory
{
public:
    static constexpr int rowCapacity = 64;

    // columns: levels per row; columnHz: width of one column in Hz.
    void configure(std::size_t columns, double columnHz);
    void reset();

    // Appends one row of `columns` levels in dB, dropping the oldest beyond 64.
    void append(const double *levels);
    int rows() const { return m_rows; }

    // direction_coherence, direction_slope and notch_depth once 64 non-empty rows are held.
    void analyse(AnomalyMetrics::Values &values);

private:
    void residual();
    void direction(AnomalyMetrics::Values &values);

    std::size_t m_columns = 0;
    double m_columnHz = 0.0;
    std::vector<double> m_history; // ring of rows
    int m_rows = 0;
    int m_newest = -1;
    std::vector<double> m_work; // the residual waterfall, oldest row first
    std::vector<double> m_depths;
    std::vector<double> m_column;
    std::vector<double> m_row;
    // Per lag (0.5 s, 1 s): each column's energy over the earlier and the later rows of pairs.
    std::array<std::vector<double>, 2> m_earlierEnergy;
    std::array<std::vector<double>, 2> m_laterEnergy;
};
