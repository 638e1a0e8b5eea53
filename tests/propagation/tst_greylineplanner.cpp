// The listening-window planner: windows and best minute from per-minute elevations (exact
// cases), whole days of real geometry (polar day and night, windows across midnight, leap day,
// DX without RX, an empty band), and the texts of minutes and window lists.

#include "greylineplanner.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Greyline;

Q_DECLARE_METATYPE(Greyline::MinuteWindows)

namespace Greyline {
// Window lists in failure messages.
char *toString(const MinuteWindows &windows)
{
    return qstrdup(qPrintable(formatWindows(windows, false)));
}
} // namespace Greyline

namespace {

DayElevations flat(double elevation)
{
    DayElevations elevations;
    elevations.fill(elevation);
    return elevations;
}

// Every window of a plan, checked against the elevation at the middle of its edge minutes: the
// first and last minute lie in the band, the minutes just outside do not (or are the day's
// ends). The lists must be ascending with gaps between windows.
void checkWindowEdges(const MinuteWindows &windows, double day0, const Site &site, double low,
                      double high)
{
    const auto inBand = [&](int minute) {
        const double e =
            solarElevation(sunPosition(day0, minute + 0.5), site.latitude, site.longitude);
        return low <= e && e <= high;
    };
    int previousEnd = -1;
    for (const MinuteWindow &window : windows) {
        QVERIFY(window.start > previousEnd);
        QVERIFY(window.start < window.end);
        QVERIFY(window.start >= 0 && window.end <= minutesPerDay);
        QVERIFY(inBand(window.start));
        QVERIFY(inBand(window.end - 1));
        QVERIFY(window.start == 0 || !inBand(window.start - 1));
        QVERIFY(window.end == minutesPerDay || !inBand(window.end));
        previousEnd = window.end;
    }
}

} // namespace

class TestGreylinePlanner : public QObject
{
    Q_OBJECT

private slots:
    void windowsFromFlags_data()
    {
        QTest::addColumn<QVector<int>>("inBand"); // minutes with elevation -3 (in the band)
        QTest::addColumn<MinuteWindows>("windows");
        QTest::newRow("none") << QVector<int>{} << MinuteWindows{};
        QTest::newRow("one minute") << QVector<int>{700} << MinuteWindows{{700, 701}};
        QTest::newRow("opens at midnight") << QVector<int>{0, 1, 2} << MinuteWindows{{0, 3}};
        QTest::newRow("closes at 24:00")
            << QVector<int>{1437, 1438, 1439} << MinuteWindows{{1437, 1440}};
        QTest::newRow("both ends and a gap of one")
            << QVector<int>{0, 1, 3, 1439} << MinuteWindows{{0, 2}, {3, 4}, {1439, 1440}};
    }

    void windowsFromFlags()
    {
        QFETCH(QVector<int>, inBand);
        QFETCH(MinuteWindows, windows);
        DayElevations elevations = flat(20.0);
        for (int minute : inBand)
            elevations[static_cast<size_t>(minute)] = -3.0;
        const GreylinePlan plan = planFromElevations(elevations, true, elevations, true, -6.0, 3.0);
        QCOMPARE(plan.rxWindows, windows);
        QCOMPARE(plan.dxWindows, windows);
        QCOMPARE(plan.bothWindows, windows);
        QCOMPARE(plan.bestMinute, inBand.isEmpty() ? -1 : inBand.first());
        QCOMPARE(plan.bestScore, inBand.isEmpty() ? 0.0 : 1.0);
    }

    // The band is inclusive at both ends; a band of 0 ... 0 holds only exactly 0°.
    void bandLimitsAreInclusive()
    {
        DayElevations rx = flat(-7.0);
        rx[10] = -6.0;
        rx[20] = 3.0;
        rx[30] = std::nextafter(3.0, 4.0);
        rx[40] = 0.0;
        GreylinePlan plan = planFromElevations(rx, true, rx, false, -6.0, 3.0);
        QCOMPARE(plan.rxWindows, (MinuteWindows{{10, 11}, {20, 21}, {40, 41}}));
        QVERIFY(plan.dxWindows.isEmpty());
        plan = planFromElevations(rx, true, rx, false, 0.0, 0.0);
        QCOMPARE(plan.rxWindows, (MinuteWindows{{40, 41}}));
    }

    // G = 1 at -3° on both ends; equal scores keep the earliest minute.
    void bestMinute()
    {
        DayElevations rx = flat(30.0);
        DayElevations dx = flat(30.0);
        rx[50] = -1.0; // score exp(-1/8)² at minutes 50 and 300
        dx[50] = -5.0;
        rx[300] = -5.0;
        dx[300] = -1.0;
        GreylinePlan plan = planFromElevations(rx, true, dx, true, -6.0, 3.0);
        QCOMPARE(plan.bestMinute, 50);
        QCOMPARE(plan.bestScore, std::exp(-0.125) * std::exp(-0.125));
        QCOMPARE(plan.bothWindows, (MinuteWindows{{50, 51}, {300, 301}}));
        // A strictly better minute later on wins.
        rx[900] = -3.0;
        dx[900] = -3.5;
        plan = planFromElevations(rx, true, dx, true, -6.0, 3.0);
        QCOMPARE(plan.bestMinute, 900);
        QCOMPARE(plan.bestScore, greylineScore(-3.0, -3.5));
        rx[1000] = -3.0;
        dx[1000] = -3.0;
        plan = planFromElevations(rx, true, dx, true, -6.0, 3.0);
        QCOMPARE(plan.bestMinute, 1000);
        QCOMPARE(plan.bestScore, 1.0);
        QCOMPARE(greylineScore(-3.0, -3.0), 1.0);
        QCOMPARE(greylineScore(1.0, -3.0), std::exp(-0.5));
    }

    // Whole days of real geometry, each window edge checked against the elevation itself.
    void realDays_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<int>("windowCount");
        QTest::addColumn<bool>("opensAtMidnight");
        QTest::addColumn<bool>("closesAtMidnight");
        // Midnight sun: the sun never drops below 13°.
        QTest::newRow("80° N in June") << QDate(2024, 6, 21) << 80.0 << 0.0 << 0 << false << false;
        // Polar night: the sun peaks near -3.4° at local noon, 11:00 UTC at 15° E.
        QTest::newRow("70° N in December")
            << QDate(2024, 12, 21) << 70.0 << 15.0 << 1 << false << false;
        // Sunset near 00:07 UTC at 90° W: the dusk of the day before and of this day.
        QTest::newRow("dusk across midnight")
            << QDate(2024, 3, 20) << 0.0 << -90.0 << 3 << true << true;
        QTest::newRow("leap day, Rome")
            << QDate(2024, 2, 29) << 41.9 << 12.5 << 2 << false << false;
        QTest::newRow("year end, Wellington")
            << QDate(2099, 12, 31) << -41.3 << 174.8 << 2 << false << false;
    }

    void realDays()
    {
        QFETCH(QDate, date);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(int, windowCount);
        QFETCH(bool, opensAtMidnight);
        QFETCH(bool, closesAtMidnight);
        const Site site{latitude, longitude};
        const double day0 = dayZero(date);
        const GreylinePlan plan = planGreylineDay(day0, site, true, Site{}, false, -6.0, 3.0);
        QCOMPARE(plan.rxWindows.size(), windowCount);
        checkWindowEdges(plan.rxWindows, day0, site, -6.0, 3.0);
        if (windowCount > 0) {
            QCOMPARE(plan.rxWindows.first().start == 0, opensAtMidnight);
            QCOMPARE(plan.rxWindows.last().end == minutesPerDay, closesAtMidnight);
        }
        const QString text = formatWindows(plan.rxWindows, false);
        QCOMPARE(text.startsWith(QStringLiteral("00:00 \u2013 ")), opensAtMidnight);
        QCOMPARE(text.endsWith(QStringLiteral(" \u2013 24:00")), closesAtMidnight);
        QVERIFY(plan.dxWindows.isEmpty() && plan.bothWindows.isEmpty());
        QCOMPARE(plan.bestMinute, -1);
        QCOMPARE(plan.bestScore, 0.0);
    }

    void polarNightWindowSurroundsLocalNoon()
    {
        const GreylinePlan plan =
            planGreylineDay(dayZero(QDate(2024, 12, 21)), {70.0, 15.0}, true, {}, false, -6.0, 3.0);
        QCOMPARE(plan.rxWindows.size(), 1);
        QVERIFY(plan.rxWindows.first().start < 660 && plan.rxWindows.first().end > 660);
    }

    void dxWithoutRx()
    {
        const Site dx{35.7, 139.7};
        const double day0 = dayZero(QDate(2024, 9, 1));
        const GreylinePlan plan = planGreylineDay(day0, {51.5, 0.0}, false, dx, true, -6.0, 3.0);
        QVERIFY(plan.rxWindows.isEmpty());
        QCOMPARE(plan.dxWindows.size(), 2);
        checkWindowEdges(plan.dxWindows, day0, dx, -6.0, 3.0);
        QVERIFY(plan.bothWindows.isEmpty());
        QCOMPARE(plan.bestMinute, -1);
        QCOMPARE(plan.bestScore, 0.0);
    }

    void bothEndsMeet()
    {
        // Rome's dusk meets Wellington's dawn in June; the best minute lies inside a common
        // window and its score is that minute's.
        const Site rx{41.9, 12.5};
        const Site dx{-41.3, 174.8};
        const double day0 = dayZero(QDate(2024, 6, 21));
        const GreylinePlan plan = planGreylineDay(day0, rx, true, dx, true, -6.0, 3.0);
        QVERIFY(!plan.bothWindows.isEmpty());
        for (const MinuteWindow &both : plan.bothWindows) {
            const auto inside = [&both](const MinuteWindows &windows) {
                for (const MinuteWindow &w : windows) {
                    if (w.start <= both.start && both.end <= w.end)
                        return true;
                }
                return false;
            };
            QVERIFY(inside(plan.rxWindows));
            QVERIFY(inside(plan.dxWindows));
        }
        bool bestInside = false;
        for (const MinuteWindow &both : plan.bothWindows)
            bestInside =
                bestInside || (both.start <= plan.bestMinute && plan.bestMinute < both.end);
        QVERIFY(bestInside);
        const SunPosition sun = sunPosition(day0, plan.bestMinute + 0.5);
        QCOMPARE(plan.bestScore, greylineScore(solarElevation(sun, rx.latitude, rx.longitude),
                                               solarElevation(sun, dx.latitude, dx.longitude)));
        QVERIFY(plan.bestScore > 0.0 && plan.bestScore <= 1.0);
    }

    // An elevation of exactly 0° never occurs at the middle of a minute in practice.
    void emptyBandFindsNothing()
    {
        const GreylinePlan plan = planGreylineDay(dayZero(QDate(2024, 6, 21)), {41.9, 12.5}, true,
                                                  {40.7, -74.0}, true, 0.0, 0.0);
        QVERIFY(plan.rxWindows.isEmpty());
        QVERIFY(plan.dxWindows.isEmpty());
        QVERIFY(plan.bothWindows.isEmpty());
        QCOMPARE(plan.bestMinute, -1);
        QCOMPARE(formatWindows(plan.rxWindows, false), QStringLiteral("None on this UTC date"));
    }

    void formatsMinutes_data()
    {
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << 0 << "00:00";
        QTest::newRow("00:59") << 59 << "00:59";
        QTest::newRow("01:00") << 60 << "01:00";
        QTest::newRow("noon") << 720 << "12:00";
        QTest::newRow("last minute") << 1439 << "23:59";
        QTest::newRow("end of day") << 1440 << "24:00";
    }

    void formatsMinutes()
    {
        QFETCH(int, minute);
        QFETCH(QString, text);
        QCOMPARE(formatMinute(minute), text);
    }

    void formatsWindowLists_data()
    {
        QTest::addColumn<MinuteWindows>("windows");
        QTest::addColumn<bool>("italian");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << MinuteWindows{} << false << "None on this UTC date";
        QTest::newRow("none, Italian") << MinuteWindows{} << true << "Nessuna in questa data UTC";
        QTest::newRow("one") << MinuteWindows{{65, 130}} << false << "01:05 \u2013 02:10";
        QTest::newRow("two, Italian") << MinuteWindows{{0, 31}, {1415, 1440}} << true
                                      << "00:00 \u2013 00:31   |   23:35 \u2013 24:00";
    }

    void formatsWindowLists()
    {
        QFETCH(MinuteWindows, windows);
        QFETCH(bool, italian);
        QFETCH(QString, text);
        QCOMPARE(formatWindows(windows, italian), text);
    }

    // The panel reuses a plan only when every input is exactly the same; NaN never matches.
    void planInputsCompareExactly()
    {
        const GreylinePlanInputs inputs{
            dayZero(QDate(2024, 6, 21)), -6.0, 3.0, true, true, {41.9, 12.5}, {40.7, -74.0}};
        GreylinePlanInputs other = inputs;
        QVERIFY(other == inputs);
        other.dx.longitude = std::nextafter(-74.0, 0.0);
        QVERIFY(other != inputs);
        other = inputs;
        other.dxEnabled = false;
        QVERIFY(other != inputs);
        other = inputs;
        other.rx.latitude = std::numeric_limits<double>::quiet_NaN();
        QVERIFY(other != other);
        QVERIFY(other != inputs);
        other = inputs;
        other.high = std::numeric_limits<double>::quiet_NaN();
        QVERIFY(other != other);
        // The plan of the inputs record is the plan of its fields.
        const GreylinePlan a = planGreylineDay(inputs);
        const GreylinePlan b =
            planGreylineDay(inputs.day0, inputs.rx, true, inputs.dx, true, -6.0, 3.0);
        QCOMPARE(a.bothWindows, b.bothWindows);
        QCOMPARE(a.bestMinute, b.bestMinute);
    }
};

QTEST_GUILESS_MAIN(TestGreylinePlanner)
#include "tst_greylineplanner.moc"
