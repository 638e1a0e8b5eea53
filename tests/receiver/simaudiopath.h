#pragma once

// The simulated receiver on the real audio path, for tests and the tune-to-capture benchmark:
// the simulator (paced, default band plan) writes its demodulated audio in real time into the
// private PulseAudio server's 48 kHz mono pipe source, and the audio engine captures that source
// on its own thread. Every captured block is also kept with the time it reached the engine.
// Needs PULSE_SERVER and CORVIN_AUDIO_FIFO (scripts/pulse-test-server). GUI thread.

#include "audioblockconsumer.h"
#include "audiofifowriter.h"
#include "audiorecorder.h"
#include "corvindriver.h"
#include "rxsimulator.h"

#include <QThread>

#include <memory>
#include <mutex>
#include <vector>

class SimAudioPath
{
public:
    SimAudioPath();
    ~SimAudioPath();
    SimAudioPath(const SimAudioPath &) = delete;
    SimAudioPath &operator=(const SimAudioPath &) = delete;

    // Starts the simulator, opens the driver on it, starts the audio and the engine's input and
    // waits until captured audio flows. False with `error` set when any of it fails.
    bool start(QString *error);

    RxSimulator &simulator() { return m_sim; }
    Corvindriver &driver() { return m_driver; }
    AudioRecorder *recorder() { return m_recorder; }

    // Frames captured so far (first channel).
    qint64 capturedFrames() const;
    // The captured samples from frame `first` on.
    std::vector<qint16> samplesFrom(qint64 first) const;
    // Steady-clock time (ns) at which the engine received the first sample at or after frame
    // `first` whose magnitude reaches `threshold`; -1 when none has arrived.
    qint64 arrivalOfFirstAbove(qint64 first, int threshold) const;

    static qint64 nowNs();

private:
    // Keeps every block the engine captures, with its arrival time. Audio thread.
    class Capture : public AudioBlockConsumer
    {
    public:
        void processBlock(const qint16 *samples, int frameCount,
                          const QAudioFormat &format) override;
        void inputStopped() override {}

        mutable std::mutex lock;
        std::vector<qint16> samples;
        std::vector<std::pair<qint64, qint64>> blockEnds; // (end frame, arrival ns)
    };

    RxSimulator m_sim;
    Corvindriver m_driver;
    std::unique_ptr<AudioFifoWriter> m_audio;
    QThread m_thread;
    AudioRecorder *m_recorder = nullptr;
    Capture m_capture;
};
