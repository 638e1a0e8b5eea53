#include "eventarchive.h"

#include "archivejson.h"
#include "parallelwork.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>

namespace EventArchive {

namespace {

const std::array<const char *, labelCount> codes = {"UNREVIEWED", "INTERESTING", "FALSE_ALARM",
                                                    "KNOWN_SIGNAL", "UNKNOWN"};

const QString none = QStringLiteral("--");

QString textOr(const QJsonObject &object, const char *key)
{
    const QString text = object.value(QLatin1String(key)).toString();
    return text.isEmpty() ? none : text;
}

void readSidecars(ArchivedEvent &event)
{
    event.event = ArchiveJson::readObject(ArchiveJson::sidecarPath(event.path));
    event.review = ArchiveJson::readObject(ArchiveJson::reviewPath(event.path));
    event.context = ArchiveJson::contextKey(event.event);
}

} // namespace

QString labelCode(ReviewLabel label)
{
    return QString::fromLatin1(codes[static_cast<std::size_t>(label)]);
}

ReviewLabel labelOf(const QJsonObject &review)
{
    const QString code = review.value(QLatin1String("label")).toString();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (code == QLatin1String(codes[i]))
            return static_cast<ReviewLabel>(i);
    }
    return ReviewLabel::Unreviewed;
}

bool isReviewed(ReviewLabel label)
{
    return label != ReviewLabel::Unreviewed;
}

QVector<ArchivedEvent> list(const QString &folder)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.wav"), QStringLiteral("*.wave")},
                                   QDir::Files | QDir::Readable | QDir::Hidden);
    QVector<ArchivedEvent> events(files.size());
    for (int i = 0; i < files.size(); ++i) {
        ArchivedEvent &event = events[i];
        event.path = files[i].absoluteFilePath();
        event.fileName = files[i].fileName();
        event.modified = files[i].lastModified();
    }
    // Reading and parsing the JSON files is most of the work: spread over the cores, each part
    // filling only its own events.
    ArchivedEvent *parts = events.data();
    NativeWav::parallelRanges(static_cast<std::size_t>(events.size()),
                              [parts](std::size_t begin, std::size_t end, std::size_t) {
                                  for (std::size_t i = begin; i < end; ++i)
                                      readSidecars(parts[i]);
                              });
    std::sort(events.begin(), events.end(), [](const ArchivedEvent &a, const ArchivedEvent &b) {
        if (a.modified != b.modified)
            return a.modified > b.modified;
        return a.fileName < b.fileName;
    });
    return events;
}

QStringList columns(const ArchivedEvent &event)
{
    const QJsonObject &e = event.event;
    const QJsonValue frequency = e.value(QLatin1String("frequency_hz"));
    const QJsonValue samples = e.value(QLatin1String("total_samples"));
    const double rate = e.value(QLatin1String("sample_rate_hz")).toDouble();
    const double seconds = samples.isDouble() && samples.toDouble() >= 0 && rate > 0
                               ? samples.toDouble() / rate
                               : std::nan("");
    const QString duration = std::isfinite(seconds) ? QString::number(seconds, 'f', 2) : none;
    return {textOr(e, "trigger_utc"),
            frequency.isDouble() ? QString::number(frequency.toDouble(), 'f', 0) : none,
            textOr(e, "mode"),
            textOr(e, "trigger_type"),
            duration,
            textOr(event.review, "label"),
            event.fileName};
}

bool writeReview(const QString &wavPath, ReviewLabel label, const QString &notes,
                 const QDateTime &utc)
{
    const QJsonObject review{
        {QStringLiteral("label"), labelCode(label)},
        {QStringLiteral("notes"), notes},
        {QStringLiteral("review_utc"), utc.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("wav_file"), QFileInfo(wavPath).fileName()},
    };
    const QByteArray bytes = QJsonDocument(review).toJson(QJsonDocument::Indented);
    QSaveFile file(ArchiveJson::reviewPath(wavPath));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace EventArchive
