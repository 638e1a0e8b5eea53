#pragma once

#include "dspplot.h"

#include <memory>

namespace NativeWav {
struct Result;
}

// The "Audio level" page's plot ("dspLevelsPlot"): the RMS level of the analysed channel per
// time column. GUI thread only.
class LevelView : public DspPlot
{
    Q_OBJECT

public:
    explicit LevelView(QWidget *parent = nullptr);

    // Rebuilds the plot for a result: one point per time column at its centre; x 0 ... duration;
    // replots and makes that the base zoom.
    void showResult(const std::shared_ptr<const NativeWav::Result> &result);
};
