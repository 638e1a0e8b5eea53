#include "syntheticspectrumpicker.h"

#include <QPainter>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_scale_map.h>
#include <qwt_text.h>

SyntheticSpectrumPicker::SyntheticSpectrumPicker(QWidget *canvas, BinLookup lookup)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, canvas)
    , m_lookup(std::move(lookup))
{
    setStateMachine(new QwtPickerTrackerMachine);
    setTrackerMode(QwtPicker::AlwaysOn);
    setRubberBand(QwtPicker::UserRubberBand);
    setRubberBandPen(QPen(QColor(QStringLiteral("#f0c16d")), 1, Qt::DashLine));
}

QwtText SyntheticSpectrumPicker::trackerTextF(const QPointF &) const
{
    return QwtText();
}

void SyntheticSpectrumPicker::drawRubberBand(QPainter *painter) const
{
    const QPolygon points = pickedPoints();
    if (points.isEmpty())
        return;
    const QPoint mouse = points.last();
    const QRect canvas = pickArea().boundingRect().toRect();
    painter->drawLine(mouse.x(), canvas.top(), mouse.x(), canvas.bottom());
    QPointF bin;
    if (!m_lookup || !m_lookup(invTransform(mouse).x(), &bin))
        return;
    const QPointF at = transform(bin);
    painter->drawLine(QPointF(canvas.left(), at.y()), QPointF(canvas.right(), at.y()));
    QPen circle = painter->pen();
    circle.setWidth(2);
    painter->setPen(circle);
    painter->drawEllipse(at, 4.0, 4.0);
}
