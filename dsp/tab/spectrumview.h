#pragma once

#include "dspplot.h"

#include <memory>

namespace NativeWav {
struct Result;
}

// The "Spectrum" page's plot ("dspSpectrumPlot"): the mean power per analysed bin against
// audio frequency, thinned to about 10 000 points, with the band highlight. GUI thread only.
class SpectrumView : public DspPlot
{
    Q_OBJECT

public:
    explicit SpectrumView(QWidget *parent = nullptr);

    // Rebuilds the plot for a result (curve only when frequencies and levels agree in length);
    // x lowHz ... highHz; replots and makes that the base zoom.
    void showResult(const std::shared_ptr<const NativeWav::Result> &result);
};
