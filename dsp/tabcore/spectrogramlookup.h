#pragma once

// Reads cells of an analysis result's display spectrogram: rows at the ascending
// displayFrequencies (Hz), timeColumns columns spread evenly over durationSeconds, values in dB
// stored row-major. Keeps a reference to the result, which must outlive it. UI-free; the
// result is never changed, so any number of threads may read at once.

#include "analysisresult.h"

class SpectrogramLookup
{
public:
    // What valueAt answers where there is nothing to show.
    static constexpr double noData = -160.0;

    explicit SpectrogramLookup(const NativeWav::Result &result);

    // True when there are rows and columns and the matrix holds all their cells.
    bool hasData() const { return m_hasData; }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    // The column of a time: floor(clamp(seconds, 0, duration) / duration * columns), limited to
    // the columns (0 for a zero duration or a non-finite time).
    int column(double seconds) const;
    // The row whose frequency is nearest to hertz; of two equally near rows the upper one.
    int nearestRow(double hertz) const;
    // The first row whose frequency is at least hertz, the last row when there is none.
    int rowAtOrAbove(double hertz) const;
    double cell(int row, int column) const;

    // The plot's value at (time, frequency): the cell of column(seconds) and nearestRow(hertz);
    // noData without data.
    double valueAt(double seconds, double hertz) const;

private:
    const NativeWav::Result &m_result;
    int m_rows = 0;
    int m_columns = 0;
    bool m_hasData = false;
};
