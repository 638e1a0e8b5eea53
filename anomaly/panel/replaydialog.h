#pragma once

#include "detectorsettings.h"
#include "replayrunner.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryFile>

#include <exception>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

// "Anomaly replay - offline": drives a ReplayRunner over an opened PCM16 recording, one second
// of audio per timer tick (1x, 5x, 10x or as fast as the event loop turns), with the band,
// pre/post seconds and detector configuration the panel had when the dialog opened. Shows the
// last second's metrics, the decisions with their simulated captures (the newest 5000), and
// keeps every row of the replay CSV in a temporary file that "Export CSV..." copies out. It
// never writes WAV files and never touches the receiver or the live session. Closing it
// discards everything. GUI thread only.
class ReplayDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int eventRowLimit = 5000;

    // runner: an opened recording (ReplayRunner::open succeeded). settings.channel (0-based)
    // proposes the WAV channel, limited to the recording's channels.
    ReplayDialog(std::unique_ptr<ReplayRunner> runner, const QString &wavPath,
                 const AnomalySettings &settings, QWidget *parent = nullptr);
    ~ReplayDialog() override;

    // The speeds of the "Speed" combo, in its order.
    enum Speed { Speed1x, Speed5x, Speed10x, SpeedMaximum };

    // Writes the CSV rows so far to path (a name ending in ".csv", any case) and returns an
    // empty string, or the warning to show: "Choose a .csv filename", "CSV export failed".
    // The replay can go on afterwards.
    QString exportTo(const QString &path);

    // A replay error in the running language (the runner's messages are English).
    static QString errorText(const std::exception &e);

    // What the replay runs with: the panel's settings when the dialog opened.
    const AnomalySettings &settings() const { return m_settings; }
    QString statusText() const;
    bool isRunning() const;
    bool hasEnded() const { return m_ended; }

public slots:
    void start();
    void pause();
    void reset();
    // Asks for a file name and exports, warning on failure.
    void exportCsv();

private:
    void buildUi(const QString &wavPath);
    void tick();
    void finish();
    void fail(const QString &error);
    // The metric table, progress and status of the latest second, if not yet shown.
    void showLatest();
    // A decision row in the event table, the oldest dropped beyond eventRowLimit.
    void appendEvent(const ReplayRunner::Step &step);
    void clearMetricTable();
    void updateButtons();
    int interval() const;

    std::unique_ptr<ReplayRunner> m_runner;
    AnomalySettings m_settings;
    QString m_wavPath;
    QTemporaryFile m_csv;
    bool m_ended = false;
    ReplayRunner::Step m_latest;
    bool m_displayPending = false;
    QElapsedTimer m_displayClock;

    QTimer *m_timer = nullptr;
    QSpinBox *m_channel = nullptr;
    QComboBox *m_speed = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_export = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QTableWidget *m_metrics = nullptr;
    QTableWidget *m_events = nullptr;
};
