// Writes the fuzzer's seed corpus: a small valid file of every container and sample format
// the reader accepts, plus the layouts it must walk (extensible, data before fmt, extra and
// odd-sized chunks). Usage: wavseeds DIRECTORY

#include "wavimage.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using WavFixture::Bytes;
using WavFixture::WavImage;

namespace {

// 24 frames of a sine (one value per channel, slightly different), encoded as the format says.
Bytes sineSamples(const WavImage &image, int bits, bool isFloat, int channels)
{
    Bytes out;
    for (int frame = 0; frame < 24; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            const double value = 0.9 * std::sin(0.7 * frame + channel);
            std::uint64_t word;
            if (isFloat && bits == 32) {
                const float single = static_cast<float>(value);
                std::uint32_t b;
                std::memcpy(&b, &single, 4);
                word = b;
            } else if (isFloat) {
                std::memcpy(&word, &value, 8);
            } else {
                const double full = std::ldexp(1.0, bits - 1);
                word = static_cast<std::uint64_t>(static_cast<std::int64_t>(value * full) +
                                                  (bits == 8 ? 128 : 0));
            }
            const int bytes = bits / 8;
            for (int i = 0; i < bytes; ++i) {
                const int shift = 8 * (image.bigEndian() ? bytes - 1 - i : i);
                out.push_back(static_cast<std::uint8_t>(word >> shift));
            }
        }
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: wavseeds DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    int written = 0;
    const auto save = [&](const std::string &name, const WavImage &image) {
        if (!image.writeTo(directory + "/" + name + ".wav")) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            std::exit(1);
        }
        ++written;
    };

    struct Format
    {
        const char *name;
        int bits;
        bool isFloat;
    };
    const Format formats[] = {{"pcm8", 8, false},   {"pcm16", 16, false},  {"pcm24", 24, false},
                              {"pcm32", 32, false}, {"float32", 32, true}, {"float64", 64, true}};
    for (const char *container : {"RIFF", "RIFX", "RF64"}) {
        for (const Format &format : formats) {
            const std::uint16_t tag = format.isFloat ? 3 : 1;
            const int channels = format.bits == 16 ? 2 : 1;
            const std::string name = std::string(container) + "-" + format.name;
            WavImage plain(container);
            const Bytes samples = sineSamples(plain, format.bits, format.isFloat, channels);
            if (std::string(container) == "RF64") {
                plain.ds64(samples.size()).format(tag, channels, 8000, format.bits);
                plain.chunk("data", samples, 0xFFFFFFFF, true);
            } else {
                plain.format(tag, channels, 8000, format.bits).data(samples);
            }
            save(name, plain);

            WavImage extensible(container);
            const int validBits = format.isFloat ? format.bits : format.bits - 4;
            extensible.extensible(channels, 44100, format.bits, validBits, tag)
                .chunk("fact", {24, 0, 0, 0})
                .data(samples);
            save(name + "-extensible", extensible);
        }
    }

    WavImage dataFirst;
    dataFirst.data(sineSamples(dataFirst, 16, false, 1)).format(1, 1, 22050, 16);
    save("RIFF-data-before-fmt", dataFirst);

    WavImage chunks;
    chunks.chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
        .chunk("ds64", {1, 2})
        .format(1, 3, 48000, 24)
        .data(sineSamples(chunks, 24, false, 3))
        .chunk("cue ", Bytes(4, 0));
    save("RIFF-odd-chunks", chunks);

    std::printf("%d seed files in %s\n", written, directory.c_str());
    return 0;
}
