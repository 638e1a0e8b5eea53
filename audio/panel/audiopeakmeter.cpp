#include "audiopeakmeter.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double fullScale = 32768.0;
// Upper ends of the green and amber zones, dBFS.
constexpr double greenTopDb = -12.0;
constexpr double amberTopDb = -3.0;
constexpr int tickLevels[] = {-60, -36, -18, -6, 0};

} // namespace

AudioPeakMeter::AudioPeakMeter(QWidget *parent)
    : QWidget(parent)
    , m_text(tr("Idle"))
    , m_clipTimer(new QTimer(this))
{
    setSizePolicy(QSizePolicy::Expanding, sizePolicy().verticalPolicy());
    m_clipTimer->setSingleShot(true);
    m_clipTimer->setInterval(clipHoldMs);
    connect(m_clipTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_elapsed.start();
}

bool AudioPeakMeter::isClipLit() const
{
    return m_clipTimer->isActive();
}

QSize AudioPeakMeter::sizeHint() const
{
    return {200, 72};
}

QSize AudioPeakMeter::minimumSizeHint() const
{
    return {184, 72};
}

qint64 AudioPeakMeter::clockMs() const
{
    return m_elapsed.elapsed();
}

void AudioPeakMeter::setPeak(int magnitude, bool clipped)
{
    if (magnitude < 0) {
        m_text = tr("Idle");
        m_level = floorDb;
        m_clipTimer->stop();
        m_lastCallMs = -1;
        update();
        return;
    }

    double level = floorDb;
    if (magnitude == 0) {
        m_text = QStringLiteral("\u2212\u221E dBFS");
    } else {
        level = 20.0 * std::log10(magnitude / fullScale);
        // Adding 0.0 turns a rounded −0.0 (just under full scale) into 0.0.
        const double shown = std::round(10.0 * level) / 10.0 + 0.0;
        m_text = tr("%1 dBFS").arg(shown, 0, 'f', 1);
    }

    const qint64 now = clockMs();
    const double dt = m_lastCallMs < 0 ? 0.0 : (now - m_lastCallMs) / 1000.0;
    m_lastCallMs = now;
    m_level = std::max({m_level - decayDbPerSecond * dt, level, floorDb});

    if (clipped)
        m_clipTimer->start();
    update();
}

void AudioPeakMeter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width();

    painter.setPen(QColor(0x31, 0x46, 0x58));
    painter.setBrush(QColor(0x11, 0x1C, 0x27));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);

    painter.setPen(QColor(0xE6, 0xF0, 0xF6));
    painter.drawText(QRectF(12, 4, w - 70, 23), Qt::AlignLeft | Qt::AlignVCenter, m_text);

    const bool lit = isClipLit();
    const QRectF clipBox(w - 55, 5, 43, 21);
    painter.setPen(Qt::NoPen);
    painter.setBrush(lit ? QColor(0x9D, 0x27, 0x43) : QColor(0x22, 0x31, 0x41));
    painter.drawRoundedRect(clipBox, 4, 4);
    painter.setPen(lit ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x9B, 0xB1, 0xC4));
    painter.drawText(clipBox, Qt::AlignCenter, QStringLiteral("CLIP"));

    const QRectF bar(14, 31, w - 28, 15);
    // x of a level on the bar, clamped to its ends.
    const auto xOf = [&bar](double db) {
        const double fraction = std::clamp((db - floorDb) / -floorDb, 0.0, 1.0);
        return bar.left() + fraction * bar.width();
    };
    painter.save();
    QPainterPath barShape;
    barShape.addRoundedRect(bar, 3, 3);
    painter.setClipPath(barShape);
    painter.fillRect(bar, QColor(0x26, 0x38, 0x47));
    const double fillEnd = xOf(m_level);
    const struct
    {
        double fromDb, toDb;
        QColor colour;
    } zones[] = {{floorDb, greenTopDb, QColor(0x52, 0xD4, 0xAD)},
                 {greenTopDb, amberTopDb, QColor(0xFF, 0xBA, 0x64)},
                 {amberTopDb, 0.0, QColor(0xFF, 0x7A, 0x8A)}};
    for (const auto &zone : zones) {
        const double left = xOf(zone.fromDb);
        const double right = std::min(xOf(zone.toDb), fillEnd);
        if (right > left)
            painter.fillRect(QRectF(left, bar.top(), right - left, bar.height()), zone.colour);
    }
    painter.restore();

    painter.setPen(QColor(0xB6, 0xCB, 0xDB));
    for (const int db : tickLevels) {
        const double x = xOf(db);
        painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + 4));
        painter.drawText(QRectF(x - 13, bar.bottom() + 4, 26, 18), Qt::AlignCenter,
                         QString::number(db));
    }
}
