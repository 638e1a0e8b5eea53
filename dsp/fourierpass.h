#pragma once

// Short-time Fourier pass of the analyzer: builds the display spectrogram, the mean spectrum,
// the level columns and the file-wide list of candidate bands from 20-second blocks of one
// channel. Runs on the analyzer's thread; the segments and bins of a block are spread over the
// cores, and their results are combined in segment and bin order.

#include "analysisresult.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace NativeWav {

// Segment, transform, bin and display geometry for one file and frequency range.
struct StftLayout
{
    double sampleRate = 0.0;
    std::uint64_t frames = 0;
    double durationSeconds = 0.0;
    std::size_t segmentLength = 0; // L, 24 ms
    std::size_t hop = 0;           // H, 4 ms
    std::size_t fftLength = 0;     // M
    std::size_t firstBin = 0;      // k0
    std::size_t bins = 0;          // G analysed bins
    std::size_t rowStep = 0;       // A bins per display row
    std::size_t rows = 0;          // display rows (at most 480)
    std::size_t timeColumns = 0;   // T (1 ... 1300)
    std::uint64_t blockFrames = 0; // B, 20 s
    std::vector<double> window;    // periodic Hann of length L
    double windowSum = 0.0;

    double binFrequency(std::size_t bin) const;
};

// Throws "Selected frequency range is too narrow" when fewer than three bins lie between the edges.
StftLayout makeStftLayout(double sampleRate, std::uint64_t frames, double lowHz, double highHz);

class FourierPass
{
public:
    FourierPass(const StftLayout &layout, double contrastDb);
    ~FourierPass();
    FourierPass(const FourierPass &) = delete;
    FourierPass &operator=(const FourierPass &) = delete;

    // Adds one block of the chosen channel starting at frame start; the block may be padded
    // here. Throws "Analysis cancelled" when the flag is found set.
    void addBlock(std::uint64_t start, std::vector<double> samples,
                  const std::atomic<bool> &cancel);

    // File-wide candidate bands, highest score first (at most 16).
    const std::vector<CandidateBand> &candidates() const { return m_candidates; }

    // Fills the spectra, level, spectrogram and spectral peaks of the result.
    void finish(Result &result);

private:
    void addLevels(std::uint64_t start, const std::vector<double> &samples, std::size_t length);
    void transformSegments(const std::vector<double> &block, std::size_t segments,
                           const std::atomic<bool> &cancel);
    void accumulate(std::uint64_t start, std::size_t segments);
    std::vector<CandidateBand> discoverBands(std::size_t segments) const;
    void mergeCandidates(const std::vector<CandidateBand> &kept);

    StftLayout m_layout;
    double m_contrastDb;
    std::vector<float> m_power;  // segments x bins of the current block
    std::vector<float> m_rowMax; // segments x rows of the current block
    std::vector<double> m_binSums;
    std::uint64_t m_segments = 0;
    std::vector<float> m_spectrogram; // rows x columns, max-held power
    std::vector<double> m_columnSquares;
    std::vector<std::uint64_t> m_columnCounts;
    std::vector<CandidateBand> m_candidates;
};

} // namespace NativeWav
