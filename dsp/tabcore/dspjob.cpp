#include "dspjob.h"

#include "progressstages.h"
#include "reportwriter.h"

#include <exception>
#include <stdexcept>

namespace {

void failIfCancelled(const std::atomic<bool> &cancel)
{
    if (cancel.load())
        throw std::runtime_error("Analysis cancelled");
}

} // namespace

DspRunResult runDspJob(const DspJob &job, const NativeWav::AnalysisProgress &observer)
{
    DspRunResult run;
    const auto report = [&job, &observer](int percent, const std::string &text) {
        job.progress->store(percent);
        if (observer)
            observer(percent, text);
    };
    try {
        auto result = std::make_shared<const NativeWav::Result>(
            NativeWav::analyzeWav(job.request, *job.cancel, report));
        failIfCancelled(*job.cancel);
        report(reportPhasePercent, ProgressStages::reportStageText().toStdString());
        NativeWav::writeAnalysisReport(*result, job.request, job.wavPath, job.resultFolder,
                                       *job.cancel);
        failIfCancelled(*job.cancel);
        job.progress->store(100);
        run.ok = true;
        run.result = std::move(result);
    } catch (const std::exception &error) {
        run.error = QString::fromUtf8(error.what());
    } catch (...) {
        // Nothing of ours throws anything else; an allocation failure in a library might.
        run.error = QStringLiteral("Unexpected analysis error");
    }
    return run;
}
