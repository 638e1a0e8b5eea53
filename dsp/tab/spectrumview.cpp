#include "spectrumview.h"

#include "analysisresult.h"
#include "viewgeometry.h"

#include <QVector>

SpectrumView::SpectrumView(QWidget *parent)
    : DspPlot(QStringLiteral("dspSpectrumPlot"), tr("Audio frequency (Hz)"), tr("Power (dBFS/bin)"),
              parent)
{
    setExportViewName(QStringLiteral("spectrum"));
}

void SpectrumView::showResult(const std::shared_ptr<const NativeWav::Result> &result)
{
    clearItems();
    const std::vector<double> &f = result->spectrumFrequencies;
    const std::vector<double> &level = result->meanSpectrumDb;
    if (!f.empty() && f.size() == level.size()) {
        const std::vector<std::size_t> points = thinnedIndices(f.size());
        QVector<double> x;
        QVector<double> y;
        x.reserve(static_cast<int>(points.size()));
        y.reserve(static_cast<int>(points.size()));
        for (std::size_t i : points) {
            x.append(f[i]);
            y.append(level[i]);
        }
        addCurve(QStringLiteral("Mean spectrum"), QColor(QStringLiteral("#45D6D1")), x, y);
    }
    addBandZone(Qt::Vertical);
    const AxisRange y = spectrumLevelRange(level);
    setView(result->lowHz, result->highHz, y.min, y.max);
    makeCurrentViewBase();
}
