#pragma once

#include <QString>

// Names and sizes of the embedded images of the picture styles, shared by the widget and the
// artwork generator. A style has 13 images (the digits, the point, the minus and the blank) in
// four sizes, under ":/Segmora/images/<letter><name>_<size>.png".
namespace SegmoraImages {

// Image letters of the picture styles, indexed by Segmora::DisplayType (Red_7_Segment, Nixie,
// Green_7_Segment, White_7_Segment, Thumb).
constexpr char letters[5] = {'r', 'n', 'g', 'b', 't'};
constexpr int styleCount = 5;
constexpr int sizeCount = 4;
constexpr int characterCount = 13;
constexpr int pointIndex = 10;
constexpr int minusIndex = 11;
constexpr int blankIndex = 12;

// Image index of a shown character: 0-9 for the digits, then point, minus and blank (for
// anything else).
inline int imageIndex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c == '.')
        return pointIndex;
    return c == '-' ? minusIndex : blankIndex;
}

inline QString characterName(int index)
{
    if (index < 10)
        return QStringLiteral("0%1").arg(index);
    if (index == pointIndex)
        return QStringLiteral("point");
    return index == minusIndex ? QStringLiteral("minus") : QStringLiteral("blank");
}

// "r00_3.png" and the like.
inline QString fileName(char letter, int index, int size)
{
    return QStringLiteral("%1%2_%3.png")
        .arg(QLatin1Char(letter))
        .arg(characterName(index))
        .arg(size);
}

inline QString resourcePath(char letter, int index, int size)
{
    return QStringLiteral(":/Segmora/images/") + fileName(letter, index, size);
}

// Pixel size of the images of a style (by letter) and size: digit, minus and blank share one
// width, the point is narrow.
struct ImageSize
{
    int digitWidth;
    int pointWidth;
    int height;
};

inline ImageSize imageSize(char letter, int size)
{
    static constexpr ImageSize segment[4] = {{14, 4, 21}, {19, 6, 28}, {28, 9, 42}, {38, 12, 57}};
    static constexpr ImageSize nixie[4] = {{14, 4, 19}, {19, 6, 25}, {28, 9, 38}, {38, 12, 50}};
    static constexpr ImageSize thumb[4] = {{14, 4, 29}, {24, 7, 50}, {34, 9, 71}, {44, 12, 92}};
    if (letter == 'n')
        return nixie[size];
    return letter == 't' ? thumb[size] : segment[size];
}

} // namespace SegmoraImages
