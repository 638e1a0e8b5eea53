#pragma once

#include "bandscopeview.h"

#include <QWidget>

class BandScopeColorCurve;
class BandScopeWaterfallWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QwtPlot;

// The band scope's "Spectrum and waterfall" page: the trace and statistics controls, the plot
// with its level-coloured sticks, the waterfall of past sweeps with its time line, the
// statistics line and the export buttons. It shows what it is given; the tab decides what.
// GUI thread only.
class BandScopeSpectrumView : public QWidget
{
    Q_OBJECT

public:
    explicit BandScopeSpectrumView(QWidget *parent = nullptr);

    void showPlot(const BandScopeView::Plot &plot);
    void showStatistics(const QString &line);
    void showWaterfall(const QImage &image, const QString &timeText);

    QComboBox *trace() const { return m_trace; }
    QSpinBox *window() const { return m_window; }
    QCheckBox *rawAxis() const { return m_rawAxis; }
    QPushButton *reference() const { return m_reference; }
    QPushButton *reset() const { return m_reset; }
    QSpinBox *historyDepth() const { return m_depth; }
    QPushButton *exportButton() const { return m_export; }
    QPushButton *historyExportButton() const { return m_historyExport; }
    QwtPlot *plot() const { return m_plot; }
    BandScopeColorCurve *curve() const { return m_curve; }

private:
    QWidget *buildControls();
    QWidget *buildWaterfall();
    void buildPlot();

    QComboBox *m_trace = nullptr;
    QSpinBox *m_window = nullptr;
    QCheckBox *m_rawAxis = nullptr;
    QPushButton *m_reference = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_historyExport = nullptr;
    QwtPlot *m_plot = nullptr;
    BandScopeColorCurve *m_curve = nullptr;
    QSpinBox *m_depth = nullptr;
    BandScopeWaterfallWidget *m_waterfall = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_stats = nullptr;
};
