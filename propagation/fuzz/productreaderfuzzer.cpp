// libFuzzer target for one space-weather product reader, chosen at compile time with
// -DCORVIN_FUZZ_READER=parseHamQsl (parseKp, parseF107, parseWwv). Built and run by
// scripts/fuzz-propagation.

#include "productparsers.h"
#include "propagationdata.h"

#include <cstddef>
#include <cstdint>

#ifndef CORVIN_FUZZ_READER
#error "CORVIN_FUZZ_READER must name the reader to fuzz"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4 * 1024 * 1024)
        return 0;
    const QByteArray body =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    PropagationData record;
    if (ProductParsers::CORVIN_FUZZ_READER(body, record)) {
        // What the report and the age badges read from a record must hold up too.
        ProductParsers::wwvIssuedTime(record.wwv);
        (void)record.hasData();
    }
    return 0;
}
