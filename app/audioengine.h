#pragma once

#include <QObject>

class AudioRecorder;
class QThread;

// Owns the audio thread and the audio engine living on it. The engine is created here,
// moved to the thread, and deleted with it when the thread finishes. GUI thread only.
class AudioEngine : public QObject
{
    Q_OBJECT

public:
    explicit AudioEngine(QObject *parent = nullptr);
    // Shuts down when still running.
    ~AudioEngine() override;

    AudioRecorder *recorder() const { return m_recorder; }

    // Starts the audio thread (inherited priority).
    void start();
    // Stops all audio on the audio thread and waits for it.
    void stopAll();
    // stopAll, then quits the audio thread and waits for it without a time limit; the engine
    // is gone afterwards (recorder() is null). The recorder's signals are cut first: what it
    // reports while stopping (a recording that cannot be finalised, ...) comes out of
    // errorOccurred before this returns, since no event loop may run any more to deliver it.
    void shutdown();

signals:
    // A message the engine raised during shutdown(); emitted on the calling thread.
    void errorOccurred(const QString &message);

private:
    QThread *m_thread;
    AudioRecorder *m_recorder;
};
