#pragma once

#include <QAudioDeviceInfo>
#include <QList>

namespace AudioDevices {

// The platform's devices of a mode whose realm is "default", in the platform's order; when that
// list is not empty and the default device is valid, the default device is put in front as well.
QList<QAudioDeviceInfo> list(QAudio::Mode mode, const QAudioDeviceInfo &defaultDevice);

} // namespace AudioDevices
