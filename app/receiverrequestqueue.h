#pragma once

#include <QQueue>
#include <QtGlobal>

#include <functional>

// One manual receiver request waiting for the poll timer.
struct ReceiverRequest
{
    enum class Kind { Tune, SignalLevel, Mode };

    Kind kind = Kind::SignalLevel;
    qint64 value = 0; // Tune: frequency in Hz; Mode: mode code 0-9; SignalLevel: unused

    static ReceiverRequest tune(qint64 hertz) { return {Kind::Tune, hertz}; }
    static ReceiverRequest signalLevel() { return {Kind::SignalLevel, 0}; }
    static ReceiverRequest mode(int code) { return {Kind::Mode, code}; }

    bool operator==(const ReceiverRequest &other) const
    {
        return kind == other.kind && value == other.value;
    }
};

// First-in first-out queue of receiver requests and the schedule of the 250 ms poll:
// each tick serves one queued request, and every fifth tick also queues and serves an
// S-meter read. UI-free and synchronous; used on the GUI thread only.
class ReceiverRequestQueue
{
public:
    using Executor = std::function<void(const ReceiverRequest &)>;

    // Poll ticks between two S-meter reads, not counting the tick that reads.
    static constexpr int levelInterval = 4;

    void append(const ReceiverRequest &request) { m_requests.enqueue(request); }
    void clear() { m_requests.clear(); }
    bool isEmpty() const { return m_requests.isEmpty(); }
    int size() const { return m_requests.size(); }
    const QQueue<ReceiverRequest> &pending() const { return m_requests; }

    // Removes the first request and hands it to execute; false when nothing was queued.
    bool processNext(const Executor &execute);

    // The poll is silent while disabled (the receiver-panel Scan runs) and while another
    // activity runs, unless anomaly capture is armed (the receiver then stays on one
    // frequency and the S-meter goes on being read). Returns whether the tick ran.
    bool pollTick(bool otherActivityRunning, bool anomalyArmed, const Executor &execute);

    int pollCountdown() const { return m_pollCountdown; }
    void resetPollCountdown() { m_pollCountdown = levelInterval; }
    // Makes the next tick that runs read the S-meter.
    void readLevelOnNextTick() { m_pollCountdown = 0; }

    bool pollEnabled() const { return m_pollEnabled; }
    void setPollEnabled(bool enabled) { m_pollEnabled = enabled; }

private:
    QQueue<ReceiverRequest> m_requests;
    int m_pollCountdown = levelInterval;
    bool m_pollEnabled = true;
};
