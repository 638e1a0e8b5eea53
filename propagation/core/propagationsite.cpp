#include "propagationsite.h"

#include "settingskeys.h"

#include <QRegularExpression>
#include <QSettings>

#include <cmath>

double parseCoordinate(const QString &text, double limit, bool *valid)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)$"));
    if (valid)
        *valid = false;
    QString number = text.trimmed();
    if (!pattern.match(number).hasMatch())
        return 0.0;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok); // C locale: decimal point
    if (!ok || !(std::fabs(value) <= limit))
        return 0.0;
    if (valid)
        *valid = true;
    return value;
}

namespace {

// A stored coordinate: a real number within -limit ... limit, else not set.
bool storedCoordinate(const QSettings &settings, const char *key, double limit, double &value)
{
    const QVariant stored = settings.value(QString::fromLatin1(key));
    if (!stored.isValid())
        return false;
    bool ok = false;
    const double number = stored.toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > limit)
        return false;
    value = number;
    return true;
}

} // namespace

PropagationSite loadListeningLocation(const QSettings &settings)
{
    PropagationSite site;
    site.name = settings.value(QString::fromLatin1(SettingsKeys::locationName)).toString();
    site.latitudeValid =
        storedCoordinate(settings, SettingsKeys::locationLatitude, 90.0, site.latitude);
    site.longitudeValid =
        storedCoordinate(settings, SettingsKeys::locationLongitude, 180.0, site.longitude);
    return site;
}
