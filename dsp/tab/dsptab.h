#pragma once

#include "dspjob.h"

#include <QFutureWatcher>
#include <QWidget>

#include <memory>

class CorvinHost;
class DspControls;
class DspInteractiveViews;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;
class ReportWorkspace;

// The DSP page: pick a WAV recording, set channel, band and pulse contrast, run the offline
// analysis and its report on a worker of the global thread pool (progress polled every 150 ms,
// cancellable), explore the result in the interactive views, open the report. Each successful
// run leaves its own report folder in "dsp" of the data folder. The page's lower part is a
// container for the anomaly panel.
//
// Reaches the log, the settings and the DSP help through CorvinHost; registers the shutdown
// step DspAnalysis (cancel, wait for the job, remove its working folder). The GUI thread never
// waits for the job except at shutdown. GUI thread only.
class DspTab : public QWidget
{
    Q_OBJECT

public:
    explicit DspTab(CorvinHost &host, QWidget *parent = nullptr);
    ~DspTab() override;

    // Hands a recording to the analyzer (the anomaly panel's "Analyze last WAV", the event
    // archive's "Select for DSP"): shows it in the file field, stores it as "DSP/LastWav" and,
    // when resetChannel is set, selects the first channel.
    void setWavFile(const QString &path, bool resetChannel);
    // The recording in the file field (native separators; empty when none).
    QString wavPath() const;

    // The lower part of the page, below the analysis: the anomaly panel goes here.
    void setAnomalyPanel(QWidget *panel);

    bool isRunning() const { return m_run != nullptr; }
    bool hasResult() const;
    QString lastReportFolder() const { return m_lastReport; }
    // Where "Open WAV" starts: the file field's folder, else "grab" below the current
    // directory, else the current directory.
    QString browseStartFolder() const;
    DspInteractiveViews *views() const { return m_views; }

public slots:
    void browseDspWav();
    void updateDspControls();
    void startDspAnalysis();
    void cancelDspAnalysis();
    void pollDspProgress();
    void finishDspAnalysis();
    void openDspReport();
    void openDspReportFolder();
    void analyzeSelectedBand();

private:
    struct Run;

    QWidget *buildActionRow();
    QWidget *buildReportRow();
    void console(const QString &line);
    void setLastReport(const QString &folder);
    void shutdown();

    CorvinHost &m_host;
    std::unique_ptr<Run> m_run;
    QString m_lastReport;
    QString m_analysedWav; // the recording of the held result

    QTimer *m_pollTimer;
    QFutureWatcher<DspRunResult> m_watcher;

    DspControls *m_controls;
    QPushButton *m_analyze = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    DspInteractiveViews *m_views;
    QPlainTextEdit *m_console;
    QPushButton *m_openReport = nullptr;
    QPushButton *m_openFolder = nullptr;
    QPushButton *m_help = nullptr;
    QWidget *m_anomalyArea;
    QVBoxLayout *m_anomalyLayout;
};
