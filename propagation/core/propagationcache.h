#pragma once

#include <QString>

struct PropagationData;

// The last record with data, kept between runs in the data folder's "propagation" folder so
// that the tab and corvin-prop --offline can show it before (or instead of) a refresh. The
// file is JSON, written atomically; a missing, damaged or foreign file reads as no record.
namespace PropagationCache {

// Absolute path of the cache file.
QString path();

// Writes the record (only one with data is worth keeping). Returns an empty string on
// success, else the error text.
QString save(const PropagationData &data);

// Reads the cached record into data; false (data untouched) when there is none or it is
// unreadable or holds no data.
bool load(PropagationData &data);

// The record as the cache stores it, and back (false when the document is not one).
QByteArray toJson(const PropagationData &data);
bool fromJson(const QByteArray &json, PropagationData &data);

} // namespace PropagationCache
