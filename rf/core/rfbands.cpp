#include "rfbands.h"

namespace RfBands {

const std::array<Band, count> &table()
{
    static const std::array<Band, count> bands = {{
        {"LF", 30000, 300000, "30-300 kHz", "#83BEFF", "#1E5FB5"},
        {"MF", 300000, 3000000, "300 kHz-3 MHz", "#56DAD3", "#06746C"},
        {"HF", 3000000, 30000000, "3-30 MHz", "#B4DB63", "#566E06"},
        {"VHF", 30000000, 300000000, "30-300 MHz", "#FFBC6A", "#9B4C00"},
        {"UHF", 300000000, 3000000000LL, "300 MHz-3 GHz", "#FF8893", "#B22640"},
    }};
    return bands;
}

int indexOf(qint64 hertz)
{
    const auto &bands = table();
    for (int i = 0; i < count; ++i) {
        const Band &band = bands[static_cast<size_t>(i)];
        if (band.startHz <= hertz && hertz < band.endHz)
            return i;
    }
    return hertz == bands.back().endHz ? count - 1 : none;
}

int indexOfName(const QString &name)
{
    for (int i = 0; i < count; ++i) {
        if (name == QLatin1String(table()[static_cast<size_t>(i)].name))
            return i;
    }
    return none;
}

namespace {

const Band *row(int index)
{
    return index >= 0 && index < count ? &table()[static_cast<size_t>(index)] : nullptr;
}

} // namespace

QString name(int index)
{
    const Band *band = row(index);
    return band ? QString::fromLatin1(band->name) : QString();
}

QString rangeText(int index)
{
    const Band *band = row(index);
    return band ? QString::fromLatin1(band->rangeText) : QString();
}

QColor lightColor(int index)
{
    const Band *band = row(index);
    return band ? QColor(QLatin1String(band->lightColor)) : QColor();
}

QColor darkColor(int index)
{
    const Band *band = row(index);
    return band ? QColor(QLatin1String(band->darkColor)) : QColor();
}

QString caption(int index)
{
    return row(index) ? QStringLiteral("%1 (%2)").arg(name(index), rangeText(index)) : QString();
}

QColor colorOn(int index, const QColor &background)
{
    return background.lightness() <= 128 ? lightColor(index) : darkColor(index);
}

} // namespace RfBands
