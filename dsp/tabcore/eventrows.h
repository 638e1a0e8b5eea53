#pragma once

// The rows of the DSP tab's event table: every pulse of a result, train members first (train
// numbers from 1 in result order) then the isolated pulses (group 0), optionally only those
// inside an audio band, sorted by time and cut to a limit. Each row carries a key that finds its
// pulse again whatever order the table is later sorted in. UI-free.

#include "analysisresult.h"

#include <QtGlobal>

#include <cstddef>
#include <optional>
#include <vector>

// Group in the low 32 bits (train number from 1, 0 for isolated pulses), the pulse's position
// in its group in the high 32 bits.
using EventKey = quint64;

inline EventKey eventKey(quint32 group, quint32 index)
{
    return (static_cast<EventKey>(index) << 32) | group;
}
inline quint32 eventKeyGroup(EventKey key)
{
    return static_cast<quint32>(key & 0xffffffffu);
}
inline quint32 eventKeyIndex(EventKey key)
{
    return static_cast<quint32>(key >> 32);
}

// The pulse a key names; null when the result has none there.
const NativeWav::PulseEvent *eventForKey(const NativeWav::Result &result, EventKey key);

struct EventRow
{
    EventKey key = 0;
    const NativeWav::PulseEvent *event = nullptr; // points into the result
};

struct EventRowSelection
{
    std::vector<EventRow> rows; // ascending by time, at most the limit
    std::size_t matching = 0;   // rows before the cut
    bool truncated() const { return matching > rows.size(); }
};

// The most rows the event table shows; "events.csv" holds all of them.
constexpr std::size_t eventTableLimit = 5000;

// The rows in time order (equal times keep train members before isolated pulses and group
// order), only those whose frequency lies in lowHz ... highHz (inclusive) when a band is given,
// the earliest `limit` of them.
EventRowSelection selectEventRows(const NativeWav::Result &result,
                                  std::optional<std::pair<double, double>> band,
                                  std::size_t limit = eventTableLimit);
