#pragma once

#include "syntheticgrid.h"

#include <qwt_plot_curve.h>

// The synthetic spectrum's trace ("USB Welch PSD"): the covered bins as points, drawn run by
// run so that no line crosses an uncovered gap. Each run is clipped to the canvas and drawn
// with a 1.2 px pen (square caps, bevel joins) whose brush is the RF level gradient from
// -140 dBFS/Hz (low end) to 0 dBFS/Hz (high end) in the current vertical scale, whatever the
// zoom; the area under a run, down to the canvas bottom, is filled with the same gradient at
// 30 % of the painter's opacity. A one-point run is drawn as a point. Runs with more points than
// pixels are reduced to each pixel column's first, lowest, highest and last point, which draws
// the same line. GUI thread only.
class SyntheticSpectrumCurve : public QwtPlotCurve
{
public:
    static constexpr double gradientLowDb = -140.0;
    static constexpr double gradientHighDb = 0.0;

    SyntheticSpectrumCurve();

    // Replaces the points and runs.
    void setTrace(const SyntheticTrace &trace);
    const SyntheticTrace &trace() const { return m_trace; }

protected:
    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;

private:
    SyntheticTrace m_trace;
};
