#include "displaysurface.h"

#include "segmentgeometry.h"
#include "segmoraimages.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>

namespace {

// Height of the LED drawing for each DisplaySize.
constexpr int ledHeights[4] = {21, 28, 42, 57};

const QColor panelColor("#17171a");
const QColor unlitColor("#353137");

// Positions that take a narrow point cell in the LED drawing: a "." and a blank where the
// pattern has its point.
bool isPointCell(char character, char formatCharacter)
{
    return character == '.' || (character == ' ' && formatCharacter == '.');
}

char byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? bytes[i] : '\0';
}

// Device pixels per logical pixel of what the painter draws on: the screen's for the widget's
// backing store, the image's when the widget is rendered into an image.
qreal targetPixelRatio(QPainter &painter)
{
    const QPaintDevice *device =
        painter.paintEngine() ? painter.paintEngine()->paintDevice() : painter.device();
    return device ? device->devicePixelRatioF() : 1.0;
}

} // namespace

Segmora::DisplaySurface::DisplaySurface(QWidget *parent)
    : QLabel(parent)
{}

void Segmora::DisplaySurface::setContent(const QByteArray &characters, const QByteArray &format,
                                         const QVector<QPixmap> &pixmaps, char letter,
                                         int sizeIndex, bool scaled)
{
    QSize natural(0, 0);
    if (letter != 0 || characters.isEmpty()) {
        for (const QPixmap &pixmap : pixmaps) {
            natural.rwidth() += pixmap.width();
            natural.rheight() = std::max(natural.height(), pixmap.height());
        }
    } else {
        int width = 2 * int(SegmentGeometry::margin);
        for (int i = 0; i < characters.size(); ++i) {
            width += isPointCell(characters[i], byteAt(format, i))
                         ? int(SegmentGeometry::pointCellWidth)
                         : int(SegmentGeometry::digitCellWidth);
        }
        natural = QSize(width, int(SegmentGeometry::height));
    }

    QSize display = natural;
    if (letter == 0 && !natural.isEmpty()) {
        const int height = ledHeights[sizeIndex];
        const int naturalHeight = int(SegmentGeometry::height);
        display = QSize((height * natural.width() + naturalHeight - 1) / naturalHeight, height);
    }

    const bool geometryChanged = !m_active || display != m_displaySize || scaled != m_scaled;
    if (letter != m_letter)
        m_hugeImages.fill(QPixmap());
    m_characters = characters;
    m_format = format;
    m_pixmaps = pixmaps;
    m_letter = letter;
    m_sizeIndex = sizeIndex;
    m_scaled = scaled;
    m_naturalSize = natural;
    m_displaySize = display;
    m_active = true;
    if (geometryChanged)
        updateGeometry();
    update();
}

void Segmora::DisplaySurface::deactivate()
{
    m_active = false;
    updateGeometry();
    update();
}

QSize Segmora::DisplaySurface::sizeHint() const
{
    return m_active ? m_displaySize : QLabel::sizeHint();
}

QSize Segmora::DisplaySurface::minimumSizeHint() const
{
    if (!m_active)
        return QLabel::minimumSizeHint();
    return m_scaled ? QSize(0, 0) : m_displaySize;
}

void Segmora::DisplaySurface::paintEvent(QPaintEvent *event)
{
    if (!m_active) {
        QLabel::paintEvent(event);
        return;
    }
    if (m_naturalSize.isEmpty())
        return;

    const QRectF contents = contentsRect();
    const double naturalWidth = m_naturalSize.width();
    const double naturalHeight = m_naturalSize.height();
    const double scale =
        m_scaled ? std::min(contents.width() / naturalWidth, contents.height() / naturalHeight)
                 : m_displaySize.height() / naturalHeight;

    QPainter painter(this);
    painter.translate(contents.x() + (contents.width() - naturalWidth * scale) / 2.0,
                      contents.y() + (contents.height() - naturalHeight * scale) / 2.0);
    painter.scale(scale, scale);
    if (m_letter != 0)
        paintImages(painter, scale);
    else
        paintLed(painter);
}

void Segmora::DisplaySurface::paintImages(QPainter &painter, double scale)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Enlarged on the device, the small images would blur: draw the Huge image of each
    // character into the small image's box instead.
    const bool enlarged = scale * targetPixelRatio(painter) > 1.0 && m_sizeIndex != Huge;
    double x = 0.0;
    for (int i = 0; i < m_pixmaps.size(); ++i) {
        const QPixmap &pixmap = m_pixmaps[i];
        const QRectF box(x, (m_naturalSize.height() - pixmap.height()) / 2.0, pixmap.width(),
                         pixmap.height());
        if (enlarged) {
            const QPixmap &huge = hugeImage(byteAt(m_characters, i));
            painter.drawPixmap(box, huge, huge.rect());
        } else {
            painter.drawPixmap(box.topLeft(), pixmap);
        }
        x += pixmap.width();
    }
}

const QPixmap &Segmora::DisplaySurface::hugeImage(char character)
{
    const int index = SegmoraImages::imageIndex(character);
    QPixmap &image = m_hugeImages[std::size_t(index)];
    if (image.isNull())
        image = QPixmap(SegmoraImages::resourcePath(m_letter, index, Huge));
    return image;
}

void Segmora::DisplaySurface::paintLed(QPainter &painter) const
{
    using namespace SegmentGeometry;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(panelColor);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), m_naturalSize), 6.0, 6.0);
    painter.translate(SegmentGeometry::margin, 0.0);

    QColor glowColor = m_segmentColor;
    glowColor.setAlphaF(m_segmentColor.alphaF() * 0.26);
    const QPen glowPen(glowColor, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    for (int i = 0; i < m_characters.size(); ++i) {
        const char c = m_characters[i];
        if (isPointCell(c, byteAt(m_format, i))) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(c == '.' ? m_segmentColor : unlitColor);
            painter.drawEllipse(QPointF(pointX, pointY), pointRadius, pointRadius);
            painter.translate(pointCellWidth, 0.0);
            continue;
        }
        painter.save();
        painter.translate(digitOffset, 0.0);
        painter.shear(shear, 0.0);
        const unsigned lit = pattern(c);
        for (int s = 0; s < 7; ++s) {
            if (lit & (1u << s)) {
                painter.setPen(m_glow ? glowPen : QPen(Qt::NoPen));
                painter.setBrush(m_segmentColor);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(unlitColor);
            }
            painter.drawPolygon(segmentPolygon(s));
        }
        painter.restore();
        painter.translate(digitCellWidth, 0.0);
    }
}
