#include "syntheticspectrumzoomer.h"

#include <QWheelEvent>
#include <qwt_plot.h>

#include <cmath>

SyntheticSpectrumZoomer::SyntheticSpectrumZoomer(QWidget *canvas)
    : QwtPlotZoomer(QwtPlot::xBottom, QwtPlot::yLeft, canvas, false)
{
    setTrackerMode(QwtPicker::AlwaysOff);
    setRubberBand(QwtPicker::RectRubberBand);
    setRubberBandPen(QPen(QColor(QStringLiteral("#74d9ec")), 1, Qt::DashLine));
    // Right click: one step back (QwtPlotZoomer's MouseSelect3); no button returns to the base.
    setMousePattern(QwtEventPattern::MouseSelect2, Qt::NoButton);
    setMousePattern(QwtEventPattern::MouseSelect3, Qt::RightButton);
    setMousePattern(QwtEventPattern::MouseSelect6, Qt::NoButton);
}

void SyntheticSpectrumZoomer::widgetWheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    event->accept();
    if (delta < 0) {
        zoom(-1);
        return;
    }
    if (delta == 0)
        return;
    const double factor = std::pow(wheelFactor, delta / 120.0);
    const QPointF centre = invTransform(event->position().toPoint());
    const QRectF current = zoomRect();
    const QRectF next(centre.x() + (current.left() - centre.x()) * factor,
                      centre.y() + (current.top() - centre.y()) * factor, current.width() * factor,
                      current.height() * factor);
    const QSizeF minimum = minZoomSize();
    if (next.width() < minimum.width() || next.height() < minimum.height())
        return;
    zoom(next.normalized());
}
