#include "triggerpolicy.h"

#include "livefeaturebank.h"

#include <QString>

void TriggerPolicy::reset(const DecisionConfig &config, int postSeconds)
{
    m_engine.reset(config);
    m_postSeconds = postSeconds;
    m_cooldownLimit = 0;
    m_eligibleSeconds = 0;
    m_newEvents = 0;
    m_changeEvents = 0;
    m_endEvents = 0;
    m_started = 0;
    m_skipped = 0;
}

TriggerPolicy::Step TriggerPolicy::step(const FeatureUpdate &update, bool captureRunning)
{
    Step step;
    step.result = m_engine.step(update);
    const DecisionConfig &config = m_engine.config();
    if (config.automatic && update.historyRows == LiveFeatureBank::structuralRows)
        ++m_eligibleSeconds;
    switch (step.result.decision) {
    case Decision::None:
        return step;
    case Decision::New:
        ++m_newEvents;
        break;
    case Decision::Change:
        ++m_changeEvents;
        break;
    case Decision::End:
        ++m_endEvents;
        break;
    }
    if (!config.automatic)
        return step;
    if (step.result.decision == Decision::End && !config.captureEnd) {
        step.capture = Capture::EndDisabled;
        return step;
    }
    // Skipped, not queued: a capture already runs, or the cooldown has not passed.
    if (captureRunning || update.seconds < m_cooldownLimit) {
        step.capture = Capture::Skipped;
        step.skipped = true;
        ++m_skipped;
        return step;
    }
    step.capture = Capture::Start;
    return step;
}

void TriggerPolicy::captureStarted(qint64 seconds)
{
    ++m_started;
    m_cooldownLimit = seconds + m_postSeconds + m_engine.config().cooldown;
}

void TriggerPolicy::captureFailed(Step &step)
{
    step.capture = Capture::Skipped;
    step.skipped = true;
    ++m_skipped;
}

QString TriggerPolicy::statusText(const Step &step)
{
    // Built once: handing out a shared copy allocates nothing on the audio thread.
    static const QString texts[2][4] = {
        {QStringLiteral("NONE"), QStringLiteral("NEW"), QStringLiteral("CHANGE"),
         QStringLiteral("END")},
        {QStringLiteral("NONE / SKIPPED"), QStringLiteral("NEW / SKIPPED"),
         QStringLiteral("CHANGE / SKIPPED"), QStringLiteral("END / SKIPPED")},
    };
    return texts[step.skipped ? 1 : 0][static_cast<int>(step.result.decision)];
}

const char *TriggerPolicy::captureName(Capture capture)
{
    switch (capture) {
    case Capture::None:
        break;
    case Capture::Start:
        return "START";
    case Capture::Skipped:
        return "SKIPPED";
    case Capture::EndDisabled:
        return "END_DISABLED";
    }
    return "NONE";
}
