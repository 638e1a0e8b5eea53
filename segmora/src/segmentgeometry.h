#pragma once

#include <QPolygonF>

// Geometry of the vector-drawn seven-segment digit, in units of the unscaled drawing: a digit
// cell is 53 wide and 76 high, a decimal-point cell 17 wide, and a whole display has a margin
// of 6 on both sides. Shared by the widget's LED drawing and the artwork generator, so the
// painted images and the drawn display have the same digits.
namespace SegmentGeometry {

constexpr double digitCellWidth = 53.0;
constexpr double pointCellWidth = 17.0;
constexpr double margin = 6.0;
constexpr double height = 76.0;

// Inside a digit cell the segments are drawn 8 to the right and slanted by this horizontal
// shear (x' = x + shear * y), so the digit leans forward.
constexpr double digitOffset = 8.0;
constexpr double shear = -0.1;

// The decimal point of a point cell.
constexpr double pointX = 5.0;
constexpr double pointY = 66.0;
constexpr double pointRadius = 3.4;

// Segment centre lines a to g (bit 0 to 6 of a pattern), start point to end point.
struct Segment
{
    double x1, y1, x2, y2;
};
constexpr Segment segments[7] = {
    {10, 10, 35, 10}, // a
    {41, 16, 41, 32}, // b
    {41, 44, 41, 60}, // c
    {10, 66, 35, 66}, // d
    {4, 44, 4, 60},   // e
    {4, 16, 4, 32},   // f
    {10, 38, 35, 38}, // g
};

// Lit segments of a shown character: the digits, "-" (segment g) and anything else blank.
inline unsigned pattern(char c)
{
    static constexpr unsigned char digits[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                                 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    return c == '-' ? 0x40u : 0u;
}

// The six-point outline of a segment, in the digit cell's (unslanted) frame: pointed ends 3.2
// beyond the centre line's ends, 3.4 to either side of it.
inline QPolygonF segmentPolygon(int index)
{
    const Segment &s = segments[index];
    const bool vertical = s.x1 == s.x2;
    const double length = vertical ? s.y2 - s.y1 : s.x2 - s.x1;
    const QPointF frame[6] = {{-3.2, 0.0},         {0.0, -3.4},   {length, -3.4},
                              {length + 3.2, 0.0}, {length, 3.4}, {0.0, 3.4}};
    QPolygonF polygon;
    for (const QPointF &p : frame) {
        // A vertical segment's frame is turned by 90 degrees: its x axis runs downwards.
        polygon << (vertical ? QPointF(s.x1 - p.y(), s.y1 + p.x()) : QPointF(s.x1, s.y1) + p);
    }
    return polygon;
}

} // namespace SegmentGeometry
