#pragma once

#include "replaydialog.h"

#include <QByteArray>
#include <QJsonObject>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <functional>

class AudioPanel;
class AudioRecorder;
class CorvinHost;
class FeatureBankGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The anomaly capture panel of the DSP tab: the capture controls ("Anomaly capture - manual /
// automatic": WAV channel, pre- and post-trigger seconds, Arm/Disarm, Test trigger, Events
// folder, Analyze last WAV, status line) above the live analysis group (FeatureBankGroup).
//
// It arms the audio engine's anomaly session for the receiver's confirmed frequency, disarms it
// (button, event WAV failure, receiver disconnection, program exit; the engine disarms itself
// when the input stops), triggers it, and writes each captured event as a WAV file with a JSON
// sidecar in data/anomaly. It reaches the recorder through blocking queued calls and takes its
// signals queued, ignoring those of an earlier arm. Registered with the host's activity registry
// as Activity::AnomalyCapture; at exit it disarms, and once the audio thread has stopped it
// writes the events that were still on their way. GUI thread only.
class AnomalyPanel : public QWidget
{
    Q_OBJECT

public:
    AnomalyPanel(CorvinHost &host, AudioPanel &audio, QWidget *parent = nullptr);

    // Connects the host's recorder and hands the WAV channel selector to the audio panel. Call
    // once, after the recorder has been moved to its thread.
    void start();

    bool isArmed() const { return m_armed; }
    // The last event WAV written (empty until one is).
    QString lastEventWav() const { return m_lastWav; }

    QPushButton *armButton() const { return m_arm; }
    QPushButton *testTriggerButton() const { return m_test; }
    QString statusText() const;
    FeatureBankGroup *featureBank() const { return m_featureBank; }

    // Where "Replay WAV..." looks first: the DSP tab's current WAV path.
    void setCurrentWavSource(std::function<QString()> currentWav);
    // The replay dialog opened last, while it is open.
    ReplayDialog *replayDialog() const { return m_replay; }

signals:
    // "Analyze last WAV": the DSP analyzer should take this WAV.
    void analyzeWavRequested(const QString &path);

public slots:
    // "Arm" / "Disarm".
    void toggleArm();
    void testTrigger();
    void openEventsFolder();
    // Opens the recording in a replay dialog with the panel's current band, pre/post seconds,
    // WAV channel and detector configuration. An empty path asks for one first; a recording
    // that cannot be replayed gives the warning "Replay error".
    void openReplay(const QString &path = QString());

private:
    void buildUi();
    void registerActivity();
    void arm();
    // Why the panel cannot arm now (the first failing check), or empty.
    QString armRefusal() const;
    void disarm(const QString &status);
    void setArmed(bool armed);
    void setStatus(const QString &text);
    void writePendingEvents();
    template <typename F> auto onAudioThread(F f) const;

    void onStopped();
    void onObservationError(const QString &path);
    void onFeatures(int session, int seconds, int historyRows, const QVector<double> &values,
                    double computeMs);
    void onFeaturesError(int session, const QString &error);
    void onDecision(int session, const QString &status, const QVector<double> &scores, int learned,
                    int active, int saved, int skipped);
    void onProgress(int bufferedSeconds, int remainingSeconds, bool recording);
    void onEvent(const QByteArray &pcm, const QJsonObject &metadata);

    CorvinHost &m_host;
    AudioPanel &m_audio;
    QPointer<AudioRecorder> m_recorder;
    bool m_armed = false;
    bool m_eventShown = false; // the status shows the last event's outcome
    int m_session = 0;
    QString m_lastWav;

    QComboBox *m_channel = nullptr;
    QSpinBox *m_pre = nullptr;
    QSpinBox *m_post = nullptr;
    QPushButton *m_arm = nullptr;
    QPushButton *m_test = nullptr;
    QPushButton *m_folder = nullptr;
    QPushButton *m_analyze = nullptr;
    QLabel *m_status = nullptr;
    FeatureBankGroup *m_featureBank = nullptr;
    std::function<QString()> m_currentWav;
    QPointer<ReplayDialog> m_replay;
};
