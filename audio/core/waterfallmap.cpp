#include "waterfallmap.h"

#include <algorithm>
#include <cmath>

namespace WaterfallMap {

namespace {

constexpr std::array<Stops, paletteCount> palettes{{
    {0xFF101923, 0xFF19385B, 0xFF176F87, 0xFF5BD0BE, 0xFFF5FACC}, // Ocean
    {0xFF140F1C, 0xFF532357, 0xFFB84053, 0xFFF09B46, 0xFFFFF3BC}, // Heat
    {0xFF101010, 0xFF484848, 0xFF808080, 0xFFC0C0C0, 0xFFFAFAFA}, // Grayscale
    {0xFF440154, 0xFF3B528B, 0xFF21918C, 0xFF5EC962, 0xFFFDE725}, // Viridis
    {0xFF000004, 0xFF57106E, 0xFFBC3754, 0xFFF98E09, 0xFFFCFFA4}, // Inferno
}};

constexpr std::array<const char *, paletteCount> names{"Ocean", "Heat", "Grayscale", "Viridis",
                                                       "Inferno"};

int channel(quint32 colour, int shift)
{
    return int((colour >> shift) & 0xFFu);
}

} // namespace

int clampPalette(int index)
{
    return std::clamp(index, 0, paletteCount - 1);
}

const Stops &paletteStops(int palette)
{
    return palettes[static_cast<size_t>(clampPalette(palette))];
}

const char *paletteName(int palette)
{
    return names[static_cast<size_t>(clampPalette(palette))];
}

Lookup lookup(int palette)
{
    const Stops &stops = paletteStops(palette);
    Lookup result{};
    for (int k = 0; k < 256; ++k) {
        const double t = 4.0 * k / 255.0;
        const int s = std::min(int(std::floor(t)), stopCount - 2);
        const double f = t - s;
        quint32 colour = 0xFF000000u;
        for (int shift : {16, 8, 0}) {
            const int from = channel(stops[static_cast<size_t>(s)], shift);
            const int to = channel(stops[static_cast<size_t>(s + 1)], shift);
            const auto value = static_cast<quint32>(std::lround(from + (to - from) * f));
            colour |= value << shift;
        }
        result[static_cast<size_t>(k)] = colour;
    }
    return result;
}

int colourIndex(double value, int floor, int ceiling)
{
    const double scaled = 255.0 / (ceiling - floor) * (value - floor);
    if (!(scaled > 0.0))
        return 0; // also NaN
    return static_cast<int>(std::min(255L, std::lround(scaled)));
}

BinRange columnBins(int column, double low, double high, double binWidth, int length)
{
    const double h = (high - low) / (binWidth * columns);
    const double offset = low / binWidth;
    BinRange range;
    range.first = static_cast<int>(std::floor(column * h + offset));
    range.end = std::max(range.first + 1, static_cast<int>(std::ceil((column + 1) * h + offset)));
    range.end = std::min(range.end, length);
    return range;
}

void renderRow(const double *magnitudes, int length, double binWidth, double low, double high,
               int floor, int ceiling, const Lookup &colours, quint32 *row)
{
    for (int c = 0; c < columns; ++c) {
        const BinRange bins = columnBins(c, low, high, binWidth, length);
        double value = floor;
        for (int b = std::max(0, bins.first); b < bins.end; ++b)
            value = std::max(value, magnitudes[b]);
        row[c] = colours[static_cast<size_t>(colourIndex(value, floor, ceiling))];
    }
}

} // namespace WaterfallMap
