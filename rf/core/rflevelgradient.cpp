#include "rflevelgradient.h"

#include <QColor>

namespace RfLevelGradient {

QGradientStops stops()
{
    QGradientStops result;
    result.reserve(stopCount);
    for (int i = 0; i < stopCount; ++i) {
        const double position = i / double(stopCount - 1);
        result.append({position, QColor::fromHsvF((1.0 - position) * 0.62, 0.82,
                                                  0.82 + 0.18 * position, 1.0)});
    }
    return result;
}

QLinearGradient gradient(double lowY, double highY)
{
    QLinearGradient result(0.0, lowY, 0.0, highY);
    result.setStops(stops());
    return result;
}

} // namespace RfLevelGradient
