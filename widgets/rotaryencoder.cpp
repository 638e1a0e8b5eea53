#include "rotaryencoder.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {
constexpr double pi = 3.14159265358979323846;
// Pointer angles are rebuilt from rounded positions, so an exact multiple of the detent
// angle can come out a hair short; this tolerance keeps such a move from losing a detent.
constexpr double detentTolerance = 1e-9;
} // namespace

RotaryEncoder::RotaryEncoder(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(100, 100);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setFocusPolicy(Qt::WheelFocus);
    setMouseTracking(true);
}

void RotaryEncoder::setStep(double step)
{
    m_step = step;
}

void RotaryEncoder::detent(int delta)
{
    m_position += delta * m_step;
    update();
    emit deltaChanged(delta);
}

double RotaryEncoder::pointerAngle(const QPointF &pos) const
{
    // Screen coordinates (y downward): the angle grows clockwise on screen.
    return std::atan2(pos.y() - height() / 2.0, pos.x() - width() / 2.0);
}

void RotaryEncoder::wheelEvent(QWheelEvent *event)
{
    detent(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
}

void RotaryEncoder::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        detent(1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        detent(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void RotaryEncoder::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_lastAngle = pointerAngle(event->localPos());
    m_pending = 0.0;
}

void RotaryEncoder::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const double angle = pointerAngle(event->localPos());
    double d = angle - m_lastAngle;
    // The short way round: a move across the +-180 degree line is a small step, not a turn.
    if (d > pi)
        d -= 2.0 * pi;
    else if (d <= -pi)
        d += 2.0 * pi;
    m_pending += d;
    while (m_pending >= detentAngle - detentTolerance) {
        m_pending -= detentAngle;
        detent(1);
    }
    while (m_pending <= -detentAngle + detentTolerance) {
        m_pending += detentAngle;
        detent(-1);
    }
    m_lastAngle = angle;
}

void RotaryEncoder::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    else
        QWidget::mouseReleaseEvent(event);
}

void RotaryEncoder::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = std::min(width(), height()) / 2.0 - 9.0;

    p.setPen(QPen(QColor(hasFocus() ? "#80d9cd" : "#405970"), 1.5));
    p.setBrush(QColor("#111b24"));
    p.drawEllipse(c, r + 4.0, r + 4.0);

    QLinearGradient face(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
    face.setColorAt(0.0, QColor("#3b5163"));
    face.setColorAt(1.0, QColor("#1d2b38"));
    p.setPen(QPen(QColor("#698194"), 1.0));
    p.setBrush(face);
    p.drawEllipse(c, r - 2.0, r - 2.0);

    const double a = m_position - pi / 2.0;
    const QPointF dir(std::cos(a), std::sin(a));
    p.setPen(QPen(QColor("#89e4d9"), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + dir * (r - 20.0), c + dir * (r - 8.0));
}
