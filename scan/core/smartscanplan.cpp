#include "smartscanplan.h"

#include <cmath>

qint64 SmartScanPlan::hertz(double value, double scale)
{
    return static_cast<qint64>(std::llround(value * scale));
}
