#pragma once

#include "rfbands.h"

#include <qwt_plot.h>

#include <array>

class RfSignalCurve;
class RfSweepResults;

// The sweep plot ("rfPlot"): S-meter 0-255 against frequency in MHz on a dark canvas, a
// translucent zone per band, one level-coloured stick curve per band and a cross-hair picker.
// GUI thread.
class RfSweepPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit RfSweepPlot(QWidget *parent = nullptr);

    // The horizontal scale, in MHz.
    void setFrequencyRange(double lowMHz, double highMHz);
    // Shows every bucket with a reading (frequency in MHz, level) and replots.
    void showResults(const RfSweepResults &results);

    const RfSignalCurve *curve(int band) const { return m_curves[static_cast<size_t>(band)]; }

private:
    std::array<RfSignalCurve *, RfBands::count> m_curves{};
};
