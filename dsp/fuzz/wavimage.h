#pragma once

// Builds WAV file images byte by byte: the container header, chunks with true or false sizes,
// format chunks of every kind and raw sample bytes. Used by the reader's tests and by the fuzz
// seed writer; it validates nothing, so it can describe broken files as easily as good ones.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace WavFixture {

using Bytes = std::vector<std::uint8_t>;

class WavImage
{
public:
    // id: "RIFF", "RIFX", "RF64" or anything else for a broken header. RIFX writes sizes and
    // format fields big-endian.
    explicit WavImage(const std::string &id = "RIFF")
        : m_bigEndian(id == "RIFX")
    {
        put(id);
        put32(m_bytes, 0); // filled in by bytes()
        put("WAVE");
    }

    bool bigEndian() const { return m_bigEndian; }

    void put16(Bytes &out, std::uint16_t value) const { putOrdered(out, value, 2); }
    void put32(Bytes &out, std::uint32_t value) const { putOrdered(out, value, 4); }

    // A chunk whose header declares `declared` bytes; the body is written as given and padded
    // to an even length when `pad` is set and the body is odd.
    WavImage &chunk(const std::string &id, const Bytes &body, std::uint32_t declared, bool pad)
    {
        put(id);
        put32(m_bytes, declared);
        m_bytes.insert(m_bytes.end(), body.begin(), body.end());
        if (pad && body.size() % 2 == 1)
            m_bytes.push_back(0);
        return *this;
    }
    WavImage &chunk(const std::string &id, const Bytes &body)
    {
        return chunk(id, body, static_cast<std::uint32_t>(body.size()), true);
    }

    // The 16 bytes of a plain format chunk (byte rate derived from the other fields).
    Bytes formatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t blockAlign, std::uint16_t bits) const
    {
        Bytes body;
        put16(body, tag);
        put16(body, channels);
        put32(body, rate);
        put32(body, rate * blockAlign);
        put16(body, blockAlign);
        put16(body, bits);
        return body;
    }

    // The 40 bytes of an extensible format chunk with the given sub-format code.
    Bytes extensibleBody(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                         std::uint16_t validBits, std::uint16_t subFormat) const
    {
        const auto blockAlign = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
        Bytes body = formatBody(0xFFFE, channels, rate, blockAlign, bits);
        put16(body, 22); // extension size
        put16(body, validBits);
        put32(body, 0); // channel mask
        put16(body, subFormat);
        const std::uint8_t guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        body.insert(body.end(), guidTail, guidTail + sizeof guidTail);
        return body;
    }

    WavImage &format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                     std::uint16_t bits)
    {
        const auto blockAlign = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
        return chunk("fmt ", formatBody(tag, channels, rate, blockAlign, bits));
    }

    WavImage &extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                         std::uint16_t validBits, std::uint16_t subFormat)
    {
        return chunk("fmt ", extensibleBody(channels, rate, bits, validBits, subFormat));
    }

    // "ds64" with RIFF and data sizes, sample count and an empty table (28 bytes, always
    // little-endian).
    WavImage &ds64(std::uint64_t dataSize)
    {
        Bytes body;
        for (std::uint64_t value : {std::uint64_t(0), dataSize, std::uint64_t(0)})
            for (int i = 0; i < 8; ++i)
                body.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        body.resize(28, 0);
        return chunk("ds64", body);
    }

    WavImage &data(const Bytes &samples) { return chunk("data", samples); }

    Bytes bytes() const
    {
        Bytes out = m_bytes;
        Bytes size;
        put32(size, static_cast<std::uint32_t>(out.size() - 8));
        std::memcpy(out.data() + 4, size.data(), 4);
        return out;
    }

    bool writeTo(const std::string &path) const
    {
        const Bytes out = bytes();
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(out.data()),
                   static_cast<std::streamsize>(out.size()));
        return static_cast<bool>(file);
    }

private:
    void put(const std::string &id) { m_bytes.insert(m_bytes.end(), id.begin(), id.end()); }

    void putOrdered(Bytes &out, std::uint32_t value, int width) const
    {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (m_bigEndian ? width - 1 - i : i);
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }

    bool m_bigEndian;
    Bytes m_bytes;
};

} // namespace WavFixture
