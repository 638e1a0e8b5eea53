#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <array>

// The fixed band table of the RF views: LF, MF, HF, VHF and UHF with their ranges and colours.
// It gives the plot backgrounds, the band of a frequency, the per-band statistics and the
// band cells of the tables and reports. UI-free; usable from any thread.
namespace RfBands {

struct Band
{
    const char *name;
    qint64 startHz;         // inclusive
    qint64 endHz;           // exclusive, except for the last band, which includes it
    const char *rangeText;  // "30-300 kHz"
    const char *lightColor; // for text and fills on dark backgrounds
    const char *darkColor;  // for text and fills on light backgrounds
};

constexpr int count = 5;
constexpr int none = -1; // band index of a frequency outside the table

const std::array<Band, count> &table();

// The band of a frequency: the first row with start <= hertz < end; the last row (UHF) also
// takes its end, 3 GHz. none outside every row.
int indexOf(qint64 hertz);
// The row whose name equals name exactly, or none.
int indexOfName(const QString &name);

// Row fields; empty texts and an invalid colour for none.
QString name(int index);
QString rangeText(int index);
QColor lightColor(int index);
QColor darkColor(int index);
// "%1 (%2)": name and range text, e.g. "HF (3-30 MHz)".
QString caption(int index);

// The band's colour for text drawn on background: the light colour when the background's
// lightness is 128 or less (a dark theme), otherwise the dark colour.
QColor colorOn(int index, const QColor &background);

} // namespace RfBands
