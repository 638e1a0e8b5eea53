#include "audioformats.h"

#include <QCoreApplication>
#include <QList>

namespace AudioFormats {

QAudioFormat choose(const QAudioDeviceInfo &device, const QAudioFormat &requested,
                    const Constraint &constraint)
{
    const auto usable = [&](const QAudioFormat &format) {
        return device.isFormatSupported(format) && (!constraint || constraint(format));
    };
    if (device.isNull()) {
        return QAudioFormat();
    }
    if (requested.isValid() && usable(requested)) {
        return requested;
    }
    QList<int> rates = device.supportedSampleRates();
    rates.prepend(44100);
    rates.prepend(48000);
    if (requested.isValid()) {
        rates.prepend(requested.sampleRate());
    }
    for (int rate : qAsConst(rates)) {
        for (int channels : {2, 1}) {
            QAudioFormat format;
            format.setCodec(QStringLiteral("audio/pcm"));
            format.setSampleRate(rate);
            format.setChannelCount(channels);
            format.setSampleSize(16);
            format.setByteOrder(QAudioFormat::LittleEndian);
            format.setSampleType(QAudioFormat::SignedInt);
            if (usable(format)) {
                return format;
            }
        }
    }
    return QAudioFormat();
}

QString describe(const QAudioFormat &format)
{
    return QCoreApplication::translate("AudioPanel", "%1 Hz, %2 ch, %3-bit PCM")
        .arg(format.sampleRate())
        .arg(format.channelCount())
        .arg(format.sampleSize());
}

int bufferBytes(const QAudioFormat &format, qint64 microseconds)
{
    const int size = format.bytesForDuration(microseconds);
    const int step = 5 * format.bytesPerFrame();
    return step > 0 ? size - size % step : size;
}

} // namespace AudioFormats
