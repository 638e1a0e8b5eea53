#pragma once

#include <QWidget>

// Analogue S-meter: a needle over a 15-tick arc from S1 (value 1) to +60 dB (value 15).
// GUI thread only.
class SMeter : public QWidget
{
    Q_OBJECT

public:
    explicit SMeter(QWidget *parent = nullptr);

    double value() const { return m_value; }
    // Moves the needle and repaints. The range is 1 (S1) to 15 (+60); values outside it,
    // and NaN, rest the needle on the nearest stop instead of swinging it around the pivot.
    void setValue(double value);

    // Needle direction for a value, in degrees counter-clockwise from the positive x axis
    // (y upward): 150 at value 1, 90 at value 8, 30 at value 15. Not clamped.
    static double needleAngle(double value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_value = 1.0;
};
