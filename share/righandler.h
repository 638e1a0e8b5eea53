#pragma once

#include "rigbackend.h"
#include "rigcommand.h"

#include <QByteArray>
#include <QElapsedTimer>

// Answers the rigctld protocol's commands for one receiver: frequency, mode and passband,
// the single VFO, the S-meter as STRENGTH (dB relative to S9) and RAWSTR (0-255), PTT and
// split as a receiver answers them (it never transmits), "\dump_state", "\chk_vfo",
// "\get_powerstat" and "\get_lock_mode". Anything else gets the "not implemented" report.
//
// Reads answer from the backend's state, except an S-meter read, which asks the receiver
// when its last reading is older than levelFreshMs or was taken on another frequency or
// mode. Set commands are refused while the receiver is offline or busy. One handler serves
// every client of a server, on the backend's thread.
class RigHandler
{
public:
    static constexpr int levelFreshMs = 500;

    explicit RigHandler(RigBackend &backend);

    // The answer to one command; empty for a blank line. `quit` becomes true when the client
    // asked to end the session.
    QByteArray execute(const RigCommand &command, bool *quit);

    // The "\dump_state" body: protocol version 1, the receiver's range, modes, filters and
    // levels, no transmitter.
    static QByteArray dumpStateBody();
    // dB relative to S9 for an S-meter level 0-255, on the receiver panel's S-meter scale
    // (S1 to S9 six dB apart, then +10 dB a division up to +60).
    static int strengthDb(int level);

private:
    QByteArray getMode(const RigCommand &command) const;
    QByteArray setFrequency(const RigCommand &command);
    QByteArray setMode(const RigCommand &command);
    QByteArray setVfo(const RigCommand &command) const;
    QByteArray getLevel(const RigCommand &command);
    QByteArray setSplitVfo(const RigCommand &command) const;
    int refusal(const RigBackend::Status &status) const;
    static int codeOf(RigBackend::Result result);

    RigBackend &m_backend;
    QElapsedTimer m_levelAge;
    qint64 m_levelFrequency = -1;
    int m_levelMode = -1;
};
