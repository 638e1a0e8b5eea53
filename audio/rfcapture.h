#pragma once

#include "audioblockconsumer.h"

#include <QVector>

#include <functional>
#include <vector>

// The synthetic RF spectrum's capture on the audio thread: one request at a time collects a
// number of raw samples of one channel (scaled to +-1) from the blocks the recorder serves at
// its RfCapture stage, then hands their Welch estimate to the ready callback and clears itself.
// Audio thread only.
class RfCapture : public AudioBlockConsumer
{
public:
    // request id, bin spacing (Hz), power per bin (full scale^2/Hz), windows averaged, clipped
    // fraction. A failed estimate reports spacing 0, no bins, 0 windows and 0 clipping.
    using Ready = std::function<void(int request, double spacing, QVector<double> power,
                                     int windows, double clipped)>;

    static constexpr int minCaptureMs = 200;
    static constexpr int maxCaptureMs = 5000;

    explicit RfCapture(Ready ready);

    // Arms a capture of captureMs x rate / 1000 samples (integer arithmetic) of channel for a
    // Welch estimate at binHz, replacing any earlier request. Refused (false, nothing armed)
    // unless format is a running input's, captureMs is 200-5000, binHz > 0 and the channel
    // exists.
    bool request(int id, int captureMs, int binHz, int channel, const QAudioFormat &format);
    // Drops the request and its samples.
    void cancel();
    bool isArmed() const { return m_armed; }

    void processBlock(const qint16 *samples, int frameCount, const QAudioFormat &format) override;
    void inputStopped() override { cancel(); }

private:
    void complete(int sampleRate);

    Ready m_ready;
    bool m_armed = false;
    int m_request = 0;
    int m_binHz = 0;
    int m_channel = 0;
    std::size_t m_wanted = 0;
    std::vector<double> m_samples;
};
