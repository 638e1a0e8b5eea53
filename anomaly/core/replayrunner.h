#pragma once

// Offline replay of a PCM16 WAV recording through the live feature bank and the automatic
// trigger policy, one second per step, with simulated captures only: the recording is never
// changed and nothing is recorded. The policy is always automatic here (warm-up = the
// pre-trigger seconds), whatever the capture panel's "Automatic trigger" says. Every processed
// second appends a row to the replay CSV.
//
// Used by `corvin-dsp replay` and by the replay dialog, which calls step() once per timer tick.
// Errors raise std::exception (std::runtime_error or std::invalid_argument with a fixed English
// message, std::bad_alloc); the caller stops the replay and shows the message. One thread at a
// time.

#include "detectorsettings.h"
#include "livefeaturebank.h"
#include "triggerpolicy.h"

#include <QString>

#include <memory>
#include <vector>

class QIODevice;
namespace NativeWav {
class WavReader;
}

class ReplayRunner
{
public:
    struct Step
    {
        FeatureUpdate update;
        TriggerPolicy::Step decision; // NONE with zero scores before the warm-up ends
        bool completed = false;       // a simulated capture completed on this second
        qint64 windowStart = 0;       // for a START: the captured seconds
        qint64 windowEnd = 0;
    };

    ReplayRunner();
    ~ReplayRunner();

    // Opens a recording. Reader errors, or "Replay requires PCM16 WAV" for anything but 16-bit
    // integer PCM.
    void open(const QString &path);
    int sampleRate() const;
    int channels() const;
    quint64 frameCount() const;

    // Configures the bank with the recording's rate and the band, resets the policy with the
    // configuration, pre and post seconds, and writes the CSV header to csv (kept, not owned;
    // null for no CSV). channel: 0-based, within the recording. Errors: the bank's
    // configuration errors, "Invalid WAV channel", "CSV write error".
    void start(const AnomalySettings &settings, int channel, QIODevice *csv);
    bool isStarted() const { return m_started; }

    // Processes the next second. Returns false, without a step, once fewer than a second's
    // samples remain: the replay has then finished. Errors: reader errors, "Incomplete WAV
    // block", "CSV write error".
    bool step(Step *step);
    bool isFinished() const { return m_finished; }

    // Back to the start: bank and policy reset, counters zero; start() must be called again.
    void reset();

    quint64 position() const { return m_position; } // frames consumed
    qint64 seconds() const { return m_seconds; }    // seconds processed
    int capturesStarted() const { return m_capturesStarted; }
    int capturesCompleted() const { return m_capturesCompleted; }
    int skipped() const { return m_policy.skipped(); }
    bool captureRunning() const { return m_captureEnd > 0; }
    quint64 tailSamples() const;

    // "Finished | started %1 | complete %2 | skipped %3 | unfinished %4 | tail %5 samples (no
    // full DSP update)".
    QString finishedLine() const;

private:
    void readSecond();

    std::unique_ptr<NativeWav::WavReader> m_reader;
    LiveFeatureBank m_bank;
    TriggerPolicy m_policy;
    AnomalySettings m_settings;
    QIODevice *m_csv = nullptr;
    int m_channel = 0;
    bool m_started = false;
    bool m_finished = false;
    quint64 m_position = 0;
    qint64 m_seconds = 0;
    qint64 m_captureEnd = 0; // second at which the running simulated capture completes
    int m_capturesStarted = 0;
    int m_capturesCompleted = 0;
    std::vector<qint16> m_second;
};
