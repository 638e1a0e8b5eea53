// AudioRecorder's synthetic RF spectrum capture: the RfCapture consumer at the RfCapture stage.

#include "audiorecorder.h"

#include "rfcapture.h"

void AudioRecorder::setUpRfCapture()
{
    m_rfCapture = std::make_unique<RfCapture>(
        [this](int request, double spacing, QVector<double> power, int windows, double clipped) {
            emit rfPsdReady(request, spacing, std::move(power), windows, clipped);
        });
    setBlockConsumer(BlockStage::RfCapture, m_rfCapture.get());
}

bool AudioRecorder::requestRfCapture(int request, int captureMs, int binHz, int channel)
{
    return m_input && m_rfCapture->request(request, captureMs, binHz, channel, m_inputFormat);
}

void AudioRecorder::cancelRfCapture()
{
    m_rfCapture->cancel();
}
