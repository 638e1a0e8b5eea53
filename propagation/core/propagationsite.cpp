#include "propagationsite.h"

#include "settingskeys.h"

#include <QSettings>

#include <cmath>

namespace {

// A stored coordinate, valid only when it reads as a number within -limit ... limit.
double storedCoordinate(const QSettings &settings, const char *key, double limit, bool *valid)
{
    bool ok = false;
    const double value = settings.value(QLatin1String(key)).toDouble(&ok);
    *valid = ok && std::abs(value) <= limit;
    return *valid ? value : 0.0;
}

} // namespace

PropagationSite loadListeningLocation(const QSettings &settings)
{
    PropagationSite site;
    site.name = settings.value(QLatin1String(SettingsKeys::locationName)).toString();
    site.latitude =
        storedCoordinate(settings, SettingsKeys::locationLatitude, 90.0, &site.latitudeValid);
    site.longitude =
        storedCoordinate(settings, SettingsKeys::locationLongitude, 180.0, &site.longitudeValid);
    return site;
}
