#include "syntheticplan.h"

#include <cmath>

qint64 SyntheticParameters::megahertzToHz(double megahertz)
{
    return static_cast<qint64>(std::floor(megahertz * 1e6 + 0.5));
}

namespace SyntheticPlan {

bool build(const SyntheticParameters &p, QVector<qint64> *tunings)
{
    tunings->clear();
    if (qint64(p.binHz) * p.captureMs < 1000 || p.binHz <= 0 || p.startHz >= p.endHz ||
        p.lowHz < 0 || p.lowHz >= p.highHz || p.stepHz <= 0 || p.stepHz % 100 != 0 ||
        p.highHz - p.lowHz < p.stepHz || p.startHz - p.lowHz < minStartBelowLowHz ||
        p.endHz > maxFrequencyHz || (p.endHz - p.startHz) / p.binHz > maxGridBins - 1) {
        return false;
    }
    QVector<qint64> plan;
    for (qint64 t = (p.startHz - p.lowHz) / 100 * 100;; t += p.stepHz) {
        if (plan.size() == maxTunings || t > maxFrequencyHz)
            return false;
        plan.append(t);
        if (t + p.highHz >= p.endHz)
            break;
    }
    *tunings = plan;
    return true;
}

} // namespace SyntheticPlan
