#include "favoriteattributes.h"

#include "audioanalysisresult.h"
#include "rfbands.h"

namespace FavoriteAttributes {

const QStringList &keys()
{
    static const QStringList list = {
        QLatin1String(sMeter),      QLatin1String(dbfsRms),        QLatin1String(dbfsPeak),
        QLatin1String(quality),     QLatin1String(classification), QLatin1String(discoveredUtc),
        QLatin1String(observedUtc), QLatin1String(notes),          QLatin1String(bandOverride)};
    return list;
}

QString utcText(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QDateTime parseUtc(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QJsonObject favoriteMeasurement(const QString &utc, int level, const AudioAnalysisResult *result)
{
    QJsonObject measurement{{QStringLiteral("utc"), utc}};
    if (level >= 0)
        measurement.insert(QLatin1String(sMeter), level);
    if (!result)
        return measurement;
    const QString key = SignalClassification::key(result->classification);
    measurement.insert(QStringLiteral("outcome"), key);
    measurement.insert(QLatin1String(dbfsRms), result->dbfs_rms);
    measurement.insert(QLatin1String(dbfsPeak), result->dbfs_peak);
    const bool scores = key == QLatin1String("possible") || key == QLatin1String("tone") ||
                        key == QLatin1String("modulated");
    if (level >= 0 || !scores) {
        measurement.insert(QLatin1String(quality), SignalClassification::combinedQuality(
                                                       key, result->quality, std::max(level, 0)));
    }
    return measurement;
}

QJsonObject measurementToAttributes(const QJsonObject &measurement)
{
    QJsonObject attributes;
    const QString utc = measurement.value(QStringLiteral("utc")).toString();
    if (!utc.isEmpty()) {
        attributes.insert(QLatin1String(discoveredUtc), utc);
        attributes.insert(QLatin1String(observedUtc), utc);
    }
    const QString label =
        SignalClassification::label(measurement.value(QStringLiteral("outcome")).toString());
    if (!label.isEmpty())
        attributes.insert(QLatin1String(classification), label);
    for (const char *key : {sMeter, dbfsRms, dbfsPeak, quality}) {
        const QJsonValue value = measurement.value(QLatin1String(key));
        if (!value.isDouble())
            continue;
        const int decimals = QLatin1String(key).startsWith(QLatin1String("dbfs_")) ? 1 : 0;
        attributes.insert(QLatin1String(key), QString::number(value.toDouble(), 'f', decimals));
    }
    return attributes;
}

QJsonObject mergeFavoriteAttributes(const QJsonObject &existing, const QJsonObject &newer)
{
    const QDateTime existingObserved =
        parseUtc(existing.value(QLatin1String(observedUtc)).toString());
    const QDateTime newerObserved = parseUtc(newer.value(QLatin1String(observedUtc)).toString());
    const bool newerWins = !existingObserved.isValid() ||
                           (newerObserved.isValid() && newerObserved >= existingObserved);
    QJsonObject result = newerWins ? newer : existing;

    const QString existingText = existing.value(QLatin1String(discoveredUtc)).toString();
    const QString newerText = newer.value(QLatin1String(discoveredUtc)).toString();
    const QDateTime existingFound = parseUtc(existingText);
    const QDateTime newerFound = parseUtc(newerText);
    if (existingFound.isValid() && (!newerFound.isValid() || existingFound < newerFound))
        result.insert(QLatin1String(discoveredUtc), existingText);
    else if (newerFound.isValid())
        result.insert(QLatin1String(discoveredUtc), newerText);

    for (const char *key : {notes, bandOverride}) {
        if (existing.contains(QLatin1String(key)))
            result.insert(QLatin1String(key), existing.value(QLatin1String(key)));
    }
    return result;
}

int bandIndex(qint64 frequency, const QJsonObject &attributes)
{
    const int named =
        RfBands::indexOfName(attributes.value(QLatin1String(bandOverride)).toString());
    return named != RfBands::none ? named : RfBands::indexOf(frequency);
}

} // namespace FavoriteAttributes
