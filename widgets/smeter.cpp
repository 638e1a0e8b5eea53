#include "smeter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr int tickCount = 15;
constexpr double firstTickDeg = 150.0;
constexpr double spanDeg = 120.0;
constexpr double tickRadius = 92.0;
constexpr double labelRadius = 73.0;
constexpr double needleRadius = 90.0;
constexpr double pivotBelowFrame = 19.0;

// Point at radius and angle (degrees, counter-clockwise, y upward) around the pivot, in
// screen coordinates.
QPointF polar(const QPointF &pivot, double radius, double degrees)
{
    const double a = degrees * pi / 180.0;
    return pivot + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

QString tickLabel(int i)
{
    return i <= 8 ? QStringLiteral("S%1").arg(i + 1) : QStringLiteral("+%1").arg(10 * i - 80);
}
} // namespace

SMeter::SMeter(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(224, 88);
}

void SMeter::setValue(double value)
{
    m_value = std::isnan(value) ? 1.0 : std::clamp(value, 1.0, 15.0);
    update();
}

double SMeter::needleAngle(double value)
{
    return firstTickDeg - (value - 1.0) * spanDeg / (tickCount - 1);
}

void SMeter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor("#364b5a"));
    p.setBrush(QColor("#101922"));
    p.drawRoundedRect(frame, 6.0, 6.0);

    const QPointF pivot(frame.center().x(), frame.bottom() + pivotBelowFrame);

    QFont labelFont = font();
    labelFont.setPixelSize(10);
    p.setFont(labelFont);
    for (int i = 0; i < tickCount; ++i) {
        const bool major = i % 2 == 0;
        const double deg = firstTickDeg - i * spanDeg / (tickCount - 1);
        const QColor colour(i <= 8 ? "#a3d6cf" : "#e9ae81");
        const double length = major ? 7.0 : 4.0;
        p.setPen(QPen(colour, major ? 1.5 : 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(pivot, tickRadius, deg), polar(pivot, tickRadius - length, deg));
        if (major) {
            QRectF box(0.0, 0.0, 30.0, 14.0);
            box.moveCenter(polar(pivot, labelRadius, deg));
            p.drawText(box, Qt::AlignCenter, tickLabel(i));
        }
    }

    p.setClipRect(frame.adjusted(2.0, 2.0, -2.0, -2.0));
    p.setPen(QPen(QColor("#70e2d3"), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, polar(pivot, needleRadius, needleAngle(m_value)));
}
