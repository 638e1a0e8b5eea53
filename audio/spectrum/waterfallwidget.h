#pragma once

#include "waterfallmap.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>

// The audio waterfall below the spectrum plot: a ring buffer image of 768 columns and
// seconds x rate rows, one new row per tick of a precise row timer. A row shows the latest
// spectrum while it is fresh (at most 1000 ms old), else the floor colour. The image is scaled
// to the plot area at paint time, newest row on top, beneath a title, a colour legend and
// frequency and time labels; the plot area follows the spectrum plot's canvas horizontally when
// an alignment target is set. GUI thread only.
class WaterfallWidget : public QWidget
{
    Q_OBJECT

public:
    // A spectrum older than this gives blank rows.
    static constexpr qint64 freshnessMs = 1000;

    explicit WaterfallWidget(QWidget *parent = nullptr);

    // Stores the parameters (Hz, dBFS, seconds, rows per second, palette index), builds the
    // colour lookup, clears the image to seconds x rate rows of the floor colour, sets the row
    // interval to round(1000 / rate) ms and forgets the spectrum's freshness.
    void configure(double low, double high, int floor, int ceiling, int seconds, int rate,
                   int palette);
    // The latest magnitudes (dBFS) and the bin width (Hz); restarts the freshness clock.
    void setSpectrum(const QVector<double> &magnitudes, double binWidth);
    // Runs or stops the row timer; stopping also forgets the spectrum's freshness.
    void start();
    void stop();
    // The spectrum plot's canvas, whose horizontal extent the plot area follows while visible.
    void setAlignmentTarget(QWidget *canvas);

    // Adds one row (the row timer's tick).
    void addRow();
    // Milliseconds of a monotonic clock, for the freshness rule; tests give their own.
    void setClock(std::function<qint64()> clock);

    double low() const { return m_low; }
    double high() const { return m_high; }
    int floor() const { return m_floor; }
    int ceiling() const { return m_ceiling; }
    int seconds() const { return m_seconds; }
    int rate() const { return m_rate; }
    int palette() const { return m_palette; }
    const QImage &image() const { return m_image; }
    int row() const { return m_row; }
    const WaterfallMap::Lookup &lookup() const { return m_lookup; }
    bool isRunning() const { return m_rowTimer.isActive(); }
    int rowInterval() const { return m_rowTimer.interval(); }
    // True while a spectrum received within the last second is shown.
    bool isFresh() const;
    // The rectangle the image is drawn into.
    QRect plotArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawLabels(QPainter &painter, const QRect &area);

    double m_low = 0.0;
    double m_high = 10000.0;
    int m_floor = -90;
    int m_ceiling = -20;
    int m_seconds = 30;
    int m_rate = 8;
    int m_palette = 0;
    QImage m_image;
    int m_row = 0;
    WaterfallMap::Lookup m_lookup{};
    QVector<double> m_spectrum;
    double m_binWidth = 0.0;
    std::function<qint64()> m_clock;
    qint64 m_lastFrameMs = 0;
    bool m_haveFrame = false;
    QTimer m_rowTimer;
    QPointer<QWidget> m_alignment;
};
