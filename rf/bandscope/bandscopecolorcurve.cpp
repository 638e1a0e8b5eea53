#include "bandscopecolorcurve.h"

#include "bandscopeview.h"
#include "rflevelgradient.h"

#include <QPainter>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int thinAbove = 512; // samples beyond which sticks are one pixel wide
constexpr double differenceRange = 13.0;
constexpr int baselineDarkening = 230;
const QColor lowValueColour(QStringLiteral("#64748b"));

} // namespace

BandScopeColorCurve::BandScopeColorCurve()
{
    setStyle(QwtPlotCurve::Sticks);
    setBaseline(0.0);
}

QColor BandScopeColorCurve::differenceColour(double y)
{
    const double strength = std::min(std::fabs(y) / differenceRange, 1.0);
    return QColor::fromHsvF(y < 0 ? 0.59 : 0.065, 0.85, 0.48 + 0.52 * strength);
}

void BandScopeColorCurve::drawSticks(QPainter *painter, const QwtScaleMap &xMap,
                                     const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                                     int to) const
{
    painter->save();
    painter->setClipRect(canvasRect);
    const int width = dataSize() < thinAbove + 1 ? 2 : 1;
    const bool deviation = m_view == BandScopeView::StdDeviation;
    const QLinearGradient levels = RfLevelGradient::gradient(
        yMap.transform(deviation ? 0.0 : 2.0), yMap.transform(deviation ? 7.0 : 15.0));
    const QPen levelPen(QBrush(levels), width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    const QPen greyPen(QBrush(lowValueColour), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const double y0 = yMap.transform(0.0);

    for (int i = from; i <= to; ++i) {
        const QPointF value = sample(static_cast<size_t>(i));
        const double x = xMap.transform(value.x());
        const double y = yMap.transform(value.y());
        if (m_view == BandScopeView::Difference) {
            const QColor tip = differenceColour(value.y());
            QLinearGradient stick(x, y0, x, y);
            stick.setColorAt(0.0, tip.darker(baselineDarkening));
            stick.setColorAt(1.0, tip);
            painter->setPen(QPen(QBrush(stick), width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
        } else {
            painter->setPen(!deviation && value.y() < 2.0 ? greyPen : levelPen);
        }
        if (std::fabs(y - y0) < 0.5)
            painter->drawPoint(QPointF(x, y0));
        else
            painter->drawLine(QPointF(x, y0), QPointF(x, y));
    }
    painter->restore();
}
