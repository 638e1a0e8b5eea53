#pragma once

#include "rxsimulator.h"

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class AudioEvents;

// Writes the simulated receiver's audio, in real time, as signed 16-bit little-endian
// PCM into a FIFO (for example the one PulseAudio's pipe source reads).
//
// The FIFO is created when missing. While no reader has it open, or while the reader
// lags and the pipe is full, blocks are dropped so the stream stays in real time.
// Runs its own thread; start() and stop() are called from one thread.
class AudioFifoWriter
{
public:
    AudioFifoWriter(std::function<AudioScene()> scene, QString path, int sampleRate, int channels);
    ~AudioFifoWriter();
    AudioFifoWriter(const AudioFifoWriter &) = delete;
    AudioFifoWriter &operator=(const AudioFifoWriter &) = delete;

    // Mixes these events into the audio (not owned; set before start()).
    void setEvents(AudioEvents *events) { m_events = events; }

    bool start(QString *error);
    void stop();

    qint64 framesWritten() const { return m_written; }
    qint64 framesDropped() const { return m_dropped; }

private:
    void run();

    std::function<AudioScene()> m_scene;
    QString m_path;
    int m_rate;
    int m_channels;
    AudioEvents *m_events = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_written{0};
    std::atomic<qint64> m_dropped{0};
};
