#pragma once

// The automatic trigger policy: how a host (the armed audio session, or the offline replay)
// turns the decision engine's verdicts into captures, cooldowns and skips. One class for both,
// so live arming and replay decide alike.
//
// The host calls step() once per feature update, and only once it is warm (its pre-trigger
// buffer is full: live, the ring; replay, `seconds` >= the pre-trigger seconds). For an update
// whose capture is Start the host starts a capture and reports captureStarted(), or reports
// captureFailed() when it cannot. One thread at a time; step() neither allocates nor locks.

#include "decisionengine.h"

#include <QtGlobal>

struct FeatureUpdate;

class TriggerPolicy
{
public:
    enum class Capture {
        None,        // nothing to capture (NONE, or automatic capture off)
        Start,       // start a capture now
        Skipped,     // due, but a capture runs or the cooldown has not passed
        EndDisabled, // an END while END captures are off
    };

    struct Step
    {
        DecisionResult result;
        Capture capture = Capture::None;
        bool skipped = false; // counted as skipped; the status text ends in " / SKIPPED"
    };

    // Resets the engine with the configuration (whose automatic flag decides whether decisions
    // capture or only preview) and every counter; postSeconds is the capture's post-trigger part.
    void reset(const DecisionConfig &config, int postSeconds);

    Step step(const FeatureUpdate &update, bool captureRunning);
    // The capture of a Start step has begun: the cooldown now runs until `seconds` + post +
    // cooldown.
    void captureStarted(qint64 seconds);
    // The capture of a Start step could not begin: it counts as skipped.
    void captureFailed(Step &step);

    // "NONE", "NEW", "CHANGE" or "END", followed by " / SKIPPED" for a skip.
    static QString statusText(const Step &step);
    static const char *captureName(Capture capture); // "NONE", "START", "SKIPPED", "END_DISABLED"

    const DecisionEngine &engine() const { return m_engine; }
    const DecisionConfig &config() const { return m_engine.config(); }
    quint64 eligibleAutoSeconds() const { return m_eligibleSeconds; }
    quint64 newEvents() const { return m_newEvents; }
    quint64 changeEvents() const { return m_changeEvents; }
    quint64 endEvents() const { return m_endEvents; }
    quint64 autoStarted() const { return m_started; }
    int skipped() const { return m_skipped; }
    qint64 cooldownLimit() const { return m_cooldownLimit; }

private:
    DecisionEngine m_engine;
    int m_postSeconds = 0;
    qint64 m_cooldownLimit = 0;
    quint64 m_eligibleSeconds = 0;
    quint64 m_newEvents = 0;
    quint64 m_changeEvents = 0;
    quint64 m_endEvents = 0;
    quint64 m_started = 0;
    int m_skipped = 0;
};
