#pragma once

// Canonical WAV files and 16-bit PCM byte arrays for the anomaly tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <vector>

namespace TestWav {

// A canonical WAV file: format tag 1 (PCM) or 3 (float), the data as given. False when the file
// cannot be written.
inline bool write(const QString &path, int rate, int channels, int bits, bool isFloat,
                  const QByteArray &data)
{
    QByteArray h;
    const auto u32 = [&h](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        h.append(b, 4);
    };
    const auto u16 = [&h](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        h.append(b, 2);
    };
    const int align = channels * bits / 8;
    h += "RIFF";
    u32(static_cast<quint32>(36 + data.size()));
    h += "WAVEfmt ";
    u32(16);
    u16(isFloat ? 3 : 1);
    u16(static_cast<quint16>(channels));
    u32(static_cast<quint32>(rate));
    u32(static_cast<quint32>(rate * align));
    u16(static_cast<quint16>(align));
    u16(static_cast<quint16>(bits));
    h += "data";
    u32(static_cast<quint32>(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(h + data) == h.size() + data.size();
}

// Signed 16-bit little-endian bytes of the samples, and back.
inline QByteArray bytesOf(const std::vector<qint16> &pcm)
{
    QByteArray bytes(static_cast<int>(pcm.size() * 2), Qt::Uninitialized);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        qToLittleEndian<qint16>(pcm[i], bytes.data() + 2 * i);
    return bytes;
}

inline std::vector<qint16> samplesOf(const QByteArray &pcm)
{
    std::vector<qint16> samples(static_cast<std::size_t>(pcm.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
    return samples;
}

} // namespace TestWav
