#include "simline.h"

#include "wirelog.h"

#include <algorithm>
#include <limits>
#include <unistd.h>

namespace {

constexpr qint64 msNs = 1000000;
constexpr qint64 endOfTime = std::numeric_limits<qint64>::max();
constexpr char xon = 0x11;
constexpr char xoff = 0x13;
constexpr int maxLineLength = 1024;

} // namespace

void SimLine::readHost(int fd, qint64 now, WireLog &log)
{
    if (fd < 0)
        return;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return;
    const QByteArray bytes(buffer, static_cast<int>(n));
    log.record(true, bytes, now / 1000);
    // On a paced line each byte is complete on the receiver's side one byte time after
    // the previous one.
    for (const char byte : bytes) {
        m_lastArrivalNs = m_paced ? std::max(now, m_lastArrivalNs) + byteTimeNs : now;
        m_arrivals.emplace_back(m_lastArrivalNs, byte);
    }
}

QVector<SimLine::Command> SimLine::takeCommands(qint64 now)
{
    QVector<Command> commands;
    while (!m_arrivals.empty() && m_arrivals.front().first <= now) {
        const char byte = m_arrivals.front().second;
        const qint64 at = m_arrivals.front().first;
        m_arrivals.pop_front();
        if (byte == xoff || byte == xon) {
            m_hostStopped = byte == xoff;
            if (!m_hostStopped)
                m_txFreeNs = std::max(m_txFreeNs, now);
            continue;
        }
        if (byte == '\n')
            continue;
        if (byte != '\r') {
            if (m_line.size() < maxLineLength)
                m_line.append(byte);
            continue;
        }
        commands.append({m_line.trimmed(), at});
        m_line.clear();
    }
    return commands;
}

void SimLine::schedule(const QVector<SimReply> &replies, qint64 now, int extraDelayMs,
                       const QByteArray &before)
{
    bool first = true;
    for (const SimReply &reply : replies) {
        Scheduled item{now + (reply.delayMs + extraDelayMs) * msNs, reply.bytes, reply.scope};
        if (first)
            item.bytes.prepend(before);
        first = false;
        const auto at =
            std::upper_bound(m_scheduled.begin(), m_scheduled.end(), item.dueNs,
                             [](qint64 due, const Scheduled &s) { return due < s.dueNs; });
        m_scheduled.insert(at, item);
    }
}

void SimLine::cancelScope()
{
    m_scheduled.erase(std::remove_if(m_scheduled.begin(), m_scheduled.end(),
                                     [](const Scheduled &s) { return s.scope; }),
                      m_scheduled.end());
}

bool SimLine::readyForScope() const
{
    return m_txQueue.isEmpty() && std::none_of(m_scheduled.begin(), m_scheduled.end(),
                                               [](const Scheduled &s) { return s.scope; });
}

void SimLine::releaseDue(qint64 now)
{
    while (!m_scheduled.empty() && m_scheduled.front().dueNs <= now) {
        if (m_txQueue.isEmpty())
            m_txFreeNs = std::max(m_txFreeNs, m_scheduled.front().dueNs);
        m_txQueue.append(m_scheduled.front().bytes);
        m_scheduled.erase(m_scheduled.begin());
    }
}

void SimLine::transmit(int fd, qint64 now, WireLog &log)
{
    if (m_txQueue.isEmpty() || m_hostStopped || fd < 0 || now < m_txRetryNs)
        return;
    qint64 count = m_txQueue.size();
    if (m_paced) {
        // A byte is written once its last stop bit would have left the receiver.
        count = std::min<qint64>(count, (now - m_txFreeNs) / byteTimeNs);
        if (count <= 0)
            return;
    }
    const ssize_t n = ::write(fd, m_txQueue.constData(), static_cast<size_t>(count));
    if (n <= 0) {
        // The terminal's buffer is full (nobody reads the port): try again a little later.
        m_txRetryNs = now + 5 * msNs;
        return;
    }
    log.record(false, m_txQueue.left(static_cast<int>(n)), now / 1000);
    m_txQueue.remove(0, static_cast<int>(n));
    m_txFreeNs = m_paced ? m_txFreeNs + n * byteTimeNs : now;
}

void SimLine::dropOutput()
{
    m_scheduled.clear();
    m_txQueue.clear();
}

void SimLine::cut()
{
    m_arrivals.clear();
    m_line.clear();
    m_hostStopped = false;
    dropOutput();
}

qint64 SimLine::nextEventNs(qint64 now) const
{
    qint64 next = endOfTime;
    if (!m_arrivals.empty())
        next = std::min(next, m_arrivals.front().first);
    if (!m_scheduled.empty())
        next = std::min(next, m_scheduled.front().dueNs);
    if (!m_txQueue.isEmpty() && !m_hostStopped)
        next = std::min(next, std::max(m_txRetryNs, m_paced ? m_txFreeNs + byteTimeNs : now));
    return next;
}
