#pragma once

#include <QByteArray>
#include <QList>
#include <QVector>

#include <functional>

// One block of bytes seen on the simulated wire.
struct WireEvent
{
    qint64 timeUs = 0;     // since the simulator started
    bool fromHost = false; // true: sent by the program, false: sent by the receiver
    QByteArray bytes;
};

// What crossed the simulated wire, for tests and the simulator's --wire-log: every block in
// order, both directions' bytes, and each command line the receiver took. Not thread-safe:
// the simulator serialises access.
class WireLog
{
public:
    void record(bool fromHost, const QByteArray &bytes, qint64 timeUs);
    void recordCommand(const QByteArray &command);

    QByteArray received() const { return m_received; } // everything the program sent
    QByteArray sent() const { return m_sent; }         // everything the receiver sent
    QVector<WireEvent> events() const { return m_events; }
    QList<QByteArray> commands() const { return m_commands; }
    qint64 commandCount() const { return m_commandCount; }

    // Forgets the blocks and commands; the command count keeps counting.
    void clear();
    // Keeps the log in memory (default on; a long-running simulator turns it off). The
    // observer and the command count work either way.
    void setKept(bool kept) { m_kept = kept; }
    // Called for every block as it is recorded.
    void setObserver(std::function<void(const WireEvent &)> observer);

private:
    bool m_kept = true;
    QVector<WireEvent> m_events;
    QByteArray m_received;
    QByteArray m_sent;
    QList<QByteArray> m_commands;
    qint64 m_commandCount = 0;
    std::function<void(const WireEvent &)> m_observer;
};
