#include "recorderscanaudio.h"

#include "audiorecorder.h"
#include "audiothreadcall.h"

bool RecorderScanAudio::startAnalysis(int request, int durationMs, double thresholdDbfs)
{
    AudioRecorder *recorder = m_recorder;
    if (!recorder)
        return false;
    return callOnAudioThread(
        recorder, [=] { return recorder->startAnalysis(request, durationMs, thresholdDbfs); });
}

void RecorderScanAudio::cancelAnalysis()
{
    AudioRecorder *recorder = m_recorder;
    if (recorder)
        callOnAudioThread(recorder, [=] { recorder->cancelAnalysis(); });
}
