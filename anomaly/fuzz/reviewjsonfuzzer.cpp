// libFuzzer target: a review file. Whatever the bytes, its label is one of the five and the
// event counts under exactly one of them.

#include "archiveinvariants.h"
#include "archivejson.h"
#include "eventarchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ArchivedEvent event;
    event.review = ArchiveJson::parseObject(fuzzBytes(data, size));
    const ReviewLabel label = EventArchive::labelOf(event.review);
    require(static_cast<int>(label) >= 0 && static_cast<int>(label) < EventArchive::labelCount);
    const ObservationSums sums =
        ObservationStatistics::sum({}, {event}, ContextChoice::allContexts());
    int counted = 0;
    for (int count : sums.labels)
        counted += count;
    require(counted == 1 && sums.labels[static_cast<std::size_t>(label)] == 1);
    return 0;
}
