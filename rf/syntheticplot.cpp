#include "syntheticplot.h"

#include "syntheticfrequencyscaledraw.h"
#include "syntheticspectrumcurve.h"
#include "syntheticspectrumpicker.h"
#include "syntheticspectrumzoomer.h"

#include <QCursor>
#include <cmath>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_plot_panner.h>
#include <qwt_text.h>

SyntheticPlot::SyntheticPlot(QWidget *parent)
    : QwtPlot(parent)
{
    setObjectName(QStringLiteral("syntheticPlot"));
    setCanvasBackground(QColor(QStringLiteral("#121a23")));
    plotLayout()->setAlignCanvasToScales(true);
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas()))
        plotCanvas->setFrameStyle(QFrame::NoFrame);
    setAxisScaleDraw(QwtPlot::xBottom, new SyntheticFrequencyScaleDraw);
    const QColor caption(QStringLiteral("#a9bdcc"));
    QwtText xTitle(tr("RF (MHz)"));
    xTitle.setColor(caption);
    QwtText yTitle(tr("PSD (dBFS/Hz)"));
    yTitle.setColor(caption);
    setAxisTitle(QwtPlot::xBottom, xTitle);
    setAxisTitle(QwtPlot::yLeft, yTitle);
    setToolTip(tr("Point at the trace to read frequency and relative PSD. Drag with the left "
                  "button or turn the wheel to zoom. Drag with the middle button to pan. "
                  "Right-click to go back one zoom step."));

    auto *grid = new QwtPlotGrid;
    grid->setPen(QColor(QStringLiteral("#526776")), 1.0, Qt::DotLine);
    grid->attach(this);
    m_curve = new SyntheticSpectrumCurve;
    m_curve->attach(this);

    m_picker = new SyntheticSpectrumPicker(
        canvas(), [this](double megahertz, QPointF *bin) { return coveredBinAt(megahertz, bin); });
    connect(m_picker, &QwtPlotPicker::moved, this, &SyntheticPlot::pointed);
    connect(m_picker, &QwtPicker::activated, this, [this](bool on) {
        if (!on)
            emit left();
    });
    m_zoomer = new SyntheticSpectrumZoomer(canvas());
    connect(m_zoomer, &QwtPlotZoomer::zoomed, this, &SyntheticPlot::onZoomed);
    m_panner = new QwtPlotPanner(canvas());
    m_panner->setMouseButton(Qt::MiddleButton);
    m_panner->setCursor(QCursor(Qt::ClosedHandCursor));
    m_panner->setEnabled(false);
    connect(m_panner, &QwtPanner::panned, this, &SyntheticPlot::onPanned);
}

int SyntheticPlot::binAt(double megahertz) const
{
    if (!m_grid || m_grid->isEmpty())
        return -1;
    const double index = std::round((megahertz * 1e6 - m_grid->startHz()) / m_grid->binHz());
    return index >= 0.0 && index < m_grid->size() ? static_cast<int>(index) : -1;
}

bool SyntheticPlot::coveredBinAt(double megahertz, QPointF *bin) const
{
    const int index = binAt(megahertz);
    if (index < 0 || !m_grid->isCovered(index))
        return false;
    *bin = QPointF(m_grid->frequencyOf(index) / 1e6, m_grid->psdDb(index));
    return true;
}

void SyntheticPlot::showGrid(const SyntheticGrid *grid)
{
    m_grid = grid;
    m_curve->setTrace(grid ? SyntheticTrace::fromGrid(*grid) : SyntheticTrace());
    if (isZoomed())
        replot();
    else
        fullView(m_fromMHz, m_toMHz);
}

bool SyntheticPlot::isZoomed() const
{
    return m_zoomer->zoomRectIndex() > 0;
}

void SyntheticPlot::fullView(double fromMHz, double toMHz)
{
    m_fromMHz = fromMHz;
    m_toMHz = toMHz;
    const bool haveGrid = m_grid && !m_grid->isEmpty();
    setAxisScale(QwtPlot::xBottom, haveGrid ? m_grid->startHz() / 1e6 : fromMHz,
                 haveGrid ? m_grid->endHz() / 1e6 : toMHz);
    if (m_curve->dataSize() > 0)
        setAxisAutoScale(QwtPlot::yLeft);
    else
        setAxisScale(QwtPlot::yLeft, -140.0, 0.0);
    replot();
    m_zoomer->setZoomBase(false);
    m_panner->setEnabled(false);
}

void SyntheticPlot::onZoomed()
{
    if (isZoomed()) {
        m_panner->setEnabled(true);
        emit zoomChanged(true);
        return;
    }
    fullView(m_fromMHz, m_toMHz);
    emit zoomChanged(false);
}

void SyntheticPlot::onPanned()
{
    // The panner has moved the scales; the zoom rectangle follows them.
    const QwtScaleDiv &x = axisScaleDiv(QwtPlot::xBottom);
    const QwtScaleDiv &y = axisScaleDiv(QwtPlot::yLeft);
    const QRectF shown(x.lowerBound(), std::min(y.lowerBound(), y.upperBound()), x.range(),
                       std::fabs(y.range()));
    m_zoomer->moveTo(shown.topLeft());
}
