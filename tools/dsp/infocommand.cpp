// corvin-dsp info FILE: the format of a WAV file as one JSON object.

#include "cli.h"
#include "wavreader.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>

namespace {

int runInfo(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1) {
        Cli::printUsage("info", err);
        return Cli::UsageError;
    }
    NativeWav::WavReader reader;
    try {
        reader.open(Cli::filePath(arguments.first()));
    } catch (const std::runtime_error &error) {
        err << "error: " << error.what() << '\n';
        return Cli::Failed;
    }
    const auto frames = static_cast<double>(reader.frameCount());
    const QJsonObject info{
        {"sample_rate", reader.sampleRate()},
        {"channels", reader.channels()},
        {"bits", reader.bitsPerSample()},
        {"valid_bits", reader.validBits()},
        {"float", reader.isFloat()},
        {"big_endian", reader.bigEndian()},
        {"frames", frames},
        {"duration_s", frames / reader.sampleRate()},
    };
    out << QJsonDocument(info).toJson(QJsonDocument::Indented);
    return 0;
}

const bool registered =
    Cli::add({"info", "FILE", "what the WAV reader sees in a file, as JSON", &runInfo});

} // namespace
