#include "greylinemapgeometry.h"

#include <algorithm>

namespace Greyline {

QRectF mapRectangle(double width, double height)
{
    const double m = std::max(0.0, std::min(width, 2.0 * height));
    return QRectF((width - m) / 2.0, (height - m / 2.0) / 2.0, m, m / 2.0);
}

QPointF mapPoint(const QRectF &map, double latitude, double longitude)
{
    return {map.left() + (longitude + 180.0) / 360.0 * map.width(),
            map.top() + (90.0 - latitude) / 180.0 * map.height()};
}

std::optional<Site> siteAt(const QRectF &map, const QPointF &point)
{
    if (!(map.width() > 0.0) || !map.contains(point))
        return std::nullopt;
    return Site{90.0 - (point.y() - map.top()) / map.height() * 180.0,
                (point.x() - map.left()) / map.width() * 360.0 - 180.0};
}

QPointF labelOrigin(const QRectF &map, const QPointF &marker)
{
    const double x =
        marker.x() > map.left() + map.width() - 45.0 ? marker.x() - 33.0 : marker.x() + 9.0;
    const double y = marker.y() < map.top() + 20.0 ? marker.y() + 17.0 : marker.y() - 8.0;
    return {x, y};
}

} // namespace Greyline
