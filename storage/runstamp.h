#pragma once

#include <QDateTime>
#include <QString>

// The stamp that names the files of one run of an activity (Smart Scan archives, live FFT
// archives, spectrum snapshots): the local time as "yyyyMMdd_HHmmss_zzz", "_" and the process
// id in decimal, for example "20240305_150709_123_4812". Two processes never collide, and one
// process gets a new stamp every millisecond. UI-free; any thread.
namespace RunStamp {

// The stamp of the given local time and process id.
QString make(const QDateTime &localTime, qint64 processId);

// The stamp of now and this process.
QString now();

} // namespace RunStamp
