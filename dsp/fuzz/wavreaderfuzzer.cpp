// libFuzzer target: opens arbitrary bytes as a WAV file and, when the reader accepts them,
// reads a few blocks and checks what it promised. Any crash, sanitizer report or broken
// promise is a finding. Built by scripts/fuzz (wav).

#include "wavreader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// The input lives in an anonymous memory file that the reader opens by path.
const std::string &inputPath(int &fd)
{
    static int memoryFd = memfd_create("wavreaderfuzzer", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(memoryFd);
    fd = memoryFd;
    return path;
}

void require(bool promise)
{
    if (!promise)
        std::abort();
}

void checkSamples(const std::vector<double> &samples, const NativeWav::WavReader &reader)
{
    for (double value : samples) {
        require(std::isfinite(value));
        if (!reader.isFloat())
            require(value >= -1.0 && value <= reader.clipLevel());
    }
}

void checkHeader(const NativeWav::WavReader &reader, std::size_t fileSize)
{
    require(reader.channels() >= 1 && reader.channels() <= 64);
    require(reader.sampleRate() >= 1 && reader.sampleRate() <= 1000000);
    require(reader.validBits() >= 1 && reader.validBits() <= reader.bitsPerSample());
    require(reader.blockAlign() ==
            static_cast<std::uint32_t>(reader.channels() * reader.bytesPerSample()));
    require(reader.frameCount() >= 2);
    require(reader.dataOffset() >= 12 && static_cast<std::uint64_t>(reader.dataOffset()) +
                                                 reader.frameCount() * reader.blockAlign() <=
                                             fileSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    int fd = -1;
    const std::string &path = inputPath(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;

    NativeWav::WavReader reader;
    try {
        reader.open(path);
    } catch (const std::runtime_error &) {
        return 0;
    }
    checkHeader(reader, size);

    const std::uint64_t frames = reader.frameCount();
    const std::size_t channels = reader.channels();
    std::uint64_t nonFinite = 0;
    const auto head = reader.readInterleaved(0, 3, &nonFinite);
    require(head.size() == std::min<std::uint64_t>(3, frames) * channels);
    require(reader.isFloat() || nonFinite == 0);
    checkSamples(head, reader);

    const auto tail = reader.readInterleaved(frames - 1, 5);
    require(tail.size() == channels);
    require(reader.readInterleaved(frames, 1).empty());

    const auto one = reader.readChannel(frames / 2, 4, static_cast<int>(channels) - 1);
    require(one.size() == std::min<std::uint64_t>(4, frames - frames / 2));
    checkSamples(one, reader);

    try {
        reader.readChannel(0, 1, static_cast<int>(channels));
        std::abort();
    } catch (const std::runtime_error &) {
    }
    try {
        reader.readInterleaved(0, std::numeric_limits<std::uint64_t>::max());
        require(reader.blockAlign() == 1);
    } catch (const std::runtime_error &) {
        require(reader.blockAlign() > 1);
    }
    return 0;
}
