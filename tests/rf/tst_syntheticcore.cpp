// The synthetic spectrum without the sweep: the plan and its refusals, the grid's weighting and
// interpolation, the trace's runs and the CSV export.

#include "syntheticcsv.h"
#include "syntheticgrid.h"
#include "syntheticplan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(SyntheticParameters)

namespace {

SyntheticParameters defaults()
{
    return SyntheticParameters();
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList result = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

} // namespace

class TestSyntheticCore : public QObject
{
    Q_OBJECT

private slots:
    void defaultPlan();
    void megahertzRoundHalfUp();
    void refusedParameters_data();
    void refusedParameters();
    void centreWeightAndInterpolation();
    void edgeWeightAndTwoSliceMean();
    void invalidSegment_data();
    void invalidSegment();
    void traceRunsSkipGaps();
    void csvHasEveryBin();
    void csvFailures();
};

void TestSyntheticCore::defaultPlan()
{
    QVector<qint64> plan;
    QVERIFY(SyntheticPlan::build(defaults(), &plan));
    QCOMPARE(plan.size(), 99);
    QCOMPARE(plan.first(), 4599700);
    QCOMPARE(plan.last(), 4697700);
    QCOMPARE(plan[1] - plan[0], 1000);
    const SyntheticGrid grid(4600000, 4700000, 5);
    QCOMPARE(grid.size(), 20001);
    QCOMPARE(grid.frequencyOf(20000), 4700000);
}

void TestSyntheticCore::megahertzRoundHalfUp()
{
    QCOMPARE(SyntheticParameters::megahertzToHz(4.6), 4600000);
    QCOMPARE(SyntheticParameters::megahertzToHz(4.6000005), 4600001);
    QCOMPARE(SyntheticParameters::megahertzToHz(0.101), 101000);
    QCOMPARE(SyntheticParameters::megahertzToHz(3000.0), 3000000000LL);
}

void TestSyntheticCore::refusedParameters_data()
{
    QTest::addColumn<SyntheticParameters>("parameters");
    QTest::addColumn<bool>("valid");
    const auto with = [](auto change) {
        SyntheticParameters p;
        change(p);
        return p;
    };
    QTest::newRow("defaults") << defaults() << true;
    QTest::newRow("step 150") << with([](auto &p) { p.stepHz = 150; }) << false;
    QTest::newRow("step 3000 over 2000 Hz of audio")
        << with([](auto &p) { p.stepHz = 3000; }) << false;
    QTest::newRow("1 Hz bins in 500 ms") << with([](auto &p) {
        p.binHz = 1;
        p.captureMs = 500;
    }) << false;
    QTest::newRow("0.101-3000 MHz at 1 Hz") << with([](auto &p) {
        p.startHz = 101000;
        p.endHz = 3000000000LL;
        p.binHz = 1;
    }) << false;
    QTest::newRow("1 Hz bins in 1000 ms") << with([](auto &p) { p.binHz = 1; }) << true;
    QTest::newRow("start above end") << with([](auto &p) { p.endHz = p.startHz; }) << false;
    QTest::newRow("low above high") << with([](auto &p) { p.lowHz = 2400; }) << false;
    QTest::newRow("too close to the bottom") << with([](auto &p) {
        p.startHz = 100200;
        p.endHz = 110000;
    }) << false;
    QTest::newRow("2000 tunings") << with([](auto &p) {
        p.stepHz = 100;
        p.startHz = 10000000;
        p.endHz = 10000000 + 1999 * 100 + 2000;
    }) << true;
    QTest::newRow("2001 tunings") << with([](auto &p) {
        p.stepHz = 100;
        p.startHz = 10000000;
        p.endHz = 10000000 + 2000 * 100 + 2000;
    }) << false;
    // 10 MHz in 5000 Hz steps over a 300-5400 Hz passband is 2000 tunings either way: only
    // the grid decides.
    QTest::newRow("500 001 bins") << with([](auto &p) {
        p.binHz = 20;
        p.stepHz = 5000;
        p.highHz = 5400;
        p.endHz = p.startHz + 10000000;
    }) << true;
    QTest::newRow("500 002 bins") << with([](auto &p) {
        p.binHz = 20;
        p.stepHz = 5000;
        p.highHz = 5400;
        p.endHz = p.startHz + 10000020;
    }) << false;
}

void TestSyntheticCore::refusedParameters()
{
    QFETCH(SyntheticParameters, parameters);
    QFETCH(bool, valid);
    QVector<qint64> plan{1};
    QCOMPARE(SyntheticPlan::build(parameters, &plan), valid);
    QCOMPARE(plan.isEmpty(), !valid);
    for (qint64 tuning : plan)
        QVERIFY(tuning <= SyntheticPlan::maxFrequencyHz);
}

void TestSyntheticCore::centreWeightAndInterpolation()
{
    SyntheticGrid grid(1000000, 1010000, 5);
    // Power rises by 1 per 2 Hz of audio: interpolation is exact on a line.
    QVector<double> power(2401);
    for (int k = 0; k < power.size(); ++k)
        power[k] = 1.0 + k;
    QVERIFY(grid.combine(1000000, 2.0, power, 300, 2300));
    // Bin at audio 1300 Hz (the passband centre): weight 1, power 1 + 650.
    const int centre = 1300 / 5;
    QCOMPARE(grid.weight(centre), 1.0);
    QCOMPARE(grid.psdDb(centre), 10.0 * std::log10(651.0));
    // 1305 Hz: m = 652.5, halfway between two power bins.
    QCOMPARE(grid.psdDb(centre + 1), 10.0 * std::log10(653.5));
    // Half way from the centre to the edge: weight 0.5.
    QCOMPARE(grid.weight(800 / 5), 0.5);
    // Outside the passband nothing is covered.
    QVERIFY(!grid.isCovered(295 / 5));
    QVERIFY(grid.isCovered(300 / 5));
    QVERIFY(grid.isCovered(2300 / 5));
    QVERIFY(!grid.isCovered(2305 / 5));
}

void TestSyntheticCore::edgeWeightAndTwoSliceMean()
{
    SyntheticGrid grid(1000000, 1010000, 5);
    const QVector<double> low(1000, 1e-6);
    const QVector<double> high(1000, 4e-6);
    QVERIFY(grid.combine(1000000, 5.0, low, 300, 2300));
    QVERIFY(grid.combine(1001000, 5.0, high, 300, 2300));
    // 1 001 300 Hz: audio 1300 in the first slice (weight 1), 300 in the second (its edge).
    const int shared = 1300 / 5;
    QCOMPARE(grid.weight(shared), 1.0 + SyntheticGrid::edgeWeight);
    const double mean = (1e-6 * 1.0 + 4e-6 * 0.05) / 1.05;
    QVERIFY(std::fabs(grid.psdDb(shared) - 10.0 * std::log10(mean)) < 1e-9);
    // Just inside an edge the triangle is below 0.05 and is clamped to it.
    QCOMPARE(grid.weight(305 / 5), SyntheticGrid::edgeWeight);
    // 1 001 800 Hz: audio 1800 (weight 0.5) and 800 (weight 0.5): the plain mean.
    QVERIFY(std::fabs(grid.psdDb(1800 / 5) - 10.0 * std::log10(2.5e-6)) < 1e-9);
    // Bins only the second slice reaches.
    QVERIFY(std::fabs(grid.psdDb(3000 / 5) - 10.0 * std::log10(4e-6)) < 1e-9);
    QVERIFY(!grid.isCovered(3305 / 5));
}

void TestSyntheticCore::invalidSegment_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<int>("bins");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("no spacing") << 0.0 << 100 << 300 << 2300;
    QTest::newRow("one bin") << 5.0 << 1 << 300 << 2300;
    QTest::newRow("low at high") << 5.0 << 100 << 2300 << 2300;
}

void TestSyntheticCore::invalidSegment()
{
    QFETCH(double, spacing);
    QFETCH(int, bins);
    QFETCH(int, low);
    QFETCH(int, high);
    SyntheticGrid grid(1000000, 1010000, 5);
    QVERIFY(!grid.combine(1000000, spacing, QVector<double>(bins, 1.0), low, high));
    for (int i = 0; i < grid.size(); ++i)
        QVERIFY(!grid.isCovered(i));
}

void TestSyntheticCore::traceRunsSkipGaps()
{
    SyntheticGrid grid(1000000, 1010000, 5);
    const QVector<double> power(1000, 1e-6);
    QVERIFY(grid.combine(1000000, 5.0, power, 300, 2300));
    QVERIFY(grid.combine(1005000, 5.0, power, 300, 2300));
    QVERIFY(grid.combine(1009000, 5.0, power, 300, 1000)); // reaches only 1 009 300 ... 1 010 000
    const SyntheticTrace trace = SyntheticTrace::fromGrid(grid);
    QCOMPARE(trace.runs.size(), 3);
    QCOMPARE(trace.runs[0].first, 0);
    QCOMPARE(trace.runs[0].count, 401);
    QCOMPARE(trace.runs[1].first, 401);
    QCOMPARE(trace.runs[1].count, 401);
    QCOMPARE(trace.runs[2].count, 141);
    QCOMPARE(trace.points.size(), 943);
    QCOMPARE(trace.points[0], QPointF(1.0003, -60.0));
}

void TestSyntheticCore::csvHasEveryBin()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rf.csv");
    SyntheticGrid grid(4600000, 4600100, 5);
    QVERIFY(grid.combine(4600000 - 300, 5.0, QVector<double>(100, 2.5e-7), 300, 350));
    SyntheticCsv::SweepInfo info;
    info.utcStart = QStringLiteral("2024-03-05T15:07:09.123Z");
    info.completedSlices = 1;
    info.plannedSlices = 3;
    info.maxClipFraction = 1.0 / 3.0;
    info.binHz = 5;
    info.lowHz = 300;
    info.highHz = 350;
    info.settleMs = 350;
    info.captureMs = 1000;
    info.channel = 1;
    QString error;
    QCOMPARE(SyntheticCsv::write(path, grid, info, &error), SyntheticCsv::Result::Saved);
    const QStringList text = lines(path);
    QCOMPARE(text.size(), 1 + 21);
    QCOMPARE(text[0], QString::fromLatin1(SyntheticCsv::header));
    // Audio 300 ... 350 Hz covers 4 600 000 ... 4 600 050; weight 0.05 at both edges.
    QCOMPARE(text[1], QStringLiteral("2024-03-05T15:07:09.123Z,USB,4600000,-66.0205999133,0.05,"
                                     "1,3,0.333333333333,5,300,350,350,1000,1"));
    QCOMPARE(text[6].section(',', 2, 4), QStringLiteral("4600025,-66.0205999133,1"));
    QCOMPARE(text[12].section(',', 2, 4), QStringLiteral("4600055,,0"));
    QCOMPARE(text[21].section(',', 2, 4), QStringLiteral("4600100,,0"));
    QCOMPARE(SyntheticCsv::proposedFileName().left(13), QStringLiteral("rf_synthetic_"));
}

void TestSyntheticCore::csvFailures()
{
    QTemporaryDir dir;
    const SyntheticGrid grid(4600000, 4600100, 5);
    QString error;
    QCOMPARE(SyntheticCsv::write(dir.filePath("missing/rf.csv"), grid, {}, &error),
             SyntheticCsv::Result::OpenFailed);
    QVERIFY(!error.isEmpty());
    // A folder in the way of the file is refused before anything is written.
    QVERIFY(QDir(dir.path()).mkdir("taken.csv"));
    error.clear();
    QVERIFY(SyntheticCsv::write(dir.filePath("taken.csv"), grid, {}, &error) !=
            SyntheticCsv::Result::Saved);
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath("taken.csv")).isDir());
}

QTEST_GUILESS_MAIN(TestSyntheticCore)
#include "tst_syntheticcore.moc"
