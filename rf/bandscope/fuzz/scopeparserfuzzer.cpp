// libFuzzer target: the band scope's DS frame and AM status parsing of arbitrary bytes. The
// first byte picks the span code the frame is reset with (0-7, 0 a manual DS) and the size of
// the chunks the rest arrives in; the bytes go to a frame in those chunks and, whole, to a
// second frame, which must end in the same state. Every line also goes to the AM parser.
// Invariants: codes -1 ... 15, at most 32 rows, at most 256 bytes waiting in a line, a complete
// frame has every bin of its rows, a valid status lies in the receiver's ranges.
#include "amstatus.h"
#include "dsframe.h"
#include "scopelinebuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// What must hold after every chunk.
void checkCounters(const DsFrame &frame)
{
    check(frame.rows == 0 || frame.rows == 4 || frame.rows == 32);
    check(frame.rowsReceived >= 0 && frame.rowsReceived <= 32);
    check(frame.rows == 0 ? frame.rowsReceived == 0 : frame.rowsReceived <= frame.rows);
    check(frame.malformed >= 0);
    check(frame.lineBuffer().pendingLine().size() <= ScopeLineBuffer::maxLineBytes);
}

void checkFrame(const DsFrame &frame)
{
    checkCounters(frame);
    int filled = 0;
    for (const int code : frame.codes) {
        check(code >= -1 && code <= 15);
        filled += code >= 0 ? 1 : 0;
    }
    check(filled == frame.rowsReceived * DsFrame::rowBins);
    if (frame.isComplete()) {
        for (int bin = 0; bin < frame.binCount(); ++bin)
            check(frame.codes[static_cast<size_t>(bin)] >= 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int span = data[0] % 8;
    const int chunk = 1 + (data[0] >> 3);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    DsFrame pieces;
    pieces.reset(span);
    for (int i = 0; i < bytes.size(); i += chunk) {
        pieces.feed(
            QByteArray::fromRawData(bytes.constData() + i, std::min(chunk, bytes.size() - i)));
        checkCounters(pieces);
    }
    checkFrame(pieces);
    DsFrame whole;
    whole.reset(span);
    whole.feed(bytes);
    checkFrame(whole);
    check(whole.codes == pieces.codes && whole.rows == pieces.rows &&
          whole.rowsReceived == pieces.rowsReceived && whole.malformed == pieces.malformed &&
          whole.rejected == pieces.rejected && whole.isComplete() == pieces.isComplete());

    ScopeLineBuffer lines;
    lines.feed(bytes, [](const QByteArray &line, bool overflowed) {
        check(line.size() <= ScopeLineBuffer::maxLineBytes);
        check(!line.contains('\r') && !line.contains('\n') && !line.contains('\x11') &&
              !line.contains('\x13'));
        if (overflowed)
            return;
        const AmStatus status = AmStatus::parse(line);
        check(status.spanCode >= -1 && status.spanCode <= 9);
        check(status.peakHold >= -1 && status.peakHold <= 9);
        check(status.centreHz >= -1 && status.centreHz <= 9999999999LL);
        if (status.isValid())
            check(status.centreHz >= 100000 && status.markerHz <= 3000000000LL &&
                  status.spanCode >= 1 && status.spanCode <= 7);
    });
    return 0;
}
