#pragma once

#include "dspplot.h"

#include <memory>

class QwtPlotMarker;
namespace NativeWav {
struct Result;
}

// The "Spectrogram" page's plot ("dspSpectrogramPlot"): audio frequency against time, coloured
// over the 56 dB below the spectrogram's reference level, with the band highlight and the event
// marker. GUI thread only.
class SpectrogramView : public DspPlot
{
    Q_OBJECT

public:
    explicit SpectrogramView(QWidget *parent = nullptr);

    // Rebuilds the plot for a result: grid, spectrogram (when the result has display data),
    // band highlight and hidden marker; axes 0 ... duration and lowHz ... highHz; replots and
    // makes that the base zoom.
    void showResult(const std::shared_ptr<const NativeWav::Result> &result);

    // Puts the cross-hair marker on (seconds, hertz) and shows it; takes effect at the next
    // replot.
    void showMarker(double seconds, double hertz);
    bool isMarkerShown() const;
    QPointF markerPosition() const;

private:
    QwtPlotMarker *m_marker = nullptr;
};
