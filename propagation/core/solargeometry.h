#pragma once

// Where the sun stands: the approximate solar coordinates of the US Naval Observatory (about one
// arc minute within two centuries of 2000) and the sun's elevation at a point of the Earth.
// Angles are degrees; latitude is positive north, longitude positive east. Pure functions,
// callable from any thread.

class QDate;

namespace Greyline {

// A point of the Earth, degrees.
struct Site
{
    double latitude = 0.0;
    double longitude = 0.0;
};

// The sun at one instant: declination (degrees, about -23.44 ... 23.44) and the longitude of the
// subsolar point (degrees, -180 ... 180).
struct SunPosition
{
    double declination = 0.0;
    double subsolarLongitude = 0.0;
};

// Brings an angle into -180 ... 180 (floating remainder of x + 180 by 360, made positive, minus
// 180). NaN stays NaN.
double wrap(double x);

// Julian date at 0 h UTC of a date (its Julian Day Number minus 0.5).
double dayZero(const QDate &date);

// The sun at minute (0 ... 1440, fractions allowed) of the UTC day that starts at Julian date
// day0.
SunPosition sunPosition(double day0, double minute);

// Elevation of the sun's centre above the geometric horizon at a point, degrees, -90 ... 90 (no
// refraction).
double solarElevation(const SunPosition &sun, double latitude, double longitude);

} // namespace Greyline
