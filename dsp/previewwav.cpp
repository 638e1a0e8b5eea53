#include "previewwav.h"

#include "analysismath.h"
#include "nativedsp.h"
#include "wavanalyzer.h"
#include "wavreader.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace NativeWav {

namespace {

void putLittle16(QByteArray &out, quint16 v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

void putLittle32(QByteArray &out, quint32 v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}

} // namespace

void writePreviewWav(const QString &reportFolder, int index, const Result &result,
                     const AnalysisRequest &request, const PulseTrain &train,
                     const std::atomic<bool> &cancel)
{
    if (train.events.empty())
        return;
    const double fs = result.sampleRate;
    const double startSeconds = std::max(train.events.front().timeSeconds - 0.4, 0.0);
    const auto first = static_cast<std::uint64_t>(std::floor(fs * startSeconds));
    const std::uint64_t end = std::min<std::uint64_t>(
        first + 30 * static_cast<std::uint64_t>(result.sampleRate), result.frames);
    if (end < first + 34)
        return;

    throwIfCancelled(cancel);
    WavReader reader;
    reader.open(request.wavPath);
    const std::vector<double> y =
        NativeDsp::zeroPhaseBandpass(reader.readChannel(first, end - first, result.channelUsed - 1),
                                     fs, train.lowHz, train.highHz);
    double peak = 0.0;
    for (double v : y)
        peak = std::max(peak, std::abs(v));
    if (peak <= 1e-16)
        return;
    if (y.size() > 2147483624u)
        throw std::runtime_error("Preview WAV exceeds RIFF limit");

    const auto dataBytes = static_cast<quint32>(2 * y.size());
    QByteArray wav;
    wav.reserve(static_cast<int>(44 + dataBytes));
    wav.append("RIFF", 4);
    putLittle32(wav, dataBytes + 36);
    wav.append("WAVEfmt ", 8);
    putLittle32(wav, 16);
    putLittle16(wav, 1);
    putLittle16(wav, 1);
    putLittle32(wav, result.sampleRate);
    putLittle32(wav, 2 * result.sampleRate);
    putLittle16(wav, 2);
    putLittle16(wav, 16);
    wav.append("data", 4);
    putLittle32(wav, dataBytes);
    const double gain = std::pow(10.0, -0.15) * 32767.0 / peak;
    for (double v : y)
        putLittle16(wav, static_cast<quint16>(static_cast<qint16>(std::lround(gain * v))));

    QSaveFile file(QDir(reportFolder).filePath(QStringLiteral("preview_%1.wav").arg(index)));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("Cannot create preview WAV");
    if (file.write(wav) != wav.size() || !file.commit())
        throw std::runtime_error("Preview WAV write failed");
}

} // namespace NativeWav
