// What the display paints, probed pixel by pixel at points computed from the LED geometry:
// segment centre lines (in a digit cell 53 wide and 76 high, drawn 8 to the right and sheared
// by -0.1), the 6 margin, the 17 wide point cells, scaling and centring; and the picture
// styles' images, with the Huge ones used when the surface is enlarged on the device.

#include "segmoratesthelpers.h"

#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const QColor lit("#20e070");
const QColor unlit("#353137");
const QColor panel("#17171a");

// Segment centre lines a to g: start and end points in the digit cell.
const QLineF segmentLines[7] = {{10, 10, 35, 10}, {41, 16, 41, 32}, {41, 44, 41, 60},
                                {10, 66, 35, 66}, {4, 44, 4, 60},   {4, 16, 4, 32},
                                {10, 38, 35, 38}};
const int tableHeights[4] = {21, 28, 42, 57};

int distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// Which of the LED colours a pixel is closest to. Thin segments at the small sizes are
// antialiased, so a probe classifies rather than matching exactly.
QString nearest(const QColor &c)
{
    const int toLit = distance(c, lit);
    const int toUnlit = distance(c, unlit);
    const int toPanel = distance(c, panel);
    if (toLit <= toUnlit && toLit <= toPanel)
        return QStringLiteral("lit");
    return toUnlit <= toPanel ? QStringLiteral("unlit") : QStringLiteral("panel");
}

// Maps the unscaled drawing into the widget: scaled to fit (or to the size's height) and
// centred.
struct Frame
{
    double scale;
    QPointF origin;
    QPointF map(QPointF p) const { return origin + p * scale; }
    // The pixel that holds a point of the drawing.
    QPoint pixel(QPointF p) const
    {
        const QPointF q = map(p);
        return {int(std::floor(q.x())), int(std::floor(q.y()))};
    }
};

Frame frameFor(QSize widget, QSizeF natural, bool scaled, int size)
{
    const double scale =
        scaled ? std::min(widget.width() / natural.width(), widget.height() / natural.height())
               : tableHeights[size] / natural.height();
    return {scale, QPointF((widget.width() - natural.width() * scale) / 2.0,
                           (widget.height() - natural.height() * scale) / 2.0)};
}

// Centre of a segment of the digit cell that starts at x in the drawing.
QPointF segmentCentre(double cellX, int segment)
{
    const QPointF mid = segmentLines[segment].center();
    return {cellX + 8.0 + mid.x() - 0.1 * mid.y(), mid.y()};
}

QImage ledImage(const QString &pattern, const QString &value, QSize widgetSize, bool scaled,
                int size)
{
    Segmora display(pattern, Segmora::DisplaySize(size));
    display.setDisplayType(Segmora::Led_Vector);
    display.setSegmentColor(lit);
    display.setScaledContents(scaled);
    display.display(value);
    display.resize(widgetSize);
    return SegmoraTest::render(display);
}

QImage surfaceImage(Segmora &display, qreal pixelRatio)
{
    QImage image(display.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::black);
    display.render(&image);
    return image;
}

QImage expectedImage(QSize size, qreal pixelRatio, const QPixmap &picture)
{
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF(0, 0), size), picture, picture.rect());
    return image;
}

} // namespace

class TestSegmoraRender : public QObject
{
    Q_OBJECT

private slots:
    void ledSegments_data();
    void ledSegments();
    void ledPanelIsCentred_data();
    void ledPanelIsCentred();
    void pointCells_data();
    void pointCells();
    void picturesUseHugeImagesWhenEnlarged_data();
    void picturesUseHugeImagesWhenEnlarged();
};

void TestSegmoraRender::ledSegments_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<int>("bits");
    const QPair<const char *, int> characters[] = {{"8", 0x7f}, {"1", 0x06}, {"-", 0x40}};
    for (const auto &character : characters) {
        for (int size = 0; size < 4; ++size) {
            QTest::addRow("%s size %d unscaled", character.first, size)
                << character.first << size << false << QSize(300, 200) << character.second;
        }
        QTest::addRow("%s scaled wide", character.first)
            << character.first << 0 << true << QSize(300, 200) << character.second;
        QTest::addRow("%s scaled tall", character.first)
            << character.first << 3 << true << QSize(80, 300) << character.second;
    }
}

void TestSegmoraRender::ledSegments()
{
    QFETCH(QString, character);
    QFETCH(int, size);
    QFETCH(bool, scaled);
    QFETCH(QSize, widget);
    QFETCH(int, bits);
    const QImage image = ledImage(QStringLiteral("#"), character, widget, scaled, size);
    const Frame frame = frameFor(widget, QSizeF(65, 76), scaled, size);
    for (int s = 0; s < 7; ++s) {
        const QPoint probe = frame.pixel(segmentCentre(6.0, s));
        const QString expected = bits & (1 << s) ? QStringLiteral("lit") : QStringLiteral("unlit");
        QVERIFY2(nearest(image.pixelColor(probe)) == expected,
                 qPrintable(QStringLiteral("segment %1 at (%2, %3) is %4, expected %5")
                                .arg(QChar('a' + s))
                                .arg(probe.x())
                                .arg(probe.y())
                                .arg(image.pixelColor(probe).name(), expected)));
    }
}

void TestSegmoraRender::ledPanelIsCentred_data()
{
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<bool>("scaled");
    QTest::newRow("scaled, wide") << QSize(400, 120) << true;
    QTest::newRow("scaled, tall") << QSize(150, 400) << true;
    QTest::newRow("unscaled") << QSize(400, 300) << false;
}

void TestSegmoraRender::ledPanelIsCentred()
{
    QFETCH(QSize, widget);
    QFETCH(bool, scaled);
    const QImage image = ledImage(QStringLiteral("##"), QStringLiteral("88"), widget, scaled, 3);
    const QSizeF natural(12 + 2 * 53, 76);
    const Frame frame = frameFor(widget, natural, scaled, 3);
    const QColor inside = image.pixelColor(frame.map({3, 38}).toPoint());
    QCOMPARE(inside, panel);
    QCOMPARE(image.pixelColor(frame.map({natural.width() - 3, 38}).toPoint()), panel);
    QCOMPARE(image.pixelColor(frame.map({50, 3}).toPoint()), panel);
    QCOMPARE(image.pixelColor(frame.map({50, 73}).toPoint()), panel);
    // Beyond the panel's edges the widget is not painted.
    const QColor background = image.pixelColor(0, 0);
    QVERIFY(background != panel);
    if (frame.origin.x() > 2) {
        QCOMPARE(image.pixelColor(QPointF(frame.origin.x() - 2, widget.height() / 2).toPoint()),
                 background);
    }
    if (frame.origin.y() > 2) {
        QCOMPARE(image.pixelColor(QPointF(widget.width() / 2, frame.origin.y() - 2).toPoint()),
                 background);
    }
}

void TestSegmoraRender::pointCells_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("point");
    QTest::newRow("lit point") << "#.#"
                               << "8.8"
                               << "lit";
    QTest::newRow("blank on the pattern's point") << "#.#"
                                                  << "8 8"
                                                  << "unlit";
    QTest::newRow("point of the value on a digit position") << "###"
                                                            << "8.8"
                                                            << "lit";
}

void TestSegmoraRender::pointCells()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(QString, point);
    const QSize widget(400, 150);
    const QImage image = ledImage(pattern, value, widget, true, 3);
    // Digit, narrow point cell, digit.
    const Frame frame = frameFor(widget, QSizeF(12 + 53 + 17 + 53, 76), true, 3);
    QCOMPARE(nearest(image.pixelColor(frame.pixel({6 + 53 + 5, 66}))), point);
    for (const double cellX : {6.0, 6.0 + 53 + 17}) {
        for (int s = 0; s < 7; ++s) {
            const QColor c = image.pixelColor(frame.pixel(segmentCentre(cellX, s)));
            QCOMPARE(nearest(c), QStringLiteral("lit"));
        }
    }
}

void TestSegmoraRender::picturesUseHugeImagesWhenEnlarged_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<qreal>("pixelRatio");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("small at ratio 2") << int(Segmora::Red_7_Segment) << 0 << 2.0 << "r08_3";
    QTest::newRow("large thumb at ratio 2") << int(Segmora::Thumb) << 2 << 2.0 << "t08_3";
    QTest::newRow("small at ratio 1") << int(Segmora::Nixie) << 0 << 1.0 << "n08_0";
    QTest::newRow("huge at ratio 2") << int(Segmora::White_7_Segment) << 3 << 2.0 << "b08_3";
}

void TestSegmoraRender::picturesUseHugeImagesWhenEnlarged()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(qreal, pixelRatio);
    QFETCH(QString, drawn);
    Segmora display(QStringLiteral("#"), Segmora::DisplaySize(size));
    display.setDisplayType(Segmora::DisplayType(type));
    display.resize(display.sizeHint());
    const QPixmap picture(QStringLiteral(":/Segmora/images/%1.png").arg(drawn));
    QVERIFY(!picture.isNull());
    QCOMPARE(surfaceImage(display, pixelRatio), expectedImage(display.size(), pixelRatio, picture));
}

QTEST_MAIN(TestSegmoraRender)
#include "tst_segmorarender.moc"
