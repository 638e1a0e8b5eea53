#pragma once

#include "audiorecorder.h"

#include <QAudioDeviceInfo>
#include <QFrame>
#include <QList>
#include <QPointer>

class CorvinHost;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

// The PC audio panel of the Receiver page ("audioPanel"): input and output selectors, the three
// audio actions (Listen on PC, Audio spectrum, Record WAV), volume, playback filter and the status
// line. It drives the window's AudioRecorder from the GUI thread through blocking queued calls
// (volume and filter through plain queued ones) and shows the recorder's real state.
//
// Use: construct it, place it, then call start() once the recorder runs on its thread. The
// activities that hold the input themselves (RF synthetic sweep, Smart Scan, favourite
// measurement, anomaly capture) are read from the host's activity registry; they call
// refreshAudioStatus() when they start or end, and react to inputLost(). GUI thread only.
class AudioPanel : public QFrame
{
    Q_OBJECT

public:
    enum AudioAction { Listen = 0, Spectrum = 1, Record = 2 };

    explicit AudioPanel(CorvinHost &host, QWidget *parent = nullptr);

    // Connects the host's recorder, applies the stored filter preset and volume and fills the
    // device lists. Call once, after the recorder has been moved to its thread.
    void start();

    // The anomaly capture panel's WAV channel selector (index 0 = left/mono, 1 = right): Record
    // WAV records its channel and the panel disables it while recording or armed. Without it the
    // channel is 0.
    void setWavChannelSelector(QComboBox *selector);
    // Puts the input peak meter widget under the panel's controls (the panel does not own its
    // logic; connect it to the recorder's inputPeakChanged).
    void addPeakMeter(QWidget *meter);

    // Selected devices (null when the list is empty).
    QAudioDeviceInfo selectedInputDevice() const;
    QAudioDeviceInfo selectedOutputDevice() const;
    QString lastAudioError() const { return m_lastError; }
    // Clears the last audio error and starts the selected input on the audio thread
    // (blocking); true when the input runs. For activities that measure the input.
    bool startSelectedInput();
    // True when the input list holds at least one device.
    bool hasInputDevices() const { return !m_inputs.isEmpty(); }
    bool hasOutputDevices() const { return !m_outputs.isEmpty(); }
    // The input selector's text.
    QString selectedInputText() const;
    // True while "Listen on PC" is on.
    bool isListening() const;

    // "hh:mm:ss" of a recording duration in seconds.
    static QString durationText(qint64 seconds);

public slots:
    void applyAudioAction(AudioPanel::AudioAction action, bool enable);
    void refreshAudioStatus();
    void refreshAudioDevices();

signals:
    // Audio spectrum was switched on: the window shows its Spectrum page.
    void spectrumPageRequested();
    // After every status refresh, with the recorder's state (the spectrum page follows it).
    void audioStateRefreshed(const AudioRecorderState &state);
    // The input stopped although an activity holding it still runs; that activity stops itself.
    void inputLost();
    // The input selector changed (the Smart Scan controls follow it).
    void inputDeviceChanged();

private:
    void buildUi();
    void connectControls();
    void onRecorderError(const QString &message);
    void onVolumeChanged(int value);
    void onFilterChanged(int index);
    bool syntheticSweepRunning() const;
    bool eventBufferArmed() const;
    QString recordingPath() const;
    QString statusText(const AudioRecorderState &state) const;
    QString statusToolTip(const AudioRecorderState &state) const;
    template <typename F> auto onAudioThread(F f) const;

    CorvinHost &m_host;
    QPointer<AudioRecorder> m_recorder;
    QPointer<QComboBox> m_wavChannel;
    QList<QAudioDeviceInfo> m_inputs;
    QList<QAudioDeviceInfo> m_outputs;
    QString m_lastError;

    QComboBox *m_inputCombo = nullptr;
    QComboBox *m_outputCombo = nullptr;
    QPushButton *m_refreshButton = nullptr;
    QPushButton *m_listenButton = nullptr;
    QPushButton *m_spectrumButton = nullptr;
    QPushButton *m_recordButton = nullptr;
    QLabel *m_duration = nullptr;
    QSlider *m_volume = nullptr;
    QLabel *m_volumeValue = nullptr;
    QComboBox *m_filterCombo = nullptr;
    QLabel *m_status = nullptr;
};
