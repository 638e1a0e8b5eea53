#include "pixelcheck.h"
#include "rotaryencoder.h"

#include <QSignalSpy>
#include <QtMath>
#include <QtTest>

#include <cmath>

namespace {

// Point on a circle around the widget centre at a compass bearing: 0 is 12 o'clock and the
// bearing grows clockwise on screen.
QPointF atBearing(const QWidget &w, double degrees, double radius = 40.0)
{
    const double a = qDegreesToRadians(degrees);
    return QPointF(w.width() / 2.0 + radius * std::sin(a), w.height() / 2.0 - radius * std::cos(a));
}

void sendMouse(QWidget &w, QEvent::Type type, const QPointF &pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove ? Qt::MouseButtons(Qt::LeftButton)
                                                              : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

QList<int> repeated(int count, int delta)
{
    QList<int> out;
    for (int i = 0; i < count; ++i)
        out << delta;
    return out;
}

QList<int> deltas(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toInt();
    return out;
}

} // namespace

class TestRotaryEncoder : public QObject
{
    Q_OBJECT

private slots:
    void wheel_data();
    void wheel();
    void keys_data();
    void keys();
    void drag_data();
    void drag();
    void dragNeedsLeftButtonHeld();
    void render_data();
    void render();
    void focusChangesOnlyOutline();
};

void TestRotaryEncoder::wheel_data()
{
    QTest::addColumn<QPoint>("angleDelta");
    QTest::addColumn<int>("expected");
    QTest::newRow("notch up") << QPoint(0, 120) << 1;
    QTest::newRow("notch down") << QPoint(0, -120) << -1;
    QTest::newRow("fine up") << QPoint(0, 15) << 1;
    QTest::newRow("horizontal counts down") << QPoint(120, 0) << -1;
}

void TestRotaryEncoder::wheel()
{
    QFETCH(QPoint, angleDelta);
    QFETCH(int, expected);
    RotaryEncoder dial;
    dial.setStep(0.5);
    QSignalSpy spy(&dial, &RotaryEncoder::deltaChanged);
    const QPointF pos(50, 50);
    QWheelEvent event(pos, pos, QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    event.ignore();
    QCoreApplication::sendEvent(&dial, &event);
    QVERIFY(event.isAccepted());
    QCOMPARE(deltas(spy), QList<int>{expected});
    QCOMPARE(dial.position(), 0.5 * expected);
}

void TestRotaryEncoder::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("up") << int(Qt::Key_Up) << QList<int>{1};
    QTest::newRow("right") << int(Qt::Key_Right) << QList<int>{1};
    QTest::newRow("down") << int(Qt::Key_Down) << QList<int>{-1};
    QTest::newRow("left") << int(Qt::Key_Left) << QList<int>{-1};
    QTest::newRow("page up is not a detent") << int(Qt::Key_PageUp) << QList<int>{};
    QTest::newRow("letter") << int(Qt::Key_A) << QList<int>{};
}

void TestRotaryEncoder::keys()
{
    QFETCH(int, key);
    QFETCH(QList<int>, expected);
    RotaryEncoder dial;
    QSignalSpy spy(&dial, &RotaryEncoder::deltaChanged);
    QTest::keyClick(&dial, Qt::Key(key));
    QTest::keyClick(&dial, Qt::Key(key));
    QList<int> twice = expected + expected;
    QCOMPARE(deltas(spy), twice);
    QCOMPARE(dial.position(), double(expected.isEmpty() ? 0 : 2 * expected.first()));
}

void TestRotaryEncoder::drag_data()
{
    // Bearings of the pointer: the press, then each move.
    QTest::addColumn<QVector<double>>("bearings");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("40 degrees clockwise at once") << QVector<double>{0, 40} << repeated(8, 1);
    QTest::newRow("40 degrees anticlockwise at once")
        << QVector<double>{10, -30} << repeated(8, -1);
    QTest::newRow("clockwise across the 9 o'clock line")
        << QVector<double>{260, 280} << repeated(4, 1);
    QTest::newRow("anticlockwise across the 9 o'clock line")
        << QVector<double>{280, 260} << repeated(4, -1);
    QTest::newRow("clockwise across 12 o'clock") << QVector<double>{350, 10} << repeated(4, 1);
    QTest::newRow("small moves accumulate") << QVector<double>{0, 3, 6, 9, 12} << QList<int>{1, 1};
    QTest::newRow("back and forth cancels") << QVector<double>{0, 4, 0, -4, 0} << QList<int>{};
    QTest::newRow("remainder kept across moves") << QVector<double>{0, 7, 11} << QList<int>{1, 1};
    QTest::newRow("a whole turn in small steps") << [] {
        QVector<double> b;
        for (int d = 0; d <= 360; d += 30)
            b << d;
        return b;
    }() << repeated(72, 1);
}

void TestRotaryEncoder::drag()
{
    QFETCH(QVector<double>, bearings);
    QFETCH(QList<int>, expected);
    RotaryEncoder dial;
    dial.resize(120, 100);
    dial.setStep(0.25);
    QSignalSpy spy(&dial, &RotaryEncoder::deltaChanged);
    sendMouse(dial, QEvent::MouseButtonPress, atBearing(dial, bearings.first()), Qt::LeftButton);
    for (int i = 1; i < bearings.size(); ++i)
        sendMouse(dial, QEvent::MouseMove, atBearing(dial, bearings.at(i)), Qt::NoButton);
    sendMouse(dial, QEvent::MouseButtonRelease, atBearing(dial, bearings.last()), Qt::LeftButton);
    QCOMPARE(deltas(spy), expected);
    int sum = 0;
    for (int d : expected)
        sum += d;
    QCOMPARE(dial.position(), 0.25 * sum);
}

void TestRotaryEncoder::dragNeedsLeftButtonHeld()
{
    RotaryEncoder dial;
    dial.resize(100, 100);
    QSignalSpy spy(&dial, &RotaryEncoder::deltaChanged);

    // Hovering (mouse tracking is on) turns nothing.
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 0), Qt::NoButton);
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 90), Qt::NoButton);
    // The right button does not grab the dial.
    sendMouse(dial, QEvent::MouseButtonPress, atBearing(dial, 90), Qt::RightButton);
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 180), Qt::NoButton);
    QCOMPARE(spy.count(), 0);

    // After a release the dial stops following the pointer.
    sendMouse(dial, QEvent::MouseButtonPress, atBearing(dial, 0), Qt::LeftButton);
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 10), Qt::NoButton);
    sendMouse(dial, QEvent::MouseButtonRelease, atBearing(dial, 10), Qt::LeftButton);
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 90), Qt::NoButton);
    QCOMPARE(deltas(spy), (QList<int>{1, 1}));

    // A new press starts from where the pointer is, not from the old angle.
    sendMouse(dial, QEvent::MouseButtonPress, atBearing(dial, 200), Qt::LeftButton);
    sendMouse(dial, QEvent::MouseMove, atBearing(dial, 201), Qt::NoButton);
    QCOMPARE(spy.count(), 2);
}

void TestRotaryEncoder::render_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("square") << QSize(120, 120);
    QTest::newRow("wide") << QSize(200, 120);
    QTest::newRow("tall") << QSize(120, 170);
}

void TestRotaryEncoder::render()
{
    QFETCH(QSize, size);
    RotaryEncoder dial;
    dial.resize(size);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const double r = std::min(size.width(), size.height()) / 2.0 - 9.0;
    const QColor indicator("#89e4d9");

    QImage image = dial.grab().toImage();
    // Position 0: the indicator points straight up, from r - 20 to r - 8.
    QCOMPARE(PixelCheck::at(image, int(c.x()), int(c.y() - (r - 14))), indicator);
    QVERIFY(!PixelCheck::near(image, c + QPointF(0, -(r - 25)), indicator, 60));
    QVERIFY(!PixelCheck::near(image, c + QPointF(0, -(r - 3)), indicator, 60));
    // The ring between the face and the outer edge.
    QCOMPARE(PixelCheck::at(image, int(c.x()), int(c.y() + r + 1)), QColor("#111b24"));
    // The face is lit from the top-left.
    const double d = (r - 10) / std::sqrt(2.0);
    const QColor upperLeft = PixelCheck::at(image, int(c.x() - d), int(c.y() - d));
    const QColor lowerRight = PixelCheck::at(image, int(c.x() + d), int(c.y() + d));
    QVERIFY(PixelCheck::distance(upperLeft, QColor("#3b5163")) <
            PixelCheck::distance(upperLeft, QColor("#1d2b38")));
    QVERIFY(PixelCheck::distance(lowerRight, QColor("#1d2b38")) <
            PixelCheck::distance(lowerRight, QColor("#3b5163")));
    // Outside the outer disc nothing is painted.
    const QColor outside = PixelCheck::at(image, int(c.x() - r - 7), int(c.y()));
    QVERIFY(PixelCheck::distance(outside, QColor("#111b24")) > 30);

    // One detent of step 1 turns the indicator clockwise by one radian.
    QTest::keyClick(&dial, Qt::Key_Up);
    image = dial.grab().toImage();
    const QPointF tip = c + QPointF(std::sin(1.0), -std::cos(1.0)) * (r - 14);
    QVERIFY(PixelCheck::near(image, tip, indicator, 12));
    QVERIFY(!PixelCheck::near(image, c + QPointF(0, -(r - 14)), indicator, 60));
}

void TestRotaryEncoder::focusChangesOnlyOutline()
{
    QWidget window;
    auto *dial = new RotaryEncoder(&window);
    dial->resize(120, 120);
    window.resize(140, 140);
    window.show();
    QApplication::setActiveWindow(&window);
    dial->setFocus();
    QTRY_VERIFY(dial->hasFocus());
    const QImage focused = dial->grab().toImage();
    dial->clearFocus();
    QTRY_VERIFY(!dial->hasFocus());
    const QImage unfocused = dial->grab().toImage();

    const QPointF c(60, 60);
    const double outline = 51 + 4; // r + 4
    int differing = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            if (focused.pixel(x, y) == unfocused.pixel(x, y))
                continue;
            ++differing;
            const double dist = std::hypot(x + 0.5 - c.x(), y + 0.5 - c.y());
            QVERIFY2(std::abs(dist - outline) < 2.0,
                     qPrintable(QStringLiteral("pixel %1,%2 changed").arg(x).arg(y)));
        }
    }
    QVERIFY(differing > 100);
    const QPointF onOutline(c.x() + outline, c.y());
    QVERIFY(PixelCheck::near(focused, onOutline, QColor("#80d9cd"), 60));
    QVERIFY(!PixelCheck::near(focused, onOutline, QColor("#405970"), 20));
    QVERIFY(PixelCheck::near(unfocused, onOutline, QColor("#405970"), 40));
    QVERIFY(!PixelCheck::near(unfocused, onOutline, QColor("#80d9cd"), 60));
}

QTEST_MAIN(TestRotaryEncoder)
#include "tst_rotaryencoder.moc"
