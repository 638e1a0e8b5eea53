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

// The listening location stored in the settings ("Location/Name", "Location/Latitude",
// "Location/Longitude"). A stored coordinate that is not a number, or lies outside -90 ... 90
// (latitude) or -180 ... 180 (longitude), counts as not set.
PropagationSite loadListeningLocation(const QSettings &settings);
