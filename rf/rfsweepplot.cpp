#include "rfsweepplot.h"

#include "rfsignalcurve.h"
#include "rfsweepresults.h"

#include <qwt_picker_machine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_picker.h>
#include <qwt_plot_zoneitem.h>

RfSweepPlot::RfSweepPlot(QWidget *parent)
    : QwtPlot(parent)
{
    setObjectName(QStringLiteral("rfPlot"));
    setCanvasBackground(QColor(QStringLiteral("#121A23")));
    setAxisTitle(QwtPlot::xBottom, tr("Frequency (MHz)"));
    setAxisTitle(QwtPlot::yLeft, tr("S-meter (0-255)"));
    setAxisScale(QwtPlot::yLeft, 0.0, RfSignalCurve::fullScale);

    auto *grid = new QwtPlotGrid;
    grid->setPen(QColor(QStringLiteral("#64748B")), 0.0, Qt::DotLine);
    grid->attach(this);

    const QColor trackerColor(QStringLiteral("#E2E8F0"));
    auto *picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                                     QwtPicker::AlwaysOn, canvas());
    picker->setStateMachine(new QwtPickerDragPointMachine);
    picker->setTrackerPen(trackerColor);
    picker->setRubberBandPen(trackerColor);

    for (int band = 0; band < RfBands::count; ++band) {
        const RfBands::Band &row = RfBands::table()[static_cast<size_t>(band)];
        auto *zone = new QwtPlotZoneItem;
        zone->setOrientation(Qt::Vertical);
        zone->setInterval(row.startHz / 1e6, row.endHz / 1e6);
        QColor fill = RfBands::lightColor(band);
        fill.setAlpha(42);
        zone->setBrush(fill);
        zone->setPen(QPen(Qt::NoPen));
        zone->setZ(1.0);
        zone->attach(this);

        auto *curve = new RfSignalCurve(RfBands::name(band));
        curve->attach(this);
        m_curves[static_cast<size_t>(band)] = curve;
    }
}

void RfSweepPlot::setFrequencyRange(double lowMHz, double highMHz)
{
    setAxisScale(QwtPlot::xBottom, lowMHz, highMHz);
}

void RfSweepPlot::showResults(const RfSweepResults &results)
{
    for (int band = 0; band < RfBands::count; ++band) {
        QVector<QPointF> points;
        for (const RfBucket &bucket : results.buckets(band)) {
            if (bucket.level >= 0)
                points.append(QPointF(bucket.frequency / 1e6, bucket.level));
        }
        m_curves[static_cast<size_t>(band)]->setSamples(points);
    }
    replot();
}
