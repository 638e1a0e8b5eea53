#include "artworkpainter.h"

#include "segmentgeometry.h"
#include "segmoraimages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One pass of a box blur along rows (horizontal) or columns of a premultiplied image.
void boxBlurPass(QImage &image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<int> sums(4 * std::size_t(length + 1));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb & {
            const int x = horizontal ? i : line;
            const int y = horizontal ? line : i;
            return reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        };
        // Running sums per channel, so each output pixel is the mean of its window.
        for (int i = 0; i < length; ++i) {
            const QRgb p = pixel(i);
            const int channels[4] = {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
            for (int c = 0; c < 4; ++c)
                sums[std::size_t(4 * (i + 1) + c)] = sums[std::size_t(4 * i + c)] + channels[c];
        }
        for (int i = 0; i < length; ++i) {
            const int lo = std::max(0, i - radius);
            const int hi = std::min(length - 1, i + radius);
            const int count = 2 * radius + 1; // outside the image counts as transparent black
            int mean[4];
            for (int c = 0; c < 4; ++c) {
                mean[c] =
                    (sums[std::size_t(4 * (hi + 1) + c)] - sums[std::size_t(4 * lo + c)]) / count;
            }
            pixel(i) = qRgba(mean[0], mean[1], mean[2], mean[3]);
        }
    }
}

// A soft halo: three box blurs come close to a Gaussian.
QImage blurred(const QImage &source, int radius)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(image, radius, true);
        boxBlurPass(image, radius, false);
    }
    return image;
}

// Draws a shape filled with a colour over its glow: a blurred copy of the shape in the glow
// colour, drawn `halos` times at the opacity (several halos make it dense near the shape and
// still soft at its rim).
struct Glow
{
    QColor colour;
    int radius;
    int halos;
    double opacity;
};

void drawGlowing(QPainter &painter, QSize size, const QPainterPath &shape, const QColor &fill,
                 const Glow &glow)
{
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(shape, glow.colour);
    }
    const QImage halo = blurred(layer, glow.radius);
    painter.save();
    painter.setOpacity(glow.opacity);
    for (int i = 0; i < glow.halos; ++i)
        painter.drawImage(0, 0, halo);
    painter.restore();
    painter.fillPath(shape, fill);
}

// The outline of a character of a font, scaled so that a digit is digitHeight high, centred
// horizontally on centreX with its baseline at the bottom of a digit centred on centreY.
QPainterPath outline(const QRawFont &font, QChar character)
{
    const QVector<quint32> glyphs = font.glyphIndexesForString(QString(character));
    return glyphs.isEmpty() ? QPainterPath() : font.pathForGlyph(glyphs.first());
}

QPainterPath glyph(const QRawFont &font, QChar character, double digitHeight, QPointF centre)
{
    const QPainterPath path = outline(font, character);
    const QRectF digitBox = outline(font, QLatin1Char('0')).boundingRect();
    const double scale = digitHeight / digitBox.height();
    const QRectF box = path.boundingRect();
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.scale(scale, scale);
    transform.translate(-box.center().x(), -digitBox.center().y());
    return transform.map(path);
}

struct SegmentColours
{
    QColor background;
    QColor unlit;
    QColor lit;
};

SegmentColours segmentColours(char letter)
{
    switch (letter) {
    case 'g':
        return {QColor("#070f09"), QColor("#14291a"), QColor("#4dff6a")};
    case 'b':
        return {QColor("#0c0d10"), QColor("#2a2c32"), QColor("#f2f5ff")};
    default:
        return {QColor("#110909"), QColor("#361513"), QColor("#ff3a2c")};
    }
}

} // namespace

ArtworkPainter::ArtworkPainter(const QRawFont &nixieFont, const QRawFont &wheelFont)
    : m_nixieFont(nixieFont)
    , m_wheelFont(wheelFont)
{}

QImage ArtworkPainter::paint(char letter, int index, int size) const
{
    const SegmoraImages::ImageSize dimensions = SegmoraImages::imageSize(letter, size);
    const int width =
        index == SegmoraImages::pointIndex ? dimensions.pointWidth : dimensions.digitWidth;
    const QSize imageSize(width, dimensions.height);
    if (letter == 'n')
        return paintNixie(index, imageSize);
    if (letter == 't')
        return paintThumb(index, imageSize);
    return paintSegments(letter, index, imageSize);
}

// The widget's LED digit, stretched to the image, on a dark glass panel.
QImage ArtworkPainter::paintSegments(char letter, int index, QSize size) const
{
    using namespace SegmentGeometry;
    const SegmentColours colours = segmentColours(letter);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient glass(0, 0, 0, size.height());
    glass.setColorAt(0.0, colours.background.lighter(160));
    glass.setColorAt(0.5, colours.background);
    glass.setColorAt(1.0, colours.background.darker(130));
    painter.fillRect(image.rect(), glass);

    const bool point = index == SegmoraImages::pointIndex;
    QTransform cell;
    cell.scale(size.width() / (point ? pointCellWidth : digitCellWidth), size.height() / height);
    QPainterPath lit;
    QPainterPath unlit;
    if (point) {
        lit.addEllipse(QPointF(pointX, pointY), pointRadius, pointRadius);
    } else {
        cell.translate(digitOffset, 0.0);
        cell.shear(shear, 0.0);
        const char character = index < 10                           ? char('0' + index)
                               : index == SegmoraImages::minusIndex ? '-'
                                                                    : ' ';
        const unsigned bits = pattern(character);
        for (int s = 0; s < 7; ++s) {
            QPainterPath &target = bits & (1u << s) ? lit : unlit;
            target.addPolygon(segmentPolygon(s));
            target.closeSubpath();
        }
    }
    painter.fillPath(cell.map(unlit), colours.unlit);
    const Glow glow{colours.lit, std::max(1, size.height() / 16), 2, 0.55};
    drawGlowing(painter, size, cell.map(lit), colours.lit, glow);
    return image;
}

// A glowing orange cathode behind the honeycomb grid of a nixie tube.
QImage ArtworkPainter::paintNixie(int index, QSize size) const
{
    const double w = size.width();
    const double h = size.height();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient tube(QPointF(w / 2.0, h * 0.45), std::max(w, h) * 0.75);
    tube.setColorAt(0.0, QColor("#2b1a10"));
    tube.setColorAt(1.0, QColor("#090605"));
    painter.fillRect(image.rect(), tube);

    const QColor glow("#ff6d1a");
    const QColor cathode("#ffb46a");
    const int glowRadius = std::max(1, int(h / 14.0));
    QPainterPath shape;
    if (index < 10) {
        shape = glyph(m_nixieFont, QChar('0' + index), h * 0.72, QPointF(w / 2.0, h * 0.5));
    } else if (index == SegmoraImages::minusIndex) {
        const double barHeight = std::max(1.5, h * 0.07);
        shape.addRect(QRectF(w * 0.22, h * 0.5 - barHeight / 2.0, w * 0.56, barHeight));
    } else if (index == SegmoraImages::pointIndex) {
        const double radius = std::max(1.0, w * 0.24);
        shape.addEllipse(QPointF(w / 2.0, h * 0.84), radius, radius);
    }
    if (!shape.isEmpty())
        drawGlowing(painter, size, shape, cathode, {glow, glowRadius, 1, 1.0});

    // The anode grid in front of the cathodes, faint where the glow is not.
    if (index != SegmoraImages::pointIndex && h >= 25) {
        const double step = h / 9.0;
        painter.setPen(QPen(QColor(150, 100, 70, 46), 0.6));
        for (double y = step / 2.0; y < h; y += step)
            painter.drawLine(QPointF(0, y), QPointF(w, y));
        for (double x = std::fmod(w / 2.0, step); x < w; x += step)
            painter.drawLine(QPointF(x, 0), QPointF(x, h));
    }

    // The glass curves away at the tube's sides.
    QLinearGradient sides(0, 0, w, 0);
    sides.setColorAt(0.0, QColor(0, 0, 0, 150));
    sides.setColorAt(0.18, QColor(0, 0, 0, 0));
    sides.setColorAt(0.82, QColor(0, 0, 0, 0));
    sides.setColorAt(1.0, QColor(0, 0, 0, 150));
    painter.fillRect(image.rect(), sides);
    return image;
}

// A thumbwheel switch: push buttons above and below, the wheel's digit in the window between.
QImage ArtworkPainter::paintThumb(int index, QSize size) const
{
    const double w = size.width();
    const double h = size.height();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, w, 0);
    body.setColorAt(0.0, QColor("#44474e"));
    body.setColorAt(0.5, QColor("#33363c"));
    body.setColorAt(1.0, QColor("#25272b"));
    painter.fillRect(image.rect(), body);

    const QRectF window(w * 0.12, h * 0.25, w * 0.76, h * 0.5);
    if (index == SegmoraImages::pointIndex) {
        // The narrow end plate between two wheels carries the decimal point.
        const double radius = std::max(0.9, w * 0.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor("#f2f2ee"));
        painter.drawEllipse(QPointF(w / 2.0, window.bottom() - radius), radius, radius);
    } else {
        const QColor button("#5a5e66");
        const QColor arrow("#1b1c20");
        const double buttonHeight = h * 0.17;
        const QRectF top(w * 0.14, h * 0.035, w * 0.72, buttonHeight);
        const QRectF bottom(w * 0.14, h * 0.965 - buttonHeight, w * 0.72, buttonHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(button);
        painter.drawRoundedRect(top, w * 0.08, w * 0.08);
        painter.drawRoundedRect(bottom, w * 0.08, w * 0.08);
        const double a = std::min(top.width(), top.height()) * 0.3;
        painter.setBrush(arrow);
        painter.drawPolygon(
            QPolygonF({top.center() + QPointF(-a, a * 0.6), top.center() + QPointF(a, a * 0.6),
                       top.center() + QPointF(0, -a * 0.7)}));
        painter.drawPolygon(QPolygonF({bottom.center() + QPointF(-a, -a * 0.6),
                                       bottom.center() + QPointF(a, -a * 0.6),
                                       bottom.center() + QPointF(0, a * 0.7)}));

        // The drum darkens towards the window's edges, where it turns away.
        QLinearGradient drum(0, window.top(), 0, window.bottom());
        drum.setColorAt(0.0, QColor("#050506"));
        drum.setColorAt(0.5, QColor("#2c2d31"));
        drum.setColorAt(1.0, QColor("#050506"));
        painter.setBrush(drum);
        painter.drawRect(window);

        const QColor ink("#f2f2ee");
        if (index < 10) {
            painter.fillPath(
                glyph(m_wheelFont, QChar('0' + index), window.height() * 0.62, window.center()),
                ink);
        } else if (index == SegmoraImages::minusIndex) {
            const double barHeight = std::max(1.2, window.height() * 0.09);
            painter.fillRect(QRectF(window.left() + window.width() * 0.22,
                                    window.center().y() - barHeight / 2.0, window.width() * 0.56,
                                    barHeight),
                             ink);
        }
    }

    // Each wheel is a separate part: a highlight on its left edge, a shadow on its right.
    painter.fillRect(QRectF(0, 0, 1, h), QColor(255, 255, 255, 40));
    painter.fillRect(QRectF(w - 1, 0, 1, h), QColor(0, 0, 0, 120));
    return image;
}
