#include "observationlogwriter.h"

#include <QSaveFile>

ObservationLogWriter::ObservationLogWriter(QObject *parent)
    : QObject(parent)
    , m_thread([this] { run(); })
{}

ObservationLogWriter::~ObservationLogWriter()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void ObservationLogWriter::write(const QString &path, const QByteArray &json)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_queue.emplace_back(path, json);
    }
    m_wake.notify_one();
}

void ObservationLogWriter::waitForWrites()
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_idle.wait(guard, [this] { return m_queue.empty() && !m_busy; });
}

void ObservationLogWriter::run()
{
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;) {
        m_wake.wait(guard, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            // Stopping with nothing left to write.
            return;
        }
        const std::pair<QString, QByteArray> job = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        guard.unlock();

        QSaveFile file(job.first);
        const bool saved = file.open(QIODevice::WriteOnly) &&
                           file.write(job.second) == job.second.size() && file.commit();
        if (!saved)
            emit writeFailed(job.first);

        guard.lock();
        m_busy = false;
        if (m_queue.empty())
            m_idle.notify_all();
    }
}
