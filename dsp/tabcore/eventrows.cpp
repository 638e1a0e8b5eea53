#include "eventrows.h"

#include <algorithm>
#include <cmath>
#include <limits>

const NativeWav::PulseEvent *eventForKey(const NativeWav::Result &result, EventKey key)
{
    const quint32 group = eventKeyGroup(key);
    const std::size_t index = eventKeyIndex(key);
    const std::vector<NativeWav::PulseEvent> *events = &result.events;
    if (group > 0) {
        if (group > result.trains.size())
            return nullptr;
        events = &result.trains[group - 1].events;
    }
    return index < events->size() ? &(*events)[index] : nullptr;
}

EventRowSelection selectEventRows(const NativeWav::Result &result,
                                  std::optional<std::pair<double, double>> band, std::size_t limit)
{
    EventRowSelection selection;
    std::vector<EventRow> &rows = selection.rows;
    const auto collect = [&](quint32 group, const std::vector<NativeWav::PulseEvent> &events) {
        for (std::size_t i = 0; i < events.size(); ++i) {
            const double f = events[i].frequencyHz;
            if (band && !(f >= band->first && f <= band->second))
                continue;
            rows.push_back({eventKey(group, static_cast<quint32>(i)), &events[i]});
        }
    };
    for (std::size_t t = 0; t < result.trains.size(); ++t)
        collect(static_cast<quint32>(t + 1), result.trains[t].events);
    collect(0, result.events);
    selection.matching = rows.size();
    // A non-finite time sorts last, so the order stays strict whatever the result holds.
    const auto time = [](const EventRow &row) {
        const double t = row.event->timeSeconds;
        return std::isnan(t) ? std::numeric_limits<double>::infinity() : t;
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&time](const EventRow &a, const EventRow &b) { return time(a) < time(b); });
    if (rows.size() > limit)
        rows.resize(limit);
    return selection;
}
