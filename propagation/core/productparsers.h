#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct PropagationData;

// Readers of the four space-weather products. Each takes a response body as it came from the
// server, merges what it finds into the record and returns whether it found usable data; a
// body without usable data leaves the record untouched. They trust nothing in the body: any
// size, encoding or truncation gives a result or false, never a crash. Any thread.
namespace ProductParsers {

// HamQSL solar XML: <solar><solardata> with updated, solarflux, aindex, kindex, solarwind,
// xray and calculatedconditions. Values outside their ranges ("No Report", kindex 10) are
// absent; "updated" alone is no usable data. The solar flux is taken only while the record
// has no NOAA F10.7 observation (fluxTime invalid).
bool parseHamQsl(const QByteArray &body, PropagationData &record);

// NOAA planetary Kp, one entry a minute: the latest entry with a time tag and an estimated Kp
// within 0-9 gives kp and kpTime.
bool parseKp(const QByteArray &body, PropagationData &record);

// NOAA F10.7 flux: among the "Noon" readings with 0 < flux <= 1000, the latest gives the solar
// flux and fluxTime (it replaces a HamQSL flux).
bool parseF107(const QByteArray &body, PropagationData &record);

// NOAA WWV geophysical alert text: usable when it starts with
// ":Product: Geophysical Alert Message" and holds ":Issued:"; the trimmed text becomes wwv.
bool parseWwv(const QByteArray &body, PropagationData &record);

// The JSON products' time tags ("2024-03-05T20:59:00", "2024-03-05 20:59:00.000",
// "...+01:00", "...Z"): without a zone the time is UTC. Returns UTC, invalid when unreadable.
QDateTime parseNoaaTime(const QString &text);

// HamQSL "updated" (" 05 Mar 2024 1800 GMT", English month names) as UTC, invalid when
// unreadable.
QDateTime parseHamQslUpdated(const QString &text);

// The ":Issued: 2024 Mar 05 2105 UTC" line of a WWV bulletin as UTC, invalid when missing.
QDateTime wwvIssuedTime(const QString &bulletin);

} // namespace ProductParsers
