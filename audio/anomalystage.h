#pragma once

#include "anomalysession.h"
#include "audioblockconsumer.h"

// The anomaly stage of the recorder's block order: serves the raw input blocks to the anomaly
// session and disarms it when the input stops. Audio thread only.
class AnomalyStage : public AudioBlockConsumer
{
public:
    explicit AnomalyStage(AnomalySession &session)
        : m_session(session)
    {}

    void processBlock(const qint16 *samples, int frameCount, const QAudioFormat &) override
    {
        m_session.processBlock(samples, frameCount);
    }
    void inputStopped() override { m_session.disarm(); }

private:
    AnomalySession &m_session;
};
