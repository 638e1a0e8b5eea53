#pragma once

#include "smartscandevices.h"

class AudioRecorder;

// Smart Scan's audio measurement on the audio engine, through blocking queued invocations from
// the GUI thread. Without an engine no measurement starts. The engine must outlive its use here.
class RecorderScanAudio : public SmartScanAudio
{
public:
    explicit RecorderScanAudio(AudioRecorder *recorder = nullptr)
        : m_recorder(recorder)
    {}

    void setRecorder(AudioRecorder *recorder) { m_recorder = recorder; }

    bool startAnalysis(int request, int durationMs, double thresholdDbfs) override;
    void cancelAnalysis() override;

private:
    AudioRecorder *m_recorder;
};
