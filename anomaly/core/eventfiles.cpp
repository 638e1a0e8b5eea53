#include "eventfiles.h"

#include "wavfilewriter.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QSaveFile>
#include <QUuid>

#include <limits>

namespace EventFiles {

namespace {

bool save(const QString &path, const QByteArray &head, const QByteArray &body)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(head) == head.size() &&
           file.write(body) == body.size() && file.commit();
}

} // namespace

QString baseName(const QJsonObject &metadata)
{
    const double megahertz = metadata.value(QStringLiteral("frequency_hz")).toDouble() / 1e6;
    return QStringLiteral("%1_%2_%3")
        .arg(QString::number(megahertz, 'f', 6),
             QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")),
             QUuid::createUuid().toString(QUuid::Id128));
}

Result write(const QString &folder, const QByteArray &pcm, const QJsonObject &metadata)
{
    Result result;
    const QString name = baseName(metadata);
    const QDir dir(folder);
    result.wavPath = dir.filePath(name + QStringLiteral(".wav"));
    result.jsonPath = dir.filePath(name + QStringLiteral(".json"));

    const double rate = metadata.value(QStringLiteral("sample_rate_hz")).toDouble();
    const bool usable = rate > 0 && rate <= std::numeric_limits<qint32>::max() && !pcm.isEmpty() &&
                        pcm.size() % 2 == 0;
    if (!usable ||
        !save(result.wavPath,
              WavFileWriter::header(static_cast<quint32>(pcm.size()), static_cast<quint32>(rate)),
              pcm))
        return result;
    result.wavWritten = true;

    QJsonObject sidecar = metadata;
    sidecar.insert(QStringLiteral("wav_file"), name + QStringLiteral(".wav"));
    result.jsonWritten =
        save(result.jsonPath, QJsonDocument(sidecar).toJson(QJsonDocument::Indented), QByteArray());
    return result;
}

} // namespace EventFiles
