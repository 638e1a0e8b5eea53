// libFuzzer target: an observation log. Whatever the bytes, it is taken or ignored, and a taken
// log is one session or checkpoint with finite sums.

#include "archiveinvariants.h"
#include "archivejson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ObservationLog log;
    if (!ObservationStatistics::fromObject(ArchiveJson::parseObject(fuzzBytes(data, size)), &log))
        return 0;
    const ObservationSums s = ObservationStatistics::sum({log}, {}, ContextChoice::of(log.context));
    require(s.closedSessions + s.openCheckpoints == 1);
    for (double value :
         {s.acquiredSeconds, s.analyzedSeconds, s.exposureSeconds, s.newEvents, s.changeEvents,
          s.endEvents, s.autoStarted, s.autoCompleted, s.manualCompleted, s.skipped,
          s.closedExposureSeconds, s.closedAutoCompleted})
        require(std::isfinite(value));
    require(s.closedExposureSeconds == (s.closedSessions ? s.exposureSeconds : 0.0));
    return 0;
}
