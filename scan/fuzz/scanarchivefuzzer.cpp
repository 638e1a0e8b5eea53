// libFuzzer target: reads arbitrary bytes as a Smart Scan archive. Whatever it accepts must hold
// only rows with a frequency in range and counters that agree with them; nothing may crash, hang
// or leak. Built by scripts/fuzz-scanarchive.

#include "smartscanarchive.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = QStringLiteral("/dev/shm/scanarchivefuzzer-%1.jsonl").arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    SmartScanArchiveContents contents;
    QString error;
    // A small line cap lets inputs of a few kilobytes reach the over-long line path.
    if (SmartScanArchive::read(path, &contents, &error, 2048) != SmartScanArchive::ReadStatus::Ok)
        return 0;
    const SmartScanCounters &counters = contents.counters;
    if (counters.detected + counters.quiet + counters.noise != contents.results.size() ||
        contents.results.size() + counters.unreadable > contents.processed || contents.skipped < 0)
        std::abort();
    for (const QJsonObject &record : contents.results) {
        const qint64 frequency = SmartScanArchive::recordFrequency(record);
        if (frequency < 100000 || frequency > 3000000000LL)
            std::abort();
    }
    return 0;
}
