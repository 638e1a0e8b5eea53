#include "wavreader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeWav {

namespace {

constexpr std::uint16_t tagPcm = 1;
constexpr std::uint16_t tagFloat = 3;
constexpr std::uint16_t tagExtensible = 0xFFFE;
constexpr std::uint32_t rf64Placeholder = 0xFFFFFFFFu;
// Raw bytes that readChannel() takes from the file at a time.
constexpr std::uint64_t channelChunkBytes = 1 << 20;

[[noreturn]] void fail(const char *message)
{
    throw std::runtime_error(message);
}

std::uint16_t read16(const unsigned char *p, bool bigEndian)
{
    return bigEndian ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                     : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t read32(const unsigned char *p, bool bigEndian)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | p[bigEndian ? i : 3 - i];
    return value;
}

std::uint64_t read64LittleEndian(const unsigned char *p)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

bool hasId(const unsigned char *p, const char *id)
{
    return std::memcmp(p, id, 4) == 0;
}

void seekTo(std::FILE *file, std::int64_t offset)
{
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0)
        fail("WAV seek failed");
}

std::int64_t tell(std::FILE *file)
{
    const off_t position = ftello(file);
    if (position < 0)
        fail("WAV tell failed");
    return static_cast<std::int64_t>(position);
}

// Sample decoders: one container sample at p -> double, in the container's byte order.
struct Pcm8
{
    double operator()(const unsigned char *p) const { return (p[0] - 128) / 128.0; }
};

template <bool BigEndian> struct Pcm16
{
    double operator()(const unsigned char *p) const
    {
        return static_cast<std::int16_t>(read16(p, BigEndian)) / 32768.0;
    }
};

template <bool BigEndian> struct Pcm24
{
    double operator()(const unsigned char *p) const
    {
        const std::uint32_t bits = BigEndian ? (std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2])
                                             : (std::uint32_t(p[2]) << 16 | p[1] << 8 | p[0]);
        // Sign-extend from bit 23.
        const std::int32_t value = static_cast<std::int32_t>(bits ^ 0x800000u) - 0x800000;
        return value / 8388608.0;
    }
};

template <bool BigEndian> struct Pcm32
{
    double operator()(const unsigned char *p) const
    {
        return static_cast<std::int32_t>(read32(p, BigEndian)) / 2147483648.0;
    }
};

template <bool BigEndian> struct Float32
{
    double operator()(const unsigned char *p) const
    {
        const std::uint32_t bits = read32(p, BigEndian);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return static_cast<double>(value);
    }
};

template <bool BigEndian> struct Float64
{
    double operator()(const unsigned char *p) const
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | p[BigEndian ? i : 7 - i];
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

// Converts count samples spaced stride bytes apart. Float formats replace non-finite values by
// 0 and count them.
template <typename Decoder>
std::uint64_t convert(const unsigned char *source, std::size_t count, std::size_t stride,
                      double *target, bool isFloat)
{
    const Decoder decode;
    std::uint64_t nonFinite = 0;
    for (std::size_t i = 0; i < count; ++i, source += stride) {
        double value = decode(source);
        if (isFloat && !std::isfinite(value)) {
            value = 0.0;
            ++nonFinite;
        }
        target[i] = value;
    }
    return nonFinite;
}

template <bool BigEndian>
std::uint64_t convertOrdered(int bits, bool isFloat, const unsigned char *source, std::size_t count,
                             std::size_t stride, double *target)
{
    if (isFloat) {
        return bits == 32 ? convert<Float32<BigEndian>>(source, count, stride, target, true)
                          : convert<Float64<BigEndian>>(source, count, stride, target, true);
    }
    switch (bits) {
    case 8:
        return convert<Pcm8>(source, count, stride, target, false);
    case 16:
        return convert<Pcm16<BigEndian>>(source, count, stride, target, false);
    case 24:
        return convert<Pcm24<BigEndian>>(source, count, stride, target, false);
    default:
        return convert<Pcm32<BigEndian>>(source, count, stride, target, false);
    }
}

} // namespace

WavReader::~WavReader()
{
    if (m_file)
        std::fclose(m_file);
}

void WavReader::open(const std::filesystem::path &path)
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    // A recording is a regular file. The type is checked before opening, so a device is never
    // opened, and again on the open file in case the name changed hands in between; opening
    // without blocking keeps a named pipe from waiting for a writer.
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        fail("Cannot open WAV file");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail("Cannot open WAV file");
    const int flags = ::fcntl(fd, F_GETFL);
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular && flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
        m_file = ::fdopen(fd, "rb");
    if (!m_file) {
        ::close(fd);
        fail("Cannot open WAV file");
    }
    // Unbuffered: every block read goes to the file, so a file cut short after open() is a
    // read error rather than stale buffered bytes, and large blocks are read without a copy.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    readHeader();
}

void WavReader::readHeader()
{
    unsigned char header[12];
    if (std::fread(header, 1, sizeof header, m_file) != sizeof header)
        fail("Invalid WAV header");
    const bool rf64 = hasId(header, "RF64");
    if (!hasId(header, "RIFF") && !hasId(header, "RIFX") && !rf64)
        fail("Only RIFF, RIFX and RF64 WAV are supported");
    if (!hasId(header + 8, "WAVE"))
        fail("Not a WAVE file");
    m_bigEndian = hasId(header, "RIFX");

    seekTo(m_file, 0);
    if (fseeko(m_file, 0, SEEK_END) != 0)
        fail("Invalid WAV length");
    const std::int64_t fileSize = tell(m_file);
    seekTo(m_file, 12);

    bool haveFormat = false;
    bool haveData = false;
    bool haveDs64 = false;
    std::uint64_t ds64DataSize = 0;
    std::uint64_t dataLength = 0;
    std::int64_t chunkStart = 12;
    for (;;) {
        unsigned char chunk[8];
        if (fileSize - chunkStart < 8 || std::fread(chunk, 1, sizeof chunk, m_file) != sizeof chunk)
            break;
        const std::uint32_t size = read32(chunk + 4, m_bigEndian);
        std::uint64_t length = size;
        if (hasId(chunk, "ds64") && size >= 28) {
            unsigned char body[28];
            if (std::fread(body, 1, sizeof body, m_file) != sizeof body)
                fail("Bad RF64 ds64 chunk");
            ds64DataSize = read64LittleEndian(body + 8);
            haveDs64 = true;
        } else if (hasId(chunk, "fmt ")) {
            if (size < 16 || size > 65536)
                fail("Unsupported WAV fmt chunk");
            std::vector<unsigned char> body(size);
            if (std::fread(body.data(), 1, body.size(), m_file) != body.size())
                fail("Truncated WAV fmt chunk");
            parseFormat(body);
            haveFormat = true;
        } else if (hasId(chunk, "data")) {
            m_dataOffset = chunkStart + 8;
            if (rf64 && size == rf64Placeholder && haveDs64)
                length = ds64DataSize;
            if (length > static_cast<std::uint64_t>(fileSize - m_dataOffset))
                fail("Truncated WAV data");
            dataLength = length;
            haveData = true;
            if (haveFormat) {
                if (length % m_blockAlign != 0)
                    fail("Incomplete WAV frame");
                break;
            }
        }
        // Every size here is below 2^63, so the sum cannot wrap.
        const std::uint64_t next =
            static_cast<std::uint64_t>(chunkStart) + 8 + length + (length & 1);
        if (next <= static_cast<std::uint64_t>(chunkStart) ||
            next > static_cast<std::uint64_t>(fileSize))
            fail("Invalid WAV chunk size");
        chunkStart = static_cast<std::int64_t>(next);
        seekTo(m_file, chunkStart);
        if (tell(m_file) != chunkStart)
            fail("WAV tell failed");
    }
    if (!haveFormat || !haveData)
        fail("WAV fmt/data chunks missing");

    m_frameCount = dataLength / m_blockAlign;
    if (m_frameCount < 2)
        fail("WAV has too few samples");
}

void WavReader::parseFormat(const std::vector<unsigned char> &body)
{
    const unsigned char *p = body.data();
    const std::uint16_t tag = read16(p, m_bigEndian);
    const std::uint16_t channels = read16(p + 2, m_bigEndian);
    const std::uint32_t sampleRate = read32(p + 4, m_bigEndian);
    const std::uint16_t blockAlign = read16(p + 12, m_bigEndian);
    const int bits = read16(p + 14, m_bigEndian);

    int validBits = bits;
    std::uint16_t codec = tag;
    if (tag == tagExtensible) {
        if (body.size() < 40)
            fail("Truncated extensible WAV format");
        const int declared = read16(p + 18, m_bigEndian);
        validBits = declared == 0 ? bits : declared;
        if (validBits > bits)
            fail("Invalid WAV extensible valid bits");
        codec = read16(p + 24, m_bigEndian);
    }
    if (codec != tagPcm && codec != tagFloat)
        fail("WAV codec is not PCM/IEEE float");
    const bool isFloat = codec == tagFloat;
    if (isFloat && validBits != bits)
        fail("Unsupported padded float WAV");
    if (channels < 1 || channels > 64 || sampleRate < 1 || sampleRate > 1000000)
        fail("Invalid WAV channels/sample rate");
    const bool supported = isFloat ? (bits == 32 || bits == 64)
                                   : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (!supported)
        fail("Unsupported PCM sample precision");
    const int bytesPerSample = (bits + 7) / 8;
    if (blockAlign != channels * bytesPerSample)
        fail("Unsupported WAV block alignment");

    m_sampleRate = static_cast<std::int32_t>(sampleRate);
    m_channels = channels;
    m_bitsPerSample = bits;
    m_validBits = validBits;
    m_bytesPerSample = bytesPerSample;
    m_blockAlign = blockAlign;
    m_isFloat = isFloat;
    m_fullScale = std::ldexp(1.0, bits - 1);
    m_clipLevel = isFloat ? 1.0 : 1.0 - 1.0 / m_fullScale;
}

std::uint64_t WavReader::readFrames(std::uint64_t firstFrame, std::uint64_t frameCount)
{
    if (m_blockAlign != 0 && frameCount > std::numeric_limits<std::uint64_t>::max() / m_blockAlign)
        fail("WAV read too large");
    if (firstFrame >= m_frameCount || frameCount == 0)
        return 0;
    const std::uint64_t frames = std::min(frameCount, m_frameCount - firstFrame);
    seekTo(m_file, m_dataOffset + static_cast<std::int64_t>(firstFrame * m_blockAlign));
    m_raw.resize(frames * m_blockAlign);
    if (std::fread(m_raw.data(), 1, m_raw.size(), m_file) != m_raw.size())
        fail("WAV read error");
    return frames;
}

std::vector<double> WavReader::readInterleaved(std::uint64_t firstFrame, std::uint64_t frameCount,
                                               std::uint64_t *nonFinite)
{
    const std::uint64_t frames = readFrames(firstFrame, frameCount);
    std::vector<double> samples(frames * m_channels);
    const auto convertAll = m_bigEndian ? convertOrdered<true> : convertOrdered<false>;
    const std::uint64_t bad =
        convertAll(m_bitsPerSample, m_isFloat, m_raw.data(), samples.size(),
                   static_cast<std::size_t>(m_bytesPerSample), samples.data());
    if (nonFinite)
        *nonFinite += bad;
    return samples;
}

std::vector<double> WavReader::readChannel(std::uint64_t firstFrame, std::uint64_t frameCount,
                                           int channel)
{
    if (channel < 0 || channel >= m_channels)
        fail("Invalid WAV channel");
    if (m_blockAlign != 0 && frameCount > std::numeric_limits<std::uint64_t>::max() / m_blockAlign)
        fail("WAV read too large");
    if (firstFrame >= m_frameCount || frameCount == 0)
        return {};
    const std::uint64_t frames = std::min(frameCount, m_frameCount - firstFrame);
    std::vector<double> samples(frames);
    const auto convertOne = m_bigEndian ? convertOrdered<true> : convertOrdered<false>;
    const std::uint64_t chunkFrames = std::max<std::uint64_t>(channelChunkBytes / m_blockAlign, 1);
    for (std::uint64_t done = 0; done < frames;) {
        const std::uint64_t read =
            readFrames(firstFrame + done, std::min(chunkFrames, frames - done));
        convertOne(m_bitsPerSample, m_isFloat,
                   m_raw.data() + static_cast<std::size_t>(channel) * m_bytesPerSample, read,
                   m_blockAlign, samples.data() + done);
        done += read;
    }
    return samples;
}

} // namespace NativeWav
