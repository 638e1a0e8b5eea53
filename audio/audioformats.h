#pragma once

#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QString>

#include <functional>

namespace AudioFormats {

// Extra condition a format must meet besides the device's own support (empty: none).
using Constraint = std::function<bool(const QAudioFormat &)>;

// Negotiates a 16-bit signed little-endian PCM format the device supports: the requested format
// when supported, else the rates requested (if valid), 48000, 44100, then the device's own list,
// each with 2 then 1 channel. Invalid for a null device or when nothing fits.
QAudioFormat choose(const QAudioDeviceInfo &device, const QAudioFormat &requested,
                    const Constraint &constraint = Constraint());

// "%1 Hz, %2 ch, %3-bit PCM" (translated in the context "AudioPanel").
QString describe(const QAudioFormat &format);

// Buffer size for a duration, rounded down to a multiple of five frames.
int bufferBytes(const QAudioFormat &format, qint64 microseconds);

} // namespace AudioFormats
