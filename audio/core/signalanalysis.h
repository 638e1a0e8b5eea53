#pragma once

#include "audioanalysisresult.h"

// Measurement of live audio over a planned number of 4096-sample windows: per window the level
// of the 300-3200 Hz voice band, its spectral flatness and whether its energy sits around one
// peak; at the end the signal class and a quality score. Pure computation; the audio engine
// feeds it the power spectrum of every block. Audio thread only.
class SignalAnalysis
{
public:
    static constexpr double flatnessLimit = 0.36;

    // Windows planned for a duration: max(3, round(rate x duration / 4 096 000)).
    static int plannedWindows(int sampleRate, int durationMs);

    // Starts a measurement (replacing a pending one).
    void start(int request, int windows, double thresholdDbfs);
    // Forgets the pending measurement without a result.
    void cancel();
    bool isPending() const { return m_remaining > 0; }
    int request() const { return m_request; }

    // Analyses one window: power[0 ... 2048] of a 4096-point block at sampleRate (amplitude
    // squared, full scale = 1). Returns true when this was the last planned window; the result is
    // then available from result().
    bool analyseWindow(const double *power, int sampleRate);
    const AudioAnalysisResult &result() const { return m_result; }

    // Counters of the running measurement (for tests and diagnostics).
    int tonalWindows() const { return m_tonal; }
    int longestRun() const { return m_longestRun; }

private:
    void classify();

    int m_request = 0;
    int m_windows = 0;
    int m_remaining = 0;
    int m_active = 0;
    int m_structured = 0;
    int m_tonal = 0;
    int m_run = 0;
    int m_longestRun = 0;
    double m_threshold = -55.0;
    double m_total = 0.0;
    double m_peak = -120.0;
    QVector<double> m_levels;
    QVector<double> m_flatness;
    AudioAnalysisResult m_result;
};
