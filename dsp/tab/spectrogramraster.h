#pragma once

#include "analysisresult.h"
#include "spectrogramlookup.h"

#include <memory>
#include <qwt_raster_data.h>

// The display spectrogram of an analysis result as raster data for the spectrogram plot:
// x = time 0 ... durationSeconds, y = audio frequency lowHz ... highHz, z = top - 56 ... top dB.
// Shares the result, which nobody changes, so rendering threads may read it at once.
class SpectrogramRaster : public QwtRasterData
{
public:
    SpectrogramRaster(std::shared_ptr<const NativeWav::Result> result, double topDb);

    // The cell nearest to (time, frequency); -160 without data (see SpectrogramLookup).
    double value(double x, double y) const override;

private:
    std::shared_ptr<const NativeWav::Result> m_result;
    SpectrogramLookup m_lookup;
};
