#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <cstdlib>

// Colour comparisons on rendered widgets. Antialiased edges blend with their background, so
// checks either sample the middle of a painted stroke or search a small neighbourhood.
namespace PixelCheck {

inline int distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

inline QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// True when some pixel within `radius` of (x, y) is within `tolerance` of the colour.
inline bool near(const QImage &image, QPointF centre, const QColor &colour, int tolerance = 24,
                 int radius = 1)
{
    const QPoint c = centre.toPoint();
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = c + QPoint(dx, dy);
            if (image.valid(p) && distance(image.pixelColor(p), colour) <= tolerance)
                return true;
        }
    }
    return false;
}

} // namespace PixelCheck
