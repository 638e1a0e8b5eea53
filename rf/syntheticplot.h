#pragma once

#include "syntheticgrid.h"

#include <qwt_plot.h>

class QwtPlotPanner;
class SyntheticSpectrumCurve;
class SyntheticSpectrumPicker;
class SyntheticSpectrumZoomer;

// The synthetic spectrum's plot: RF (MHz) against PSD (dBFS/Hz) on a dark canvas with a dotted
// grid, the level-coloured trace, the tracking picker, the zoomer and a middle-button panner
// that is enabled only while zoomed. GUI thread only.
class SyntheticPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit SyntheticPlot(QWidget *parent = nullptr);

    // Shows a new trace of grid (kept by reference until the next call; the picker reads it).
    // Zoomed: keeps the zoom and replots; else shows the full view.
    void showGrid(const SyntheticGrid *grid);
    // x over the grid (or fromMHz ... toMHz when there is none), y autoscaled when there are
    // points, else -140 ... 0; becomes the zoom base; the panner goes off.
    void fullView(double fromMHz, double toMHz);
    bool isZoomed() const;

    SyntheticSpectrumCurve *curve() const { return m_curve; }
    SyntheticSpectrumZoomer *zoomer() const { return m_zoomer; }
    SyntheticSpectrumPicker *picker() const { return m_picker; }
    QwtPlotPanner *panner() const { return m_panner; }

    // The covered grid bin nearest to an RF frequency (MHz): its frequency (MHz) and PSD.
    bool coveredBinAt(double megahertz, QPointF *bin) const;
    // The grid bin nearest to an RF frequency, or -1 outside the grid.
    int binAt(double megahertz) const;

signals:
    // The zoom left the base (true) or came back to it (false; the full view was shown).
    void zoomChanged(bool zoomed);
    // The mouse over the canvas, in plot coordinates; left() when it leaves.
    void pointed(const QPointF &position);
    void left();

private:
    void onZoomed();
    void onPanned();

    const SyntheticGrid *m_grid = nullptr;
    SyntheticSpectrumCurve *m_curve = nullptr;
    SyntheticSpectrumPicker *m_picker = nullptr;
    SyntheticSpectrumZoomer *m_zoomer = nullptr;
    QwtPlotPanner *m_panner = nullptr;
    double m_fromMHz = 0.0;
    double m_toMHz = 0.0;
};
