#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class ActivityRegistry;
class AudioRecorder;
class Corvindriver;
class QObject;
class QSettings;
class ReceiverControl;
class ScanStandby;

// The main window's shared services, as the tabs and the receiver panel see them.
// Implemented by the main window `Corvin`; every tab gets a pointer at construction and
// must not outlive the window. All calls run on the GUI thread.
class CorvinHost
{
public:
    virtual ~CorvinHost() = default;

    // The single entry point of the on-screen and persistent log. Blank messages are
    // ignored; a message with line feeds gives one log line per part.
    virtual void appendLog(const QString &message) = 0;

    // True when no long activity runs (see ActivityRegistry::isIdle).
    virtual bool isIdle() const = 0;

    // Puts the receiver back on a frequency (Hz) and mode code (0-9) after an activity
    // that retuned it; does nothing while the receiver is disconnected. Failures are logged.
    virtual void restoreReceiver(qint64 frequency, int mode) = 0;

    // Refreshes the enabled state of the connect button, the tuning controls and every
    // tab's start buttons. Call it whenever an activity starts or ends.
    virtual void updateConnectionUi() = 0;

    // Disconnects the receiver (standby first when forced or when the user asked for it
    // on disconnect). True only when the standby command was sent successfully.
    virtual bool disconnectReceiver(bool forceStandby) = 0;

    // The receiver driver; owned by the window, lives for the whole run, GUI thread only.
    virtual Corvindriver *driver() const = 0;

    // The audio engine, living on the audio thread: reach it only by queued or blocking
    // queued invocations. Null until the audio engine is created.
    virtual AudioRecorder *audioRecorder() const = 0;

    // The window's settings store (organization "Brevallo", application "Corvin").
    virtual QSettings &settings() = 0;

    // Where the long activities register their running flags, control refreshes and
    // shutdown steps.
    virtual ActivityRegistry &activities() = 0;

    // The receiver panel's state: frequency readout, mode list, S-meter, request queue.
    virtual ReceiverControl &receiverControl() = 0;

    // Keep-awake while scans run and the end-of-scan standby countdown (library
    // corvin_power).
    virtual ScanStandby &scanStandby() = 0;

    // True while an activity holds the audio input for its own measurements or capture
    // (synthetic sweep, Smart Scan, favourite measurement, armed anomaly capture): the audio
    // controls must then leave the input open.
    virtual bool isAudioInputHeld() const = 0;

    // The stem of a new recording's file name, "<frequency MHz>_<mode>" from the receiver
    // panel's readout ("145.500000_NFM").
    virtual QString recordingNameStem() const = 0;

    // Stops every audio stream on the audio thread, waits for it, and refreshes the audio
    // controls.
    virtual void stopAllAudio() = 0;

    // Starts the audio panel's selected input device on the audio thread (blocking), after
    // clearing the panel's last audio error. True when the input runs. Activities that measure
    // the input call it before their measurement.
    virtual bool startAudioInput() = 0;

    // Refreshes the audio panel's controls and status line from the audio engine; an input
    // that nothing uses any more (see isAudioInputHeld) is closed.
    virtual void refreshAudioStatus() = 0;

    // Calls handler each time the audio input is found stopped while an activity holds it; the
    // activity then ends itself. The subscription ends with context.
    virtual void onAudioInputLost(QObject *context, std::function<void()> handler) = 0;

    // True when the audio panel lists at least one audio input device.
    virtual bool hasAudioInput() const = 0;
    // The audio panel's input selector text (empty when the list is empty).
    virtual QString audioInputName() const = 0;
    // True when the audio panel lists at least one audio output device.
    virtual bool hasAudioOutput() const = 0;
    // Turns "Listen on PC" on unless it is on already; true when it is on afterwards.
    virtual bool listenOnPc() = 0;

    // Writes the settings store to disk now.
    virtual void flushSettings() = 0;

    // Opens the DSP help ("DSP Help - Native WAV analysis") in the program's document viewer,
    // in the running language; a failure to open it is logged.
    virtual void showDspHelp() = 0;

protected:
    CorvinHost() = default;
    CorvinHost(const CorvinHost &) = default;
    CorvinHost &operator=(const CorvinHost &) = default;
};
