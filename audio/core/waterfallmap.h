#pragma once

#include <QtGlobal>

#include <array>

// How the waterfall turns a spectrum into a row of colours, shared by the live waterfall and
// the archive renderer. Colours are 32-bit 0xAARRGGBB values (the layout of QRgb) with full
// alpha. UI-free; pure functions, any thread.
namespace WaterfallMap {

// Width of the waterfall image in pixels.
constexpr int columns = 768;

// Palettes by index: 0 "Ocean", 1 "Heat", 2 "Grayscale", 3 "Viridis", 4 "Inferno".
constexpr int paletteCount = 5;
constexpr int stopCount = 5;
using Stops = std::array<quint32, stopCount>;
using Lookup = std::array<quint32, 256>;

// A stored or typed palette index limited to 0 ... paletteCount - 1.
int clampPalette(int index);
// The colour stops at 0, 1/4, 1/2, 3/4 and 1 of the scale (index clamped).
const Stops &paletteStops(int palette);
// The palette's English name.
const char *paletteName(int palette);

// The 256 colours of a palette: for k = 0 ... 255, t = 4k / 255, s = min(floor(t), 3),
// f = t - s, each channel round(stop_s + (stop_s+1 - stop_s) x f), half away from zero.
Lookup lookup(int palette);

// round(255 / (ceiling - floor) x (value - floor)), clamped to 0 ... 255 (half away from zero).
int colourIndex(double value, int floor, int ceiling);

// The bins shown in image column c of the displayed range low ... high (Hz) for a spectrum of
// binWidth Hz per bin and `length` bins: first = floor(c h + low / binWidth), end =
// max(first + 1, ceil((c + 1) h + low / binWidth)) limited to length, where
// h = (high - low) / (binWidth x columns). The range is empty (first >= end) past the spectrum.
struct BinRange
{
    int first = 0;
    int end = 0;
};
BinRange columnBins(int column, double low, double high, double binWidth, int length);

// One waterfall row of `columns` pixels: each column shows the largest magnitude among its
// bins, starting from the floor (so values below the floor, and columns without bins, show as
// the floor), through the lookup.
void renderRow(const double *magnitudes, int length, double binWidth, double low, double high,
               int floor, int ceiling, const Lookup &colours, quint32 *row);

} // namespace WaterfallMap
