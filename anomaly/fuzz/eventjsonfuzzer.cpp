// libFuzzer target: an event sidecar. Whatever the bytes, it reads as an object (possibly
// empty), its table row has seven texts, and an empty object gives the legacy context.

#include "archiveinvariants.h"
#include "archivejson.h"
#include "eventarchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ArchivedEvent event;
    event.fileName = QStringLiteral("e.wav");
    event.event = ArchiveJson::parseObject(fuzzBytes(data, size));
    event.context = ArchiveJson::contextKey(event.event);
    const QStringList columns = EventArchive::columns(event);
    require(columns.size() == 7 && columns[6] == event.fileName);
    require(!columns[4].contains(QLatin1String("nan")));
    require(!event.event.isEmpty() || event.context.isEmpty());
    const ObservationSums sums =
        ObservationStatistics::sum({}, {event}, ContextChoice::allContexts());
    require(sums.events == 1 && sums.missingJson == (event.event.isEmpty() ? 1 : 0));
    require(std::isfinite(sums.declaredSeconds) && sums.declaredSeconds >= 0);
    return 0;
}
