#include "wavanalyzer.h"

#include "analysismath.h"
#include "bandpulsepass.h"
#include "fourierpass.h"
#include "parallelwork.h"
#include "pulsetrainfinder.h"
#include "wavreader.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <future>
#include <stdexcept>

namespace NativeWav {

namespace {

void report(const AnalysisProgress &progress, int percent, const char *text)
{
    if (progress)
        progress(percent, text);
}

int scaledPercent(int base, int span, std::uint64_t part, std::uint64_t whole)
{
    return base + static_cast<int>(static_cast<double>(span) * static_cast<double>(part) /
                                   static_cast<double>(whole));
}

// Level pass over all channels: DC, RMS without DC, peak, clipping and the correlation of
// channels 1 and 2.
void measureLevels(WavReader &reader, Result &result, const std::atomic<bool> &cancel)
{
    const std::size_t channels = result.channels;
    const std::uint64_t n = result.frames;
    std::vector<double> sums(channels, 0.0);
    std::vector<double> squares(channels, 0.0);
    std::vector<double> peaks(channels, 0.0);
    std::vector<std::uint64_t> clips(channels, 0);
    double products = 0.0;
    const double clipLimit =
        result.isFloat ? 1.0 : 1.0 - std::pow(2.0, 1.0 - static_cast<double>(result.validBits));
    // Blocks of 4 s of a mono file's samples, shared among the channels: the memory taken does
    // not grow with their number, and the sums come out the same for any block length.
    const std::uint64_t blockFrames =
        std::max<std::uint64_t>(4 * static_cast<std::uint64_t>(result.sampleRate) / channels, 1);
    for (std::uint64_t position = 0; position < n;) {
        throwIfCancelled(cancel);
        const std::uint64_t count = std::min(blockFrames, n - position);
        const std::vector<double> block =
            reader.readInterleaved(position, count, &result.nonFiniteSamples);
        for (std::size_t c = 0; c < channels; ++c) {
            double sum = sums[c];
            double square = squares[c];
            double peak = peaks[c];
            std::uint64_t clip = clips[c];
            for (std::size_t i = c; i < block.size(); i += channels) {
                const double x = block[i];
                sum += x;
                square += x * x;
                peak = std::max(peak, std::abs(x));
                clip += (x >= clipLimit || x <= -1.0) ? 1 : 0;
            }
            sums[c] = sum;
            squares[c] = square;
            peaks[c] = peak;
            clips[c] = clip;
        }
        if (channels > 1) {
            for (std::size_t i = 0; i < block.size(); i += channels)
                products += block[i] * block[i + 1];
        }
        position += count;
    }
    const double frames = static_cast<double>(n);
    std::vector<double> variances(channels);
    result.channelStats.resize(channels);
    for (std::size_t c = 0; c < channels; ++c) {
        ChannelStats &stats = result.channelStats[c];
        stats.mean = sums[c] / frames;
        variances[c] = std::max(squares[c] / frames - stats.mean * stats.mean, 0.0);
        stats.rmsDb = analysisDb(variances[c]);
        stats.peakDb = analysisDb(peaks[c] * peaks[c]);
        stats.clipPercent = static_cast<double>(clips[c]) * 100.0 / frames;
    }
    if (channels > 1 && variances[0] > 0.0 && variances[1] > 0.0) {
        const double covariance =
            products / frames - result.channelStats[0].mean * result.channelStats[1].mean;
        result.hasCorrelation = true;
        result.channelCorrelation =
            std::clamp(covariance / std::sqrt(variances[0] * variances[1]), -1.0, 1.0);
    }
}

int chooseChannel(const Result &result, int requested)
{
    if (requested > 0)
        return requested;
    std::size_t best = 0;
    for (std::size_t c = 1; c < result.channelStats.size(); ++c) {
        if (result.channelStats[c].rmsDb > result.channelStats[best].rmsDb)
            best = c;
    }
    return static_cast<int>(best) + 1;
}

struct BandJob
{
    double bandHz = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0;
    std::vector<PulseEvent> events;
    TrainFit train;
};

// Band pass over the best candidates. Bands run concurrently, each with its own reader; the
// progress calls stay on this thread and in band order.
std::vector<BandJob> measureBands(const std::filesystem::path &path, const Result &result,
                                  const std::vector<CandidateBand> &candidates,
                                  const std::atomic<bool> &cancel, const AnalysisProgress &progress)
{
    const double fs = result.sampleRate;
    const std::size_t n = std::min<std::size_t>(candidates.size(), 8);
    const BandPassSettings settings = makeBandPassSettings(fs, result.frames, result.contrastDb);
    const int channel = result.channelUsed - 1;
    std::vector<BandJob> jobs;
    std::deque<std::future<void>> running;
    jobs.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double f = candidates[i].frequencyHz;
        const double lo = std::max({1.0, result.lowHz, f - 120.0});
        const double hi = std::min({0.49 * fs, result.highHz, f + 120.0});
        if (hi - lo < 20.0)
            continue;
        if (running.size() == parallelWorkers()) {
            running.front().get();
            running.pop_front();
        }
        report(progress, scaledPercent(44, 31, i, n), "Measuring pulse envelopes");
        jobs.push_back({f, lo, hi, {}, {}});
        BandJob *job = &jobs.back();
        running.push_back(std::async(std::launch::async, [job, &path, &settings, channel, &cancel] {
            WavReader reader;
            reader.open(path);
            const SampleSource read = [&](std::uint64_t first, std::uint64_t count) {
                return reader.readChannel(first, count, channel);
            };
            job->events =
                measureBandPulses(read, settings, job->bandHz, job->lowHz, job->highHz, cancel);
            job->train = findPulseTrain(job->events);
            // A band with a train keeps only the train's pulses.
            if (job->train.periodSeconds != 0.0)
                std::vector<PulseEvent>().swap(job->events);
        }));
    }
    while (!running.empty()) {
        running.front().get();
        running.pop_front();
    }
    return jobs;
}

// Stores the band's train unless a stored one already holds it.
void storeTrain(std::vector<PulseTrain> &trains, const BandJob &band, TrainFit fit)
{
    if (!isDuplicateTrain(trains, fit))
        trains.push_back({fit.periodSeconds, fit.jitterSeconds * 1000.0, band.bandHz, band.lowHz,
                          band.highHz, std::move(fit.events)});
}

// Abrupt bursts in one band splash clicks into the others, and a band's own regular train can
// then drown in them: too few intervals stay at its period. So each band without a train looks
// once more without its pulses that coincide (within 28 ms) with the trains found so far. A
// train found that way is stored like any other, and the band keeps no isolated pulses, as a
// band with a train never does; a band that still finds none keeps all its pulses.
std::vector<IsolatedBand> findHiddenTrains(std::vector<BandJob> &withoutTrain,
                                           std::vector<PulseTrain> &trains)
{
    std::vector<std::vector<PulseEvent>> rest(withoutTrain.size());
    for (std::size_t i = 0; i < withoutTrain.size(); ++i) {
        for (const PulseEvent &event : withoutTrain[i].events) {
            if (!coincidesWithTrain(event, trains))
                rest[i].push_back(event);
        }
    }
    std::vector<IsolatedBand> isolated;
    for (std::size_t i = 0; i < withoutTrain.size(); ++i) {
        BandJob &band = withoutTrain[i];
        if (rest[i].size() < band.events.size()) {
            TrainFit fit = findPulseTrain(rest[i]);
            if (fit.periodSeconds != 0.0) {
                storeTrain(trains, band, std::move(fit));
                continue;
            }
        }
        isolated.push_back({band.bandHz, band.lowHz, band.highHz, std::move(band.events)});
    }
    return isolated;
}

} // namespace

Result analyzeWav(const AnalysisRequest &request, const std::atomic<bool> &cancel,
                  const AnalysisProgress &progress)
{
    if (!std::isfinite(request.lowHz) || !std::isfinite(request.highHz) ||
        !std::isfinite(request.contrastDb) || request.lowHz < 0.0 ||
        request.highHz <= request.lowHz || request.contrastDb <= 0.0)
        throw std::runtime_error("Invalid analysis range/contrast");

    throwIfCancelled(cancel);
    report(progress, 2, "Reading WAV header");
    const std::filesystem::path &path = request.wavPath;
    WavReader reader;
    reader.open(path);
    Result result;
    result.sampleRate = static_cast<std::uint32_t>(reader.sampleRate());
    result.validBits = static_cast<std::uint32_t>(reader.validBits());
    result.channels = reader.channels();
    result.frames = reader.frameCount();
    result.isFloat = reader.isFloat();
    const double fs = result.sampleRate;
    result.durationSeconds = static_cast<double>(result.frames) / fs;
    result.lowHz = request.lowHz;
    result.highHz = std::min(request.highHz, fs / 2.0);
    result.contrastDb = request.contrastDb;
    if (result.highHz <= result.lowHz || request.channel < 0 ||
        request.channel > static_cast<std::int32_t>(result.channels))
        throw std::runtime_error("Invalid frequency range/channel for WAV");

    measureLevels(reader, result, cancel);
    result.channelUsed = chooseChannel(result, request.channel);
    const int channel = result.channelUsed - 1;

    throwIfCancelled(cancel);
    report(progress, 15, "Calculating native STFT spectrum and discovering bands");
    const StftLayout layout = makeStftLayout(fs, result.frames, result.lowHz, result.highHz);
    std::vector<CandidateBand> candidates;
    {
        FourierPass fourier(layout, result.contrastDb);
        const std::uint64_t n = result.frames;
        for (std::uint64_t p = 0; p < n; p += layout.blockFrames) {
            throwIfCancelled(cancel);
            const std::uint64_t length = std::min(layout.blockFrames, n - p);
            fourier.addBlock(p, reader.readChannel(p, length, channel), cancel);
            report(progress, scaledPercent(16, 27, p + length, n),
                   "Spectrogram and candidate bands");
        }
        fourier.finish(result);
        candidates = fourier.candidates();
    }

    std::vector<PulseTrain> trains;
    std::vector<BandJob> withoutTrain;
    for (BandJob &job : measureBands(path, result, candidates, cancel, progress)) {
        if (job.train.periodSeconds == 0.0)
            withoutTrain.push_back(std::move(job));
        else
            storeTrain(trains, job, std::move(job.train));
    }
    const std::vector<IsolatedBand> isolated = findHiddenTrains(withoutTrain, trains);
    result.events = collectIsolatedEvents(isolated, trains);
    std::stable_sort(trains.begin(), trains.end(), [](const PulseTrain &a, const PulseTrain &b) {
        return a.periodSeconds < b.periodSeconds;
    });
    result.trains = std::move(trains);
    report(progress, 78, "Native DSP analysis completed");
    return result;
}

} // namespace NativeWav
