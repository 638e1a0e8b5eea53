#include "rfsweepplan.h"

#include <algorithm>
#include <cmath>

namespace {

qint64 unitsOf(double value)
{
    return static_cast<qint64>(std::floor(value + 0.5)) * RfSweepPlan::unitHz;
}

// Integer division rounding up, for non-negative numerators and positive divisors.
qint64 ceilDiv(qint64 numerator, qint64 divisor)
{
    return (numerator + divisor - 1) / divisor;
}

} // namespace

qint64 RfSweepPlan::hertzFromMegahertz(double megahertz)
{
    return unitsOf(megahertz * 10000.0);
}

qint64 RfSweepPlan::hertzFromKilohertz(double kilohertz)
{
    return unitsOf(kilohertz * 10.0);
}

qint64 RfSweepPlan::count() const
{
    return isValid() ? (endHz - startHz) / stepHz + 1 : 0;
}

qint64 RfSweepPlan::sampleWidthHz() const
{
    return startHz == endHz ? stepHz : std::min(stepHz, endHz - startHz);
}

RfBandSlice RfSweepPlan::slice(int band) const
{
    RfBandSlice result;
    if (!isValid() || band < 0 || band >= RfBands::count)
        return result;
    const RfBands::Band &row = RfBands::table()[static_cast<size_t>(band)];
    const bool last = band == RfBands::count - 1;
    // The highest frequency the band takes: its end for the last band, else just below it.
    const qint64 top = last ? row.endHz : row.endHz - 1;
    if (endHz < row.startHz || top < startHz)
        return result;
    const qint64 first = ceilDiv(std::max(startHz, row.startHz) - startHz, stepHz);
    const qint64 planned = (std::min(endHz, top) - startHz) / stepHz - first + 1;
    if (planned <= 0)
        return result;
    result.first = first;
    result.planned = planned;
    // 64-bit: n x 1400 overflows 32 bits from n of about 1.5 million.
    result.buckets =
        static_cast<int>(std::min(planned, std::max<qint64>(1, planned * plotSticks / count())));
    return result;
}
