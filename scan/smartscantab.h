#pragma once

#include "driverscanreceiver.h"
#include "recorderscanaudio.h"
#include "smartscan.h"

#include <QWidget>

#include <functional>
#include <memory>

class CorvinHost;
class FavoritesTab;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class SmartScanResults;

// The Smart Scan page: the scan's parameters, start and stop, the progress, the results table
// with its summary, reopening a saved archive, listening to a result and importing results into
// Favorites. It runs a SmartScan on the host's receiver and audio engine and supplies what
// belongs to the window: the one-activity rule, the receiver panel's readouts and restore, the
// audio input, keep-awake and the end-of-scan standby, the settings and the log. Its duration
// and minimum-audio boxes also set the favourite measurement's.
//
// Registers the SmartScan activity, its control refresh and its shutdown steps with the host.
// GUI thread only.
class SmartScanTab : public QWidget
{
    Q_OBJECT

public:
    // Asks for an archive to open, starting in a folder or at a file; empty cancels.
    using FileChooser = std::function<QString(const QString &start)>;

    // audio: the measurement to use instead of the host's audio engine (tests).
    SmartScanTab(CorvinHost &host, FavoritesTab &favorites, SmartScanAudio *audio = nullptr,
                 QWidget *parent = nullptr);

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    bool isRunning() const { return m_scan->isRunning(); }
    const SmartScan &scan() const { return *m_scan; }
    SmartScanResults *results() const { return m_results; }

    // Writes the parameters, the mode and Hide Quality 0.
    void storeSettings();

public slots:
    void startSmartScan();
    // Cancels this tab's standby countdown, or else stops the scan.
    void stopButton();
    void openSavedScan();
    // Reads an archive into the table (the work of "Open saved scan" after the dialog).
    void openArchive(const QString &path);
    void listenSelected();
    void importToFavorites();
    void updateScanControls();

private:
    void buildUi();
    QWidget *buildParameters();
    QWidget *buildResults();
    void restoreSettings();
    void connectScan();
    void onStarted();
    void onFinished(const QString &message, bool completed, bool standbyEligible);
    void refreshSummary();
    bool startPossible() const;
    void showMessage(const QString &message);

    CorvinHost &m_host;
    FavoritesTab &m_favorites;
    DriverScanReceiver m_receiver;
    RecorderScanAudio m_recorderAudio;
    SmartScan *m_scan = nullptr;
    FileChooser m_chooseFile;
    SmartScanCounters m_counters;
    QString m_fallbackMode;
    QString m_lastArchive;
    qint64 m_savedFrequency = 0;
    int m_savedMode = 0;

    QDoubleSpinBox *m_start = nullptr;
    QDoubleSpinBox *m_end = nullptr;
    QDoubleSpinBox *m_step = nullptr;
    QComboBox *m_mode = nullptr;
    QSpinBox *m_signalLevel = nullptr;
    QSpinBox *m_audioLevel = nullptr;
    QSpinBox *m_duration = nullptr;
    QCheckBox *m_standbyAfter = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_input = nullptr;
    QLabel *m_status = nullptr;
    SmartScanResults *m_results = nullptr;
    QLabel *m_summary = nullptr;
    QCheckBox *m_hideZero = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_listenButton = nullptr;
    QPushButton *m_toFavoritesButton = nullptr;
};
