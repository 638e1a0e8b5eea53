#pragma once

#include <Segmora/segmora.h>

#include <QByteArray>
#include <QLabel>
#include <QPixmap>
#include <QVector>

#include <array>

// The first cell of a Segmora. While active it paints the whole value itself: the images of a
// picture style side by side, or the LED drawing. While inactive it is an ordinary label that
// shows one image, like the other cells. GUI thread only.
class SEGMORA_NO_EXPORT Segmora::DisplaySurface : public QLabel
{
public:
    static constexpr char defaultColor[] = "#f96c60";

    explicit DisplaySurface(QWidget *parent);

    // Makes the surface paint the characters (one per pattern position of format). For the
    // picture styles, pixmaps holds one image per character and letter is the style's image
    // letter; letter 0 selects the LED drawing. sizeIndex is the DisplaySize, scaled whether
    // the painting fills the surface or keeps its natural height.
    void setContent(const QByteArray &characters, const QByteArray &format,
                    const QVector<QPixmap> &pixmaps, char letter, int sizeIndex, bool scaled);
    // Makes the surface an ordinary label again.
    void deactivate();
    bool isActive() const { return m_active; }

    QColor segmentColor() const { return m_segmentColor; }
    void setSegmentColor(const QColor &color) { m_segmentColor = color; }
    bool segmentGlow() const { return m_glow; }
    void setSegmentGlow(bool glow) { m_glow = glow; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintImages(QPainter &painter, double scale);
    void paintLed(QPainter &painter) const;
    // The Huge image of a character of the current picture style, decoded once.
    const QPixmap &hugeImage(char character);

    QColor m_segmentColor{defaultColor};
    bool m_glow = true;
    bool m_active = false;
    bool m_scaled = true;
    QSize m_displaySize;
    QSize m_naturalSize;
    QByteArray m_characters;
    QByteArray m_format;
    QVector<QPixmap> m_pixmaps;
    char m_letter = 0;
    int m_sizeIndex = 3;
    // Huge images by character index (see imageIndex in segmoraimages.h), for m_letter.
    std::array<QPixmap, 13> m_hugeImages;
};
