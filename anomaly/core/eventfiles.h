#pragma once

// Writing one captured event as a mono 16-bit WAV file and its JSON sidecar, both through
// atomic saves (a failed save leaves no partial file). GUI thread in the program; any thread.

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace EventFiles {

struct Result
{
    bool wavWritten = false;
    bool jsonWritten = false;
    QString wavPath;
    QString jsonPath;
};

// "%1_%2_%3": frequency_hz / 1 000 000 with six decimals, the current UTC time as
// "yyyyMMdd_HHmmss_zzz", and a fresh random UUID as 32 hex digits.
QString baseName(const QJsonObject &metadata);

// Writes <folder>/<name>.wav from the PCM (signed 16-bit little-endian mono) at the metadata's
// sample_rate_hz, and when that succeeded <folder>/<name>.json: the metadata plus wav_file (the
// WAV's file name). The WAV needs a rate above 0 and a non-empty PCM of whole samples.
Result write(const QString &folder, const QByteArray &pcm, const QJsonObject &metadata);

} // namespace EventFiles
