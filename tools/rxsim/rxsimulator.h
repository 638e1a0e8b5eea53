#pragma once

#include "bandplan.h"
#include "faultplan.h"
#include "receivermodel.h"
#include "simpty.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

// One block of bytes seen on the simulated wire.
struct WireEvent
{
    qint64 timeUs = 0;     // since the simulator started
    bool fromHost = false; // true: sent by the program, false: sent by the receiver
    QByteArray bytes;
};

// What the receiver is tuned to, for the audio generator.
struct AudioScene
{
    bool standby = false;
    bool hasStation = false;
    SimStation station;
    double strength = 0.0; // 0..1, how well the station is received
    qint64 offsetHz = 0;   // tuned frequency minus the station's
    int effectiveMode = 0;
};

// A simulated receiver on a pseudo-terminal, running on its own thread.
//
// It answers the receiver's command set from a band model, paces its wire like a
// 19200 baud 8N2 line (11 bits, about 0.57 ms per byte, both directions) unless
// unpaced, honours XON/XOFF from the program, and injects faults on request.
// Every public function is thread-safe.
class RxSimulator
{
public:
    static constexpr qint64 byteTimeNs = 11LL * 1000000000LL / 19200;

    RxSimulator();
    ~RxSimulator();
    RxSimulator(const RxSimulator &) = delete;
    RxSimulator &operator=(const RxSimulator &) = delete;

    // Opens the pseudo-terminal and starts the receiver thread.
    bool start(QString *error);
    void stop();
    QString portPath() const;
    bool linkPort(const QString &path, QString *error);

    // Line behaviour.
    void setPaced(bool paced);
    // Closes the simulator's terminal ends: the program's port I/O fails once this returns.
    void hangUp();

    // Receiver behaviour.
    void setBandPlan(const BandPlan &plan);
    void setLevelFormat(ReceiverModel::LevelFormat format);
    void setLevelJitter(int steps);
    void setContinuousScope(bool on);
    void setScopeTiming(int rowIntervalMs, int frameGapMs);
    // After "QP" the receiver wakes by itself after `ms` (0: only through wake()).
    void setStandbyWakeMs(int ms);
    void wake();
    AudioScene audioScene() const;
    quint64 frequency() const;
    bool standby() const;

    // Faults.
    void setFaultRate(SimFault fault, double probability);
    void triggerFault(SimFault fault, int count = 1, const QByteArray &commandPrefix = {});
    void clearFaults();
    void setFaultSeed(quint32 seed);
    void setLateReplyMs(int ms);
    // Length of the line a LongLine fault sends before the answer (default 300 bytes).
    void setLongLineLength(int bytes);
    // How long the line stays dead after a DeadLine fault (0: until revive()).
    void setDeadLineMs(int ms);
    void revive();
    qint64 faultCount(SimFault fault) const;
    qint64 totalFaults() const;

    // Wire log.
    QByteArray receivedBytes() const; // everything the program sent
    QByteArray sentBytes() const;     // everything the receiver sent
    QVector<WireEvent> wireEvents() const;
    QList<QByteArray> commands() const; // each line received, without CR ("" for a lone CR)
    qint64 commandCount() const;
    void clearWireLog();
    // Keeps the wire log in memory (default on; a long-running simulator turns it off).
    void setWireLogKept(bool kept);
    // Called on the simulator thread for every block on the wire.
    void setWireObserver(std::function<void(const WireEvent &)> observer);

private:
    struct Scheduled
    {
        qint64 dueNs = 0;
        QByteArray bytes;
        bool scope = false;
    };

    void run();
    qint64 nowNs() const;
    void readHost(qint64 now);
    void processArrivals(qint64 now);
    void execute(const QByteArray &command, qint64 now);
    void schedule(const QVector<SimReply> &replies, qint64 now, int extraDelayMs,
                  const QByteArray &before);
    void releaseScheduled(qint64 now);
    void continueScope(qint64 now);
    void transmit(qint64 now);
    qint64 nextWakeNs(qint64 now) const;
    void record(bool fromHost, const QByteArray &bytes, qint64 now);
    void goDead(qint64 now);

    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_hangUpRequested{false};
    qint64 m_startNs = 0;

    SimPty m_pty;
    ReceiverModel m_model;
    FaultPlan m_faults;
    bool m_paced = true;

    // Receiving: bytes read from the terminal and when each is fully on the receiver's side.
    std::deque<std::pair<qint64, char>> m_arrivals;
    qint64 m_lastArrivalNs = 0;
    QByteArray m_line;
    bool m_hostStopped = false; // the program sent XOFF

    // Sending.
    std::vector<Scheduled> m_scheduled;
    QByteArray m_txQueue;
    qint64 m_txFreeNs = 0;
    qint64 m_txRetryNs = 0;
    std::mt19937 m_random{777u};

    int m_lateReplyMs = 450;
    int m_longLineLength = 300;
    int m_deadLineMs = 0;
    qint64 m_deadUntilNs = -1;
    int m_standbyWakeMs = 5000;
    qint64 m_standbySinceNs = -1;

    bool m_keepWire = true;
    QVector<WireEvent> m_wire;
    QByteArray m_received;
    QByteArray m_sent;
    QList<QByteArray> m_commands;
    qint64 m_commandCount = 0;
    std::function<void(const WireEvent &)> m_observer;
};
