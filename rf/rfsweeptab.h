#pragma once

#include "rfsweep.h"

#include <QWidget>

#include <functional>

class CorvinHost;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class RfSweepPlot;

// The Frequency Spectrum Analyzer page: the S-meter sweep's parameters, start and stop, the
// progress, the plot, the strongest frequencies, the band statistics, the report button and
// the status line. It runs an RfSweep on the host's receiver driver and supplies what belongs
// to the main window: the one-activity rule, the receiver panel's readouts and tuning restore,
// keep-awake and the end-of-scan standby, the settings and the log.
//
// Registers the RfSweep activity, its control refresh and its shutdown steps (stop on exit,
// store the settings) with the host. GUI thread only.
class RfSweepTab : public QWidget
{
    Q_OBJECT

public:
    // Opens a saved report in the desktop's browser; false when it could not.
    using ReportOpener = std::function<bool(const QString &path)>;

    explicit RfSweepTab(CorvinHost &host, QWidget *parent = nullptr);

    // Replaces the desktop browser (tests).
    void setReportOpener(ReportOpener opener) { m_openReport = std::move(opener); }

    bool isRunning() const { return m_sweep->isRunning(); }
    const RfSweep &sweep() const { return *m_sweep; }

    // Enables the controls for the connection, activity and standby state.
    void updateControls();
    // Writes the five sweep settings.
    void storeSettings();

public slots:
    // "Start sweep": validates the parameters and starts when the receiver is connected and
    // nothing else runs.
    void startSweep();
    // The stop button: cancels this tab's standby countdown, or else stops the sweep.
    void stopButton();
    // "Open / Print HTML": opens the last report.
    void openReport();

private:
    void buildUi();
    QWidget *buildParameters();
    QWidget *buildResults();
    void restoreSettings();
    void connectSweep();
    void onStarted();
    void onFinished(RfSweep::Outcome outcome, const QString &message);
    void refreshResults();
    void refreshBandView();
    bool canStart() const;

    CorvinHost &m_host;
    RfSweep *m_sweep = nullptr;
    ReportOpener m_openReport;
    qint64 m_savedFrequency = 0;
    int m_savedMode = 0;

    QDoubleSpinBox *m_start = nullptr;
    QDoubleSpinBox *m_end = nullptr;
    QDoubleSpinBox *m_step = nullptr;
    QComboBox *m_mode = nullptr;
    QSpinBox *m_settle = nullptr;
    QCheckBox *m_standbyAfter = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    RfSweepPlot *m_plot = nullptr;
    QTableWidget *m_topSignals = nullptr;
    QComboBox *m_statsBand = nullptr;
    QLabel *m_statistics = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_printButton = nullptr;
    QLabel *m_status = nullptr;
};
