// libFuzzer target: arbitrary bytes as a client's stream, split into lines, parsed and
// answered by the command handler over a receiver made of fields. Any crash, sanitizer report
// or broken promise is a finding. Built by scripts/fuzz-rigctl.
#include "rigbackend.h"
#include "righandler.h"
#include "riglinebuffer.h"

#include <cstdint>
#include <cstdlib>

namespace {

class FieldBackend : public RigBackend
{
public:
    Status status() const override { return m_status; }
    Result tune(qint64 hertz) override
    {
        // The handler only passes frequencies the receiver accepts.
        if (hertz < 100000 || hertz > 3000000000LL)
            std::abort();
        m_status.frequency = hertz;
        return Result::Ok;
    }
    Result setMode(int code) override
    {
        if (code < 0 || code > 8)
            std::abort();
        m_status.mode = m_status.effectiveMode = code;
        return Result::Ok;
    }
    Result readSignalLevel(int *level) override
    {
        *level = 128;
        return Result::Ok;
    }

private:
    Status m_status{true, false, 7050000, 9, 3, 40};
};

void require(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FieldBackend backend;
    RigHandler handler(backend);
    RigLineBuffer lines;
    // Feed in two pieces, so that lines also cross a read boundary.
    const size_t half = size / 2;
    for (const auto &[from, length] : {std::pair{size_t(0), half}, {half, size - half}}) {
        lines.append(
            QByteArray(reinterpret_cast<const char *>(data) + from, static_cast<int>(length)));
        QByteArray line;
        for (;;) {
            const RigLineBuffer::Take taken = lines.take(&line);
            if (taken == RigLineBuffer::Take::None)
                break;
            if (taken == RigLineBuffer::Take::TooLong)
                continue;
            require(line.size() <= RigLineBuffer::maxLineBytes);
            require(!line.contains('\n') && !line.contains('\r'));
            bool quit = false;
            const QByteArray answer = handler.execute(RigCommand::parse(line), &quit);
            // Every answer is whole lines; a quit is always acknowledged.
            require(answer.isEmpty() || answer.endsWith('\n'));
            require(!quit || answer.endsWith("RPRT 0\n"));
        }
    }
    return 0;
}
