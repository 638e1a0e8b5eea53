#include "controlreader.h"

#include "fifopath.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

ControlReader::ControlReader(QString path, std::function<void(const QString &)> onLine)
    : m_path(std::move(path))
    , m_onLine(std::move(onLine))
{}

ControlReader::~ControlReader()
{
    stop();
}

bool ControlReader::start(QString *error)
{
    if (!ensureFifo(m_path, error))
        return false;
    // Read and write: a FIFO with a writer of its own never reports end of file.
    m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        *error = QStringLiteral("cannot open FIFO %1: %2")
                     .arg(m_path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void ControlReader::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void ControlReader::run()
{
    QByteArray pending;
    char buffer[512];
    while (!m_stop) {
        pollfd descriptor{m_fd, POLLIN, 0};
        if (::poll(&descriptor, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        pending.append(buffer, static_cast<int>(n));
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (!line.isEmpty())
                m_onLine(line);
        }
        // A line that never ends must not grow without bound.
        if (pending.size() > 4096)
            pending.clear();
    }
}
