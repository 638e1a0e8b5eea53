#include "solargeometry.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace Greyline {

namespace {

constexpr double degree = 0.017453292519943295; // radians
constexpr double j2000 = 2451545.0;             // Julian date of the J2000.0 epoch

} // namespace

double wrap(double x)
{
    double r = std::fmod(x + 180.0, 360.0);
    if (r < 0.0)
        r += 360.0;
    return r - 180.0;
}

double dayZero(const QDate &date)
{
    return static_cast<double>(date.toJulianDay()) - 0.5;
}

SunPosition sunPosition(double day0, double minute)
{
    const double d = day0 - j2000 + minute / 1440.0;
    const double g = wrap(357.529 + 0.98560028 * d) * degree;
    const double q = wrap(280.459 + 0.98564736 * d);
    const double eclipticLongitude = (q + 1.915 * std::sin(g) + 0.020 * std::sin(2.0 * g)) * degree;
    const double obliquity = (23.439 - 0.00000036 * d) * degree;
    const double rightAscension =
        std::atan2(std::cos(obliquity) * std::sin(eclipticLongitude), std::cos(eclipticLongitude)) /
        degree;
    SunPosition sun;
    sun.declination = std::asin(std::sin(obliquity) * std::sin(eclipticLongitude)) / degree;
    const double equationOfTime = wrap(q - rightAscension);
    sun.subsolarLongitude = wrap(180.0 - 0.25 * minute - equationOfTime);
    return sun;
}

double solarElevation(const SunPosition &sun, double latitude, double longitude)
{
    const double declination = sun.declination * degree;
    const double phi = latitude * degree;
    const double s = std::cos((longitude - sun.subsolarLongitude) * degree) *
                         std::cos(declination) * std::cos(phi) +
                     std::sin(declination) * std::sin(phi);
    // Rounding can push s a hair past ±1 at the subsolar point or its antipode.
    return std::asin(std::clamp(s, -1.0, 1.0)) / degree;
}

} // namespace Greyline
