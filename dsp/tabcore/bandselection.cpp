#include "bandselection.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double halfBandHz = 120.0;
constexpr int boxLimitHz = 96000;
} // namespace

BandBoxes bandBoxesFor(const NativeWav::Result &result)
{
    const double top = std::floor(result.highHz);
    const int e =
        std::isfinite(top) ? static_cast<int>(std::clamp(top, -1.0, 1.0 * boxLimitHz)) : boxLimitHz;
    BandBoxes boxes;
    boxes.lowMaximum = std::max(e - 1, 0);
    boxes.highMaximum = std::max(e, 1);
    const double low = std::floor(result.lowHz);
    boxes.band.lowHz =
        std::max(std::isfinite(low) ? static_cast<int>(std::min(low, e - 1.0)) : 0, 0);
    boxes.band.highHz = e;
    return boxes;
}

AudioBand bandAround(const NativeWav::Result &result, double hertz, int highMaximum)
{
    const double f = std::clamp(hertz, result.lowHz, std::max(result.lowHz, result.highHz));
    double lo = std::max(f - halfBandHz, result.lowHz);
    double hi = std::min(f + halfBandHz, result.highHz);
    const NativeWav::PulseTrain *nearest = nullptr;
    double nearestDistance = halfBandHz;
    for (const NativeWav::PulseTrain &train : result.trains) {
        const double distance = std::abs(train.bandHz - f);
        if (distance < nearestDistance) {
            nearest = &train;
            nearestDistance = distance;
        }
    }
    if (nearest) {
        lo = nearest->lowHz;
        hi = nearest->highHz;
    }
    AudioBand band;
    band.lowHz = static_cast<int>(std::max(std::floor(lo), 0.0));
    band.highHz = static_cast<int>(std::min(std::ceil(hi), static_cast<double>(highMaximum)));
    if (band.lowHz >= band.highHz)
        band.lowHz = std::max(band.highHz - 1, 0);
    return band;
}
