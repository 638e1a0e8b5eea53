#pragma once

#include "corvinhost.h"
#include "receiverpanelui.h"

#include <QHash>

#include <QWidget>

class ActivityRegistry;
class AnomalyPanel;
class AudioEngine;
class AudioPanel;
class DspTab;
class FavoritesTab;
class PersistentLog;
class QLabel;
class QLayout;
class QSettings;
class QTabWidget;
class QTimer;
class QVBoxLayout;
class ReceiverPanel;
class ScanStandby;
class SettingsPage;

// The main window: owns the receiver driver, the settings store, the persistent log, the
// receiver panel and every tab, and implements the services the tabs reach through
// CorvinHost. Lives for the whole run; GUI thread only.
class Corvin : public QWidget, public CorvinHost
{
    Q_OBJECT

public:
    static constexpr int initialWidth = 1160;
    static constexpr int initialHeight = 1135;

    explicit Corvin(QWidget *parent = nullptr);
    // Stops every activity, stores the settings and disconnects, in the shutdown order.
    ~Corvin() override;

    // CorvinHost
    bool isIdle() const override;
    void restoreReceiver(qint64 frequency, int mode) override;
    void updateConnectionUi() override;
    bool disconnectReceiver(bool forceStandby) override;
    Corvindriver *driver() const override { return m_driver; }
    AudioRecorder *audioRecorder() const override;
    QSettings &settings() override { return *m_settings; }
    ActivityRegistry &activities() override { return *m_activities; }
    ReceiverControl &receiverControl() override;
    ScanStandby &scanStandby() override { return *m_standby; }
    bool isAudioInputHeld() const override;
    QString recordingNameStem() const override;
    void stopAllAudio() override;
    void flushSettings() override;
    bool startAudioInput() override;
    void refreshAudioStatus() override;
    void onAudioInputLost(QObject *context, std::function<void()> handler) override;
    bool hasAudioInput() const override;
    QString audioInputName() const override;
    bool hasAudioOutput() const override;
    bool listenOnPc() override;
    void showDspHelp() override;

    // Tabs and panels of other features find their places here.
    QTabWidget *mainTab() const { return m_mainTab; }
    QTabWidget *controlsTab() const { return m_controls; }
    SettingsPage *settingsPage() const { return m_settingsPage; }
    AudioPanel *audioPanel() const { return m_audioPanel; }
    AnomalyPanel *anomalyPanel() const { return m_anomalyPanel; }
    DspTab *dspTab() const { return m_dspTab; }
    // The layout of a page's content ("Main", "RxBandScope", "Favorites", ...); null for a
    // name the window does not have.
    QVBoxLayout *pageLayout(const QString &pageName) const;

public slots:
    void appendLog(const QString &message) override;
    void errorOccurred(const QString &message);
    // Creates the data folder and asks the desktop to show it.
    void openDataFolder();

private:
    void buildUi();
    QWidget *buildHeader();
    void buildPages();
    QVBoxLayout *addPage(QTabWidget *tabs, const QString &name, const QString &caption,
                         bool scrolling);
    void setUpFeatures();
    void showPage(const QString &pageName);
    void registerOwnShutdownSteps();
    void updateClocks();

    struct Page
    {
        QWidget *page;
        QVBoxLayout *content;
    };
    QHash<QString, Page> m_pages;
    ReceiverPanelUi m_panelUi;
    QLayout *m_peakMeterSlot = nullptr;
    QTabWidget *m_mainTab = nullptr;
    QTabWidget *m_controls = nullptr;
    SettingsPage *m_settingsPage = nullptr;
    QLabel *m_localTime = nullptr;
    QLabel *m_universalTime = nullptr;
    QTimer *m_clockTimer = nullptr;

    ActivityRegistry *m_activities = nullptr;
    PersistentLog *m_log = nullptr;
    Corvindriver *m_driver = nullptr;
    QSettings *m_settings = nullptr;
    ReceiverPanel *m_panel = nullptr;
    AudioEngine *m_audio = nullptr;
    AudioPanel *m_audioPanel = nullptr;
    AnomalyPanel *m_anomalyPanel = nullptr;
    DspTab *m_dspTab = nullptr;
    ScanStandby *m_standby = nullptr;
    FavoritesTab *m_favorites = nullptr;
};
