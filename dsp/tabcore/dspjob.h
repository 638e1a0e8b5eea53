#pragma once

// One offline analysis run as a job: the analyzer, then the report writer, on whatever thread
// calls runDspJob (the DSP tab uses a worker of the global thread pool; corvin-dsp analyze its
// main thread). The job shares with its owner only the cancellation flag and the progress, both
// atomic and held in shared ownership so either side may outlive the other.

#include "analysisresult.h"
#include "wavanalyzer.h"

#include <QString>

#include <atomic>
#include <memory>

struct DspJob
{
    NativeWav::AnalysisRequest request;
    QString wavPath;      // absolute path of the recording
    QString resultFolder; // where the report is written ("result" inside the working folder)
    std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<int>> progress = std::make_shared<std::atomic<int>>(0); // 0-100
};

// The job's outcome. On success result holds the analysis, which nobody changes afterwards; on
// failure error holds the engine's message (UTF-8 decoded) and result is null.
struct DspRunResult
{
    bool ok = false;
    QString error;
    std::shared_ptr<const NativeWav::Result> result;
};

// Progress of the report phase on the analyzer's 0-100 scale (the analyzer ends at 78).
constexpr int reportPhasePercent = 82;

// Runs the analysis and writes its report into job.resultFolder, storing the percentage in
// job.progress (82 while the report is written, 100 when done). observer, when given, also
// receives every step with its text, on the calling thread. A cancellation found set after
// either phase fails the job with "Analysis cancelled". Never throws.
DspRunResult runDspJob(const DspJob &job, const NativeWav::AnalysisProgress &observer = {});
