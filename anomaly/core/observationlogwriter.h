#pragma once

// Writes observation logs off the audio thread: the session builds each log's JSON where its
// counters live and hands the bytes over; a thread of this writer saves them atomically, one
// after the other in the order given, so a later checkpoint never lands before an earlier one.
// Destroying the writer first finishes every queued write, so the closing log of a disarm made
// just before exit still reaches the disk.

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

class ObservationLogWriter : public QObject
{
    Q_OBJECT

public:
    explicit ObservationLogWriter(QObject *parent = nullptr);
    // Writes what is queued, then stops the thread.
    ~ObservationLogWriter() override;

    // Queues the bytes for an atomic save to path. Any thread; returns at once.
    void write(const QString &path, const QByteArray &json);
    // Returns once every write queued before the call is done.
    void waitForWrites();

signals:
    // The save to path failed (open, short write or commit). Emitted on the writer's thread.
    void writeFailed(const QString &path);

private:
    void run();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::pair<QString, QByteArray>> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
