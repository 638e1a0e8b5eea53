#pragma once

#include "syntheticsweep.h"

class CorvinHost;

// The synthetic sweep's audio through the window: the audio panel's selected input started by
// the host, captures armed and cancelled on the host's recorder by blocking calls, and the
// input closed again by the host's audio status refresh (which closes an input nothing uses).
class RecorderSyntheticAudio : public SyntheticAudio
{
public:
    explicit RecorderSyntheticAudio(CorvinHost &host);

    bool startInput(int *sampleRate, int *channels, bool *opened) override;
    bool requestCapture(int request, int captureMs, int binHz, int channel) override;
    void cancelCapture() override;
    void stopInput() override;

private:
    CorvinHost &m_host;
};
