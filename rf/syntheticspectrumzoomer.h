#pragma once

#include <qwt_plot_zoomer.h>

// Zooming the synthetic spectrum: a left drag zooms to the rectangle (dashed "#74d9ec" rubber
// band), a right click goes back one step (returning to the base with the right button is
// disabled), Home returns to the base, the wheel turned forward zooms in around the cursor by
// 0.8 per 120 units (not below the minimum zoom size) and turned backward goes back one step.
class SyntheticSpectrumZoomer : public QwtPlotZoomer
{
public:
    static constexpr double wheelFactor = 0.8;

    explicit SyntheticSpectrumZoomer(QWidget *canvas);

protected:
    void widgetWheelEvent(QWheelEvent *event) override;
};
