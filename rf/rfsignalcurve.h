#pragma once

#include <qwt_plot_curve.h>

// A stick curve coloured by level: the pen's brush is the RF level gradient over the vertical
// scale 0 ... 255, so each stick shades from blue at the baseline to red at high levels.
// Only the drawing of the sticks differs from QwtPlotCurve. GUI thread.
class RfSignalCurve : public QwtPlotCurve
{
public:
    static constexpr double fullScale = 255.0;

    explicit RfSignalCurve(const QString &title);

protected:
    void drawSticks(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;
};
