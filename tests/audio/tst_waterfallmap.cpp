// The waterfall's colour mapping, shared by the live waterfall and fft-render: the palettes'
// lookup, the colour index rule and which bins each of the 768 columns shows.

#include "waterfallmap.h"

#include <QtTest>

#include <vector>

class TestWaterfallMap : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void paletteIndexIsClamped();
    void colourIndex_data();
    void colourIndex();
    void columnBins_data();
    void columnBins();
    void rowShowsTheLargestBinFromTheFloor();
};

void TestWaterfallMap::lookup_data()
{
    QTest::addColumn<int>("palette");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("colour");
    // Expected colours worked out from the stops: t = 4k/255, s = min(floor t, 3), f = t - s.
    QTest::newRow("Ocean 0") << 0 << 0 << "#101923";
    QTest::newRow("Ocean 64") << 0 << 64 << "#19385b";
    QTest::newRow("Ocean 100") << 0 << 100 << "#185774";
    QTest::newRow("Ocean 128") << 0 << 128 << "#187087";
    QTest::newRow("Ocean 255") << 0 << 255 << "#f5facc";
    QTest::newRow("Heat 128") << 1 << 128 << "#b84153";
    QTest::newRow("Heat 255") << 1 << 255 << "#fff3bc";
    QTest::newRow("Grayscale 128") << 2 << 128 << "#818181";
    QTest::newRow("Viridis 100") << 3 << 100 << "#2c768c";
    QTest::newRow("Viridis 255") << 3 << 255 << "#fde725";
    QTest::newRow("Inferno 0") << 4 << 0 << "#000004";
    QTest::newRow("Inferno 128") << 4 << 128 << "#bc3853";
}

void TestWaterfallMap::lookup()
{
    QFETCH(int, palette);
    QFETCH(int, k);
    QFETCH(QString, colour);
    const WaterfallMap::Lookup table = WaterfallMap::lookup(palette);
    QCOMPARE(QColor::fromRgb(table[static_cast<size_t>(k)]).name(), colour);
    QCOMPARE(qAlpha(table[static_cast<size_t>(k)]), 255);
}

void TestWaterfallMap::paletteIndexIsClamped()
{
    QCOMPARE(WaterfallMap::clampPalette(-3), 0);
    QCOMPARE(WaterfallMap::clampPalette(4), 4);
    QCOMPARE(WaterfallMap::clampPalette(9), 4);
    QCOMPARE(QString(WaterfallMap::paletteName(4)), QStringLiteral("Inferno"));
    QCOMPARE(WaterfallMap::lookup(7), WaterfallMap::lookup(4));
}

void TestWaterfallMap::colourIndex_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("index");
    QTest::newRow("floor") << -90.0 << 0;
    QTest::newRow("below the floor") << -100.0 << 0;
    QTest::newRow("ceiling") << -20.0 << 255;
    QTest::newRow("above the ceiling") << 0.0 << 255;
    QTest::newRow("middle, half away from zero") << -55.0 << 128; // 127.5
    QTest::newRow("one step") << -89.7254902 << 1;
    QTest::newRow("not a number") << qQNaN() << 0;
}

void TestWaterfallMap::colourIndex()
{
    QFETCH(double, value);
    QFETCH(int, index);
    QCOMPARE(WaterfallMap::colourIndex(value, -90, -20), index);
}

void TestWaterfallMap::columnBins_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("end");
    // 48 kHz, 4096 points: bins of 11.71875 Hz; 0 ... 10 000 Hz gives h = 1.1111 bins a column.
    QTest::newRow("0-10000 first") << 0.0 << 10000.0 << 0 << 0 << 2;
    QTest::newRow("0-10000 second") << 0.0 << 10000.0 << 1 << 1 << 3;
    QTest::newRow("0-10000 middle") << 0.0 << 10000.0 << 384 << 426 << 428;
    QTest::newRow("0-10000 last") << 0.0 << 10000.0 << 767 << 852 << 854;
    // Narrow ranges: several columns share a bin, each still gets one.
    QTest::newRow("1000-1100 first") << 1000.0 << 1100.0 << 0 << 85 << 86;
    QTest::newRow("1000-1100 last") << 1000.0 << 1100.0 << 767 << 93 << 94;
    // Beyond the spectrum the range ends at its last bin.
    QTest::newRow("0-48000 last") << 0.0 << 48000.0 << 767 << 4090 << 2049;
}

void TestWaterfallMap::columnBins()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, column);
    QFETCH(int, first);
    QFETCH(int, end);
    const WaterfallMap::BinRange range =
        WaterfallMap::columnBins(column, low, high, 48000.0 / 4096.0, 2049);
    QCOMPARE(range.first, first);
    QCOMPARE(range.end, end);
}

void TestWaterfallMap::rowShowsTheLargestBinFromTheFloor()
{
    std::vector<double> spectrum(2049, -120.0);
    spectrum[1] = -60.0;  // column 0 holds bins 0 and 1
    spectrum[2] = -30.0;  // column 1 holds bins 1 and 2
    spectrum[853] = 10.0; // the last column, above the ceiling
    const WaterfallMap::Lookup colours = WaterfallMap::lookup(0);
    std::vector<quint32> row(WaterfallMap::columns, 0);
    WaterfallMap::renderRow(spectrum.data(), 2049, 48000.0 / 4096.0, 0.0, 10000.0, -90, -20,
                            colours, row.data());
    QCOMPARE(row[0], colours[static_cast<size_t>(WaterfallMap::colourIndex(-60.0, -90, -20))]);
    QCOMPARE(row[1], colours[static_cast<size_t>(WaterfallMap::colourIndex(-30.0, -90, -20))]);
    QCOMPARE(row[3], colours[0]); // bins 3 and 4 at -120 show as the floor
    QCOMPARE(row[767], colours[255]);
}

QTEST_GUILESS_MAIN(TestWaterfallMap)
#include "tst_waterfallmap.moc"
