#pragma once

#include <qwt_plot_curve.h>

// The band-scope trace: sticks from 0 to each value, coloured by level with the RF level
// gradient over the left scale 2 ... 15 (standard deviation: 0 ... 7), values below 2 in grey;
// the difference view colours each stick blue (negative) or orange (positive), brighter the
// larger it is. Sticks shorter than half a pixel become a point on the baseline. The pen is 2
// pixels wide below 513 samples, else 1. GUI thread.
class BandScopeColorCurve : public QwtPlotCurve
{
public:
    BandScopeColorCurve();

    // The trace drawn (BandScopeView::Trace, 0-4).
    void setView(int view) { m_view = view; }
    int view() const { return m_view; }

    // The colour of a difference stick of value y.
    static QColor differenceColour(double y);

protected:
    void drawSticks(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;

private:
    int m_view = 0;
};
