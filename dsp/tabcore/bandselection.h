#pragma once

// The audio band the DSP tab's band boxes hold, and how a Ctrl + click picks one. Whole Hz.
// UI-free.

#include "analysisresult.h"

struct AudioBand
{
    int lowHz = 0;
    int highHz = 0;
};

// Ranges and values of the two band boxes after a result arrives: with E = min(floor(highHz),
// 96000), the low box runs to max(E - 1, 0), the high box to max(E, 1); the band starts as
// max(min(floor(lowHz), E - 1), 0) ... E.
struct BandBoxes
{
    int lowMaximum = 0;
    int highMaximum = 1;
    AudioBand band;
};
BandBoxes bandBoxesFor(const NativeWav::Result &result);

// The band picked at an audio frequency: hertz limited to the analysed range, then +-120 Hz
// around it, or the filter edges of the train whose band centre is nearest and closer than
// 120 Hz (the first on equal distance); widened to whole Hz and limited to 0 ... highMaximum;
// never empty when highMaximum >= 1. hertz must be finite.
AudioBand bandAround(const NativeWav::Result &result, double hertz, int highMaximum);
