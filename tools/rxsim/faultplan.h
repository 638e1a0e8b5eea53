#pragma once

#include "receivermodel.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <random>

// Misbehaviours the simulated receiver can show.
enum class SimFault {
    NoReply,         // "no-reply": the command is executed but not answered
    LateReply,       // "late-reply": the answer comes after the 300 ms reply window
    Reject,          // "reject": "?" instead of the answer (the command is not executed)
    RejectThenReply, // "reject-then-reply": "?" and then the real answer
    EchoAndStray,    // "echo": the command echoed and a stray status line before the answer
    LongLine,        // "long-line": the answer padded to 300 bytes before the answer
    Garbage,         // "garbage": a line of random bytes before the answer
    FlowControl,     // "xonxoff": XOFF/XON pairs inside the answer
    WrongFrequency,  // "wrong-frequency": RX reports a frequency 5 kHz above the tuned one
    MalformedAuto,   // "bad-au": an AU reply the AU pattern rejects
    MalformedLevel,  // "bad-lm": an LM reply the level pattern rejects, or a bare "LM"
    DeadLine,        // "dead": the receiver stops answering anything for a while
    StuckScope,      // "stuck-scope": a band-scope stream that ignores VF
    HeldXoff,        // "xoff": an XOFF after the answer and no XON: the program's output stalls
    BadIdentity,     // "bad-vr": a VR reply too short ("VR1") or in lower case, in turn
    Vanish,          // "vanish": the terminal disappears (like an unplugged USB adapter) and
                     // comes back at the same link path after a while
};

constexpr int simFaultCount = 16;

// A band of frequencies where a fault strikes: while the receiver is tuned inside
// [low, high] Hz (for a tune command: when its target lies inside), every command the fault
// applies to gets it; with firstHits > 0 only the first firstHits of them after each tune
// (for "bad-lm:1", the first S-meter read after each tune, so the second attempt reads).
struct FaultZone
{
    quint64 low = 0;
    quint64 high = 0;
    SimFault fault = SimFault::NoReply;
    int firstHits = 0; // 0: every applicable command

    // "LOW-HIGH:NAME[:N]" with LOW and HIGH in Hz; false when malformed.
    static bool parse(const QString &text, FaultZone *zone);
};

// Decides which fault hits which command: each fault has a probability per command, a number
// of armed one-shot triggers (optionally only for commands with a given prefix) and frequency
// zones. Not thread-safe: the simulator serialises access.
class FaultPlan
{
public:
    FaultPlan();

    void setRate(SimFault fault, double probability);
    // The next `count` commands to which the fault applies (and that start with
    // `commandPrefix` when it is not empty) get it. Triggers add up.
    void trigger(SimFault fault, int count, const QByteArray &commandPrefix);
    void addZone(const FaultZone &zone);
    void clear();
    void seed(quint32 value) { m_random.seed(value); }

    // Tells the zones which command comes next and the frequency the receiver is tuned to;
    // a tune command counts with its target frequency and restarts the zones' counts.
    void beginCommand(const QByteArray &command, quint64 tunedFrequency);

    // Whether `fault` hits `command` (a fault that does not apply to it never does).
    // Counts every hit.
    bool hits(SimFault fault, const QByteArray &command);
    // Whether the fault can affect the command at all.
    static bool appliesTo(SimFault fault, const QByteArray &command);

    qint64 count(SimFault fault) const { return m_counts[index(fault)]; }
    qint64 totalCount() const;

    static QString name(SimFault fault);
    static bool fromName(const QString &name, SimFault *fault);

private:
    static size_t index(SimFault fault) { return static_cast<size_t>(fault); }

    struct Trigger
    {
        int remaining = 0;
        QByteArray prefix;
    };
    struct ArmedZone
    {
        FaultZone zone;
        int hitsSinceTune = 0;
    };
    bool zoneHits(SimFault fault);
    std::array<double, simFaultCount> m_rates{};
    std::array<QVector<Trigger>, simFaultCount> m_triggers{};
    std::array<qint64, simFaultCount> m_counts{};
    QVector<ArmedZone> m_zones;
    quint64 m_commandFrequency = 0;
    std::mt19937 m_random;
};

// What the transport faults that hit a command do to its replies: bytes sent in front of the
// first reply, a delay added to all of them, and changes to the replies themselves.
struct TransportFaults
{
    QByteArray before;
    int extraDelayMs = 0;
};

struct TransportFaultSettings
{
    int lateReplyMs = 450;
    int longLineLength = 300; // the LongLine fault's line before the answer, in bytes
};

// Rolls the transport faults for a command that has replies and applies them; `random`
// makes the garbage lines.
TransportFaults applyTransportFaults(FaultPlan &faults, const QByteArray &command,
                                     QVector<SimReply> &replies,
                                     const TransportFaultSettings &settings, std::mt19937 &random);
