#include "pulsetrainfinder.h"

#include <QtTest>

using namespace NativeWav;

namespace {

std::vector<PulseEvent> eventsAt(const std::vector<double> &times, double band = 1000.0)
{
    std::vector<PulseEvent> events;
    for (double t : times) {
        PulseEvent e;
        e.timeSeconds = t;
        e.bandHz = band;
        events.push_back(e);
    }
    return events;
}

PulseTrain trainOf(const std::vector<double> &times, double period)
{
    PulseTrain train;
    train.periodSeconds = period;
    train.events = eventsAt(times);
    return train;
}

} // namespace

class TestPulseTrainFinder : public QObject
{
    Q_OBJECT

private slots:
    void findsTrains_data();
    void findsTrains();
    void dropsOutliersFromTheGrid();
    void matchFractionUsesNearestNeighbour();
    void detectsDuplicateTrains();
    void suppressesIsolatedEventsNearTrainsAndEachOther();
};

void TestPulseTrainFinder::findsTrains_data()
{
    QTest::addColumn<QVector<double>>("times");
    QTest::addColumn<double>("period");
    QTest::addColumn<int>("members");
    QTest::newRow("four at 1 s") << QVector<double>{2.0, 3.0, 4.0, 5.0} << 1.0 << 4;
    QTest::newRow("three at 1 s") << QVector<double>{2.0, 3.0, 4.0} << 0.0 << 0;
    // Every third pulse missing: intervals alternate 0.5 s and 1.0 s.
    QTest::newRow("0.5 s, every third missing")
        << QVector<double>{0.0, 0.5, 1.5, 2.0, 3.0, 3.5, 4.5, 5.0, 6.0, 6.5} << 0.5 << 10;
    QTest::newRow("intervals too short")
        << QVector<double>{1.0, 1.01, 1.02, 1.03, 1.04} << 0.0 << 0;
    QTest::newRow("irregular") << QVector<double>{0.0, 0.3, 1.4, 1.6, 3.9, 4.0, 7.7} << 0.0 << 0;
}

void TestPulseTrainFinder::findsTrains()
{
    QFETCH(QVector<double>, times);
    QFETCH(double, period);
    QFETCH(int, members);
    const TrainFit fit = findPulseTrain(eventsAt(std::vector<double>(times.begin(), times.end())));
    QVERIFY(std::abs(fit.periodSeconds - period) < 1e-9);
    QCOMPARE(static_cast<int>(fit.events.size()), members);
    if (members > 0)
        QVERIFY(fit.jitterSeconds < 1e-9);
}

void TestPulseTrainFinder::dropsOutliersFromTheGrid()
{
    // A 2 s train with small jitter and two stray pulses between grid points.
    const std::vector<double> times{10.0,  12.002, 13.1,   13.998, 16.001, 18.0,
                                    19.05, 20.003, 21.997, 24.0,   26.001};
    const TrainFit fit = findPulseTrain(eventsAt(times));
    QVERIFY(std::abs(fit.periodSeconds - 2.0) < 0.005);
    QCOMPARE(fit.events.size(), std::size_t(9));
    for (const PulseEvent &e : fit.events)
        QVERIFY(e.timeSeconds != 13.1 && e.timeSeconds != 19.05);
    QVERIFY(fit.jitterSeconds > 0.0005 && fit.jitterSeconds < 0.003);
}

void TestPulseTrainFinder::matchFractionUsesNearestNeighbour()
{
    const auto y = eventsAt({1.0, 2.0, 3.0});
    QCOMPARE(matchFraction(eventsAt({0.99, 2.05, 2.98, 5.0}), y, 0.028), 0.5);
    QCOMPARE(matchFraction(eventsAt({0.5}), y, 0.6), 1.0);
    QCOMPARE(matchFraction({}, y, 1.0), 0.0);
    QCOMPARE(matchFraction(y, {}, 1.0), 0.0);
}

void TestPulseTrainFinder::detectsDuplicateTrains()
{
    const std::vector<PulseTrain> stored{trainOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1.0)};
    TrainFit same;
    same.periodSeconds = 1.01;
    same.events = eventsAt({1.02, 2.01, 3.0, 4.05, 5.0, 6.0, 7.0, 8.0});
    QVERIFY(isDuplicateTrain(stored, same));

    TrainFit shifted = same; // same period, pulses half a period apart
    shifted.events = eventsAt({1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5});
    QVERIFY(!isDuplicateTrain(stored, shifted));

    TrainFit otherPeriod = same; // coinciding pulses but a period 5 % longer
    otherPeriod.periodSeconds = 1.05;
    QVERIFY(!isDuplicateTrain(stored, otherPeriod));

    TrainFit fewMatches = same; // only 70 % coincide: not more than 70 %
    fewMatches.events = eventsAt({1, 2, 3, 4, 5, 6, 7, 20.5, 21.5, 22.5});
    QVERIFY(!isDuplicateTrain(stored, fewMatches));
}

void TestPulseTrainFinder::suppressesIsolatedEventsNearTrainsAndEachOther()
{
    const std::vector<PulseTrain> trains{trainOf({1, 2, 3, 4}, 1.0)};
    IsolatedBand first{500, 380, 620, eventsAt({2.02, 5.0, 6.0}, 500)};
    IsolatedBand second{2000, 1880, 2120, eventsAt({0.5, 2.5, 5.015, 6.03}, 2000)};
    const std::vector<PulseEvent> events = collectIsolatedEvents({first, second}, trains);
    // 2.02 lies within 28 ms of a train pulse; 5.015 within 20 ms of the first band's 5.0.
    QCOMPARE(events.size(), std::size_t(5));
    const double expected[] = {0.5, 2.5, 5.0, 6.0, 6.03};
    for (std::size_t i = 0; i < events.size(); ++i)
        QCOMPARE(events[i].timeSeconds, expected[i]);
    QCOMPARE(events[2].bandHz, 500.0);
}

QTEST_GUILESS_MAIN(TestPulseTrainFinder)
#include "tst_pulsetrainfinder.moc"
