#include "greylineplanner.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace Greyline {

namespace {

// The runs of set flags as [start, end) windows.
MinuteWindows windowsOf(const std::array<bool, minutesPerDay> &flags)
{
    MinuteWindows windows;
    int start = -1;
    for (int i = 0; i <= minutesPerDay; ++i) {
        const bool flagged = i < minutesPerDay && flags[static_cast<size_t>(i)];
        if (flagged && start < 0) {
            start = i;
        } else if (!flagged && start >= 0) {
            windows.append({start, i});
            start = -1;
        }
    }
    return windows;
}

} // namespace

bool GreylinePlanInputs::operator==(const GreylinePlanInputs &other) const
{
    // Plain == on doubles: exact, and false for NaN.
    return day0 == other.day0 && low == other.low && high == other.high &&
           rxConfigured == other.rxConfigured && dxEnabled == other.dxEnabled &&
           rx.latitude == other.rx.latitude && rx.longitude == other.rx.longitude &&
           dx.latitude == other.dx.latitude && dx.longitude == other.dx.longitude;
}

double greylineScore(double rxElevation, double dxElevation)
{
    const double a = (rxElevation + 3.0) / 4.0;
    const double b = (dxElevation + 3.0) / 4.0;
    return std::exp(-0.5 * a * a) * std::exp(-0.5 * b * b);
}

GreylinePlan planFromElevations(const DayElevations &rx, bool rxConfigured, const DayElevations &dx,
                                bool dxEnabled, double low, double high)
{
    std::array<bool, minutesPerDay> rxFlags{};
    std::array<bool, minutesPerDay> dxFlags{};
    std::array<bool, minutesPerDay> bothFlags{};
    GreylinePlan plan;
    for (size_t i = 0; i < rx.size(); ++i) {
        rxFlags[i] = rxConfigured && low <= rx[i] && rx[i] <= high;
        dxFlags[i] = dxEnabled && low <= dx[i] && dx[i] <= high;
        bothFlags[i] = rxFlags[i] && dxFlags[i];
        if (!bothFlags[i])
            continue;
        // Strictly greater only, so a tie keeps the earliest minute.
        const double score = greylineScore(rx[i], dx[i]);
        if (plan.bestMinute < 0 || score > plan.bestScore) {
            plan.bestMinute = static_cast<int>(i);
            plan.bestScore = score;
        }
    }
    plan.rxWindows = windowsOf(rxFlags);
    plan.dxWindows = windowsOf(dxFlags);
    plan.bothWindows = windowsOf(bothFlags);
    return plan;
}

GreylinePlan planGreylineDay(double day0, const Site &rx, bool rxConfigured, const Site &dx,
                             bool dxEnabled, double low, double high)
{
    // A place left out reads as elevation 0 at every minute; its flags stay clear anyway.
    DayElevations rxElevations{};
    DayElevations dxElevations{};
    for (size_t i = 0; i < rxElevations.size(); ++i) {
        // The middle of the minute stands for the whole minute.
        const SunPosition sun = sunPosition(day0, static_cast<double>(i) + 0.5);
        if (rxConfigured)
            rxElevations[i] = solarElevation(sun, rx.latitude, rx.longitude);
        if (dxEnabled)
            dxElevations[i] = solarElevation(sun, dx.latitude, dx.longitude);
    }
    return planFromElevations(rxElevations, rxConfigured, dxElevations, dxEnabled, low, high);
}

GreylinePlan planGreylineDay(const GreylinePlanInputs &inputs)
{
    return planGreylineDay(inputs.day0, inputs.rx, inputs.rxConfigured, inputs.dx, inputs.dxEnabled,
                           inputs.low, inputs.high);
}

QString formatMinute(int minute)
{
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QString formatWindows(const MinuteWindows &windows, bool italian)
{
    if (windows.isEmpty()) {
        return italian ? QStringLiteral("Nessuna in questa data UTC")
                       : QStringLiteral("None on this UTC date");
    }
    QStringList parts;
    parts.reserve(windows.size());
    for (const MinuteWindow &window : windows) {
        parts.append(formatMinute(window.start) + QStringLiteral(" \u2013 ") +
                     formatMinute(window.end));
    }
    return parts.join(QStringLiteral("   |   "));
}

} // namespace Greyline
