#include "spectrogramview.h"

#include "reportfigures.h"
#include "spectrogramlookup.h"
#include "spectrogramraster.h"

#include <qwt_color_map.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_spectrogram.h>

namespace {

// Reference level of the colour scale when no cell is above -145 dB.
constexpr double quietTopDb = -90.0;

QwtColorMap *spectrogramColours()
{
    auto *map =
        new QwtLinearColorMap(QColor(QStringLiteral("#10101C")), QColor(QStringLiteral("#FFF7C8")));
    map->addColorStop(0.22, QColor(QStringLiteral("#3C165E")));
    map->addColorStop(0.48, QColor(QStringLiteral("#A92F69")));
    map->addColorStop(0.72, QColor(QStringLiteral("#EF8137")));
    return map;
}

} // namespace

SpectrogramView::SpectrogramView(QWidget *parent)
    : DspPlot(QStringLiteral("dspSpectrogramPlot"), tr("Time (s)"), tr("Audio frequency (Hz)"),
              parent)
{
    setExportViewName(QStringLiteral("spectrogram"));
}

void SpectrogramView::showResult(const std::shared_ptr<const NativeWav::Result> &result)
{
    clearItems();
    m_marker = nullptr;
    if (SpectrogramLookup(*result).hasData()) {
        auto *spectrogram = new QwtPlotSpectrogram(QStringLiteral("Spectrogram"));
        spectrogram->setRenderThreadCount(1);
        spectrogram->setColorMap(spectrogramColours());
        spectrogram->setData(new SpectrogramRaster(
            result, NativeWav::spectrogramReferenceLevel(result->spectrogramDb, quietTopDb)));
        spectrogram->attach(this);
    }
    addBandZone(Qt::Horizontal);
    m_marker = new QwtPlotMarker;
    m_marker->setLineStyle(QwtPlotMarker::Cross);
    m_marker->setLinePen(QPen(QColor(QStringLiteral("#FFF29B")), 1.2));
    m_marker->setZ(30);
    m_marker->setVisible(false);
    m_marker->attach(this);
    setView(0.0, result->durationSeconds, result->lowHz, result->highHz);
    makeCurrentViewBase();
}

void SpectrogramView::showMarker(double seconds, double hertz)
{
    if (!m_marker)
        return;
    m_marker->setValue(seconds, hertz);
    m_marker->setVisible(true);
}

bool SpectrogramView::isMarkerShown() const
{
    return m_marker && m_marker->isVisible();
}

QPointF SpectrogramView::markerPosition() const
{
    return m_marker ? m_marker->value() : QPointF();
}
