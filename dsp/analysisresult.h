#pragma once

// Input and output records of the offline pulse and band analyzer.
// Frequencies are audio frequencies in Hz, times in seconds from the start of the recording,
// levels in dB relative to full scale (silence reads -160 dB).

#include <cstdint>
#include <filesystem>
#include <vector>

namespace NativeWav {

struct AnalysisRequest
{
    // In the platform's file-name encoding, so that any name the file system holds opens.
    std::filesystem::path wavPath;
    std::int32_t channel = 0; // 0 = automatic choice, otherwise 1-based
    double lowHz = 80.0;
    double highHz = 6000.0;
    double contrastDb = 12.0; // how far a pulse must rise above its band's background
};

struct ChannelStats
{
    double mean = 0.0; // DC value
    double rmsDb = -160.0;
    double peakDb = -160.0;
    double clipPercent = 0.0;
};

struct PulseEvent
{
    double timeSeconds = 0.0; // centre of the burst
    double startSeconds = 0.0;
    double endSeconds = 0.0;
    double widthMs = 0.0; // part of the burst above -6 dB of its excess power
    double frequencyHz = 0.0;
    double peakDb = 0.0;
    double snrDb = 0.0;
    double bandHz = 0.0; // centre of the candidate band it was found in
};

struct PulseTrain
{
    double periodSeconds = 0.0;
    double jitterMs = 0.0;
    double bandHz = 0.0;
    double lowHz = 0.0; // band-pass edges used for the band
    double highHz = 0.0;
    std::vector<PulseEvent> events; // ascending by time
};

struct SpectralPeak
{
    double frequencyHz = 0.0;
    double levelDb = 0.0;
};

struct Result
{
    std::uint32_t sampleRate = 0;
    std::uint32_t validBits = 0;
    std::uint32_t channels = 0;
    std::int32_t channelUsed = 0; // 1-based
    std::uint64_t frames = 0;
    std::uint64_t nonFiniteSamples = 0;
    bool isFloat = false;
    double durationSeconds = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0; // effective: min(requested, sampleRate / 2)
    double contrastDb = 0.0;
    double channelCorrelation = 0.0; // channels 1 and 2, -1 ... 1
    bool hasCorrelation = false;
    std::vector<ChannelStats> channelStats;
    std::vector<double> spectrumFrequencies;
    std::vector<double> meanSpectrumDb;
    std::vector<double> levelDb;      // one per time column
    std::vector<float> spectrogramDb; // row-major: row * timeColumns + column
    std::vector<double> displayFrequencies;
    std::int32_t timeColumns = 0;            // 1 ... 1300
    std::vector<PulseTrain> trains;          // ascending by period
    std::vector<PulseEvent> events;          // isolated pulses, ascending by time
    std::vector<SpectralPeak> spectralPeaks; // at most 6, strongest first
};

// Working records of the analysis.
struct CandidateBand
{
    double score = 0.0;
    double frequencyHz = 0.0;
};

struct IsolatedBand
{
    double bandHz = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0;
    std::vector<PulseEvent> events;
};

} // namespace NativeWav
