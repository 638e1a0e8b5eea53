#include "waterfallwidget.h"

#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor background(QStringLiteral("#101922"));
const QColor captionColour(QStringLiteral("#a9bdcc"));
const QColor frameColour(QStringLiteral("#3b5162"));

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

// A rectangle from its first and last pixel coordinates.
QRect span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

WaterfallWidget::WaterfallWidget(QWidget *parent)
    : QWidget(parent)
    , m_clock(&monotonicMs)
{
    setMinimumHeight(145);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_rowTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_rowTimer, &QTimer::timeout, this, &WaterfallWidget::addRow);
    configure(m_low, m_high, m_floor, m_ceiling, m_seconds, m_rate, m_palette);
}

void WaterfallWidget::configure(double low, double high, int floor, int ceiling, int seconds,
                                int rate, int palette)
{
    m_low = low;
    m_high = high;
    m_floor = floor;
    m_ceiling = ceiling;
    m_seconds = seconds;
    m_rate = rate;
    m_palette = palette;
    m_lookup = WaterfallMap::lookup(palette);
    m_image = QImage(WaterfallMap::columns, seconds * rate, QImage::Format_RGB32);
    m_image.fill(m_lookup[0]);
    m_row = 0;
    m_rowTimer.setInterval(static_cast<int>(std::lround(1000.0 / rate)));
    m_haveFrame = false;
    update();
}

void WaterfallWidget::setSpectrum(const QVector<double> &magnitudes, double binWidth)
{
    m_spectrum = magnitudes;
    m_binWidth = binWidth;
    m_lastFrameMs = m_clock();
    m_haveFrame = true;
}

void WaterfallWidget::start()
{
    if (!m_rowTimer.isActive())
        m_rowTimer.start();
}

void WaterfallWidget::stop()
{
    m_rowTimer.stop();
    m_haveFrame = false;
}

void WaterfallWidget::setAlignmentTarget(QWidget *canvas)
{
    m_alignment = canvas;
    update();
}

void WaterfallWidget::setClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

bool WaterfallWidget::isFresh() const
{
    return m_haveFrame && m_clock() - m_lastFrameMs <= freshnessMs;
}

void WaterfallWidget::addRow()
{
    const int height = m_image.height();
    m_row = (m_row + height - 1) % height;
    auto *pixels = reinterpret_cast<quint32 *>(m_image.scanLine(m_row));
    if (isFresh() && !m_spectrum.isEmpty() && m_binWidth > 0.0) {
        WaterfallMap::renderRow(m_spectrum.constData(), m_spectrum.size(), m_binWidth, m_low,
                                m_high, m_floor, m_ceiling, m_lookup, pixels);
    } else {
        std::fill(pixels, pixels + WaterfallMap::columns, m_lookup[0]);
    }
    update();
}

QRect WaterfallWidget::plotArea() const
{
    const int top = 28;
    const int height = std::max(1, this->height() - 54);
    int left = 55;
    int right = width() - 13;
    if (m_alignment && m_alignment->isVisible()) {
        const int canvasLeft = mapFromGlobal(m_alignment->mapToGlobal(QPoint(0, 0))).x();
        left = std::max(55, canvasLeft);
        right = std::min(width() - 8, canvasLeft + m_alignment->width() - 1);
    }
    return QRect(left, top, std::max(1, right - left + 1), height);
}

void WaterfallWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), background);

    painter.setPen(captionColour);
    painter.drawText(span(10, 0, width() - 11, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Audio waterfall"));

    // Colour legend: the palette's stops, the floor on the left, the ceiling on the right.
    const QRect legend = span(width() - 150, 9, width() - 93, 17);
    QLinearGradient gradient(legend.left(), 0, legend.right(), 0);
    const WaterfallMap::Stops &stops = WaterfallMap::paletteStops(m_palette);
    for (int i = 0; i < WaterfallMap::stopCount; ++i)
        gradient.setColorAt(i / double(WaterfallMap::stopCount - 1), QColor::fromRgb(stops[i]));
    painter.fillRect(legend, gradient);
    painter.drawText(span(legend.left() - 40, 0, legend.left() - 3, 26),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(m_floor));
    painter.drawText(span(legend.right() + 6, 0, legend.right() + 83, 26),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("%1 dBFS").arg(m_ceiling));

    // The ring buffer in two pieces, newest row on top.
    const QRect area = plotArea();
    const int rows = m_image.height();
    const int upper = rows - m_row;
    const double scale = double(area.height()) / rows;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF upperTarget(area.left(), area.top(), area.width(), upper * scale);
    painter.drawImage(upperTarget, m_image, QRectF(0, m_row, m_image.width(), upper));
    if (m_row > 0) {
        const QRectF lowerTarget(area.left(), upperTarget.bottom(), area.width(), m_row * scale);
        painter.drawImage(lowerTarget, m_image, QRectF(0, 0, m_image.width(), m_row));
    }
    painter.setPen(frameColour);
    painter.drawRect(area.adjusted(-1, -1, 0, 0));

    drawLabels(painter, area);
}

void WaterfallWidget::drawLabels(QPainter &painter, const QRect &area)
{
    painter.setPen(captionColour);
    const int labelWidth = 78;
    for (int i = 0; i <= 4; ++i) {
        const double hertz = m_low + (m_high - m_low) * i / 4.0;
        const int tick = area.left() + static_cast<int>(std::lround((area.width() - 1) * i / 4.0));
        const int left = std::clamp(tick - labelWidth / 2, 0, std::max(0, width() - labelWidth));
        painter.drawText(QRect(left, area.bottom() + 2, labelWidth, 22), Qt::AlignCenter,
                         tr("%1 Hz").arg(std::lround(hertz)));
    }
    const int textRight = area.left() - 7;
    const int heights[] = {area.top(), area.top() + area.height() / 2, area.bottom()};
    const long values[] = {0, std::lround(m_seconds / 2.0), long(m_seconds)};
    for (int i = 0; i < 3; ++i) {
        painter.drawText(span(0, heights[i] - 9, textRight, heights[i] + 9),
                         Qt::AlignRight | Qt::AlignVCenter, tr("%1 s").arg(values[i]));
    }
}
