#include "receiverreadout.h"

#include <algorithm>
#include <cmath>

namespace ReceiverReadout {

namespace {
constexpr qint64 steps[stepCount] = {1,     2,     5,      10,     20,    50,    100,
                                     500,   1000,  5000,   6250,   8330,  10000, 12500,
                                     25000, 50000, 100000, 200000, 500000};
}

qint64 stepHertz(int index)
{
    return steps[clampIndex(index, stepCount)];
}

qint64 clampFrequency(qint64 hertz)
{
    return std::clamp(hertz, minimumFrequency, maximumFrequency);
}

qint64 hertzFromMegahertz(double megahertz)
{
    // std::llround rounds halfway cases away from zero.
    return std::llround(megahertz * 1e6);
}

QString frequencyText(qint64 hertz)
{
    return QStringLiteral("%1.%2")
        .arg(hertz / 1000000)
        .arg(hertz % 1000000, 6, 10, QLatin1Char('0'));
}

QString levelText(int level)
{
    if (level < 0)
        return QStringLiteral("---");
    return QStringLiteral("%1").arg(level, 3, 10, QLatin1Char('0'));
}

double meterValue(int level)
{
    const double value = 1.0 + std::max(level, 0) * 14.0 / 255.0;
    return std::clamp(value, 1.0, 15.0);
}

int clampIndex(int index, int count)
{
    return std::clamp(index, 0, std::max(count - 1, 0));
}

} // namespace ReceiverReadout
