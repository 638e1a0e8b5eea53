#pragma once

// Day and night on the 900 × 450 equirectangular world map: the night side darkened down to
// -18°, a band of solar elevations tinted amber and the geometric horizon drawn as a pale line.
// The image is recomputed only when the sun or the band changes. Not thread-safe; the owner's
// thread only.

#include "solargeometry.h"

#include <QImage>
#include <QString>

#include <array>

namespace Greyline {

// Where the program's world map lives among the embedded resources.
inline const QString worldMapResource = QStringLiteral(":/Corvin/images/greyline_world.png");

class GreylineShading
{
public:
    static constexpr int width = 900;
    static constexpr int height = 450;

    // base: an equirectangular world (longitude -180° ... 180° left to right, latitude 90° ...
    // -90° top to bottom) of any size, scaled here to 900 × 450 (aspect ratio ignored, smooth)
    // and converted to 32-bit RGB. A null base gives a null shaded image forever.
    explicit GreylineShading(const QImage &base = QImage());

    bool hasBase() const { return !m_base.isNull(); }
    const QImage &base() const { return m_base; }

    // Shades the base for the sun and the band [low, high] (degrees). Does nothing and returns
    // false without a base, or when the image already shows exactly these four values;
    // otherwise recomputes and returns true.
    bool updateShading(const SunPosition &sun, double low, double high);

    // 900 × 450, 32-bit RGB, opaque; null until the first updateShading and without a base.
    const QImage &image() const { return m_shaded; }

private:
    struct Key
    {
        double declination;
        double subsolarLongitude;
        double low;
        double high;
    };

    QImage m_base;
    QImage m_shaded;
    Key m_key{};
    // Longitude of each column centre (radians), and sine and cosine of each row centre's
    // latitude.
    std::array<double, width> m_columnLongitudes{};
    std::array<double, height> m_rowSines{};
    std::array<double, height> m_rowCosines{};
};

} // namespace Greyline
