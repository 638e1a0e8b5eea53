#include "bandselection.h"
#include "eventrows.h"
#include "progressstages.h"
#include "reportfigures.h"
#include "spectrogramlookup.h"
#include "syntheticresult.h"
#include "viewgeometry.h"

#include <QtTest>

// The DSP tab's arithmetic: stage lines, spectrogram lookup, band selection, locate window,
// curve thinning, axis ranges and the event table's rows.
class TestDspTabMath : public QObject
{
    Q_OBJECT

private slots:
    void stageLines_data();
    void stageLines();
    void rasterLookup_data();
    void rasterLookup();
    void rasterWithoutData();
    void colourScaleTop_data();
    void colourScaleTop();
    void bandAround_data();
    void bandAround();
    void bandBoxes_data();
    void bandBoxes();
    void locateWindow_data();
    void locateWindow();
    void thinning_data();
    void thinning();
    void axisRanges_data();
    void axisRanges();
    void eventRowsOrderAndKeys();
    void eventRowsBandFilterIsInclusive();
    void eventRowsKeepTheEarliest();
};

void TestDspTabMath::stageLines_data()
{
    QTest::addColumn<int>("previous");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("stages"); // L = levels, P = pulses, W = writing

    QTest::newRow("first poll at 2") << -1 << 2 << "";
    QTest::newRow("2 to 78 on a short file") << 2 << 78 << "LP";
    QTest::newRow("78 to 81") << 78 << 81 << "";
    QTest::newRow("81 to 82") << 81 << 82 << "W";
    QTest::newRow("14 to 15") << 14 << 15 << "L";
    QTest::newRow("15 to 43") << 15 << 43 << "";
    QTest::newRow("43 to 44") << 43 << 44 << "P";
    QTest::newRow("first poll at 100") << -1 << 100 << "LPW";
}

void TestDspTabMath::stageLines()
{
    QFETCH(int, previous);
    QFETCH(int, current);
    QFETCH(QString, stages);
    QStringList expected;
    for (QChar stage : stages) {
        if (stage == 'L')
            expected << "Audio levels completed. Discovering spectral bands...";
        else if (stage == 'P')
            expected << "Analyzing pulse envelopes and periodicity...";
        else
            expected << "Writing HTML, SVG/PNG, CSV, JSON and filtered WAV...";
    }
    QCOMPARE(ProgressStages::linesBetween(previous, current), expected);
}

void TestDspTabMath::rasterLookup_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    // 2 s over 20 columns; rows at 80, 180, ... 980 Hz.
    QTest::newRow("inside") << 0.55 << 385.0 << 3 << 5;
    QTest::newRow("time below zero clamps") << -3.0 << 80.0 << 0 << 0;
    QTest::newRow("time beyond the end clamps") << 7.0 << 80.0 << 0 << 19;
    QTest::newRow("time at the end") << 2.0 << 80.0 << 0 << 19;
    QTest::newRow("tie between rows takes the upper") << 0.0 << 130.0 << 1 << 0;
    QTest::newRow("just below the tie") << 0.0 << 129.99 << 0 << 0;
    QTest::newRow("below the lowest row") << 0.0 << 10.0 << 0 << 0;
    QTest::newRow("above the highest row") << 0.0 << 5000.0 << 9 << 0;
}

void TestDspTabMath::rasterLookup()
{
    QFETCH(double, seconds);
    QFETCH(double, hertz);
    QFETCH(int, row);
    QFETCH(int, column);
    const NativeWav::Result result = SyntheticResult::make();
    const SpectrogramLookup lookup(result);
    QVERIFY(lookup.hasData());
    QCOMPARE(lookup.nearestRow(hertz), row);
    QCOMPARE(lookup.column(seconds), column);
    QCOMPARE(lookup.valueAt(seconds, hertz), double(float(-100.0 + row + column / 1000.0)));
}

void TestDspTabMath::rasterWithoutData()
{
    NativeWav::Result empty = SyntheticResult::make();
    empty.displayFrequencies.clear();
    QCOMPARE(SpectrogramLookup(empty).valueAt(1.0, 500.0), -160.0);

    NativeWav::Result short_ = SyntheticResult::make();
    short_.spectrogramDb.pop_back(); // a matrix that does not hold all cells is not read
    QVERIFY(!SpectrogramLookup(short_).hasData());
    QCOMPARE(SpectrogramLookup(short_).valueAt(1.0, 500.0), -160.0);

    const NativeWav::Result result = SyntheticResult::make();
    const SpectrogramLookup lookup(result);
    QCOMPARE(lookup.rowAtOrAbove(130.0), 1);
    QCOMPARE(lookup.rowAtOrAbove(180.0), 1);
    QCOMPARE(lookup.rowAtOrAbove(5000.0), 9);
}

void TestDspTabMath::colourScaleTop_data()
{
    QTest::addColumn<QVector<float>>("cells");
    QTest::addColumn<double>("top");

    // 1000 strong cells -0.125 ... -125 dB: rank floor(999 * 0.998) = 997 of the ascending list,
    // the third from the top.
    QVector<float> ramp;
    for (int i = 1; i <= 1000; ++i)
        ramp.append(-0.125f * float(i));
    QTest::newRow("99.8th percentile") << ramp << -0.375;
    // The same with silence and broken cells around it: only finite cells above -145 count.
    QVector<float> noisy = ramp;
    noisy << -145.0f << -160.0f << qQNaN() << float(qInf()) << float(-qInf());
    for (int i = 0; i < 500; ++i)
        noisy << -150.0f;
    QTest::newRow("silence and non-finite cells ignored") << noisy << -0.375;
    QTest::newRow("one cell") << QVector<float>{-20.0f} << -20.0;
    QTest::newRow("quiet recording: at least -110") << QVector<float>{-140.0f, -130.0f} << -110.0;
    QTest::newRow("nothing above -145: the fallback") << QVector<float>{-145.0f, -170.0f} << -90.0;
    QTest::newRow("no cells: the fallback") << QVector<float>{} << -90.0;
}

void TestDspTabMath::colourScaleTop()
{
    QFETCH(QVector<float>, cells);
    QFETCH(double, top);
    // Shuffled, so the rank is taken of the sorted cells and not of the stored order.
    std::vector<float> values(cells.begin(), cells.end());
    std::reverse(values.begin(), values.end());
    std::rotate(values.begin(), values.begin() + values.size() / 3, values.end());
    QCOMPARE(NativeWav::spectrogramReferenceLevel(values, -90.0), top);
}

void TestDspTabMath::bandAround_data()
{
    QTest::addColumn<double>("hertz");
    QTest::addColumn<QVector<double>>("trains"); // centre, low edge, high edge, ...
    QTest::addColumn<int>("highMaximum");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");

    const QVector<double> none;
    QTest::newRow("no train near") << 1000.0 << none << 6000 << 880 << 1120;
    QTest::newRow("near a train") << 1000.0 << QVector<double>{1050, 930, 1170} << 6000 << 930
                                  << 1170;
    QTest::newRow("train 120 Hz away is not near")
        << 1000.0 << QVector<double>{1120, 1000, 1240} << 6000 << 880 << 1120;
    QTest::newRow("nearest of two trains")
        << 1000.0 << QVector<double>{1100, 980, 1220, 960, 840, 1080} << 6000 << 840 << 1080;
    QTest::newRow("first on equal distance")
        << 1000.0 << QVector<double>{1050, 930, 1170, 950, 830, 1070} << 6000 << 930 << 1170;
    QTest::newRow("train edges widen to whole Hz")
        << 1000.0 << QVector<double>{1000, 930.4, 1169.6} << 6000 << 930 << 1170;
    QTest::newRow("at the low edge") << 100.0 << none << 6000 << 80 << 220;
    QTest::newRow("below the range") << 10.0 << none << 6000 << 80 << 200;
    QTest::newRow("at the high edge") << 5990.0 << none << 6000 << 5870 << 6000;
    QTest::newRow("above the range") << 7000.0 << none << 6000 << 5880 << 6000;
    QTest::newRow("box maximum below the band") << 5000.0 << none << 50 << 49 << 50;
}

void TestDspTabMath::bandAround()
{
    QFETCH(double, hertz);
    QFETCH(QVector<double>, trains);
    QFETCH(int, highMaximum);
    QFETCH(int, low);
    QFETCH(int, high);
    NativeWav::Result result = SyntheticResult::make();
    for (int i = 0; i + 2 < trains.size(); i += 3)
        result.trains.push_back(SyntheticResult::train(trains[i], trains[i + 1], trains[i + 2]));
    const AudioBand band = ::bandAround(result, hertz, highMaximum);
    QCOMPARE(band.lowHz, low);
    QCOMPARE(band.highHz, high);
}

void TestDspTabMath::bandBoxes_data()
{
    QTest::addColumn<double>("lowHz");
    QTest::addColumn<double>("highHz");
    QTest::addColumn<int>("lowMaximum");
    QTest::addColumn<int>("highMaximum");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");

    QTest::newRow("defaults") << 80.0 << 6000.0 << 5999 << 6000 << 80 << 6000;
    QTest::newRow("above the box limit") << 80.0 << 120000.0 << 95999 << 96000 << 80 << 96000;
    QTest::newRow("fractional edges") << 99.7 << 4000.7 << 3999 << 4000 << 99 << 4000;
    QTest::newRow("low within 1 Hz of high") << 3999.9 << 4000.2 << 3999 << 4000 << 3999 << 4000;
}

void TestDspTabMath::bandBoxes()
{
    QFETCH(double, lowHz);
    QFETCH(double, highHz);
    NativeWav::Result result = SyntheticResult::make(2.0, lowHz, highHz);
    const BandBoxes boxes = bandBoxesFor(result);
    QTEST(boxes.lowMaximum, "lowMaximum");
    QTEST(boxes.highMaximum, "highMaximum");
    QTEST(boxes.band.lowHz, "low");
    QTEST(boxes.band.highHz, "high");
}

void TestDspTabMath::locateWindow_data()
{
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("lowHz");
    QTest::addColumn<double>("highHz");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<QRectF>("window");

    QTest::newRow("2 s file: 0.4 s window")
        << 2.0 << 80.0 << 6000.0 << 1.0 << 1000.0 << QRectF(0.8, 556, 0.4, 888);
    QTest::newRow("near the start")
        << 2.0 << 80.0 << 6000.0 << 0.05 << 1000.0 << QRectF(0, 556, 0.4, 888);
    QTest::newRow("near the end") << 2.0 << 80.0 << 6000.0 << 1.99 << 1000.0
                                  << QRectF(1.6, 556, 0.4, 888);
    QTest::newRow("long file: 3 %")
        << 100.0 << 80.0 << 6000.0 << 50.0 << 1000.0 << QRectF(48.5, 556, 3, 888);
    QTest::newRow("low frequency")
        << 2.0 << 80.0 << 6000.0 << 1.0 << 100.0 << QRectF(0.8, 80, 0.4, 888);
    QTest::newRow("high frequency")
        << 2.0 << 80.0 << 6000.0 << 1.0 << 5990.0 << QRectF(0.8, 5112, 0.4, 888);
    QTest::newRow("file shorter than 0.4 s")
        << 0.2 << 80.0 << 6000.0 << 0.1 << 1000.0 << QRectF(0, 556, 0.2, 888);
    QTest::newRow("narrow band: at least 300 Hz, at most the band")
        << 2.0 << 1000.0 << 1100.0 << 1.0 << 1050.0 << QRectF(0.8, 1000, 0.4, 100);
    QTest::newRow("empty file") << 0.0 << 80.0 << 6000.0 << 0.0 << 1000.0 << QRectF();
}

void TestDspTabMath::locateWindow()
{
    QFETCH(double, duration);
    QFETCH(double, lowHz);
    QFETCH(double, highHz);
    QFETCH(double, seconds);
    QFETCH(double, hertz);
    QFETCH(QRectF, window);
    const NativeWav::Result result = SyntheticResult::make(duration, lowHz, highHz);
    const std::optional<QRectF> located = ::locateWindow(result, seconds, hertz);
    QCOMPARE(located.has_value(), !window.isNull());
    if (located) {
        QCOMPARE(located->x(), window.x());
        QCOMPARE(located->y(), window.y());
        QCOMPARE(located->width(), window.width());
        QCOMPARE(located->height(), window.height());
    }
}

void TestDspTabMath::thinning_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("step");

    QTest::newRow("empty") << 0 << 0 << 1;
    QTest::newRow("one point") << 1 << 1 << 1;
    QTest::newRow("10 000: all") << 10000 << 10000 << 1;
    QTest::newRow("10 001: every second, last on the step") << 10001 << 5001 << 2;
    QTest::newRow("24 001: every third, last on the step") << 24001 << 8001 << 3;
    QTest::newRow("24 002: last added") << 24002 << 8002 << 3;
}

void TestDspTabMath::thinning()
{
    QFETCH(int, n);
    QFETCH(int, points);
    QFETCH(int, step);
    const std::vector<std::size_t> indices = thinnedIndices(static_cast<std::size_t>(n));
    QCOMPARE(int(indices.size()), points);
    if (n == 0)
        return;
    QCOMPARE(indices.front(), std::size_t(0));
    QCOMPARE(indices.back(), std::size_t(n - 1));
    for (std::size_t i = 1; i + 1 < indices.size(); ++i)
        QCOMPARE(indices[i], i * std::size_t(step));
}

void TestDspTabMath::axisRanges_data()
{
    QTest::addColumn<bool>("spectrum");
    QTest::addColumn<QVector<double>>("levels");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");

    QTest::newRow("spectrum") << true << QVector<double>{-60, -30, -50} << -116.0 << -21.0;
    QTest::newRow("quiet spectrum: top -85")
        << true << QVector<double>{-120, -100} << -170.0 << -85.0;
    QTest::newRow("empty spectrum") << true << QVector<double>{} << -170.0 << -85.0;
    QTest::newRow("level") << false << QVector<double>{-20, -45} << -53.0 << -12.0;
    QTest::newRow("silent level") << false << QVector<double>{-160, -160} << -168.0 << -152.0;
    QTest::newRow("level at the top: widened") << false << QVector<double>{14, 14} << 1.0 << 20.0;
    QTest::newRow("level at the floor: widened")
        << false << QVector<double>{-175} << -175.0 << -162.0;
    QTest::newRow("non-finite levels ignored")
        << false << QVector<double>{-30, qInf(), qQNaN(), -40} << -48.0 << -22.0;
}

void TestDspTabMath::axisRanges()
{
    QFETCH(bool, spectrum);
    QFETCH(QVector<double>, levels);
    const std::vector<double> values(levels.begin(), levels.end());
    const AxisRange range = spectrum ? spectrumLevelRange(values) : rmsLevelRange(values);
    QTEST(range.min, "min");
    QTEST(range.max, "max");
}

void TestDspTabMath::eventRowsOrderAndKeys()
{
    using SyntheticResult::pulse;
    NativeWav::Result result = SyntheticResult::make();
    result.trains.push_back(SyntheticResult::train(1000, 880, 1120));
    result.trains[0].events = {pulse(0.3, 1000), pulse(0.8, 1000)};
    result.trains.push_back(SyntheticResult::train(950, 830, 1070));
    result.trains[1].events = {pulse(0.5, 950)};
    result.events = {pulse(0.1, 900), pulse(0.5, 1100)};

    const EventRowSelection selection = selectEventRows(result, std::nullopt);
    QCOMPARE(selection.matching, std::size_t(5));
    QVERIFY(!selection.truncated());
    const std::vector<EventKey> expected = {eventKey(0, 0), eventKey(1, 0), eventKey(2, 0),
                                            eventKey(0, 1), eventKey(1, 1)};
    QCOMPARE(selection.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(selection.rows[i].key, expected[i]);
        QCOMPARE(eventForKey(result, selection.rows[i].key), selection.rows[i].event);
    }
    QCOMPARE(eventForKey(result, eventKey(2, 0))->frequencyHz, 950.0);
    QCOMPARE(eventKeyGroup(eventKey(3, 7)), 3u);
    QCOMPARE(eventKeyIndex(eventKey(3, 7)), 7u);
    QCOMPARE(eventKey(3, 7), (quint64(7) << 32) | 3u);
    QVERIFY(!eventForKey(result, eventKey(3, 0)));
    QVERIFY(!eventForKey(result, eventKey(1, 2)));
    QVERIFY(!eventForKey(result, eventKey(0, 2)));
}

void TestDspTabMath::eventRowsBandFilterIsInclusive()
{
    NativeWav::Result result = SyntheticResult::make();
    SyntheticResult::addIsolated(result, 6, {899.9, 900.0, 1000.0, 1100.0, 1100.1, 2000.0});
    const EventRowSelection selection = selectEventRows(result, std::make_pair(900.0, 1100.0));
    QCOMPARE(selection.rows.size(), std::size_t(3));
    QCOMPARE(selection.matching, std::size_t(3));
    QCOMPARE(selection.rows[0].event->frequencyHz, 900.0);
    QCOMPARE(selection.rows[2].event->frequencyHz, 1100.0);
}

void TestDspTabMath::eventRowsKeepTheEarliest()
{
    NativeWav::Result result = SyntheticResult::make(60.0);
    SyntheticResult::addIsolated(result, 12000, {1000.0});
    // Stored latest first, so keeping the first rows of the result would be wrong.
    std::reverse(result.events.begin(), result.events.end());
    const EventRowSelection selection = selectEventRows(result, std::nullopt);
    QCOMPARE(selection.matching, std::size_t(12000));
    QVERIFY(selection.truncated());
    QCOMPARE(selection.rows.size(), eventTableLimit);
    QCOMPARE(selection.rows.front().key, eventKey(0, 11999));
    QCOMPARE(selection.rows.back().key, eventKey(0, 12000 - 5000));
}

QTEST_GUILESS_MAIN(TestDspTabMath)
#include "tst_dsptabmath.moc"
