#pragma once

// Where the 2 : 1 world map sits in a widget and how points of the Earth map to it: the map
// rectangle is the largest 2 : 1 rectangle centred in the widget, with bars beside or above and
// below. Pure functions on logical (device-independent) pixels.

#include "solargeometry.h"

#include <QPointF>
#include <QRectF>

#include <optional>

namespace Greyline {

// The map rectangle of a width × height widget: m = min(width, 2 · height); left = (width - m)
// / 2, top = (height - m / 2) / 2, size m × m / 2. Empty for an empty widget.
QRectF mapRectangle(double width, double height);

// The point of a latitude and longitude (degrees) in the map rectangle.
QPointF mapPoint(const QRectF &map, double latitude, double longitude);

// The latitude and longitude under a point, or nothing when the point lies outside the map
// rectangle or the rectangle has no width.
std::optional<Site> siteAt(const QRectF &map, const QPointF &point);

// The baseline origin of a marker's label: right of and above the marker, moved to its left
// within 45 pixels of the map's right edge and below it within 20 pixels of the top edge.
QPointF labelOrigin(const QRectF &map, const QPointF &marker);

} // namespace Greyline
