#include "audiodevices.h"

namespace AudioDevices {

QList<QAudioDeviceInfo> list(QAudio::Mode mode, const QAudioDeviceInfo &defaultDevice)
{
    QList<QAudioDeviceInfo> kept;
    const QList<QAudioDeviceInfo> all = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo &device : all) {
        if (device.realm() == QLatin1String("default")) {
            kept.append(device);
        }
    }
    if (!kept.isEmpty() && !defaultDevice.isNull()) {
        kept.prepend(defaultDevice);
    }
    return kept;
}

} // namespace AudioDevices
