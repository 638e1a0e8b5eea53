#pragma once

#include "bandplan.h"
#include "faultplan.h"
#include "receivermodel.h"
#include "simline.h"
#include "simpty.h"
#include "wirelog.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

// A station within earshot of a receiver in USB, LSB or CW.
struct SidebandStation
{
    SimStation station;
    qint64 rfOffsetHz = 0; // the station's frequency minus the tuned one
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
    // Tunings so far: a change means the receiver was just tuned (an emission starts afresh).
    quint64 tunings = 0;
    // In USB, LSB and CW: every station near enough to be heard in the passband, each at its
    // own RF offset (the audio generator renders them all).
    QVector<SidebandStation> sideband;
};

// A simulated receiver on a pseudo-terminal, running on its own thread.
//
// It answers the receiver's command set from a band model (ReceiverModel) over a line paced
// like the real one (SimLine), logs the wire (WireLog) and injects faults on request
// (FaultPlan). Every public function is thread-safe.
class RxSimulator
{
public:
    static constexpr qint64 byteTimeNs = SimLine::byteTimeNs;

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
    // The terminal vanishes now (its link too) and comes back after `ms` at the same link
    // path, as a new terminal. Returns once it is gone.
    void vanish(int ms);
    // How long the terminal stays away after a Vanish fault (default 3000 ms).
    void setVanishMs(int ms);
    // True while the terminal is away.
    bool vanished() const;

    // Receiver behaviour.
    void setBandPlan(const BandPlan &plan);
    void setLevelFormat(ReceiverModel::LevelFormat format);
    void setLevelJitter(int steps);
    void setContinuousScope(bool on);
    void setScopeTiming(int rowIntervalMs, int frameGapMs);
    // Band scope: the time it sweeps before the first row of a frame, rows of a narrow-span
    // frame (4 or 32), legal reply variants, and the interval of a chatter fault's lines.
    void setScopeSweepMs(int ms);
    void setScopeNarrowRows(int rows);
    void setScopeVariants(const ScopeVariants &variants);
    void setScopeChatterMs(int ms);
    // After "QP" the receiver wakes by itself after `ms` (0: only through wake()).
    void setStandbyWakeMs(int ms);
    void wake();
    AudioScene audioScene() const;
    quint64 frequency() const;
    bool standby() const;

    // Faults.
    void setFaultRate(SimFault fault, double probability);
    void triggerFault(SimFault fault, int count = 1, const QByteArray &commandPrefix = {});
    // A fault that strikes only while the receiver is tuned inside the zone.
    void addFaultZone(const FaultZone &zone);
    void clearFaults();
    void setFaultSeed(quint32 seed);
    void setLateReplyMs(int ms);
    // Length of the line a LongLine fault sends before the answer (default 300 bytes).
    void setLongLineLength(int bytes);
    // How long the line stays dead after a DeadLine fault (0: until revive()).
    void setDeadLineMs(int ms);
    void revive();
    qint64 faultCount(SimFault fault) const;
    // Band-scope faults, cleared by clearFaults() too.
    void setScopeFaultRate(ScopeFault fault, double probability);
    void triggerScopeFault(ScopeFault fault, int count = 1);
    qint64 scopeFaultCount(ScopeFault fault) const;
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
    void run();
    qint64 nowNs() const;
    void serviceLine(qint64 now);
    void execute(const QByteArray &command, qint64 now);
    qint64 nextWakeNs(qint64 now) const;
    void goDead(qint64 now);
    void goAway(qint64 now, int ms);
    void comeBack(qint64 now);

    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_hangUpRequested{false};
    std::atomic<int> m_vanishRequestMs{-1};
    qint64 m_startNs = 0;

    SimPty m_pty;
    SimLine m_line;
    WireLog m_wire;
    ReceiverModel m_model;
    FaultPlan m_faults;
    TransportFaultSettings m_faultSettings;
    std::mt19937 m_random{777u};

    int m_vanishMs = 3000;
    qint64 m_backNs = -1; // when a vanished terminal comes back, -1 while it is here
    int m_deadLineMs = 0;
    qint64 m_deadUntilNs = -1;
    int m_standbyWakeMs = 5000;
    qint64 m_standbySinceNs = -1;
};
