#include "smartaudiosettings.h"

#include "settingskeys.h"

#include <QSettings>

#include <algorithm>

SmartAudioSettings SmartAudioSettings::read(QSettings &settings)
{
    const QString prefix = QLatin1String(SettingsKeys::smartScanPrefix);
    SmartAudioSettings result;
    result.durationMs = std::clamp(
        settings.value(prefix + QStringLiteral("smartDurationMs"), defaultDurationMs).toInt(), 500,
        5000);
    result.thresholdDbfs = std::clamp(
        settings.value(prefix + QStringLiteral("smartAudioLevel"), defaultThresholdDbfs).toInt(),
        -95, 0);
    return result;
}
