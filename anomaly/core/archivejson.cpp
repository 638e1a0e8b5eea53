#include "archivejson.h"

#include "jsontext.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>

namespace ArchiveJson {

namespace {

QString withoutLastSuffix(const QString &wavPath)
{
    const QString suffix = QFileInfo(wavPath).suffix();
    return suffix.isEmpty() ? wavPath : wavPath.left(wavPath.size() - suffix.size() - 1);
}

QString wholeNumber(double value)
{
    return QString::number(value, 'f', 0);
}

// Line breaks and other control characters of a text field become spaces: the key is one line of
// the report and one entry of the context list.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

QJsonObject parseObject(const QByteArray &bytes)
{
    if (bytes.size() > maxFileBytes)
        return QJsonObject();
    const QJsonDocument document = JsonText::parse(bytes);
    return document.isObject() ? document.object() : QJsonObject();
}

QJsonObject readObject(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    // One byte more than allowed tells an oversized file.
    return parseObject(file.read(maxFileBytes + 1));
}

QString sidecarPath(const QString &wavPath)
{
    return withoutLastSuffix(wavPath) + QStringLiteral(".json");
}

QString reviewPath(const QString &wavPath)
{
    return withoutLastSuffix(wavPath) + QStringLiteral(".review.json");
}

QString shortestNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString contextKey(const QJsonObject &metadata)
{
    const QJsonValue frequency = metadata.value(QLatin1String("frequency_hz"));
    const QJsonValue low = metadata.value(QLatin1String("analysis_low_hz"));
    const QJsonValue high = metadata.value(QLatin1String("analysis_high_hz"));
    const QJsonValue rate = metadata.value(QLatin1String("sample_rate_hz"));
    const QJsonValue channel = metadata.value(QLatin1String("source_channel_index"));
    const QString mode = oneLine(metadata.value(QLatin1String("mode")).toString());
    const QString device = oneLine(metadata.value(QLatin1String("audio_device")).toString());
    if (!frequency.isDouble() || !low.isDouble() || !high.isDouble() || !rate.isDouble() ||
        !channel.isDouble() || mode.isEmpty() || device.isEmpty())
        return QString();
    return QStringLiteral("%1 Hz | %2 | %3-%4 Hz | Fs %5 | ch %6 | %7")
        .arg(wholeNumber(frequency.toDouble()), mode, shortestNumber(low.toDouble()),
             shortestNumber(high.toDouble()), wholeNumber(rate.toDouble()),
             wholeNumber(channel.toDouble() + 1.0), device);
}

} // namespace ArchiveJson
