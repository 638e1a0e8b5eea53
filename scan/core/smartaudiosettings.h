#pragma once

class QSettings;

// How long and how loud the audio measurement of a frequency listens: the Smart Scan controls
// "smartDurationMs" (500-5000 ms, default 1500) and "smartAudioLevel" (-95 ... 0 dBFS, default
// -55), which "Add current frequency" uses too.
struct SmartAudioSettings
{
    static constexpr int defaultDurationMs = 1500;
    static constexpr int defaultThresholdDbfs = -55;

    int durationMs = defaultDurationMs;
    int thresholdDbfs = defaultThresholdDbfs;

    // The stored values of the two controls ("SmartScan/smartDurationMs",
    // "SmartScan/smartAudioLevel"), clamped to their ranges; the defaults when absent.
    static SmartAudioSettings read(QSettings &settings);
};
