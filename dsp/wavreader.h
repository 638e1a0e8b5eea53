#pragma once

// Strict reader of WAV recordings: RIFF (little-endian), RIFX (big-endian) and RF64 (64-bit
// sizes through "ds64") containers holding PCM of 8, 16, 24 or 32 bits or IEEE float of 32 or
// 64 bits, plain or extensible (valid bits up to the container width). Samples are handed out
// in blocks chosen by the caller, converted to doubles in -1 ... +1, so files larger than
// memory can be scanned.
//
// Every problem raises std::runtime_error with a fixed English message ("Cannot open WAV
// file", "Truncated WAV data", ...). A reader whose open() failed is to be discarded.
// One thread at a time: reads move the file position.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace NativeWav {

class WavReader
{
public:
    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader &) = delete;
    WavReader &operator=(const WavReader &) = delete;

    // Opens the file and validates its header; afterwards the accessors below describe it.
    // Requires at least two whole frames. Only a regular file opens: a named pipe, a device or
    // a directory fails at once with "Cannot open WAV file" (a pipe would otherwise wait for
    // a writer).
    void open(const std::filesystem::path &path);

    // Frames [firstFrame, firstFrame + frameCount) clipped to the file, frames x channels
    // values in file order. Empty when firstFrame >= frameCount() or frameCount is 0.
    // NaN and infinite float samples read as 0 and are added to *nonFinite when given.
    // Errors: "WAV read too large", "WAV seek failed", "WAV read error".
    std::vector<double> readInterleaved(std::uint64_t firstFrame, std::uint64_t frameCount,
                                        std::uint64_t *nonFinite = nullptr);

    // The samples of one channel (0-based) of the same frames; non-finite samples read as 0
    // without being counted. The frames pass through a buffer of at most about 1 MiB, so the
    // memory taken does not grow with the number of channels. A channel outside
    // 0 ... channels() - 1 raises "Invalid WAV channel"; otherwise the errors of
    // readInterleaved().
    std::vector<double> readChannel(std::uint64_t firstFrame, std::uint64_t frameCount,
                                    int channel);

    std::int32_t sampleRate() const { return m_sampleRate; }         // frames per second
    std::uint16_t channels() const { return m_channels; }            // 1 ... 64, interleaved
    std::int32_t bitsPerSample() const { return m_bitsPerSample; }   // container: 8 ... 64
    std::int32_t validBits() const { return m_validBits; }           // significant bits
    std::int32_t bytesPerSample() const { return m_bytesPerSample; } // (bits + 7) / 8
    std::uint32_t blockAlign() const { return m_blockAlign; }        // bytes per frame
    bool isFloat() const { return m_isFloat; }                       // IEEE float samples
    bool bigEndian() const { return m_bigEndian; }                   // RIFX container
    std::int64_t dataOffset() const { return m_dataOffset; }         // first sample byte
    std::uint64_t frameCount() const { return m_frameCount; }        // whole frames
    double fullScale() const { return m_fullScale; }                 // 2^(bits - 1)
    // Largest sample value: 1 for float, 1 - 1/fullScale for PCM.
    double clipLevel() const { return m_clipLevel; }

private:
    void readHeader();
    void parseFormat(const std::vector<unsigned char> &body);
    // Reads the raw bytes of the requested frames into m_raw; returns the frames read.
    std::uint64_t readFrames(std::uint64_t firstFrame, std::uint64_t frameCount);

    std::FILE *m_file = nullptr;
    std::vector<unsigned char> m_raw; // the last block's bytes, reused between reads
    std::int32_t m_sampleRate = 0;
    std::uint16_t m_channels = 0;
    std::int32_t m_bitsPerSample = 0;
    std::int32_t m_validBits = 0;
    std::int32_t m_bytesPerSample = 0;
    std::uint32_t m_blockAlign = 0;
    bool m_isFloat = false;
    bool m_bigEndian = false;
    std::int64_t m_dataOffset = 0;
    std::uint64_t m_frameCount = 0;
    double m_fullScale = 1.0;
    double m_clipLevel = 1.0;
};

} // namespace NativeWav
