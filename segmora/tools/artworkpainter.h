#pragma once

#include <QImage>
#include <QRawFont>

// Paints the images of Segmora's picture styles: red, green and white seven-segment digits
// (drawn from the widget's own segment geometry), nixie tubes and thumbwheel switches (digits
// from the glyph outlines of the given font files).
class ArtworkPainter
{
public:
    // nixieFont draws the glowing cathodes, wheelFont the digits printed on the thumbwheels.
    ArtworkPainter(const QRawFont &nixieFont, const QRawFont &wheelFont);

    // The image of a character (SegmoraImages index) of a style (image letter) in a size
    // (0-3), exactly of the size SegmoraImages::imageSize gives.
    QImage paint(char letter, int index, int size) const;

private:
    QImage paintSegments(char letter, int index, QSize size) const;
    QImage paintNixie(int index, QSize size) const;
    QImage paintThumb(int index, QSize size) const;

    QRawFont m_nixieFont;
    QRawFont m_wheelFont;
};
