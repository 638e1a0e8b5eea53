#pragma once

// Reading the JSON files beside the event WAVs and in the observation folder: the event
// sidecar, the manual review and the observation log. A file is read only when it opens and
// holds at most 4 MiB; a missing, oversized or unparsable file, or one whose top level is not an
// object, reads as an empty object, so a damaged file never stops a listing. Any thread.

#include <QJsonObject>
#include <QString>

class QByteArray;

namespace ArchiveJson {

constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

// The object in bytes, or an empty object (more than maxFileBytes, not JSON, not an object).
QJsonObject parseObject(const QByteArray &bytes);
// The object in the file at path, or an empty object.
QJsonObject readObject(const QString &path);

// The event's sidecar and review files: the WAV's path without its last suffix, followed by
// ".json" and ".review.json". Event names carry the frequency's decimal point
// ("145.500000_..."), so only the last suffix may go.
QString sidecarPath(const QString &wavPath);
QString reviewPath(const QString &wavPath);

// The shortest text that reads back as the same double (80, 6000, 80.5).
QString shortestNumber(double value);

// The RF / analysis context of an event's or observation log's metadata:
// "<frequency_hz> Hz | <mode> | <analysis_low_hz>-<analysis_high_hz> Hz | Fs <sample_rate_hz> |
// ch <source_channel_index + 1> | <audio_device>". Empty (a legacy or incomplete context) unless
// the five numbers are JSON numbers and mode and audio_device are non-empty texts. Control
// characters and line or paragraph separators in those texts read as spaces.
QString contextKey(const QJsonObject &metadata);

} // namespace ArchiveJson
