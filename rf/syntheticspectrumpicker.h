#pragma once

#include <qwt_plot_picker.h>

#include <functional>

// Follows the mouse over the synthetic spectrum (always tracking, no text on the canvas). It
// draws a vertical line at the mouse and, over a covered bin, a horizontal line at the bin's
// level and a 4 px circle (2 px pen) on the point, in a dashed "#f0c16d" pen of width 1. The
// owner reads the position from moved() and the leaving of the canvas from activated(false).
class SyntheticSpectrumPicker : public QwtPlotPicker
{
public:
    // The covered bin nearest to an RF frequency in MHz: its frequency (MHz) and level
    // (dBFS/Hz); false when that bin is not covered.
    using BinLookup = std::function<bool(double megahertz, QPointF *bin)>;

    SyntheticSpectrumPicker(QWidget *canvas, BinLookup lookup);

protected:
    QwtText trackerTextF(const QPointF &position) const override;
    void drawRubberBand(QPainter *painter) const override;

private:
    BinLookup m_lookup;
};
