#pragma once

#include "receivermodel.h"

#include <QByteArray>
#include <QVector>

#include <deque>
#include <utility>
#include <vector>

class WireLog;

// The receiver's end of the serial line: it takes the program's bytes as they arrive, paced
// like a 19200 baud 8N2 line (11 bits, about 0.57 ms a byte, both directions) unless
// unpaced, assembles them into command lines, honours XON/XOFF from the program, and sends
// scheduled replies when they are due. Times are nanoseconds on the simulator's clock. Not
// thread-safe: the simulator serialises access.
class SimLine
{
public:
    static constexpr qint64 byteTimeNs = 11LL * 1000000000LL / 19200;

    // A command line the receiver has taken in full, and when its CR arrived.
    struct Command
    {
        QByteArray text; // trimmed, without CR ("" for a lone CR)
        qint64 atNs = 0;
    };

    void setPaced(bool paced) { m_paced = paced; }

    // Reads what the program wrote to the terminal's master fd and logs it.
    void readHost(int fd, qint64 now, WireLog &log);
    // The command lines complete by `now`, in order; XON/XOFF and LF bytes are taken out.
    QVector<Command> takeCommands(qint64 now);

    // Queues replies `extraDelayMs` after their own delays from now; `before` goes in front
    // of the first one.
    void schedule(const QVector<SimReply> &replies, qint64 now, int extraDelayMs,
                  const QByteArray &before);
    // Drops the band-scope replies not yet due.
    void cancelScope();
    // Moves the replies due by now to the transmitter.
    void releaseDue(qint64 now);
    // True when nothing is being sent and no band-scope reply waits.
    bool readyForScope() const;
    // Writes what the line can carry by now.
    void transmit(int fd, qint64 now, WireLog &log);
    // Drops everything waiting to be sent (the line went dead).
    void dropOutput();
    // The line is cut (its adapter went away): bytes on their way in either direction, the
    // unfinished command line and an XOFF the program had sent are lost.
    void cut();
    // When something next happens on the line (endOfTime when nothing waits).
    qint64 nextEventNs(qint64 now) const;

private:
    struct Scheduled
    {
        qint64 dueNs = 0;
        QByteArray bytes;
        bool scope = false;
    };

    bool m_paced = true;

    // Receiving: each byte and when it is fully on the receiver's side.
    std::deque<std::pair<qint64, char>> m_arrivals;
    qint64 m_lastArrivalNs = 0;
    QByteArray m_line;
    bool m_hostStopped = false; // the program sent XOFF

    // Sending.
    std::vector<Scheduled> m_scheduled;
    QByteArray m_txQueue;
    qint64 m_txFreeNs = 0;
    qint64 m_txRetryNs = 0;
};
