#include "wirelog.h"

void WireLog::record(bool fromHost, const QByteArray &bytes, qint64 timeUs)
{
    const WireEvent event{timeUs, fromHost, bytes};
    if (m_kept) {
        m_events.append(event);
        (fromHost ? m_received : m_sent).append(bytes);
    }
    if (m_observer)
        m_observer(event);
}

void WireLog::recordCommand(const QByteArray &command)
{
    if (m_kept)
        m_commands.append(command);
    ++m_commandCount;
}

void WireLog::clear()
{
    m_events.clear();
    m_received.clear();
    m_sent.clear();
    m_commands.clear();
}

void WireLog::setObserver(std::function<void(const WireEvent &)> observer)
{
    m_observer = std::move(observer);
}
