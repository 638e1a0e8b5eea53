// The UI-free pieces of the RF sweep: band table, plan arithmetic (64-bit on whole-range
// sweeps), bucket decimation, histogram statistics, the CSV line format and the HTML report.
#include "rfbands.h"
#include "rflevelgradient.h"
#include "rfsweepcsv.h"
#include "rfsweepplan.h"
#include "rfsweepreport.h"
#include "rfsweepresults.h"

#include <QColor>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

RfSweepPlan plan(qint64 start, qint64 end, qint64 step, const QString &mode = "AM")
{
    RfSweepPlan p;
    p.startHz = start;
    p.endHz = end;
    p.stepHz = step;
    p.modeText = mode;
    p.settleMs = 140;
    p.started = QDateTime(QDate(2024, 5, 1), QTime(14, 3, 9));
    return p;
}

} // namespace

class RfSweepCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void bandOfFrequency_data();
    void bandOfFrequency();
    void parameterConversion_data();
    void parameterConversion();
    void planCountsAndRange_data();
    void planCountsAndRange();
    void bucketsShareFourteenHundredSticks_data();
    void bucketsShareFourteenHundredSticks();
    void bucketsKeepEarlierMaximum();
    void statistics_data();
    void statistics();
    void topListTiesAndLimit();
    void gradientStops();
    void csvLines();
    void reportFragments_data();
    void reportFragments();
    void chartDrawsSticksInBandColours();
};

void RfSweepCoreTest::bandOfFrequency_data()
{
    QTest::addColumn<qint64>("hertz");
    QTest::addColumn<QString>("band");
    QTest::newRow("below LF") << qint64(29999) << QString();
    QTest::newRow("LF start") << qint64(30000) << "LF";
    QTest::newRow("MF at 300 kHz") << qint64(300000) << "MF";
    QTest::newRow("29.9 MHz HF") << qint64(29900000) << "HF";
    QTest::newRow("30 MHz VHF") << qint64(30000000) << "VHF";
    QTest::newRow("30.1 MHz VHF") << qint64(30100000) << "VHF";
    QTest::newRow("3000 MHz UHF") << qint64(3000000000LL) << "UHF";
    QTest::newRow("above UHF") << qint64(3000000001LL) << QString();
}

void RfSweepCoreTest::bandOfFrequency()
{
    QFETCH(qint64, hertz);
    QFETCH(QString, band);
    const int index = RfBands::indexOf(hertz);
    QCOMPARE(RfBands::name(index), band);
    QCOMPARE(RfBands::indexOfName(band), band.isEmpty() ? RfBands::none : index);
}

void RfSweepCoreTest::parameterConversion_data()
{
    QTest::addColumn<double>("megahertz");
    QTest::addColumn<double>("kilohertz");
    QTest::addColumn<qint64>("startHz");
    QTest::addColumn<qint64>("stepHz");
    QTest::newRow("88.00004 MHz") << 88.00004 << 100.0 << qint64(88000000) << qint64(100000);
    QTest::newRow("half unit goes up") << 88.00005 << 0.15 << qint64(88000100) << qint64(200);
    QTest::newRow("100 Hz step") << 0.1 << 0.1 << qint64(100000) << qint64(100);
    QTest::newRow("below a unit") << 3000.0 << 0.04 << qint64(3000000000LL) << qint64(0);
}

void RfSweepCoreTest::parameterConversion()
{
    QFETCH(double, megahertz);
    QFETCH(double, kilohertz);
    QFETCH(qint64, startHz);
    QFETCH(qint64, stepHz);
    QCOMPARE(RfSweepPlan::hertzFromMegahertz(megahertz), startHz);
    QCOMPARE(RfSweepPlan::hertzFromKilohertz(kilohertz), stepHz);
    QCOMPARE(plan(startHz, startHz, stepHz).isValid(), stepHz >= 100);
}

void RfSweepCoreTest::planCountsAndRange_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<double>("axisLow");
    QTest::addColumn<double>("axisHigh");
    QTest::newRow("one frequency") << qint64(100000000) << qint64(100000000) << qint64(25000)
                                   << qint64(1) << qint64(100000000) << 99987500.0 << 100012500.0;
    QTest::newRow("end not on the grid")
        << qint64(100000000) << qint64(100250000) << qint64(100000) << qint64(3)
        << qint64(100200000) << 99950000.0 << 100300000.0;
    QTest::newRow("span below the step")
        << qint64(100000000) << qint64(100000300) << qint64(100000) << qint64(1)
        << qint64(100000000) << 99999850.0 << 100000450.0;
    QTest::newRow("whole range at 100 Hz")
        << qint64(100000) << qint64(3000000000LL) << qint64(100) << qint64(29999001)
        << qint64(3000000000LL) << 99950.0 << 3000000050.0;
}

void RfSweepCoreTest::planCountsAndRange()
{
    QFETCH(qint64, start);
    QFETCH(qint64, end);
    QFETCH(qint64, step);
    QFETCH(qint64, count);
    QFETCH(qint64, last);
    QFETCH(double, axisLow);
    QFETCH(double, axisHigh);
    const RfSweepPlan p = plan(start, end, step);
    QCOMPARE(p.count(), count);
    QCOMPARE(p.frequencyAt(count - 1), last);
    QCOMPARE(p.axisLowHz(), axisLow);
    QCOMPARE(p.axisHighHz(), axisHigh);
    QVERIFY(!plan(end + 100, end, step).isValid());
}

void RfSweepCoreTest::bucketsShareFourteenHundredSticks_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<QVector<int>>("buckets"); // per band LF ... UHF
    QTest::addColumn<bool>("decimated");
    // 1400 points in one band: one stick each.
    QTest::newRow("1400 points") << qint64(88000000) << qint64(227900000) << qint64(100000)
                                 << QVector<int>{0, 0, 0, 1400, 0} << false;
    // 1401 points: floor(1401 x 1400 / 1401) = 1400 sticks for 1401 samples.
    QTest::newRow("1401 points") << qint64(88000000) << qint64(228000000) << qint64(100000)
                                 << QVector<int>{0, 0, 0, 1400, 0} << true;
    // 29 999 001 samples; n x 1400 overflows 32 bits in every band from MF up.
    QTest::newRow("whole range, 100 Hz")
        << qint64(100000) << qint64(3000000000LL) << qint64(100) << QVector<int>() << true;
}

void RfSweepCoreTest::bucketsShareFourteenHundredSticks()
{
    QFETCH(qint64, start);
    QFETCH(qint64, end);
    QFETCH(qint64, step);
    QFETCH(QVector<int>, buckets);
    QFETCH(bool, decimated);
    const RfSweepPlan p = plan(start, end, step);
    RfSweepResults results;
    results.reset(p);
    qint64 planned = 0;
    for (int band = 0; band < RfBands::count; ++band) {
        const RfBandSlice slice = results.slice(band);
        planned += slice.planned;
        const qint64 expected =
            slice.planned == 0
                ? 0
                : std::min(slice.planned, std::max<qint64>(1, slice.planned * 1400 / p.count()));
        QCOMPARE(slice.buckets, int(expected));
        QCOMPARE(results.buckets(band).size(), slice.buckets);
        if (!buckets.isEmpty())
            QCOMPARE(slice.buckets, buckets[band]);
    }
    // Every sample belongs to exactly one band.
    QCOMPARE(planned, p.count());
    QCOMPARE(results.decimated(), decimated);
    if (p.count() > 1000000) {
        // LF: 100 kHz ... 299.9 kHz = 2000 samples; UHF from 300 MHz to 3 GHz inclusive.
        QCOMPARE(results.slice(0).planned, qint64(2000));
        QCOMPARE(results.slice(4).first, qint64(2999000));
        QCOMPARE(results.slice(4).planned, qint64(27000001));
        // The last sample lands in the last bucket of UHF, not beyond it.
        results.record(p.count() - 1, 3000000000LL, 77, 2);
        QCOMPARE(results.buckets(4).last().level, 77);
        QCOMPARE(
            results.overall().text(),
            QStringLiteral("Min 77 | Max 77\nMean 77.0 | Median 77.0\nStandard deviation 0.0"));
    }
}

void RfSweepCoreTest::bucketsKeepEarlierMaximum()
{
    // 2800 samples in VHF share 1400 buckets: two samples per bucket.
    RfSweepResults results;
    results.reset(plan(88000000, 115990000, 10000));
    QCOMPARE(results.slice(3).buckets, 1400);
    results.record(0, 88000000, 50, 1);
    results.record(1, 88010000, 50, 1); // tie: the earlier reading stays
    results.record(2, 88020000, 10, 1);
    results.record(3, 88030000, 90, 1);
    results.record(4, 88040000, -1, 9); // no reading: the bucket is untouched
    const QVector<RfBucket> &buckets = results.buckets(3);
    QCOMPARE(buckets[0].frequency, qint64(88000000));
    QCOMPARE(buckets[0].level, 50);
    QCOMPARE(buckets[0].mode, -1);
    QCOMPARE(buckets[1].frequency, qint64(88030000));
    QCOMPARE(buckets[2].level, -1);
    QCOMPARE(results.overall().processed(), qint64(5));
    QCOMPARE(results.overall().valid(), qint64(4));
    QCOMPARE(results.band(3).processed(), qint64(5));
    QCOMPARE(results.summary(), QStringLiteral("5/2800 sampled | 4 with readings | 1 without "
                                               "readings | Peak 90 at 88.0300 MHz"));
    QCOMPARE(results.bandCoverage(3),
             QStringLiteral("4 valid | 1 without readings | 2800 planned"));
}

void RfSweepCoreTest::statistics_data()
{
    QTest::addColumn<QVector<int>>("levels");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QVector<int>{} << "No valid S-meter readings.";
    QTest::newRow("10 and 20")
        << QVector<int>{20, 10}
        << "Min 10 | Max 20\nMean 15.0 | Median 15.0\nStandard deviation 5.0";
    QTest::newRow("odd count")
        << QVector<int>{0, 255, 3}
        << "Min 0 | Max 255\nMean 86.0 | Median 3.0\nStandard deviation 119.5";
    QTest::newRow("unreadable ignored") << QVector<int>{-1, 7, -1}
                                        << "Min 7 | Max 7\nMean 7.0 | Median 7.0\nStandard "
                                           "deviation 0.0";
}

void RfSweepCoreTest::statistics()
{
    QFETCH(QVector<int>, levels);
    QFETCH(QString, text);
    RfStatistics stats;
    for (int i = 0; i < levels.size(); ++i)
        stats.add(1000000 + i, levels[i], 2);
    QCOMPARE(stats.text(), text);
    QCOMPARE(stats.processed(), qint64(levels.size()));
}

void RfSweepCoreTest::topListTiesAndLimit()
{
    RfStatistics stats;
    for (int i = 0; i < 11; ++i)
        stats.add(1000 + i, 100, i % 9);
    QCOMPARE(stats.top().size(), 10);
    QCOMPARE(stats.top().first().frequency, qint64(1000)); // earlier first on a tie
    QCOMPARE(stats.top().last().frequency, qint64(1009));  // the eleventh equal is not added
    stats.add(5000, 101, 9);
    QCOMPARE(stats.top().first().frequency, qint64(5000));
    QCOMPARE(stats.top().first().mode, 9);
    QCOMPARE(stats.top().last().frequency, qint64(1008));
    stats.add(6000, 3, 1);
    QCOMPARE(stats.top().size(), 10);
    QCOMPARE(stats.minimum(), 3);
}

void RfSweepCoreTest::gradientStops()
{
    const QGradientStops stops = RfLevelGradient::stops();
    QCOMPARE(stops.size(), 14);
    QCOMPARE(stops.first().first, 0.0);
    QCOMPARE(stops.last().first, 1.0);
    // QColor keeps 16 bits per component.
    QVERIFY(qAbs(stops.first().second.hueF() - 0.62) < 1e-4);
    QVERIFY(qAbs(stops.first().second.valueF() - 0.82) < 1e-4);
    QVERIFY(qAbs(stops.first().second.saturationF() - 0.82) < 1e-4);
    QCOMPARE(stops.last().second.hueF(), 0.0);
    QCOMPARE(stops.last().second.valueF(), 1.0);
    QVERIFY(qAbs(stops[6].second.hsvHueF() - (1.0 - 6 / 13.0) * 0.62) < 1e-4);
    const QLinearGradient gradient = RfLevelGradient::gradient(400.0, 10.0);
    QCOMPARE(gradient.start(), QPointF(0.0, 400.0));
    QCOMPARE(gradient.finalStop(), QPointF(0.0, 10.0));
}

void RfSweepCoreTest::csvLines()
{
    QTemporaryDir dir;
    const QString path =
        dir.filePath(QStringLiteral("rf/deep/") +
                     RfSweepCsv::fileName(QDateTime(QDate(2024, 5, 1), QTime(14, 3, 9, 42)), 4711));
    QVERIFY(path.endsWith(QLatin1String("sweep_20240501_140309_042_4711.csv")));
    RfSweepCsv csv;
    QString error;
    QVERIFY2(csv.open(path, &error), qPrintable(error));
    QVERIFY(csv.writeSample(88000000, 42, 1, "measured", "VHF", "WFM", &error));
    QVERIFY(csv.writeSample(88100000, -1, 3, "unreadable", "VHF", QString(), &error));
    csv.close();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("frequency_hz,s_meter,attempts,status,band,mode\n"
                                        "88000000,42,1,measured,VHF,WFM\n"
                                        "88100000,,3,unreadable,VHF,\n"));

    // A folder that cannot be made: the file's own error comes back.
    QFile blocker(dir.filePath(QStringLiteral("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!csv.open(dir.filePath(QStringLiteral("plain/x.csv")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!csv.isOpen());
}

void RfSweepCoreTest::reportFragments_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("FM band, AUTO")
        << qint64(88000000) << qint64(88500000) << "AUTO"
        << QStringList{"In AUTO, the receiver can use different filters",
                       "Started 2024-05-01T14:03:09 | Band 88.0000 to 88.5000 MHz | Step 100.0 kHz"
                       " | Mode AUTO | Settling time 140 ms",
                       "<tr><td><b style='color:#9B4C00'>VHF</b> &middot; 30-300 MHz</td><td>"
                       "2 valid | 1 without readings | 6 planned</td>",
                       "88.1000 MHz (S-meter 200)",
                       "<tr><td>88.1000</td><td>200</td><td><b style='color:#9B4C00'>VHF</b>"
                       "</td><td>USB</td></tr>"}
        << QStringList{"The graph shows the strongest", "<b style='color:#566E06'>HF</b> &middot;"};
    QTest::newRow("HF to VHF, decimated")
        << qint64(29000000) << qint64(31000000) << "USB"
        << QStringList{"The graph shows the strongest sampled reading",
                       "<b style='color:#566E06'>HF</b> &middot; 3-30 MHz</td><td>0 valid | 0 "
                       "without readings | 10000 planned",
                       "<b style='color:#9B4C00'>VHF</b> &middot; 30-300 MHz</td>"}
        << QStringList{"In AUTO", "&middot; 300 MHz-3 GHz"};
}

void RfSweepCoreTest::reportFragments()
{
    QFETCH(qint64, start);
    QFETCH(qint64, end);
    QFETCH(QString, mode);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const qint64 step = start < 30000000 ? 100 : 100000;
    RfSweepPlan p = plan(start, end, step, mode);
    RfSweepResults results;
    results.reset(p);
    if (start == 88000000) {
        results.record(0, 88000000, 20, 3);
        results.record(1, 88100000, 200, 3);
        results.record(2, 88200000, -1, 9);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.html"));
    QString error;
    QVERIFY(RfSweepReport::write(path, results, "Done <&> \"ok\"\nnext", "sweep a#b.csv", &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.startsWith(QLatin1String("<!doctype html>")));
    QVERIFY(html.contains(QLatin1String("<title>Corvin Frequency Spectrum Analyzer</title>")));
    QVERIFY(html.contains(QLatin1String("<p>Done &lt;&amp;&gt; &quot;ok&quot;<br>next</p>")));
    QVERIFY(html.contains(QLatin1String(
        "<p class='legend'><span><b style='color:#1E5FB5'>LF</b> 30-300 kHz</span><span>")));
    QVERIFY(html.contains(QLatin1String("<a href='sweep%20a%23b.csv' download>")));
    QVERIFY(html.contains(QLatin1String("src='data:image/png;base64,iVBOR")));
    QVERIFY(html.endsWith(QLatin1String("</body></html>\n")));
    for (const QString &text : present)
        QVERIFY2(html.contains(text), qPrintable(text));
    for (const QString &text : absent)
        QVERIFY2(!html.contains(text), qPrintable(text));
    // The strongest-frequencies table exists only with readings.
    QCOMPARE(html.contains(QLatin1String("<h2>Strongest frequencies</h2>")), start == 88000000);

    // A folder that does not exist: nothing is written and the error comes back.
    QVERIFY(!RfSweepReport::write(dir.filePath(QStringLiteral("none/r.html")), results, "m",
                                  "c.csv", &error));
    QVERIFY(!error.isEmpty());
}

void RfSweepCoreTest::chartDrawsSticksInBandColours()
{
    RfSweepResults results;
    results.reset(plan(29900000, 30100000, 100000));
    results.record(0, 29900000, 255, 3);
    results.record(2, 30100000, 0, 3); // drawn at least 2 px high
    const QImage chart = RfSweepReport::chart(results);
    QCOMPARE(chart.size(), QSize(1440, 590));
    // x(f) = 116 + (f - x0) x 1220 / S with x0 = 29.85 MHz, S = 300 kHz.
    const int hfX = 116 + (29900000 - 29850000) * 1220 / 300000;
    const int vhfX = 116 + (30100000 - 29850000) * 1220 / 300000;
    QCOMPARE(QColor(chart.pixel(hfX, 100)), QColor(QStringLiteral("#566E06")));
    QCOMPARE(QColor(chart.pixel(vhfX, 498)), QColor(QStringLiteral("#9B4C00")));
    QVERIFY(QColor(chart.pixel(vhfX, 480)) != QColor(QStringLiteral("#9B4C00")));
    QCOMPARE(QColor(chart.pixel(5, 5)), QColor(Qt::white));
}

QTEST_MAIN(RfSweepCoreTest)
#include "tst_rfsweepcore.moc"
