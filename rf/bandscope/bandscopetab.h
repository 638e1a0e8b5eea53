#pragma once

#include "bandscopehistory.h"
#include "scopecapture.h"
#include "scopehistoryrecorder.h"
#include "scopeport.h"
#include "scoperecord.h"

#include <QDir>
#include <QWidget>

#include <functional>
#include <memory>

class BandScopeServiceView;
class BandScopeSpectrumView;
class CorvinHost;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTabWidget;
class ScopeService;

// The dialogs the tab asks (replaceable in tests): a save-file dialog that confirms replacing
// an existing file itself, a Yes/No question and a warning.
struct BandScopeDialogs
{
    // Returns the chosen path, empty when cancelled. defaultSuffix is appended to a bare name
    // before the dialog checks whether the file exists.
    std::function<QString(QWidget *parent, const QString &title, const QString &path,
                          const QString &filter, const QString &defaultSuffix)>
        saveFile;
    std::function<bool(QWidget *parent, const QString &title, const QString &text)> ask;
    std::function<void(QWidget *parent, const QString &title, const QString &text)> warn;

    static BandScopeDialogs standard();
};

// The RX Band Scope page: the acquisition controls and status, the spectrum and waterfall
// view, and the serial diagnostics with the service session. It drives a ScopeCapture and a
// ScopeService on the host's receiver driver and supplies what belongs to the main window:
// the one-activity rule, the receiver panel's tuning and request queue, the settings and the
// log. On a failed capture it closes the port itself, never through the normal disconnect.
//
// Registers the band-scope acquisition and service activities, its control refresh and its
// shutdown steps with the host. Texts chosen by language when the tab is built. GUI thread.
class BandScopeTab : public QWidget, private ScopeConnection
{
    Q_OBJECT

public:
    explicit BandScopeTab(CorvinHost &host, QWidget *parent = nullptr);
    ~BandScopeTab() override;

    void setDialogs(BandScopeDialogs dialogs) { m_dialogs = std::move(dialogs); }
    // Replaces the clock of the capture and the session (tests).
    void setClock(const ScopeClock &clock);

    bool isCapturing() const { return m_capture->isRunning(); }
    bool isSessionOpen() const;
    const ScopeRecord &record() const { return m_record; }
    const BandScopeHistory &history() const { return m_history; }
    ScopeCapture &capture() { return *m_capture; }
    ScopeService &service() { return *m_service; }

    // Enables the controls for the connection, activity and session state.
    void updateControls();

public slots:
    // "Capture sweep" (single) and "Start continuous".
    void startCapture(bool continuous);
    // The Stop button.
    void stopCapture();
    // "Open Scope COM" / "Close Scope COM".
    void toggleService();
    // A quick button or the command line's Send.
    void sendCommand(const QString &command);
    // "Export CSV + raw".
    void exportFrame();
    // "Export history" (checkable): starts or stops recording every sweep.
    void toggleHistoryExport(bool on);
    void setReference();
    void resetStatistics();

private:
    QWidget *buildAcquisition();
    void restoreSettings();
    void connectParts();
    void registerActivity();
    bool otherActivityRuns() const;
    QString text(const char *english, const char *italian) const;
    void setStatus(const QString &status);
    void redrawPlot();
    void redrawWaterfall();
    void onCaptureFinished(const QString &summary, bool complete, bool kept);
    void onFrameAdded();
    void stopHistoryExport();
    // data/bandscope, created when it can be.
    static QDir exportFolder();

    // ScopeConnection
    bool restore(QString *error) override;
    void isolate() override;

    CorvinHost &m_host;
    const bool m_italian;
    ScopeRecord m_record;
    BandScopeHistory m_history;
    std::unique_ptr<DriverScopePort> m_port;
    ScopeCapture *m_capture = nullptr;
    ScopeService *m_service = nullptr;
    ScopeHistoryRecorder m_recorder;
    BandScopeDialogs m_dialogs;
    qint64 m_rememberedFrequency = 0;
    int m_rememberedMode = 0;
    QString m_status;

    QDoubleSpinBox *m_centre = nullptr;
    QComboBox *m_span = nullptr;
    QCheckBox *m_peakHold = nullptr;
    QCheckBox *m_backToBack = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_statusLabel = nullptr;
    QTabWidget *m_views = nullptr;
    BandScopeSpectrumView *m_spectrum = nullptr;
    BandScopeServiceView *m_serviceView = nullptr;
};
