#include "bandscopewaterfallwidget.h"

#include "bandscopeview.h"

#include <QPainter>

BandScopeWaterfallWidget::BandScopeWaterfallWidget(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(70);
}

void BandScopeWaterfallWidget::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void BandScopeWaterfallWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(QLatin1String(BandScopeView::background)));
    if (!m_image.isNull())
        painter.drawImage(rect(), m_image);
}
