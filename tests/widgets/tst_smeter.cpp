#include "pixelcheck.h"
#include "smeter.h"

#include <QtMath>
#include <QtTest>

#include <cmath>

namespace {

// The meter of the minimum size: frame inset by half a pixel, pivot 19 px below its bottom.
const QSize meterSize(224, 88);
const QPointF pivot(112.0, 87.5 + 19.0);
const QColor needleColour("#70e2d3");
const QColor face("#101922");

QPointF onArc(double radius, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return pivot + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

QImage render(double value)
{
    SMeter meter;
    meter.resize(meterSize);
    meter.setValue(value);
    return meter.grab().toImage();
}

} // namespace

class TestSMeter : public QObject
{
    Q_OBJECT

private slots:
    void needleAngle_data();
    void needleAngle();
    void valueStaysOnScale_data();
    void valueStaysOnScale();
    void needle_data();
    void needle();
    void needleClippedInsideFrame();
    void ticks_data();
    void ticks();
    void verticalTickGeometry();
    void frameAndLabels();
};

void TestSMeter::needleAngle_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("degrees");
    QTest::newRow("S1") << 1.0 << 150.0;
    QTest::newRow("S9 is straight up") << 8.0 << 90.0;
    QTest::newRow("+60") << 15.0 << 30.0;
    QTest::newRow("half a tick") << 1.5 << 150.0 - 60.0 / 14.0;
    QTest::newRow("level 255 maps to +60") << 1.0 + 255 * 14.0 / 255.0 << 30.0;
}

void TestSMeter::needleAngle()
{
    QFETCH(double, value);
    QFETCH(double, degrees);
    QVERIFY(std::abs(SMeter::needleAngle(value) - degrees) < 1e-9);
}

void TestSMeter::valueStaysOnScale_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("shown");
    QTest::newRow("inside") << 7.25 << 7.25;
    QTest::newRow("below") << -3.0 << 1.0;
    QTest::newRow("above") << 40.0 << 15.0;
    QTest::newRow("nan") << std::nan("") << 1.0;
}

void TestSMeter::valueStaysOnScale()
{
    QFETCH(double, value);
    QFETCH(double, shown);
    SMeter meter;
    QCOMPARE(meter.value(), 1.0);
    meter.setValue(value);
    QCOMPARE(meter.value(), shown);
}

void TestSMeter::needle_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("S1") << 1.0;
    QTest::newRow("S9") << 8.0;
    QTest::newRow("+60") << 15.0;
    QTest::newRow("between") << 11.3;
}

void TestSMeter::needle()
{
    QFETCH(double, value);
    const QImage image = render(value);
    const double deg = SMeter::needleAngle(value);
    // On the needle inside the frame up to radius 90, not beyond.
    for (double radius : {50.0, 60.0, 88.0})
        QVERIFY2(PixelCheck::near(image, onArc(radius, deg), needleColour, 16),
                 qPrintable(QStringLiteral("radius %1").arg(radius)));
    QVERIFY(!PixelCheck::near(image, onArc(94.0, deg), needleColour, 80, 0));
    // Nothing of it 25 degrees away.
    const double away = deg < 90.0 ? deg + 25.0 : deg - 25.0;
    QVERIFY(!PixelCheck::near(image, onArc(55.0, away), needleColour, 80));
}

void TestSMeter::needleClippedInsideFrame()
{
    const QImage image = render(8.0);
    // Straight up from the pivot below the widget: visible up to 2 px inside the frame.
    QCOMPARE(PixelCheck::at(image, 112, 84), needleColour);
    QCOMPARE(PixelCheck::at(image, 112, 30), needleColour);
    QCOMPARE(PixelCheck::at(image, 112, 86), face);
    QCOMPARE(PixelCheck::at(image, 112, 60), needleColour);
    QCOMPARE(PixelCheck::at(render(1.0), 112, 60), face);
}

void TestSMeter::ticks_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("S1") << 0 << QColor("#a3d6cf");
    QTest::newRow("minor 1") << 1 << QColor("#a3d6cf");
    QTest::newRow("S9") << 8 << QColor("#a3d6cf");
    QTest::newRow("+10") << 9 << QColor("#e9ae81");
    QTest::newRow("+60") << 14 << QColor("#e9ae81");
}

void TestSMeter::ticks()
{
    QFETCH(int, tick);
    QFETCH(QColor, colour);
    const QImage image = render(1.0 + (tick < 7 ? 14 : 0));
    const double deg = 150.0 - tick * 120.0 / 14.0;
    const bool major = tick % 2 == 0;
    const double length = major ? 7.0 : 4.0;
    // A 1 px minor tick at a slant never covers a whole pixel: a looser match.
    QVERIFY(PixelCheck::near(image, onArc(92.0 - length / 2.0, deg), colour, major ? 40 : 150));
    // The tick is measured inward from radius 92: nothing outside it and, where no label
    // sits below, nothing past its length.
    QVERIFY(!PixelCheck::near(image, onArc(95.0, deg), colour, 60));
    if (!major)
        QVERIFY(!PixelCheck::near(image, onArc(92.0 - length - 3.0, deg), colour, 60));
}

void TestSMeter::verticalTickGeometry()
{
    // Tick 7 points straight up from the pivot at (112, 106.5): 1 px wide, from radius 88 to
    // 92, so it covers y 14.5 to 18.5 and half of the columns 111 and 112.
    const QImage image = render(1.0);
    for (int y = 15; y <= 17; ++y) {
        QVERIFY(PixelCheck::distance(PixelCheck::at(image, 112, y), face) > 150);
        QVERIFY(PixelCheck::distance(PixelCheck::at(image, 112, y),
                                     PixelCheck::at(image, 111, y)) <= 6);
    }
    QVERIFY(PixelCheck::distance(PixelCheck::at(image, 112, 14), face) > 30);
    QVERIFY(PixelCheck::distance(PixelCheck::at(image, 112, 18), face) > 30);
    QCOMPARE(PixelCheck::at(image, 112, 13), face);
    QCOMPARE(PixelCheck::at(image, 112, 19), face);
    QCOMPARE(PixelCheck::at(image, 110, 16), face);
    QCOMPARE(PixelCheck::at(image, 113, 16), face);
}

void TestSMeter::frameAndLabels()
{
    const QImage image = render(1.0);
    QCOMPARE(image.size(), meterSize);
    QCOMPARE(PixelCheck::at(image, 0, 44), QColor("#364b5a"));
    QCOMPARE(PixelCheck::at(image, 223, 44), QColor("#364b5a"));
    QCOMPARE(PixelCheck::at(image, 112, 0), QColor("#364b5a"));
    QCOMPARE(PixelCheck::at(image, 3, 44), face);
    // Rounded corners leave the very corner unpainted.
    QVERIFY(PixelCheck::distance(PixelCheck::at(image, 0, 0), QColor("#364b5a")) > 30);

    // Label boxes of 30 x 14 px centred at radius 73 hold text (S1 ... +60).
    for (int i = 0; i <= 14; i += 2) {
        const QPointF centre = onArc(73.0, 150.0 - i * 120.0 / 14.0);
        int inked = 0;
        for (int y = int(centre.y()) - 7; y < int(centre.y()) + 7; ++y)
            for (int x = int(centre.x()) - 15; x < int(centre.x()) + 15; ++x)
                if (PixelCheck::distance(image.pixelColor(x, y), face) > 120)
                    ++inked;
        QVERIFY2(inked >= 6, qPrintable(QStringLiteral("label at tick %1").arg(i)));
    }
}

QTEST_MAIN(TestSMeter)
#include "tst_smeter.moc"
