#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QTimer;

// The audio input peak meter of the radio panel ("audioPeakMeter"): the latest peak as text in
// dBFS, a bar from −60 to 0 dBFS in green, amber and red zones that falls by at most 30 dB per
// second, and a CLIP lamp that stays lit for two seconds after a clipped block. Fed by the
// recorder's inputPeakChanged through a queued connection. GUI thread only.
class AudioPeakMeter : public QWidget
{
    Q_OBJECT

public:
    // Lowest level the bar shows, dBFS; also the level of silence and of an idle input.
    static constexpr double floorDb = -60.0;
    // Fastest fall of the bar, dB per second.
    static constexpr double decayDbPerSecond = 30.0;
    // How long CLIP stays lit after the last clipped block, ms.
    static constexpr int clipHoldMs = 2000;

    explicit AudioPeakMeter(QWidget *parent = nullptr);

    QString statusText() const { return m_text; }
    // Level the bar shows, dBFS, −60 … 0 (above 0 only for magnitudes over full scale).
    double displayedLevel() const { return m_level; }
    bool isClipLit() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // magnitude: largest absolute sample of the latest input block, 0 … 32768 of 16-bit full
    // scale; negative when the input stopped (the meter goes idle). clipped: the block touched
    // full scale.
    void setPeak(int magnitude, bool clipped);

protected:
    // Monotonic time in ms that paces the decay; tests substitute their own clock.
    virtual qint64 clockMs() const;

    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    double m_level = floorDb;
    QTimer *m_clipTimer;
    QElapsedTimer m_elapsed;
    qint64 m_lastCallMs = -1; // -1: no call since the last reset, the next one does not decay
};
