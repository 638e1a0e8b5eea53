#pragma once

#include <QString>

class QSettings;

// The listening location entered in Settings: used by the propagation report and the
// greyline map. Fields in this order; a coordinate counts only when its flag is set.
struct PropagationSite
{
    QString name;
    double latitude = 0.0; // decimal degrees, north positive, -90 ... 90
    bool latitudeValid = false;
    double longitude = 0.0; // decimal degrees, east positive, -180 ... 180
    bool longitudeValid = false;
};

// A coordinate typed by the user: trimmed, optional sign, digits with a decimal point or a
// decimal comma ("45,5" is 45.5), no exponent, no letters ("45.5N" is refused); the value must
// lie within -limit ... limit. valid (when given) tells whether it was accepted; the result is
// 0 when not.
double parseCoordinate(const QString &text, double limit, bool *valid);

// The listening location stored in the settings ("Location/Name", "Location/Latitude",
// "Location/Longitude"). A stored coordinate that is not a number, or lies outside -90 ... 90
// (latitude) or -180 ... 180 (longitude), counts as not set.
PropagationSite loadListeningLocation(const QSettings &settings);
