#include "syntheticspectrumcurve.h"

#include "rflevelgradient.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPolygonF>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace {

// The pixel polyline of points[first ... first + count - 1]: per pixel column only its first,
// lowest, highest and last point, in data order, which draws the same line.
QPolygonF polyline(const QVector<QPointF> &points, int first, int count, const QwtScaleMap &xMap,
                   const QwtScaleMap &yMap)
{
    QPolygonF line;
    const auto pixel = [&](int i) {
        return QPointF(xMap.transform(points[i].x()), yMap.transform(points[i].y()));
    };
    int i = first;
    const int end = first + count;
    while (i < end) {
        const QPointF start = pixel(i);
        const double column = std::floor(start.x());
        int lowest = i, highest = i;
        QPointF lowPoint = start, highPoint = start, lastPoint = start;
        for (++i; i < end; ++i) {
            const QPointF p = pixel(i);
            if (std::floor(p.x()) != column)
                break;
            // Screen y grows downwards.
            if (p.y() > lowPoint.y()) {
                lowest = i;
                lowPoint = p;
            }
            if (p.y() < highPoint.y()) {
                highest = i;
                highPoint = p;
            }
            lastPoint = p;
        }
        line.append(start);
        const bool lowFirst = lowest <= highest;
        const QPointF rest[] = {lowFirst ? lowPoint : highPoint, lowFirst ? highPoint : lowPoint,
                                lastPoint};
        for (const QPointF &point : rest) {
            if (line.last() != point)
                line.append(point);
        }
    }
    return line;
}

} // namespace

SyntheticSpectrumCurve::SyntheticSpectrumCurve()
    : QwtPlotCurve(QCoreApplication::translate("SyntheticSpectrumCurve", "USB Welch PSD"))
{
    setPen(QPen(Qt::white, 1.2));
    setRenderHint(QwtPlotItem::RenderAntialiased, true);
}

void SyntheticSpectrumCurve::setTrace(const SyntheticTrace &trace)
{
    m_trace = trace;
    setSamples(m_trace.points);
}

void SyntheticSpectrumCurve::drawSeries(QPainter *painter, const QwtScaleMap &xMap,
                                        const QwtScaleMap &yMap, const QRectF &canvasRect, int,
                                        int) const
{
    if (m_trace.points.isEmpty())
        return;
    painter->save();
    painter->setClipRect(canvasRect);
    const QLinearGradient gradient =
        RfLevelGradient::gradient(yMap.transform(gradientLowDb), yMap.transform(gradientHighDb));
    const QPen pen(QBrush(gradient), 1.2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const double opacity = painter->opacity();
    for (const SyntheticTrace::Run &run : m_trace.runs) {
        QPolygonF line = polyline(m_trace.points, run.first, run.count, xMap, yMap);
        if (run.count == 1) {
            painter->setPen(pen);
            painter->drawPoint(line.first());
            continue;
        }
        QPolygonF area = line;
        area.append(QPointF(line.last().x(), canvasRect.bottom()));
        area.append(QPointF(line.first().x(), canvasRect.bottom()));
        painter->setOpacity(0.3 * opacity);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QBrush(gradient));
        painter->drawPolygon(area);
        painter->setOpacity(opacity);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(pen);
        painter->drawPolyline(line);
    }
    painter->restore();
}
