// AudioRecorder's anomaly capture: the session at the Anomaly stage of the block order and the
// operations the capture panel calls on the audio thread.

#include "anomalystage.h"
#include "audiorecorder.h"

void AudioRecorder::setUpAnomalySession()
{
    m_anomaly = new AnomalySession(this);
    m_anomalyStage = std::make_unique<AnomalyStage>(*m_anomaly);
    setBlockConsumer(BlockStage::Anomaly, m_anomalyStage.get());
    connect(m_anomaly, &AnomalySession::anomalyStopped, this, &AudioRecorder::anomalyStopped);
    connect(m_anomaly, &AnomalySession::anomalyObservationError, this,
            &AudioRecorder::anomalyObservationError);
    connect(m_anomaly, &AnomalySession::anomalyDecisionReady, this,
            &AudioRecorder::anomalyDecisionReady);
    connect(m_anomaly, &AnomalySession::anomalyFeaturesReady, this,
            &AudioRecorder::anomalyFeaturesReady);
    connect(m_anomaly, &AnomalySession::anomalyFeaturesError, this,
            &AudioRecorder::anomalyFeaturesError);
    connect(m_anomaly, &AnomalySession::anomalyProgress, this, &AudioRecorder::anomalyProgress);
    connect(m_anomaly, &AnomalySession::anomalyEventReady, this, &AudioRecorder::anomalyEventReady);
}

bool AudioRecorder::armAnomaly(const AnomalyArmRequest &request)
{
    return m_input &&
           m_anomaly->arm(request, m_inputFormat.sampleRate(), m_inputFormat.channelCount());
}

void AudioRecorder::disarmAnomaly()
{
    m_anomaly->disarm();
}

bool AudioRecorder::triggerAnomaly()
{
    return m_anomaly->manualTrigger();
}

bool AudioRecorder::isAnomalyArmed() const
{
    return m_anomaly->isArmed();
}
