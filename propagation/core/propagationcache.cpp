#include "propagationcache.h"

#include "datafolders.h"
#include "jsontext.h"
#include "propagationdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace PropagationCache {

namespace {

const char *const fileName = "last-report.json";
const char *const formatName = "corvin-propagation";
constexpr int formatVersion = 1;

QJsonValue timeValue(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

QDateTime timeFrom(const QJsonObject &object, const char *key)
{
    const QDateTime time =
        QDateTime::fromString(object.value(QLatin1String(key)).toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

// A number within low ... high, or absent (valid false).
double numberFrom(const QJsonObject &object, const char *key, double low, double high, bool &valid)
{
    const QJsonValue value = object.value(QLatin1String(key));
    const double number = value.toDouble(std::nan(""));
    valid = value.isDouble() && number >= low && number <= high;
    return valid ? number : 0.0;
}

int integerFrom(const QJsonObject &object, const char *key, int low, int high, bool &valid)
{
    const double number = numberFrom(object, key, low, high, valid);
    valid = valid && std::floor(number) == number;
    return valid ? int(number) : 0;
}

} // namespace

QString path()
{
    return QDir(DataFolders::path(QString::fromLatin1(DataFolders::propagation)))
        .filePath(QString::fromLatin1(fileName));
}

QByteArray toJson(const PropagationData &data)
{
    QJsonObject object;
    object.insert(QStringLiteral("format"), QString::fromLatin1(formatName));
    object.insert(QStringLiteral("version"), formatVersion);
    object.insert(QStringLiteral("retrieved"), timeValue(data.retrieved));
    object.insert(QStringLiteral("hamqslUpdated"), timeValue(data.hamqslUpdated));
    object.insert(QStringLiteral("fluxTime"), timeValue(data.fluxTime));
    object.insert(QStringLiteral("kpTime"), timeValue(data.kpTime));
    const auto optional = [&object](const char *key, bool valid, double value) {
        object.insert(QLatin1String(key), valid ? QJsonValue(value) : QJsonValue());
    };
    optional("solarFlux", data.solarFluxValid, data.solarFlux);
    optional("aIndex", data.aIndexValid, data.aIndex);
    optional("kIndex", data.kIndexValid, data.kIndex);
    optional("kp", data.kpValid, data.kp);
    optional("solarWind", data.solarWindValid, data.solarWind);
    object.insert(QStringLiteral("xray"), data.xray);
    QJsonObject bands;
    for (auto it = data.bands.cbegin(); it != data.bands.cend(); ++it)
        bands.insert(it.key(), QJsonObject{{QStringLiteral("day"), it.value().first},
                                           {QStringLiteral("night"), it.value().second}});
    object.insert(QStringLiteral("bands"), bands);
    object.insert(QStringLiteral("wwv"), data.wwv);
    object.insert(QStringLiteral("errors"), QJsonArray::fromStringList(data.errors));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool fromJson(const QByteArray &json, PropagationData &data)
{
    const QJsonDocument document = JsonText::parse(json);
    if (!document.isObject())
        return false;
    const QJsonObject object = document.object();
    if (object.value(QLatin1String("format")).toString() != QLatin1String(formatName) ||
        object.value(QLatin1String("version")).toInt() != formatVersion)
        return false;
    PropagationData read;
    read.retrieved = timeFrom(object, "retrieved");
    read.hamqslUpdated = timeFrom(object, "hamqslUpdated");
    read.fluxTime = timeFrom(object, "fluxTime");
    read.kpTime = timeFrom(object, "kpTime");
    // The same ranges as the products' readers: a hand-edited file cannot smuggle in more.
    read.solarFlux = numberFrom(object, "solarFlux", 0.0, 1000.0, read.solarFluxValid);
    read.aIndex = integerFrom(object, "aIndex", 0, 400, read.aIndexValid);
    read.kIndex = integerFrom(object, "kIndex", 0, 9, read.kIndexValid);
    read.kp = numberFrom(object, "kp", 0.0, 9.0, read.kpValid);
    read.solarWind = numberFrom(object, "solarWind", 1.0, 5000.0, read.solarWindValid);
    read.xray = object.value(QLatin1String("xray")).toString();
    const QJsonObject bands = object.value(QLatin1String("bands")).toObject();
    for (auto it = bands.constBegin(); it != bands.constEnd(); ++it) {
        const QJsonObject band = it.value().toObject();
        read.bands.insert(it.key(), {band.value(QLatin1String("day")).toString(),
                                     band.value(QLatin1String("night")).toString()});
    }
    read.wwv = object.value(QLatin1String("wwv")).toString();
    for (const QJsonValue &entry : object.value(QLatin1String("errors")).toArray())
        read.errors << entry.toString();
    if (!read.hasData())
        return false;
    data = read;
    return true;
}

QString save(const PropagationData &data)
{
    if (DataFolders::ensure(QString::fromLatin1(DataFolders::propagation)).isEmpty())
        return QCoreApplication::translate("PropagationCache", "Could not create the folder %1")
            .arg(QDir::toNativeSeparators(
                DataFolders::path(QString::fromLatin1(DataFolders::propagation))));
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray json = toJson(data);
    if (file.write(json) != json.size() || !file.commit())
        return file.errorString();
    return QString();
}

bool load(PropagationData &data)
{
    QFile file(path());
    // A cache is a few kilobytes; anything far larger is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024)
        return false;
    return fromJson(file.readAll(), data);
}

} // namespace PropagationCache
