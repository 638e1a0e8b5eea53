#pragma once

#include <QtGlobal>

class QAudioFormat;

// A consumer of the raw captured audio hosted by AudioRecorder on the audio thread (the RF
// synthetic spectrum capture and the anomaly session). It sees every block unfiltered,
// interleaved 16-bit, in the fixed order: peak meter, RF capture, anomaly session, playback,
// WAV recording, block spectrum. Its methods run on the audio thread only.
class AudioBlockConsumer
{
public:
    virtual ~AudioBlockConsumer() = default;

    // One block of frameCount whole frames in the running input format.
    virtual void processBlock(const qint16 *samples, int frameCount,
                              const QAudioFormat &format) = 0;
    // The input stopped (stopAll, input failure): drop pending requests and sessions.
    virtual void inputStopped() = 0;
};
