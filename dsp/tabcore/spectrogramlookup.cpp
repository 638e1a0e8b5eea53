#include "spectrogramlookup.h"

#include <algorithm>
#include <cmath>

SpectrogramLookup::SpectrogramLookup(const NativeWav::Result &result)
    : m_result(result)
    , m_rows(static_cast<int>(result.displayFrequencies.size()))
    , m_columns(std::max(result.timeColumns, 0))
{
    m_hasData = m_rows > 0 && m_columns > 0 &&
                result.spectrogramDb.size() >=
                    static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns);
}

int SpectrogramLookup::column(double seconds) const
{
    const double duration = m_result.durationSeconds;
    if (m_columns <= 0 || !(duration > 0.0) || !std::isfinite(seconds))
        return 0;
    const double position = std::clamp(seconds, 0.0, duration) / duration * m_columns;
    return std::clamp(static_cast<int>(std::floor(position)), 0, m_columns - 1);
}

int SpectrogramLookup::nearestRow(double hertz) const
{
    const std::vector<double> &f = m_result.displayFrequencies;
    if (f.empty())
        return 0;
    const auto above = std::lower_bound(f.begin(), f.end(), hertz);
    if (above == f.begin())
        return 0;
    if (above == f.end())
        return m_rows - 1;
    const auto below = above - 1;
    // On a tie the upper row wins.
    const bool upper = *above - hertz <= hertz - *below;
    return static_cast<int>((upper ? above : below) - f.begin());
}

int SpectrogramLookup::rowAtOrAbove(double hertz) const
{
    const std::vector<double> &f = m_result.displayFrequencies;
    const auto above = std::lower_bound(f.begin(), f.end(), hertz);
    return above == f.end() ? std::max(m_rows - 1, 0) : static_cast<int>(above - f.begin());
}

double SpectrogramLookup::cell(int row, int column) const
{
    if (!m_hasData || row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return noData;
    return m_result
        .spectrogramDb[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
                       static_cast<std::size_t>(column)];
}

double SpectrogramLookup::valueAt(double seconds, double hertz) const
{
    if (!m_hasData)
        return noData;
    return cell(nearestRow(hertz), column(seconds));
}
