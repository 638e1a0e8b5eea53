#pragma once

#include "recordersyntheticaudio.h"
#include "syntheticsweep.h"

#include <QWidget>

class CorvinHost;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class SyntheticPlot;

// The RF Synthetic Spectrum page: the sweep's parameters ("RF tuning", "Audio and FFT"), its
// buttons, progress and status, the plot with its cursor readout, the CSV export and the help.
// The sweep itself is SyntheticSweep on the host's receiver driver and audio engine; the tab
// registers it as the SyntheticSweep activity with its control refresh and shutdown step, and
// supplies what is the window's: the receiver panel's frequency and mode, keep-awake, the
// receiver restore and the audio panel. GUI thread only.
class SyntheticTab : public QWidget
{
    Q_OBJECT

public:
    explicit SyntheticTab(CorvinHost &host, QWidget *parent = nullptr);

    SyntheticSweep &sweep() { return *m_sweep; }
    SyntheticPlot *plot() const { return m_plot; }

    // The sweep's parameters as the controls hold them.
    SyntheticParameters parameters() const;
    // Writes the CSV of the last sweep to path without a dialog; the result text goes to the
    // status line and the log. True when saved.
    bool exportCsv(const QString &path);

public slots:
    void startSweep();
    void stopSweep();
    void exportCsvWithDialog();
    void showHelp();
    void fullView();
    void updateControls();

private:
    QGroupBox *buildTuningGroup();
    QGroupBox *buildAudioGroup();
    void connectSweep();
    void readSettings();
    void writeSettings() const;
    void showProgress(int completed, int planned, double etaSeconds, double clipMaxPercent);
    void showReadout(const QPointF &position);
    void setStatus(const QString &text);
    bool audioStreamsIdle() const;

    CorvinHost &m_host;
    RecorderSyntheticAudio m_audio;
    SyntheticSweep *m_sweep = nullptr;

    QGroupBox *m_tuning = nullptr;
    QGroupBox *m_audioGroup = nullptr;
    QDoubleSpinBox *m_startMHz = nullptr;
    QDoubleSpinBox *m_endMHz = nullptr;
    QSpinBox *m_step = nullptr;
    QSpinBox *m_low = nullptr;
    QSpinBox *m_high = nullptr;
    QSpinBox *m_bin = nullptr;
    QComboBox *m_channel = nullptr;
    QSpinBox *m_duration = nullptr;
    QSpinBox *m_settle = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_fullView = nullptr;
    QPushButton *m_help = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_readout = nullptr;
    SyntheticPlot *m_plot = nullptr;
};
