#include "recordersyntheticaudio.h"

#include "audiorecorder.h"
#include "audiothreadcall.h"
#include "corvinhost.h"

RecorderSyntheticAudio::RecorderSyntheticAudio(CorvinHost &host)
    : m_host(host)
{}

bool RecorderSyntheticAudio::startInput(int *sampleRate, int *channels, bool *opened)
{
    AudioRecorder *recorder = m_host.audioRecorder();
    if (!recorder)
        return false;
    const bool wasRunning =
        callOnAudioThread(recorder, [recorder] { return recorder->inputFormat().isValid(); });
    if (!m_host.startAudioInput())
        return false;
    const QAudioFormat format =
        callOnAudioThread(recorder, [recorder] { return recorder->inputFormat(); });
    if (!format.isValid())
        return false;
    *sampleRate = format.sampleRate();
    *channels = format.channelCount();
    *opened = !wasRunning;
    return true;
}

bool RecorderSyntheticAudio::requestCapture(int request, int captureMs, int binHz, int channel)
{
    AudioRecorder *recorder = m_host.audioRecorder();
    return recorder && callOnAudioThread(recorder, [=] {
               return recorder->requestRfCapture(request, captureMs, binHz, channel);
           });
}

void RecorderSyntheticAudio::cancelCapture()
{
    if (AudioRecorder *recorder = m_host.audioRecorder())
        callOnAudioThread(recorder, [recorder] { recorder->cancelRfCapture(); });
}

void RecorderSyntheticAudio::stopInput()
{
    m_host.refreshAudioStatus();
}
