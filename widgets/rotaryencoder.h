#pragma once

#include <QWidget>

// Tuning dial. Turns mouse drags, wheel notches and arrow keys into signed detent counts.
// Every detent emits deltaChanged(+1 or -1) once and turns the drawn indicator by `step`
// radians. The position has no limits and is never reset; frequency limits belong to the
// owner. GUI thread only.
class RotaryEncoder : public QWidget
{
    Q_OBJECT

public:
    explicit RotaryEncoder(QWidget *parent = nullptr);

    // Accumulated dial position in radians; 0 points straight up, growing clockwise.
    double position() const { return m_position; }
    // Radians added to the position per detent (initially 1.0).
    double step() const { return m_step; }
    void setStep(double step);

    // Pointer rotation per detent while dragging: 5 degrees.
    static constexpr double detentAngle = 3.14159265358979323846 / 36.0;

signals:
    void deltaChanged(int delta);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void detent(int delta);
    double pointerAngle(const QPointF &pos) const;

    double m_position = 0.0;
    double m_step = 1.0;
    bool m_dragging = false;
    double m_lastAngle = 0.0;
    double m_pending = 0.0;
};
