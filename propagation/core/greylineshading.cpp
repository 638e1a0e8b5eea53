#include "greylineshading.h"

#include <cmath>

namespace Greyline {

namespace {

constexpr double degree = 0.017453292519943295; // radians

// The pale horizon line, and how the night and the band change a base colour.
constexpr double horizonHalfWidth = 0.0025; // in sine of the elevation
constexpr double nightDepth = 0.63;         // darkest shading, reached at -18°
constexpr double nightBlue = 25.0;          // blue added at full darkness
constexpr double bandKeep = 0.56;           // the band blends 44 % towards amber (255, 181, 45)
constexpr double bandRed = 0.44 * 255.0;
constexpr double bandGreen = 0.44 * 181.0;
constexpr double bandBlue = 0.44 * 45.0;
const QRgb horizonColour = qRgb(245, 232, 185);

} // namespace

GreylineShading::GreylineShading(const QImage &base)
{
    if (!base.isNull()) {
        m_base = base.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    }
    for (int i = 0; i < width; ++i)
        m_columnLongitudes[static_cast<size_t>(i)] = ((i + 0.5) * 360.0 / width - 180.0) * degree;
    for (int j = 0; j < height; ++j) {
        const double latitude = (90.0 - (j + 0.5) * 180.0 / height) * degree;
        m_rowSines[static_cast<size_t>(j)] = std::sin(latitude);
        m_rowCosines[static_cast<size_t>(j)] = std::cos(latitude);
    }
}

bool GreylineShading::updateShading(const SunPosition &sun, double low, double high)
{
    if (m_base.isNull())
        return false;
    // Exact comparison: any change of the sun or the band, however small, re-shades.
    if (!m_shaded.isNull() && sun.declination == m_key.declination &&
        sun.subsolarLongitude == m_key.subsolarLongitude && low == m_key.low &&
        high == m_key.high) {
        return false;
    }
    m_key = {sun.declination, sun.subsolarLongitude, low, high};

    const double sinDeclination = std::sin(sun.declination * degree);
    const double cosDeclination = std::cos(sun.declination * degree);
    const double subsolar = sun.subsolarLongitude * degree;
    const double sinTwilight = std::sin(18.0 * degree);
    const double sinLow = std::sin(low * degree);
    const double sinHigh = std::sin(high * degree);
    // One cosine per column; rows reuse their cached sine and cosine.
    std::array<double, width> columnCosines;
    for (int i = 0; i < width; ++i) {
        const auto c = static_cast<size_t>(i);
        columnCosines[c] = std::cos(m_columnLongitudes[c] - subsolar);
    }

    QImage shaded(width, height, QImage::Format_RGB32);
    for (int j = 0; j < height; ++j) {
        const auto row = static_cast<size_t>(j);
        const double a = cosDeclination * m_rowCosines[row];
        const double b = sinDeclination * m_rowSines[row];
        const auto *in = reinterpret_cast<const QRgb *>(m_base.constScanLine(j));
        auto *out = reinterpret_cast<QRgb *>(shaded.scanLine(j));
        for (int i = 0; i < width; ++i) {
            const double s = a * columnCosines[static_cast<size_t>(i)] + b;
            if (std::abs(s) < horizonHalfWidth) {
                out[i] = horizonColour;
                continue;
            }
            const double t = std::min(1.0, std::max(0.0, -s / sinTwilight)) * nightDepth;
            double red = qRed(in[i]) * (1.0 - t);
            double green = qGreen(in[i]) * (1.0 - t);
            double blue = qBlue(in[i]) * (1.0 - t) + nightBlue * t;
            if (sinLow <= s && s <= sinHigh) {
                red = bandKeep * red + bandRed;
                green = bandKeep * green + bandGreen;
                blue = bandKeep * blue + bandBlue;
            }
            out[i] = qRgb(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue));
        }
    }
    m_shaded = shaded;
    return true;
}

} // namespace Greyline
