#pragma once

// The Greyline page's world map: the day/night shading of GreylineShading scaled into the
// largest 2 : 1 rectangle of the widget, a dotted graticule every 30°, and the RX and DX markers
// with their labels. A left click inside the map hands the point under it to the pick callback.
// GUI thread only.

#include "greylineshading.h"

#include <QPixmap>
#include <QWidget>

#include <functional>

class GreyMap : public QWidget
{
    Q_OBJECT

public:
    using PickCallback = std::function<void(const Greyline::Site &)>;

    // Loads the world map from basePath (the program's resource by default). Without a
    // readable image the map says so and draws nothing else.
    explicit GreyMap(QWidget *parent = nullptr,
                     const QString &basePath = Greyline::worldMapResource);

    // Re-shades for the sun and the band [low, high] (degrees) when any of them changed, and
    // repaints.
    void updateShading(const Greyline::SunPosition &sun, double low, double high);
    void setRxMarker(bool shown, double latitude, double longitude);
    void setDxMarker(bool shown, double latitude, double longitude);
    // Called with the latitude and longitude under a left click inside the map; may be empty.
    void setPickCallback(PickCallback callback) { m_pickCallback = std::move(callback); }

    const QImage &shadedImage() const { return m_shading.image(); }
    // Where the map lies in the widget, logical pixels.
    QRectF mapRect() const;
    // How many times the scaled map and graticule were drawn afresh (the other paints only
    // copy them).
    int backgroundRenders() const { return m_backgroundRenders; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    struct Marker
    {
        bool shown = false;
        double latitude = 0.0;
        double longitude = 0.0;
    };

    // The background, the scaled shaded map and the graticule at the widget's size, redrawn
    // only when the size, the pixel ratio or the shading changed.
    const QPixmap &background(const QRectF &map);
    void drawMarker(QPainter &painter, const QRectF &map, const Marker &marker,
                    const QColor &colour, const QString &label) const;

    Greyline::GreylineShading m_shading;
    Marker m_rx;
    Marker m_dx;
    PickCallback m_pickCallback;
    QPixmap m_background;
    qint64 m_backgroundImageKey = 0;
    int m_backgroundRenders = 0;
};
