#pragma once

// Order statistics on scratch buffers the caller owns, for code that must not allocate while it
// runs. The values are reordered.

#include <algorithm>
#include <cstddef>

namespace RankSelect {

// The value of 0-based rank `rank` in ascending order; 0 <= rank < count.
inline double select(double *values, std::size_t count, std::size_t rank)
{
    double *nth = values + rank;
    std::nth_element(values, nth, values + count);
    return *nth;
}

// The element of rank count / 2: for an even count the larger middle value. count > 0.
inline double upperMedian(double *values, std::size_t count)
{
    return select(values, count, count / 2);
}

// Values below the threshold, for deciding upperMedian(values) < threshold without selecting:
// it holds exactly when at least count / 2 + 1 values lie below.
inline std::size_t countBelow(const double *values, std::size_t count, double threshold)
{
    std::size_t below = 0;
    for (std::size_t i = 0; i < count; ++i)
        below += values[i] < threshold ? 1 : 0;
    return below;
}

// The median with an even count taken as the mean of the two middle values. count > 0.
inline double meanMedian(double *values, std::size_t count)
{
    const double upper = select(values, count, count / 2);
    if (count % 2 != 0)
        return upper;
    // After the selection the lower middle value is the largest value before the upper one.
    const double lower = *std::max_element(values, values + count / 2);
    return 0.5 * (lower + upper);
}

} // namespace RankSelect
