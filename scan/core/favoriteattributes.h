#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

struct AudioAnalysisResult;

// The attribute object of a favourite: a JSON object whose values are all texts, under these
// keys (the attribute key list, in this order). UI-free.
namespace FavoriteAttributes {

constexpr const char *sMeter = "s_meter";                // 0-255, no decimals
constexpr const char *dbfsRms = "dbfs_rms";              // mean audio level, one decimal
constexpr const char *dbfsPeak = "dbfs_peak";            // highest window level, one decimal
constexpr const char *quality = "quality";               // 0-100, no decimals
constexpr const char *classification = "classification"; // English class label or user text
constexpr const char *discoveredUtc = "discovered_utc";  // ISO 8601 UTC with milliseconds
constexpr const char *observedUtc = "observed_utc";      // same
constexpr const char *notes = "notes";                   // free text, may hold line breaks
constexpr const char *bandOverride = "band_override";    // band name; empty = from frequency

// The nine keys in their fixed order.
const QStringList &keys();

// "2024-03-05T14:07:09.123Z" of a time (converted to UTC).
QString utcText(const QDateTime &time);
// A time stored as ISO 8601 with milliseconds; invalid when the text is not one.
QDateTime parseUtc(const QString &text);

// A measurement object {"utc", "s_meter", "outcome", "dbfs_rms", "dbfs_peak", "quality"} of a
// favourite added by "Add current frequency": "s_meter" only for a known level (>= 0);
// with a result its class key, levels and combined quality (the quality is left out when the
// level is unknown and the class is one that would score).
QJsonObject favoriteMeasurement(const QString &utc, int sMeter, const AudioAnalysisResult *result);

// The attributes of a measurement object: "utc" gives discovered_utc and observed_utc,
// "outcome" the class label, and each numeric value its text (one decimal for the dbfs keys,
// none for the others).
QJsonObject measurementToAttributes(const QJsonObject &measurement);

// existing updated by newer: the newer measurement wins (by observed_utc), the earliest valid
// discovery is kept, and the user's notes and band override of existing survive.
QJsonObject mergeFavoriteAttributes(const QJsonObject &existing, const QJsonObject &newer);

// The band (RfBands index) of a favourite: the band its band_override names, else the band of
// its frequency, else RfBands::none.
int bandIndex(qint64 frequency, const QJsonObject &attributes);

} // namespace FavoriteAttributes
