#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// Reads command lines from a FIFO (created when missing) on a thread of its own and hands
// each non-empty line to a callback. The FIFO stays open for reading and writing, so writers
// may come and go (`echo "tone 1000 5 -20" > FIFO`) without an end of file in between.
class ControlReader
{
public:
    ControlReader(QString path, std::function<void(const QString &)> onLine);
    ~ControlReader();
    ControlReader(const ControlReader &) = delete;
    ControlReader &operator=(const ControlReader &) = delete;

    bool start(QString *error);
    void stop();

private:
    void run();

    QString m_path;
    std::function<void(const QString &)> m_onLine;
    int m_fd = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};
