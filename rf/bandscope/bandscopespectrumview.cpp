#include "bandscopespectrumview.h"

#include "bandscopecolorcurve.h"
#include "bandscopewaterfallwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>

namespace {

const QColor gridColour(QStringLiteral("#64748b"));
const QColor trackerColour(QStringLiteral("#e2e8f0"));

} // namespace

BandScopeSpectrumView::BandScopeSpectrumView(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildControls());

    buildPlot();
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("bandScopePlotSplitter"));
    splitter->addWidget(m_plot);
    splitter->addWidget(buildWaterfall());
    splitter->setSizes({300, 180});
    layout->addWidget(splitter, 1);

    m_stats = new QLabel(this);
    m_stats->setObjectName(QStringLiteral("bandScopeStats"));
    m_stats->setWordWrap(true);
    layout->addWidget(m_stats);
}

QWidget *BandScopeSpectrumView::buildControls()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    m_trace = new QComboBox(row);
    m_trace->setObjectName(QStringLiteral("bandScopeView"));
    m_trace->addItems({tr("Current"), tr("Average"), tr("Peak hold (SW)"), tr("Std deviation"),
                       tr("Current − reference")});
    auto *traceLabel = new QLabel(tr("Trace"), row);
    traceLabel->setBuddy(m_trace);

    m_window = new QSpinBox(row);
    m_window->setObjectName(QStringLiteral("bandScopeAverage"));
    m_window->setRange(2, 256);
    m_window->setValue(16);
    m_window->setToolTip(tr("Rolling window for mean, population standard deviation and "
                            "software peak. Invalid codes are excluded."));
    auto *windowLabel = new QLabel(tr("Window"), row);
    windowLabel->setBuddy(m_window);

    m_rawAxis = new QCheckBox(tr("Raw index"), row);
    m_rawAxis->setObjectName(QStringLiteral("bandScopeRawAxis"));
    m_rawAxis->setChecked(true);
    m_rawAxis->setToolTip(tr("Show received codes by index, including 0 and 1. The RF mapping is "
                             "provisional (manual p. 117)."));

    m_reference = new QPushButton(tr("Set reference"), row);
    m_reference->setObjectName(QStringLiteral("bandScopeReference"));
    m_reference->setToolTip(tr("Freeze the current rolling mean as a reference. Differences use "
                               "native codes."));
    m_reset = new QPushButton(tr("Reset statistics"), row);
    m_reset->setObjectName(QStringLiteral("bandScopeReset"));
    m_export = new QPushButton(tr("Export CSV + raw"), row);
    m_export->setObjectName(QStringLiteral("bandScopeExport"));
    m_historyExport = new QPushButton(tr("Export history"), row);
    m_historyExport->setObjectName(QStringLiteral("bandScopeHistoryExport"));
    m_historyExport->setCheckable(true);
    m_historyExport->setToolTip(tr("Write every sweep to a CSV file as it arrives, with its "
                                   "waterfall as a PNG image beside it. Click again to stop."));

    for (QWidget *widget : std::initializer_list<QWidget *>{
             traceLabel, m_trace, windowLabel, m_window, m_rawAxis, m_reference, m_reset})
        layout->addWidget(widget);
    layout->addStretch(1);
    layout->addWidget(m_export);
    layout->addWidget(m_historyExport);
    return row;
}

void BandScopeSpectrumView::buildPlot()
{
    m_plot = new QwtPlot(this);
    m_plot->setObjectName(QStringLiteral("bandScopePlot"));
    m_plot->setToolTip(tr("Blue = low, red = high. Signed difference: blue negative, orange "
                          "positive. Native codes: 0 not measured, 1 out of range, 2–15 "
                          "measured."));
    m_plot->setCanvasBackground(QColor(QLatin1String(BandScopeView::background)));
    for (const int axis : {QwtPlot::yLeft, QwtPlot::xBottom})
        m_plot->axisScaleEngine(axis)->setAttribute(QwtScaleEngine::Floating, true);

    auto *grid = new QwtPlotGrid;
    grid->setPen(gridColour, 0.0, Qt::DotLine);
    grid->attach(m_plot);

    auto *picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                                     QwtPicker::AlwaysOn, m_plot->canvas());
    picker->setStateMachine(new QwtPickerTrackerMachine);
    picker->setTrackerPen(trackerColour);
    picker->setRubberBandPen(trackerColour);

    m_curve = new BandScopeColorCurve;
    m_curve->attach(m_plot);
}

QWidget *BandScopeSpectrumView::buildWaterfall()
{
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *header = new QHBoxLayout;
    auto *title = new QLabel(tr("Waterfall · newest at top"), box);
    title->setObjectName(QStringLiteral("bandScopeWaterfallTitle"));
    m_depth = new QSpinBox(box);
    m_depth->setObjectName(QStringLiteral("bandScopeHistoryDepth"));
    m_depth->setRange(8, 256);
    m_depth->setValue(64);
    m_depth->setToolTip(tr("Each row is one completed sweep. Actual UTC times are shown below."));
    auto *rowsLabel = new QLabel(tr("Rows"), box);
    rowsLabel->setBuddy(m_depth);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(rowsLabel);
    header->addWidget(m_depth);
    layout->addLayout(header);

    m_waterfall = new BandScopeWaterfallWidget(box);
    m_waterfall->setObjectName(QStringLiteral("bandScopeHistoryView"));
    layout->addWidget(m_waterfall, 1);
    m_time = new QLabel(box);
    m_time->setObjectName(QStringLiteral("bandScopeHistoryTime"));
    layout->addWidget(m_time);
    return box;
}

void BandScopeSpectrumView::showPlot(const BandScopeView::Plot &plot)
{
    m_curve->setView(plot.view);
    m_curve->setSamples(plot.points);
    m_plot->setAxisTitle(QwtPlot::yLeft, plot.left.title);
    m_plot->setAxisScale(QwtPlot::yLeft, plot.left.low, plot.left.high, plot.left.step);
    m_plot->setAxisMaxMinor(QwtPlot::yLeft, 0);
    m_plot->setAxisTitle(QwtPlot::xBottom, plot.bottom.title);
    m_plot->setAxisScale(QwtPlot::xBottom, plot.bottom.low, plot.bottom.high, plot.bottom.step);
    m_plot->setAxisMaxMinor(QwtPlot::xBottom, 0);
    m_plot->replot();
}

void BandScopeSpectrumView::showStatistics(const QString &line)
{
    m_stats->setText(line);
}

void BandScopeSpectrumView::showWaterfall(const QImage &image, const QString &timeText)
{
    m_waterfall->setImage(image);
    m_time->setText(timeText);
}
