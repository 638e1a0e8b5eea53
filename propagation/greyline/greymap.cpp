#include "greymap.h"

#include "greylinemapgeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace Greyline;

namespace {

const QColor backgroundColour(12, 17, 28);
const QColor graticuleColour(220, 230, 245, 65);
const QColor rxColour(100, 230, 255);
const QColor dxColour(255, 125, 155);
constexpr double markerRadius = 5.0;

} // namespace

GreyMap::GreyMap(QWidget *parent, const QString &basePath)
    : QWidget(parent)
    , m_shading(QImage(basePath))
{
    setMinimumHeight(190);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
}

void GreyMap::updateShading(const SunPosition &sun, double low, double high)
{
    m_shading.updateShading(sun, low, high);
    update();
}

void GreyMap::setRxMarker(bool shown, double latitude, double longitude)
{
    m_rx = {shown, latitude, longitude};
}

void GreyMap::setDxMarker(bool shown, double latitude, double longitude)
{
    m_dx = {shown, latitude, longitude};
}

QRectF GreyMap::mapRect() const
{
    return mapRectangle(width(), height());
}

const QPixmap &GreyMap::background(const QRectF &map)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_background.size() == pixels && m_background.devicePixelRatioF() == ratio &&
        m_backgroundImageKey == m_shading.image().cacheKey()) {
        return m_background;
    }
    ++m_backgroundRenders;
    m_backgroundImageKey = m_shading.image().cacheKey();
    m_background = QPixmap(pixels);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(backgroundColour);
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(map, m_shading.image());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(map);
    painter.setPen(QPen(graticuleColour, 1, Qt::DotLine));
    // No line at ±180° or ±90°: those are the map's own edges.
    for (int longitude = -150; longitude <= 150; longitude += 30) {
        const double x = mapPoint(map, 0.0, longitude).x();
        painter.drawLine(QPointF(x, map.top()), QPointF(x, map.bottom()));
    }
    for (int latitude = -60; latitude <= 60; latitude += 30) {
        const double y = mapPoint(map, latitude, 0.0).y();
        painter.drawLine(QPointF(map.left(), y), QPointF(map.right(), y));
    }
    return m_background;
}

void GreyMap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF map = mapRect();
    if (m_shading.image().isNull()) {
        painter.fillRect(rect(), backgroundColour);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter,
                         QStringLiteral("Map resource unavailable / Mappa non disponibile"));
        return;
    }
    if (width() <= 0 || height() <= 0)
        return;
    painter.drawPixmap(0, 0, background(map));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(map);
    // DX on top of RX.
    drawMarker(painter, map, m_rx, rxColour, QStringLiteral("RX"));
    drawMarker(painter, map, m_dx, dxColour, QStringLiteral("DX"));
}

void GreyMap::drawMarker(QPainter &painter, const QRectF &map, const Marker &marker,
                         const QColor &colour, const QString &label) const
{
    if (!marker.shown)
        return;
    const QPointF point = mapPoint(map, marker.latitude, marker.longitude);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(colour);
    painter.drawEllipse(point, markerRadius, markerRadius);
    // A dark outline keeps the label readable on day and night alike.
    QPainterPath text;
    text.addText(labelOrigin(map, point), painter.font(), label);
    painter.strokePath(text, QPen(Qt::black, 3));
    painter.fillPath(text, colour);
}

void GreyMap::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pickCallback)
        return;
    if (const std::optional<Site> site = siteAt(mapRect(), event->localPos()))
        m_pickCallback(*site);
}
