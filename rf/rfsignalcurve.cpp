#include "rfsignalcurve.h"

#include "rflevelgradient.h"

#include <QPainter>
#include <qwt_scale_map.h>

RfSignalCurve::RfSignalCurve(const QString &title)
    : QwtPlotCurve(title)
{
    setStyle(QwtPlotCurve::Sticks);
    setBaseline(0.0);
}

void RfSignalCurve::drawSticks(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                               const QRectF &canvasRect, int from, int to) const
{
    painter->save();
    painter->setClipRect(canvasRect);
    const QLinearGradient gradient =
        RfLevelGradient::gradient(yMap.transform(0.0), yMap.transform(fullScale));
    painter->setPen(QPen(QBrush(gradient), 2, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    QwtPlotCurve::drawSticks(painter, xMap, yMap, canvasRect, from, to);
    painter->restore();
}
