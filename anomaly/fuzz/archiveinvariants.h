#pragma once

// What the archive and statistics must give whatever the files hold: no NaN anywhere, the
// report's fixed lines in place. Aborts (a finding for the fuzzer) otherwise.

#include "observationreport.h"

#include <QByteArray>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

inline QByteArray fuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

inline void requireSaneReport(const QString &report, const ContextChoice &choice)
{
    const QStringList lines = report.split(QLatin1Char('\n'));
    require(lines.size() >= 21);
    require(lines[0] == QLatin1String("OBSERVATION SUMMARY"));
    require(lines[1] == ObservationReport::contextTitle(choice));
    require(lines[15] == QLatin1String("EVENT ARCHIVE"));
    require(lines[19] == QLatin1String("ADVISORY ABSOLUTE-THRESHOLD CALIBRATION"));
    // From the third line on only numbers and fixed texts (the context key may hold any text).
    require(!lines.mid(2).join(QLatin1Char('\n')).contains(QLatin1String("nan")));
    // Every calibration block closes with its four lines; "All contexts" has none.
    require(choice.all || choice.key.isEmpty() ? lines.size() == 21 : lines.size() >= 26);
}
