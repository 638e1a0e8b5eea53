#pragma once

#include "bandplan.h"
#include "scopemodel.h"

#include <QByteArray>
#include <QVector>

#include <random>

// One block of bytes the receiver sends, `delayMs` after the command that caused it.
struct SimReply
{
    QByteArray bytes;
    int delayMs = 0;
    bool scope = false; // part of a band-scope frame: VF and EX cancel what is not yet sent
};

// Faults that change what the receiver says (the transport faults are the simulator's).
struct ContentFaults
{
    bool wrongFrequency = false;
    bool malformedAuto = false;
    bool malformedLevel = false; // "LM 300", "LMZZ" and a bare "LM", in turn
    bool stuckScope = false;
    bool badIdentity = false; // "VR1" and "vr rxsim 1.0", in turn
};

// The simulated receiver's command interpreter and state: tuning, mode, AUTO, S-meter,
// standby and the band scope. Pure logic without I/O; not thread-safe.
class ReceiverModel
{
public:
    // Forms of the S-meter reply, all accepted by the program.
    enum class LevelFormat {
        Hex,          // LM7F
        HexPercent,   // LM7F%
        SpaceDecimal, // LM 127
        PercentHex,   // LM%7F
        SpaceHex,     // LM 7F
        LowerDecimal, // lm 127
    };

    explicit ReceiverModel(BandPlan plan = BandPlan::defaultPlan());

    // Executes `command` (without its CR) and returns what the receiver sends back.
    // A rejected command returns the line "?".
    QVector<SimReply> handle(const QByteArray &command, const ContentFaults &faults = {});
    // The next frame of a running band-scope stream (empty when none runs).
    QVector<SimReply> continueScopeStream();

    quint64 frequency() const { return m_frequency; }
    // Tunings accepted so far ("RF" commands, also to the frequency already tuned).
    quint64 tunings() const { return m_tunings; }
    int effectiveMode() const { return m_auto ? m_plan.modeAt(m_frequency) : m_mode; }
    bool standby() const { return m_standby; }
    void wake() { m_standby = false; }
    bool scopeStreaming() const { return m_scope.streaming(); }
    // True once after VF, EX or standby ended the band scope: frames not yet sent are void.
    bool takeScopeCancel();
    const BandPlan &bandPlan() const { return m_plan; }
    void setBandPlan(const BandPlan &plan) { m_plan = plan; }
    // The S-meter reading at the tuned frequency, with a little fluctuation.
    int measureLevel();

    void setLevelFormat(LevelFormat format) { m_levelFormat = format; }
    // Fluctuation of the S-meter reading, +- this many steps (default 2).
    void setLevelJitter(int steps) { m_levelJitter = steps; }
    // When set, "DS" starts a stream of frames that runs until VF or EX.
    void setContinuousScope(bool on) { m_scope.setContinuous(on); }
    void setScopeRowIntervalMs(int ms) { m_scope.setRowIntervalMs(ms); }
    void setScopeFrameGapMs(int ms) { m_scope.setFrameGapMs(ms); }
    // The band scope: frame timing and layout, reply variants and its faults.
    ScopeModel &scope() { return m_scope; }
    const ScopeModel &scope() const { return m_scope; }

    static bool levelFormatFromName(const QString &name, LevelFormat *format);
    static constexpr quint64 minFrequency = 100000;
    static constexpr quint64 maxFrequency = 3000000000ULL;

private:
    QByteArray levelReply(int level, bool malformed);

    BandPlan m_plan;
    quint64 m_frequency = 89100000;
    quint64 m_tunings = 0;
    int m_mode = 0;
    bool m_auto = false;
    bool m_standby = false;
    LevelFormat m_levelFormat = LevelFormat::Hex;
    int m_levelJitter = 2;
    int m_malformedLevels = 0;
    int m_badIdentities = 0;
    std::mt19937 m_random;
    ScopeModel m_scope{m_plan};
};
