#pragma once

#include "rfbands.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Where a band's samples lie in a sweep and how many plot buckets they share.
struct RfBandSlice
{
    qint64 first = 0;   // index k of the band's first sample
    qint64 planned = 0; // number of samples in the band; 0 = the sweep misses the band
    int buckets = 0;    // plot buckets (sticks) of the band, at most `planned`
};

// The parameters of one S-meter sweep, fixed when it starts. Frequencies are in Hz, multiples
// of 100 Hz, within 100 kHz ... 3 GHz once validated; counts are 64-bit because a sweep of the
// whole range at 100 Hz has about 3 x 10^7 samples. UI-free.
struct RfSweepPlan
{
    // About as many sticks as a plot or the report chart shows for a whole sweep.
    static constexpr qint64 plotSticks = 1400;
    static constexpr qint64 unitHz = 100;

    qint64 startHz = 0;
    qint64 endHz = 0;
    qint64 stepHz = 0;
    int mode = 0;       // receiver mode code (index of the mode list)
    QString modeText;   // the mode list's text, e.g. "AUTO"
    int settleMs = 140; // wait between tuning and reading the S-meter
    QDateTime started;  // local time of the start

    // A spin-box value brought to the nearest 100 Hz unit, halves going up:
    // floor(MHz x 10 000 + 0.5) x 100 and floor(kHz x 10 + 0.5) x 100.
    static qint64 hertzFromMegahertz(double megahertz);
    static qint64 hertzFromKilohertz(double kilohertz);

    // start <= end and a step of at least 100 Hz.
    bool isValid() const { return startHz <= endHz && stepHz >= unitHz; }
    // Planned samples N = (end - start) / step + 1; the end itself is measured only when the
    // span is a multiple of the step.
    qint64 count() const;
    // The k-th frequency, start + k x step.
    qint64 frequencyAt(qint64 k) const { return startHz + k * stepHz; }

    // Width R of one sample on the frequency axis: the step for a one-frequency sweep, else
    // min(step, end - start). The axis runs from start - R/2 to end + R/2.
    qint64 sampleWidthHz() const;
    double axisLowHz() const { return startHz - sampleWidthHz() / 2.0; }
    double axisHighHz() const { return endHz + sampleWidthHz() / 2.0; }

    // The samples of a band (RfBands index) and its bucket count
    // min(n, max(1, floor(n x 1400 / N))), so the sticks of a whole sweep are shared out in
    // proportion to each band's samples.
    RfBandSlice slice(int band) const;
};
