#include "dspinteractiveviews.h"

#include "analysisresult.h"
#include "eventrows.h"
#include "eventstable.h"
#include "levelview.h"
#include "spectrogramlookup.h"
#include "spectrogramview.h"
#include "spectrumview.h"
#include "viewgeometry.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLabel *hintLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

QSpinBox *bandBox(QWidget *parent, const char *name, int minimum, int maximum, int value)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" Hz"));
    return box;
}

std::size_t pulseCount(const NativeWav::Result &result)
{
    std::size_t count = result.events.size();
    for (const NativeWav::PulseTrain &train : result.trains)
        count += train.events.size();
    return count;
}

} // namespace

DspInteractiveViews::DspInteractiveViews(QWidget *parent)
    : QWidget(parent)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("dspInteractiveTabs"));
    m_tabs->setMinimumHeight(290);
    m_spectrogram = new SpectrogramView(this);
    m_spectrum = new SpectrumView(this);
    m_level = new LevelView(this);
    m_tabs->addTab(buildPlotPage("dspSpectrogramTab", m_spectrogram, "dspSpectrogramHint",
                                 tr("Drag a rectangle to zoom; Ctrl + left click to select a "
                                    "band; right click to reset zoom; middle drag to pan.")),
                   tr("Spectrogram"));
    m_tabs->addTab(buildPlotPage("dspSpectrumTab", m_spectrum, "dspSpectrumHint",
                                 tr("Ctrl + left click on a spectral peak to select a frequency "
                                    "band.")),
                   tr("Spectrum"));
    m_tabs->addTab(buildPlotPage("dspLevelsTab", m_level, "dspLevelsHint",
                                 tr("RMS level in dBFS over time. Use the mouse to zoom and pan.")),
                   tr("Audio level"));
    m_tabs->addTab(buildEventsPage(), tr("Events"));

    m_bandLow = bandBox(this, "dspBandLowHz", 0, 95999, 0);
    m_bandHigh = bandBox(this, "dspBandHighHz", 1, 96000, 6000);
    auto *bandLowLabel = hintLabel(this, "dspBandLowLabel", tr("Band from"));
    bandLowLabel->setBuddy(m_bandLow);
    auto *bandHighLabel = hintLabel(this, "dspBandHighLabel", tr("to"));
    bandHighLabel->setBuddy(m_bandHigh);
    m_analyzeBand = new QPushButton(tr("Analyze selected band"), this);
    m_analyzeBand->setObjectName(QStringLiteral("dspAnalyzeBandPB"));
    m_resetZoom = new QPushButton(tr("Reset zoom"), this);
    m_resetZoom->setObjectName(QStringLiteral("dspResetZoomPB"));
    m_info = hintLabel(this, "dspInteractiveInfo",
                       tr("The interactive analysis will appear after Analyze WAV."));

    auto *bandRow = new QHBoxLayout;
    bandRow->addWidget(bandLowLabel);
    bandRow->addWidget(m_bandLow);
    bandRow->addWidget(bandHighLabel);
    bandRow->addWidget(m_bandHigh);
    bandRow->addWidget(m_analyzeBand);
    bandRow->addWidget(m_resetZoom);
    bandRow->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bandRow);
    layout->addWidget(m_info);

    connect(m_bandLow, qOverload<int>(&QSpinBox::valueChanged), this,
            &DspInteractiveViews::updateBandHighlight);
    connect(m_bandHigh, qOverload<int>(&QSpinBox::valueChanged), this,
            &DspInteractiveViews::updateBandHighlight);
    connect(m_onlyBand, &QCheckBox::toggled, this, &DspInteractiveViews::refreshEventsTable);
    connect(m_events, &QTableWidget::cellClicked, this,
            [this](int row) { showEventDetails(row, false); });
    connect(m_events, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { showEventDetails(row, true); });
    connect(m_events, &EventsTable::rowActivated, this,
            [this](int row) { showEventDetails(row, true); });
    connect(m_resetZoom, &QPushButton::clicked, this, &DspInteractiveViews::resetDspZoom);
    connect(m_spectrogram, &DspPlot::bandPicked, this,
            [this](const QPointF &point) { selectBandAt(point.y(), point.x()); });
    connect(m_spectrum, &DspPlot::bandPicked, this,
            [this](const QPointF &point) { selectBandAt(point.x(), -1.0); });
    for (DspPlot *plot : {static_cast<DspPlot *>(m_spectrogram), static_cast<DspPlot *>(m_spectrum),
                          static_cast<DspPlot *>(m_level)}) {
        connect(plot, &DspPlot::logMessage, this, &DspInteractiveViews::logMessage);
        // B stands for a Ctrl + click at the event marker.
        connect(plot, &DspPlot::bandKeyPressed, this, [this] {
            if (m_spectrogram->isMarkerShown()) {
                const QPointF marker = m_spectrogram->markerPosition();
                selectBandAt(marker.y(), marker.x());
            }
        });
    }
    updateEnabledState();
}

QWidget *DspInteractiveViews::buildPlotPage(const char *name, QWidget *plot, const char *hintName,
                                            const QString &hint)
{
    auto *page = new QWidget(this);
    page->setObjectName(QLatin1String(name));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(plot, 1);
    layout->addWidget(hintLabel(page, hintName, hint));
    return page;
}

QWidget *DspInteractiveViews::buildEventsPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("dspEventsTab"));
    m_onlyBand = new QCheckBox(tr("Show only events inside the selected band"), page);
    m_onlyBand->setObjectName(QStringLiteral("dspOnlyBandCB"));
    m_events = new EventsTable(page);
    m_eventHint = hintLabel(page, "dspEventHint",
                            tr("Double-click an event to locate it on the spectrogram."));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_onlyBand);
    layout->addWidget(m_events, 1);
    layout->addWidget(m_eventHint);
    return page;
}

void DspInteractiveViews::setJobRunning(bool running)
{
    m_jobRunning = running;
    updateEnabledState();
}

void DspInteractiveViews::updateEnabledState()
{
    const bool usable = hasResult() && !m_jobRunning;
    m_tabs->setEnabled(usable);
    m_bandLow->setEnabled(usable);
    m_bandHigh->setEnabled(usable);
    m_resetZoom->setEnabled(usable);
    m_analyzeBand->setEnabled(usable && m_bandLow->value() < m_bandHigh->value());
    m_spectrogram->setBandPickEnabled(usable);
    m_spectrum->setBandPickEnabled(usable);
}

AudioBand DspInteractiveViews::band() const
{
    return {m_bandLow->value(), m_bandHigh->value()};
}

void DspInteractiveViews::setInitialBand(int lowHz, int highHz)
{
    const QSignalBlocker lowBlocker(m_bandLow);
    const QSignalBlocker highBlocker(m_bandHigh);
    m_bandLow->setValue(lowHz);
    m_bandHigh->setValue(highHz);
    updateEnabledState();
}

void DspInteractiveViews::showInfo(const QString &text)
{
    m_info->setText(text);
}

void DspInteractiveViews::setExportDefaults(const QString &folder, const QString &stem)
{
    m_spectrogram->setExportDefaults(folder, stem);
    m_spectrum->setExportDefaults(folder, stem);
    m_level->setExportDefaults(folder, stem);
}

void DspInteractiveViews::populateInteractiveViews(std::shared_ptr<const NativeWav::Result> result)
{
    if (!result)
        return;
    m_result = std::move(result);
    m_spectrogram->showResult(m_result);
    m_spectrum->showResult(m_result);
    m_level->showResult(m_result);

    const BandBoxes boxes = bandBoxesFor(*m_result);
    {
        const QSignalBlocker lowBlocker(m_bandLow);
        const QSignalBlocker highBlocker(m_bandHigh);
        m_bandLow->setMaximum(boxes.lowMaximum);
        m_bandHigh->setMaximum(boxes.highMaximum);
        m_bandLow->setValue(boxes.band.lowHz);
        m_bandHigh->setValue(boxes.band.highHz);
    }
    // The old rows' keys name pulses of the old result: empty the table, and let the band
    // update fill it again.
    m_events->clearRows();
    updateBandHighlight();
    updateEnabledState();
    m_info->setText(summaryText());
}

QString DspInteractiveViews::summaryText() const
{
    return tr("Interactive native analysis: %1 s, %2 Hz, channel %3, %4 event(s). Ctrl + click "
              "on the spectrogram or the spectrum selects a band.")
        .arg(QString::number(m_result->durationSeconds, 'f', 2))
        .arg(m_result->sampleRate)
        .arg(m_result->channelUsed)
        .arg(pulseCount(*m_result));
}

void DspInteractiveViews::updateBandHighlight()
{
    const AudioBand b = band();
    const bool valid = hasResult() && b.lowHz < b.highHz;
    const double high = std::max(b.lowHz + 1, b.highHz);
    m_spectrogram->setBandZone(b.lowHz, high, valid);
    m_spectrum->setBandZone(b.lowHz, high, valid);
    m_spectrogram->replot();
    m_spectrum->replot();
    m_analyzeBand->setEnabled(valid && !m_jobRunning);
    if (hasResult() && (m_onlyBand->isChecked() || m_events->rowCount() == 0))
        refreshEventsTable();
}

void DspInteractiveViews::refreshEventsTable()
{
    if (!hasResult()) {
        m_events->clearRows();
        return;
    }
    std::optional<std::pair<double, double>> filter;
    if (m_onlyBand->isChecked()) {
        const AudioBand b = band();
        filter = std::make_pair(double(b.lowHz), double(b.highHz));
    }
    const EventRowSelection selection = selectEventRows(*m_result, filter);
    m_events->showRows(selection.rows);
    m_eventHint->setText(
        tr("%1 event(s) shown%2. Double-click a row to locate it on the spectrogram.")
            .arg(selection.rows.size())
            .arg(selection.truncated()
                     ? tr(" (table limited to 5,000 rows; CSV contains all events)")
                     : QString()));
}

void DspInteractiveViews::showEventDetails(int row, bool locate)
{
    if (!hasResult())
        return;
    const std::optional<EventKey> key = m_events->keyAt(row);
    const NativeWav::PulseEvent *event = key ? eventForKey(*m_result, *key) : nullptr;
    if (!event)
        return;
    m_spectrogram->showMarker(event->timeSeconds, event->frequencyHz);
    m_spectrogram->replot();
    m_info->setText(tr("Event at %1 s | %2 Hz | width %3 ms | peak %4 dBFS | %5 dB above "
                       "background")
                        .arg(QString::number(event->timeSeconds, 'f', 4),
                             QString::number(event->frequencyHz, 'f', 1),
                             QString::number(event->widthMs, 'f', 2),
                             QString::number(event->peakDb, 'f', 1),
                             QString::number(event->snrDb, 'f', 1)));
    if (!locate)
        return;
    m_tabs->setCurrentWidget(m_spectrogram->parentWidget());
    m_spectrogram->resetZoom();
    if (const std::optional<QRectF> window =
            locateWindow(*m_result, event->timeSeconds, event->frequencyHz)) {
        m_spectrogram->zoomTo(*window);
    }
}

void DspInteractiveViews::selectBandAt(double hertz, double seconds)
{
    if (!hasResult() || m_jobRunning || !std::isfinite(hertz))
        return;
    const AudioBand picked = bandAround(*m_result, hertz, m_bandHigh->maximum());
    {
        const QSignalBlocker lowBlocker(m_bandLow);
        const QSignalBlocker highBlocker(m_bandHigh);
        m_bandLow->setValue(picked.lowHz);
        m_bandHigh->setValue(picked.highHz);
    }
    updateBandHighlight();
    QString text = tr("Selected audio band: %1 - %2 Hz. Click 'Analyze selected band' to "
                      "recompute and export its report.")
                       .arg(picked.lowHz)
                       .arg(picked.highHz);
    const SpectrogramLookup lookup(*m_result);
    if (seconds >= 0.0 && lookup.hasData()) {
        const double f = std::clamp(hertz, m_result->lowHz, m_result->highHz);
        text += tr("   At %1 s: %2 dBFS/bin.")
                    .arg(QString::number(seconds, 'f', 3),
                         QString::number(
                             lookup.cell(lookup.rowAtOrAbove(f), lookup.column(seconds)), 'f', 1));
    }
    m_info->setText(text);
}

void DspInteractiveViews::resetDspZoom()
{
    m_spectrogram->resetZoom();
    m_spectrum->resetZoom();
    m_level->resetZoom();
}
