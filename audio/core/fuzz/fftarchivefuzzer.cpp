// libFuzzer target: reads arbitrary bytes as a live FFT archive and checks what the reader
// promises: every frame has exactly the start record's number of bins, skipped lines are
// counted, and nothing is read past the input. Any crash, sanitizer report or broken promise
// is a finding. Built by scripts/fuzz (target "fftarchive").

#include "fftarchive.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    FftArchive::Reader reader(buffer);
    qint64 lines = 0;
    qint64 skipped = 0;
    for (auto record = reader.next(); record != FftArchive::Reader::Record::EndOfFile;
         record = reader.next()) {
        ++lines;
        require(lines <= qint64(size));
        switch (record) {
        case FftArchive::Reader::Record::Start:
            require(reader.bins() >= FftArchive::minBins && reader.bins() <= FftArchive::maxBins);
            require(reader.binWidthHz() > 0.0);
            break;
        case FftArchive::Reader::Record::Frame:
            require(reader.hasStart());
            require(reader.values().size() == size_t(reader.bins()));
            break;
        case FftArchive::Reader::Record::Skipped:
            ++skipped;
            break;
        case FftArchive::Reader::Record::End:
        case FftArchive::Reader::Record::EndOfFile:
            break;
        }
    }
    require(reader.skippedLines() == skipped);
    return 0;
}
