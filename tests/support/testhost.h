#pragma once

// Stand-ins for the main window's services, for tests of tabs and panels: a CorvinHost that
// records the log and what was asked of it, with a settings store, an activity registry and
// a receiver readout of its own. Tests set the public fields to shape the answers and may
// override any call. GUI thread only, like the window.

#include "activityregistry.h"
#include "corvinhost.h"
#include "receivercontrol.h"

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QVector>

#include <memory>

// The receiver panel's readout and request queue as plain fields.
class TestReceiverControl : public ReceiverControl
{
public:
    qint64 currentFrequency() const override { return frequency; }
    void setCurrentFrequency(qint64 hertz) override { frequency = hertz; }
    QString frequencyText() const override;
    int modeIndex() const override { return mode; }
    QString modeText() const override;
    int modeCount() const override;
    QString modeCaption(int index) const override;
    void setModeIndex(int index, bool notify) override;
    QString serialPortName() const override { return portName; }
    bool hasSerialPort() const override { return !portName.isEmpty(); }
    void showSignalLevel(int level) override { shownLevel = level; }
    void queueTune(qint64 hertz) override { queuedTunes.append(hertz); }
    void clearRequestQueue() override { queuedTunes.clear(); }
    bool hasPendingTuning() const override { return !queuedTunes.isEmpty(); }
    void pollSignalLevelSoon() override { ++levelPollRequests; }
    bool tuneNow(qint64 hertz) override;
    bool setModeNow(int code) override;
    bool readSignalLevelNow(int *level) override;

    qint64 frequency = 145500000;
    int mode = 1; // NFM
    QString portName;
    int shownLevel = -1;
    QVector<qint64> queuedTunes;
    QVector<QPair<int, bool>> modeChanges; // (index, notify)
    int levelPollRequests = 0;
    // The immediate requests: what they answer, and the frequencies and modes they carried.
    bool immediateResult = true;
    int immediateLevel = 0;
    QVector<qint64> immediateTunes;
    QVector<int> immediateModes;
};

class TestHost : public QObject, public CorvinHost
{
    Q_OBJECT

public:
    // The settings live in an INI file at settingsFile; an empty name gives a file in a
    // temporary folder that disappears with the host.
    explicit TestHost(const QString &settingsFile = QString(), QObject *parent = nullptr);
    ~TestHost() override;

    void appendLog(const QString &message) override { log.append(message); }
    bool isIdle() const override { return m_activities.isIdle(); }
    void restoreReceiver(qint64 frequency, int mode) override;
    void updateConnectionUi() override;
    bool disconnectReceiver(bool forceStandby) override;
    Corvindriver *driver() const override { return receiverDriver; }
    AudioRecorder *audioRecorder() const override { return recorder; }
    QSettings &settings() override { return *m_settings; }
    ActivityRegistry &activities() override { return m_activities; }
    ReceiverControl &receiverControl() override { return receiver; }
    // Fails the test when no standby was given.
    ScanStandby &scanStandby() override;
    bool isAudioInputHeld() const override { return audioInputHeld; }
    QString recordingNameStem() const override;
    void stopAllAudio() override { ++audioStops; }
    void flushSettings() override { m_settings->sync(); }
    bool startAudioInput() override;
    void refreshAudioStatus() override { ++audioStatusRefreshes; }
    void onAudioInputLost(QObject *context, std::function<void()> handler) override;
    bool hasAudioInput() const override { return audioInputPresent; }
    QString audioInputName() const override { return audioInputText; }
    bool hasAudioOutput() const override { return audioOutputPresent; }
    bool listenOnPc() override
    {
        ++listenRequests;
        return listening;
    }

    // Calls every onAudioInputLost handler whose context still exists.
    void loseAudioInput();
    void showDspHelp() override { ++dspHelpRequests; }

    bool logContains(const QString &text) const;
    int logCount(const QString &text) const;

    QStringList log;
    QVector<QPair<qint64, int>> restores; // (frequency, mode) in call order
    QVector<bool> disconnects;            // forceStandby of each call
    int connectionUiUpdates = 0;
    int audioStops = 0;
    int audioInputStarts = 0;         // startAudioInput calls
    bool audioInputStartable = false; // what startAudioInput answers
    int audioStatusRefreshes = 0;
    bool audioInputPresent = true;                      // what hasAudioInput answers
    QString audioInputText = QStringLiteral("Line In"); // what audioInputName answers
    bool audioOutputPresent = true;                     // what hasAudioOutput answers
    bool listening = true;                              // what listenOnPc answers
    int listenRequests = 0;
    int dspHelpRequests = 0;
    bool audioInputHeld = false;
    bool standbyTaken = false; // what disconnectReceiver answers
    Corvindriver *receiverDriver = nullptr;
    AudioRecorder *recorder = nullptr;
    ScanStandby *standby = nullptr;
    TestReceiverControl receiver;

private:
    std::unique_ptr<class QTemporaryDir> m_folder;
    QVector<QPair<QPointer<QObject>, std::function<void()>>> m_inputLostHandlers;
    QSettings *m_settings = nullptr;
    ActivityRegistry m_activities;
};
