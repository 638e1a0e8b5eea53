#include "propagationdata.h"

bool PropagationData::hasData() const
{
    return solarFluxValid || aIndexValid || kIndexValid || kpValid || solarWindValid ||
           !xray.isEmpty() || !bands.isEmpty() || !wwv.isEmpty();
}

bool PropagationData::operator==(const PropagationData &other) const
{
    // Values behind a cleared flag do not count.
    const auto same = [](bool validA, double a, bool validB, double b) {
        return validA == validB && (!validA || a == b);
    };
    return retrieved == other.retrieved && hamqslUpdated == other.hamqslUpdated &&
           fluxTime == other.fluxTime && kpTime == other.kpTime &&
           same(solarFluxValid, solarFlux, other.solarFluxValid, other.solarFlux) &&
           same(aIndexValid, aIndex, other.aIndexValid, other.aIndex) &&
           same(kIndexValid, kIndex, other.kIndexValid, other.kIndex) &&
           same(kpValid, kp, other.kpValid, other.kp) &&
           same(solarWindValid, solarWind, other.solarWindValid, other.solarWind) &&
           xray == other.xray && bands == other.bands && wwv == other.wwv && errors == other.errors;
}
