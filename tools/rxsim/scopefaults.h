#pragma once

#include <QString>

#include <array>
#include <random>

// Misbehaviours of the simulated receiver's band scope.
enum class ScopeFault {
    DsStall,      // "ds-stall": the frame stops after half its rows
    DsGarbage,    // "ds-garbage": a line of random bytes between two rows
    Ds31Digits,   // "ds-31-digits": a row with 31 level digits
    Ds33Digits,   // "ds-33-digits": a row with 33 level digits
    DsBadRow,     // "ds-bad-row": a row whose number is not a row's (DS1022)
    DsOutOfOrder, // "ds-out-of-order": the second and third rows swapped
    DsRepeat,     // "ds-repeat": the second row sent twice
    DsReject,     // "ds-reject": "?" instead of the frame
    DsLongLine,   // "ds-long-line": a 300-byte line before the first row
    AmNoMarker,   // "am-no-marker": an AM status without its MF token
    SwIgnored,    // "sw-ignored": SW does not change the span
    PhIgnored,    // "ph-ignored": PH1 does not switch peak hold on
    CfMhzOnly,    // "cf-mhz-only": CF with ten digits is ignored; only the MHz form works
    Chatter,      // "chatter": from this command on, status lines without end
};

constexpr int scopeFaultCount = 14;

// Which band-scope fault hits which command: a probability per applicable command and a
// number of armed one-shot triggers per fault. Not thread-safe: the simulator serialises it.
class ScopeFaultPlan
{
public:
    ScopeFaultPlan();

    void setRate(ScopeFault fault, double probability);
    // The next `count` commands the fault applies to get it. Triggers add up.
    void trigger(ScopeFault fault, int count);
    void clear();

    // Whether the fault hits this command; counts every hit.
    bool hits(ScopeFault fault);
    qint64 count(ScopeFault fault) const { return m_counts[index(fault)]; }

    static QString name(ScopeFault fault);
    static bool fromName(const QString &name, ScopeFault *fault);

private:
    static size_t index(ScopeFault fault) { return static_cast<size_t>(fault); }

    std::array<double, scopeFaultCount> m_rates{};
    std::array<int, scopeFaultCount> m_armed{};
    std::array<qint64, scopeFaultCount> m_counts{};
    std::mt19937 m_random;
};
