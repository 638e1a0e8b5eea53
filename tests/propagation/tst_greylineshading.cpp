// The map's UI-free parts: every pixel of the shading against the formulas on a uniform base
// (day, twilight, deep night, both sides of the band, the horizon line), the shading key that
// spares recomputation, and the geometry of the 2 : 1 map rectangle, its points, clicks and
// label placement.

#include "greylinemapgeometry.h"
#include "greylineshading.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Greyline;

namespace {

constexpr double degree = 0.017453292519943295;
const QRgb baseColour = qRgb(100, 150, 200);

enum Region { Day, DaySideBand, Horizon, NightSideBand, Twilight, DeepNight, RegionCount };

// The pixel the shading should give at column i, row j, and the region it falls in.
QRgb expectedPixel(int i, int j, const SunPosition &sun, double low, double high, Region *region)
{
    const double longitude = ((i + 0.5) * 360.0 / 900.0 - 180.0) * degree;
    const double latitude = (90.0 - (j + 0.5) * 180.0 / 450.0) * degree;
    const double s = std::cos(sun.declination * degree) * std::cos(latitude) *
                         std::cos(longitude - sun.subsolarLongitude * degree) +
                     std::sin(sun.declination * degree) * std::sin(latitude);
    if (std::abs(s) < 0.0025) {
        *region = Horizon;
        return qRgb(245, 232, 185);
    }
    const double t = std::clamp(-s / std::sin(18.0 * degree), 0.0, 1.0) * 0.63;
    double r = qRed(baseColour) * (1 - t);
    double g = qGreen(baseColour) * (1 - t);
    double b = qBlue(baseColour) * (1 - t) + 25 * t;
    const bool inBand = std::sin(low * degree) <= s && s <= std::sin(high * degree);
    if (inBand) {
        r = 0.56 * r + 0.44 * 255;
        g = 0.56 * g + 0.44 * 181;
        b = 0.56 * b + 0.44 * 45;
    }
    if (inBand)
        *region = s > 0 ? DaySideBand : NightSideBand;
    else if (s > 0)
        *region = Day;
    else
        *region = t >= 0.63 ? DeepNight : Twilight;
    return qRgb(int(r), int(g), int(b));
}

QImage uniformBase(int width, int height)
{
    QImage base(width, height, QImage::Format_ARGB32);
    base.fill(baseColour);
    return base;
}

} // namespace

class TestGreylineShading : public QObject
{
    Q_OBJECT

private slots:
    void pixelsFollowTheFormulas_data()
    {
        QTest::addColumn<double>("declination");
        QTest::addColumn<double>("subsolar");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("equinox, default band") << 0.0 << 0.1 << -6.0 << 3.0;
        QTest::newRow("June solstice, date line") << 23.44 << 179.9 << -6.0 << 3.0;
        QTest::newRow("December, widest band") << -23.44 << -75.0 << -18.0 << 12.0;
        QTest::newRow("band 0 ... 0") << 10.0 << 30.0 << 0.0 << 0.0;
    }

    void pixelsFollowTheFormulas()
    {
        QFETCH(double, declination);
        QFETCH(double, subsolar);
        QFETCH(double, low);
        QFETCH(double, high);
        // Any size and format of base is scaled to 900 × 450 RGB.
        GreylineShading shading(uniformBase(1531, 766));
        QCOMPARE(shading.base().size(), QSize(900, 450));
        QCOMPARE(shading.base().format(), QImage::Format_RGB32);
        QVERIFY(shading.image().isNull());
        const SunPosition sun{declination, subsolar};
        QVERIFY(shading.updateShading(sun, low, high));
        const QImage &image = shading.image();
        QCOMPARE(image.size(), QSize(900, 450));
        QCOMPARE(image.format(), QImage::Format_RGB32);
        int counts[RegionCount] = {};
        int worst = 0;
        for (int j = 0; j < image.height(); ++j) {
            for (int i = 0; i < image.width(); ++i) {
                Region region;
                const QRgb expected = expectedPixel(i, j, sun, low, high, &region);
                const QRgb actual = image.pixel(i, j);
                // Sums taken in another order may truncate one unit apart.
                worst = std::max({worst, std::abs(qRed(actual) - qRed(expected)),
                                  std::abs(qGreen(actual) - qGreen(expected)),
                                  std::abs(qBlue(actual) - qBlue(expected))});
                QCOMPARE(qAlpha(actual), 255);
                ++counts[region];
            }
        }
        QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
        QVERIFY(counts[Day] > 0 && counts[DeepNight] > 0 && counts[Horizon] > 0);
        // The widest band reaches -18°: no twilight is left outside it.
        QCOMPARE(counts[Twilight] > 0, low > -18.0);
        // A band of 0 ... 0 tints nothing: only the horizon line shows.
        const bool emptyBand = low == 0.0 && high == 0.0;
        QCOMPARE(counts[DaySideBand] == 0, emptyBand);
        QCOMPARE(counts[NightSideBand] == 0, emptyBand);
    }

    void knownColours()
    {
        GreylineShading shading(uniformBase(900, 450));
        QVERIFY(shading.updateShading({0.0, 0.1}, -6.0, 3.0));
        const QImage &image = shading.image();
        // Noon on the equator at 0°: the base unchanged.
        QCOMPARE(image.pixel(450, 225), baseColour);
        // The antipode: 63 % darker, a little blue added.
        QCOMPARE(image.pixel(0, 225), qRgb(37, 55, 89));
        // The terminator on the equator lies at -89.9°: the horizon colour there (column 225 at
        // -89.8°), the day-side band just inside the day (0.56 · base + amber share), twilight
        // in the band outside.
        QCOMPARE(image.pixel(225, 225), qRgb(245, 232, 185));
        QVERIFY(image.pixel(224, 225) != qRgb(245, 232, 185));
        QCOMPARE(image.pixel(227, 225), qRgb(168, 163, 131));
        const QRgb nightBand = image.pixel(220, 225);
        QVERIFY(qRed(nightBand) < 168 && qRed(nightBand) > 150);
    }

    void shadingIsRecomputedOnlyWhenItsKeyChanges()
    {
        GreylineShading shading(uniformBase(10, 5));
        const SunPosition sun{12.5, -40.25};
        QVERIFY(shading.updateShading(sun, -6.0, 3.0));
        const qint64 first = shading.image().cacheKey();
        QVERIFY(!shading.updateShading(sun, -6.0, 3.0));
        QCOMPARE(shading.image().cacheKey(), first);
        QVERIFY(shading.updateShading(sun, -6.0, 2.9));
        QVERIFY(shading.updateShading(sun, -5.9, 2.9));
        QVERIFY(shading.updateShading({12.5, -40.0}, -5.9, 2.9));
        QVERIFY(shading.updateShading({std::nextafter(12.5, 13.0), -40.0}, -5.9, 2.9));
        QVERIFY(shading.image().cacheKey() != first);
        // A NaN never matches the key.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QVERIFY(shading.updateShading({nan, 0.0}, -6.0, 3.0));
        QVERIFY(shading.updateShading({nan, 0.0}, -6.0, 3.0));
    }

    void noBaseNoImage()
    {
        GreylineShading shading{QImage()};
        QVERIFY(!shading.hasBase());
        QVERIFY(!shading.updateShading({0.0, 0.0}, -6.0, 3.0));
        QVERIFY(shading.image().isNull());
    }

    void mapRectangle_data()
    {
        QTest::addColumn<QSizeF>("widget");
        QTest::addColumn<QRectF>("map");
        QTest::newRow("1920 x 1080: bars above and below")
            << QSizeF(1920, 1080) << QRectF(0, 60, 1920, 960);
        QTest::newRow("wide: bars beside") << QSizeF(800, 190) << QRectF(210, 0, 380, 190);
        QTest::newRow("exactly 2 : 1") << QSizeF(900, 450) << QRectF(0, 0, 900, 450);
        QTest::newRow("odd sizes") << QSizeF(1001, 333) << QRectF(167.5, 0, 666, 333);
        QTest::newRow("empty") << QSizeF(0, 0) << QRectF(0, 0, 0, 0);
        QTest::newRow("no height") << QSizeF(640, 0) << QRectF(320, 0, 0, 0);
    }

    void mapRectangle()
    {
        QFETCH(QSizeF, widget);
        QFETCH(QRectF, map);
        QCOMPARE(Greyline::mapRectangle(widget.width(), widget.height()), map);
    }

    void pointsAndClicksAgree_data()
    {
        QTest::addColumn<QSizeF>("widget");
        QTest::newRow("minimum height") << QSizeF(1100, 190);
        QTest::newRow("1920 x 1080") << QSizeF(1920, 1080);
        QTest::newRow("3840 x 2160") << QSizeF(3840, 2160);
        QTest::newRow("tall") << QSizeF(300, 900);
    }

    void pointsAndClicksAgree()
    {
        QFETCH(QSizeF, widget);
        const QRectF map = Greyline::mapRectangle(widget.width(), widget.height());
        QVERIFY(QRectF(QPointF(0, 0), widget).contains(map));
        QCOMPARE(map.width(), 2 * map.height());
        QCOMPARE(mapPoint(map, 90.0, -180.0), map.topLeft());
        QCOMPARE(mapPoint(map, -90.0, 180.0), map.bottomRight());
        QCOMPARE(mapPoint(map, 0.0, 0.0), map.center());
        for (const Site site :
             {Site{41.9, 12.5}, Site{-33.9, 151.2}, Site{64.1, -21.9}, Site{0.0, -179.5}}) {
            const std::optional<Site> back =
                siteAt(map, mapPoint(map, site.latitude, site.longitude));
            QVERIFY(back);
            QVERIFY(std::abs(back->latitude - site.latitude) < 1e-9);
            QVERIFY(std::abs(back->longitude - site.longitude) < 1e-9);
        }
        // Clicks in the bars miss the map.
        QVERIFY(!siteAt(map, map.topLeft() - QPointF(0.5, 0.5)));
        QVERIFY(!siteAt(map, map.bottomRight() + QPointF(0.5, 0.5)));
        QVERIFY(!siteAt(map, QPointF(map.left() - 1, map.center().y())));
        QVERIFY(!siteAt(map, QPointF(map.center().x(), map.top() - 1)));
    }

    void clicksNeedAMapWithWidth()
    {
        QVERIFY(!siteAt(QRectF(0, 0, 0, 0), QPointF(0, 0)));
        QVERIFY(!siteAt(Greyline::mapRectangle(640, 0), QPointF(320, 0)));
    }

    void labelPlacement_data()
    {
        QTest::addColumn<QPointF>("marker");
        QTest::addColumn<QPointF>("label");
        // Map rectangle (100, 50) 800 x 400: right edge 900, top 50.
        QTest::newRow("free") << QPointF(500, 300) << QPointF(509, 292);
        QTest::newRow("45 px from the right edge") << QPointF(855, 300) << QPointF(864, 292);
        QTest::newRow("closer to the right edge") << QPointF(856, 300) << QPointF(823, 292);
        QTest::newRow("20 px below the top") << QPointF(500, 70) << QPointF(509, 62);
        QTest::newRow("closer to the top") << QPointF(500, 69) << QPointF(509, 86);
        QTest::newRow("top right corner") << QPointF(899, 51) << QPointF(866, 68);
    }

    void labelPlacement()
    {
        QFETCH(QPointF, marker);
        QFETCH(QPointF, label);
        QCOMPARE(labelOrigin(QRectF(100, 50, 800, 400), marker), label);
    }
};

QTEST_GUILESS_MAIN(TestGreylineShading)
#include "tst_greylineshading.moc"
