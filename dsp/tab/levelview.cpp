#include "levelview.h"

#include "analysisresult.h"
#include "viewgeometry.h"

#include <QVector>

LevelView::LevelView(QWidget *parent)
    : DspPlot(QStringLiteral("dspLevelsPlot"), tr("Time (s)"), tr("RMS level (dBFS)"), parent)
{
    setExportViewName(QStringLiteral("level"));
}

void LevelView::showResult(const std::shared_ptr<const NativeWav::Result> &result)
{
    clearItems();
    const std::vector<double> &level = result->levelDb;
    const double duration = result->durationSeconds;
    const auto columns = static_cast<double>(std::max(result->timeColumns, 1));
    if (!level.empty()) {
        QVector<double> x;
        QVector<double> y;
        x.reserve(static_cast<int>(level.size()));
        y.reserve(static_cast<int>(level.size()));
        for (std::size_t i = 0; i < level.size(); ++i) {
            x.append((static_cast<double>(i) + 0.5) * duration / columns);
            y.append(level[i]);
        }
        addCurve(QStringLiteral("RMS"), QColor(QStringLiteral("#70D5E8")), x, y);
    }
    const AxisRange y = rmsLevelRange(level);
    setView(0.0, duration, y.min, y.max);
    makeCurrentViewBase();
}
