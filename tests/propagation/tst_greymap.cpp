// The map widget at any size and pixel ratio (the test also runs with QT_SCALE_FACTOR=2): the
// 2 : 1 map inside dark bars, the graticule without lines at the map's edges, markers and
// labels where the geometry puts them (labels turned inwards near the right and top edges),
// the scaled map redrawn only when the size or the shading changes, clicks, and a missing map.

#include "greylinemapgeometry.h"
#include "greymap.h"

#include <QtTest>

#include <QTemporaryDir>

using namespace Greyline;

namespace {

const QColor background(12, 17, 28);
const QColor rxColour(100, 230, 255);
const QColor dxColour(255, 125, 155);
const QColor base(100, 150, 200);

// December sun at 0°: the north polar cap in deep night, the south in plain day, the meridians
// at ±150° on the night side.
const SunPosition december{-23.0, 0.0};

bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestGreyMap : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_uniformBase;

    // The widget as shown, with a logical-pixel reader whatever the pixel ratio.
    struct Shot
    {
        QImage image;
        qreal ratio;
        QColor at(double x, double y) const
        {
            return image.pixelColor(int(x * ratio), int(y * ratio));
        }
    };

    static Shot shoot(GreyMap &map)
    {
        const QPixmap pixmap = map.grab();
        return {pixmap.toImage(), pixmap.devicePixelRatioF()};
    }

    static int countNear(const Shot &shot, const QRectF &area, const QColor &colour)
    {
        int count = 0;
        for (double y = area.top(); y < area.bottom(); y += 1.0) {
            for (double x = area.left(); x < area.right(); x += 1.0)
                count += near(shot.at(x, y), colour, 30) ? 1 : 0;
        }
        return count;
    }

private slots:
    void initTestCase()
    {
        QImage uniform(900, 450, QImage::Format_RGB32);
        uniform.fill(base);
        m_uniformBase = m_dir.filePath(QStringLiteral("uniform.png"));
        QVERIFY(uniform.save(m_uniformBase));
    }

    void sizeAndPolicy()
    {
        GreyMap map;
        QCOMPARE(map.minimumHeight(), 190);
        QCOMPARE(map.sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(map.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(map.cursor().shape(), Qt::CrossCursor);
        // The program's map is loaded and shaded on request.
        QVERIFY(map.shadedImage().isNull());
        map.updateShading(december, -6.0, 3.0);
        QCOMPARE(map.shadedImage().size(), QSize(900, 450));
    }

    void drawsTheMapInsideBars_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("minimum height, wide") << QSize(1100, 190);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
        QTest::newRow("3840 x 2160") << QSize(3840, 2160);
        QTest::newRow("narrow and tall") << QSize(320, 700);
    }

    void drawsTheMapInsideBars()
    {
        QFETCH(QSize, size);
        GreyMap map(nullptr, m_uniformBase);
        map.resize(size);
        map.updateShading(december, -6.0, 3.0);
        const Shot shot = shoot(map);
        QCOMPARE(shot.image.size(), size * shot.ratio);
        const QRectF rect = map.mapRect();
        QCOMPARE(rect, mapRectangle(size.width(), size.height()));
        // Bars keep the background; nothing of the map leaks into them.
        if (rect.left() >= 2) {
            QCOMPARE(shot.at(rect.left() - 1.5, rect.center().y()), background);
            QCOMPARE(shot.at(rect.right() + 1.0, rect.center().y()), background);
        }
        if (rect.top() >= 2) {
            QCOMPARE(shot.at(rect.center().x(), rect.top() - 1.5), background);
            QCOMPARE(shot.at(rect.center().x(), rect.bottom() + 1.0), background);
        }
        // Plain day near the subsolar point keeps the base colour.
        const QPointF noon = mapPoint(rect, -23.0, 10.0);
        QVERIFY(near(shot.at(noon.x(), noon.y()), base));
        // No line along the map's edges: the outermost rows and columns match their
        // neighbours a few pixels inwards, away from the graticule.
        for (double x : {rect.left() + 0.5, rect.right() - 1.0}) {
            for (double latitude : {-45.0, 15.0, 45.0}) {
                const double y = mapPoint(rect, latitude, 0).y();
                const double inward = x < rect.center().x() ? x + 3 : x - 3;
                QVERIFY(near(shot.at(x, y), shot.at(inward, y)));
            }
        }
        for (double y : {rect.top() + 0.5, rect.bottom() - 1.0}) {
            for (double longitude : {-165.0, -45.0, 15.0, 135.0}) {
                const double x = mapPoint(rect, 0, longitude).x();
                const double inward = y < rect.center().y() ? y + 3 : y - 3;
                QVERIFY(near(shot.at(x, y), shot.at(x, inward)));
            }
        }
    }

    void graticuleEveryThirtyDegrees()
    {
        GreyMap map(nullptr, m_uniformBase);
        map.resize(1800, 900);
        map.updateShading(december, -6.0, 3.0);
        const Shot shot = shoot(map);
        const QRectF rect = map.mapRect();
        // Along the meridian at -150° (deep night there), dots differ from the plain night
        // beside them; at -165° there is no line.
        const auto differences = [&](double longitude) {
            const double x = mapPoint(rect, 0, longitude).x();
            int count = 0;
            for (double latitude = -40; latitude <= 40; latitude += 0.25) {
                const double y = mapPoint(rect, latitude, 0).y();
                count += near(shot.at(x, y), shot.at(x + 6, y), 1) ? 0 : 1;
            }
            return count;
        };
        QVERIFY(differences(-150.0) > 20);
        QVERIFY(differences(150.0) > 20);
        QCOMPARE(differences(-165.0), 0);
    }

    // Markers where the geometry puts them; labels to the right and above, turned inwards
    // near the right and top edges; DX drawn over RX.
    void markersAndLabels_data()
    {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<bool>("labelLeft");
        QTest::addColumn<bool>("labelBelow");
        QTest::newRow("open sea") << -20.0 << -100.0 << false << false;
        QTest::newRow("near the right edge") << -20.0 << 175.0 << true << false;
        QTest::newRow("near the top edge") << 85.0 << -100.0 << false << true;
        QTest::newRow("top right corner") << 86.0 << 177.0 << true << true;
    }

    void markersAndLabels()
    {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(bool, labelLeft);
        QFETCH(bool, labelBelow);
        GreyMap map(nullptr, m_uniformBase);
        map.resize(1000, 500);
        map.updateShading(december, -6.0, 3.0);
        map.setDxMarker(true, latitude, longitude);
        const Shot shot = shoot(map);
        const QRectF rect = map.mapRect();
        const QPointF point = mapPoint(rect, latitude, longitude);
        QVERIFY(near(shot.at(point.x(), point.y()), dxColour, 20));
        // The label's letters, in the marker's colour, left or right of it and above or below.
        const double x = labelLeft ? point.x() - 33 : point.x() + 9;
        const double y = labelBelow ? point.y() + 17 : point.y() - 8;
        const QRectF labelArea(x, y - 14, 26, 16);
        const QRectF otherSide(labelLeft ? point.x() + 9 : point.x() - 33, y - 14, 24, 16);
        QVERIFY(countNear(shot, labelArea & rect, dxColour) > 10);
        QCOMPARE(countNear(shot, otherSide & rect, dxColour), 0);
        // RX under DX at the same point: DX wins the centre pixel.
        map.setRxMarker(true, latitude, longitude);
        map.repaint();
        QVERIFY(near(shoot(map).at(point.x(), point.y()), dxColour, 20));
        // A marker at the very edge is clipped to the map: the bars stay clean.
        map.resize(1000, 600);
        map.setDxMarker(true, 90.0, 0.0);
        map.setRxMarker(false, 0, 0);
        const Shot edge = shoot(map);
        const QRectF edgeRect = map.mapRect();
        QCOMPARE(countNear(edge, QRectF(0, 0, 1000, edgeRect.top()), dxColour), 0);
    }

    void backgroundIsCachedPerSizeAndShading()
    {
        GreyMap map(nullptr, m_uniformBase);
        map.resize(800, 400);
        map.updateShading(december, -6.0, 3.0);
        map.grab();
        const int first = map.backgroundRenders();
        QCOMPARE(first, 1);
        // Markers and repaints alone only copy the cached map.
        map.setRxMarker(true, 10, 10);
        map.grab();
        map.updateShading(december, -6.0, 3.0);
        map.grab();
        QCOMPARE(map.backgroundRenders(), first);
        map.updateShading({-23.0, 0.25}, -6.0, 3.0);
        map.grab();
        QCOMPARE(map.backgroundRenders(), first + 1);
        map.resize(801, 400);
        map.grab();
        QCOMPARE(map.backgroundRenders(), first + 2);
    }

    void emptyAndHiddenSizes()
    {
        GreyMap map(nullptr, m_uniformBase);
        int picks = 0;
        map.setPickCallback([&picks](const Site &) { ++picks; });
        map.resize(0, 0);
        map.updateShading(december, -6.0, 3.0);
        QImage canvas(10, 10, QImage::Format_RGB32);
        canvas.fill(Qt::green);
        map.render(&canvas);
        QCOMPARE(canvas.pixelColor(5, 5), QColor(Qt::green));
        QVERIFY(map.mapRect().isEmpty());
        QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(0, 0));
        QCOMPARE(picks, 0);
    }

    void clicksGiveThePointUnderThem()
    {
        GreyMap map(nullptr, m_uniformBase);
        map.resize(1200, 400);
        std::optional<Site> picked;
        map.setPickCallback([&picked](const Site &site) { picked = site; });
        const QRectF rect = map.mapRect();
        QTest::mouseClick(&map, Qt::LeftButton, {}, rect.center().toPoint());
        QVERIFY(picked);
        QVERIFY(std::abs(picked->latitude) < 0.5 && std::abs(picked->longitude) < 0.5);
        picked.reset();
        QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(int(rect.left()) - 5, 200));
        QTest::mouseClick(&map, Qt::RightButton, {}, rect.center().toPoint());
        QTest::mouseClick(&map, Qt::MiddleButton, {}, rect.center().toPoint());
        QVERIFY(!picked);
        // Without a callback a click is harmless.
        map.setPickCallback({});
        QTest::mouseClick(&map, Qt::LeftButton, {}, rect.center().toPoint());
    }

    void missingMapSaysSo()
    {
        GreyMap map(nullptr, m_dir.filePath(QStringLiteral("absent.png")));
        map.resize(600, 300);
        map.setRxMarker(true, 0, 0);
        map.updateShading(december, -6.0, 3.0);
        QVERIFY(map.shadedImage().isNull());
        const Shot shot = shoot(map);
        const QPointF centre = map.mapRect().center();
        // No marker, no map: background and white text only.
        QCOMPARE(countNear(shot, QRectF(centre - QPointF(8, 8), QSizeF(16, 16)), rxColour), 0);
        QCOMPARE(shot.at(3, 3), background);
        QVERIFY(countNear(shot, QRectF(0, 100, 600, 100), Qt::white) > 20);
    }
};

QTEST_MAIN(TestGreyMap)
#include "tst_greymap.moc"
