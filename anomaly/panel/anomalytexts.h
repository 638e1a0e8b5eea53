#pragma once

#include <QString>

// The anomaly panel's status and log texts that have a fixed Italian twin, chosen by the
// running language (not through the translation catalogue).
namespace AnomalyTexts {

enum class Text {
    ConnectFirst,           // "Connect receiver and stop scans first."
    WaitForTuning,          // "Wait for tuning to settle, then arm again."
    FixedFrequency,         // "Use a confirmed fixed frequency and non-AUTO mode."
    NoEventFolder,          // "Cannot create event folder."
    NoObservationFolder,    // "Cannot create observation folder."
    BandTooNarrow,          // "Choose an analysis band at least 100 Hz wide."
    AnalysisFirst,          // "Enable analysis before automatic trigger."
    CannotArm,              // "Cannot arm: check selected input/channel."
    Filling,                // "Filling pre-trigger buffer…"
    CapturingPost,          // "Capturing post-trigger PCM…"
    TriggerUnavailable,     // "Trigger not available (buffer not ready or capture active)."
    CapturingRemaining,     // "Capturing — %1 s remaining"
    BufferFilling,          // "filling"
    BufferReady,            // "ready"
    Disarmed,               // "Disarmed — unfinished event discarded."
    CaptureStopped,         // "Capture stopped; unfinished event discarded."
    EventWavFailed,         // "Event WAV write failed: " (log, then the path)
    EventWavFailedDisarmed, // "Event WAV write failed; disarmed."
    EventJsonFailed,        // "Event JSON write failed (WAV retained): " (log, then the path)
    EventSaved,             // "Event saved: " (log, then the path)
    Saved,                  // "Saved: " (then the file name)
    ObservationFailed,      // "Observation log write failed: " (log, then the path)
    CaptureIdle,            // "Idle — WAV is raw mono."
    DetectorIdle,           // "Idle"
    DetectorWaiting,        // "Waiting for complete history / buffer"
    DetectorLine,           // "%1 | observation %2/%3 s | active: %4 | max: %5 | ..."
    DetectorLog,            // "Detector: " (log, then the status)
    MetricsIdle,            // "Idle — arm to start live analysis"
    MetricsCollecting,      // "Collecting first second…"
    MetricsDisabled,        // "Monitor disabled"
    MetricsLine,            // "Elapsed %1 s | structural history %2/8 s | DSP %3 ms/update"
    MetricsStopped,         // "Analysis stopped (capture still active): " (then the error)
    ScoreTip,               // " | Score: %1"
    NotUsedTip,             // " | Not used for trigger"
};

QString text(Text which);

// "Buffer %1/%2 s — %3", the same in both languages.
QString bufferStatus(int bufferedSeconds, int preSeconds, bool ready);

} // namespace AnomalyTexts
