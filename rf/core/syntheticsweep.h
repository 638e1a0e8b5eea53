#pragma once

#include "syntheticgrid.h"
#include "syntheticplan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class Corvindriver;

// The audio engine as the synthetic sweep uses it: blocking calls from the GUI thread into the
// audio thread (see AudioRecorder). Implemented by the front end.
class SyntheticAudio
{
public:
    virtual ~SyntheticAudio() = default;
    // Starts the selected input unless it runs. True when it runs; then *sampleRate and
    // *channels describe it and *opened tells whether this call started it.
    virtual bool startInput(int *sampleRate, int *channels, bool *opened) = 0;
    // Arms one capture (see AudioRecorder::requestRfCapture); false when refused.
    virtual bool requestCapture(int request, int captureMs, int binHz, int channel) = 0;
    virtual void cancelCapture() = 0;
    // Stops the input the sweep started.
    virtual void stopInput() = 0;
};

// The synthetic RF spectrum sweep: tunes the receiver in USB to each slice of the plan, waits
// the settle time, has the audio engine capture and estimate the audio PSD, and combines each
// slice into the RF grid. One timer serves both waits (settle, then capture + 4000 ms as a
// timeout); the request id ties each rfPsdReady to its request and is bumped before every
// request and at finish, so late or repeated results are ignored. Every failure after the start
// keeps the completed slices and asks for the receiver to be restored.
//
// Lives on the GUI thread with the driver; driver and audio calls are synchronous. Signals are
// emitted synchronously, in the order the sweep takes its steps.
class SyntheticSweep : public QObject
{
    Q_OBJECT

public:
    static constexpr int usbMode = 3;
    static constexpr int captureTimeoutMarginMs = 4000;

    SyntheticSweep(Corvindriver &driver, SyntheticAudio &audio, QObject *parent = nullptr);

    // Validates, starts the audio input and checks the channel and passband, then sets the
    // receiver to USB and tunes the first slice (the frequency and mode given are restored at
    // the end). False with the status text in *status when nothing started; true once running,
    // even when the USB change already finished the sweep.
    bool start(const SyntheticParameters &parameters, qint64 savedFrequency, int savedMode,
               QString *status);
    // Finishes a running sweep with message ("Stopped; partial data retained.", the exit and
    // lost-input messages); nothing when idle.
    void stop(const QString &message);
    // The audio engine's rfPsdReady.
    void onPsdReady(int request, double spacing, const QVector<double> &power, int windows,
                    double clipped);

    bool isRunning() const { return m_running; }
    bool capturePending() const { return m_pending; }
    bool timerActive() const { return m_timer.isActive(); }
    int requestId() const { return m_request; }
    const SyntheticParameters &parameters() const { return m_parameters; }
    const QVector<qint64> &plan() const { return m_plan; }
    int completedSlices() const { return m_completed; }
    int plannedSlices() const { return m_plan.size(); }
    double maxClipFraction() const { return m_clipMax; }
    QString startUtc() const { return m_startUtc; }
    const SyntheticGrid &grid() const { return m_grid; }

    static QString invalidMessage();
    static QString stoppedMessage();
    static QString stoppedOnExitMessage();
    static QString inputLostMessage();

signals:
    // The sweep is initialised (empty grid, 0 of planned slices): write the settings, reset the
    // progress, the trace and the view.
    void started(int plannedSlices);
    // The receiver is in USB: mirror it on the mode list, hold keep-awake.
    void modeSet(int mode);
    // The receiver is on a slice's frequency (Hz).
    void tuned(qint64 frequency);
    void statusChanged(const QString &text);
    // A slice was combined: progress and a new trace.
    void sliceCombined(int completed, int planned, double etaSeconds, double clipMaxPercent);
    // Finish: restore the receiver, release keep-awake.
    void restoreRequested(qint64 frequency, int mode);
    void logMessage(const QString &text);
    // The sweep is over; text as shown in the status line.
    void finished(const QString &text);

private:
    void tuneSlice();
    void onTimer();
    void finish(const QString &message);

    Corvindriver &m_driver;
    SyntheticAudio &m_audio;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    SyntheticParameters m_parameters;
    QVector<qint64> m_plan;
    SyntheticGrid m_grid;
    bool m_running = false;
    bool m_inputOpened = false;
    bool m_pending = false;
    int m_completed = 0;
    int m_request = 0;
    double m_clipMax = 0.0;
    QString m_startUtc;
    qint64 m_savedFrequency = 0;
    int m_savedMode = 0;
};
