#pragma once

// The listening-window planner: for one UTC date, at one-minute resolution, the minutes in
// which the sun's elevation at the listening site (RX), at a remote point (DX) and at both lies
// inside a band of elevations, and the best common minute by a score centred on -3°. Pure
// functions, callable from any thread.

#include "solargeometry.h"

#include <QString>
#include <QVector>

#include <array>

namespace Greyline {

constexpr int minutesPerDay = 1440;

// Minutes [start, end) of one UTC day: start 0 ... 1439, end 1 ... 1440 (exclusive).
struct MinuteWindow
{
    int start = 0;
    int end = 0;

    bool operator==(const MinuteWindow &other) const
    {
        return start == other.start && end == other.end;
    }
};

using MinuteWindows = QVector<MinuteWindow>;

// One day's plan. Each list is ascending, its windows never touch or overlap. bestMinute is -1
// and bestScore 0 when no minute is simultaneous.
struct GreylinePlan
{
    MinuteWindows rxWindows;
    MinuteWindows dxWindows;
    MinuteWindows bothWindows;
    int bestMinute = -1;
    double bestScore = 0.0;
};

// What a plan depends on. Equal only when every field is exactly equal; a NaN differs from
// everything, itself included, so a plan made from a NaN is never reused.
struct GreylinePlanInputs
{
    double day0 = 0.0;
    double low = 0.0;
    double high = 0.0;
    bool rxConfigured = false;
    bool dxEnabled = false;
    Site rx;
    Site dx;

    bool operator==(const GreylinePlanInputs &other) const;
    bool operator!=(const GreylinePlanInputs &other) const { return !(*this == other); }
};

// The score of a common minute: exp(-((e + 3) / 4)² / 2) · exp(-((f + 3) / 4)² / 2) for the
// elevations e at RX and f at DX, 1 when both are -3°.
double greylineScore(double rxElevation, double dxElevation);

// Elevations of the sun (degrees) at one place for each minute of a day, index = minute.
using DayElevations = std::array<double, minutesPerDay>;

// The plan of a day from the elevations at RX and at DX: a minute is flagged at a place that is
// configured (enabled) when its elevation lies within [low, high]; a common minute is flagged at
// both. The best minute is the first with the highest score among the common minutes.
GreylinePlan planFromElevations(const DayElevations &rx, bool rxConfigured, const DayElevations &dx,
                                bool dxEnabled, double low, double high);

// Plans the UTC day that starts at Julian date day0 (see dayZero) with the sun taken at the
// middle of each minute. A site that is not configured or enabled flags no minute. low and high
// are the band's limits in degrees, inclusive; their order is not checked.
GreylinePlan planGreylineDay(double day0, const Site &rx, bool rxConfigured, const Site &dx,
                             bool dxEnabled, double low, double high);
GreylinePlan planGreylineDay(const GreylinePlanInputs &inputs);

// "HH:MM" of a minute of the day; 1440 gives "24:00".
QString formatMinute(int minute);

// "HH:MM – HH:MM" per window (exclusive end), joined by "   |   "; an empty list gives "None on
// this UTC date" or its Italian twin.
QString formatWindows(const MinuteWindows &windows, bool italian);

} // namespace Greyline
