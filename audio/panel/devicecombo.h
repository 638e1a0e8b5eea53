#pragma once

#include <QAudioDeviceInfo>
#include <QList>
#include <QString>

class QComboBox;

// Fills a device selector from a device list in the same order (so the current index selects
// the device), with the naming and selection rules of DeviceNaming; "No devices available" for an
// empty list. The combo's signals are blocked while it changes. GUI thread.
void fillDeviceCombo(QComboBox *combo, const QList<QAudioDeviceInfo> &devices,
                     const QString &savedIdentifier, const QAudioDeviceInfo &defaultDevice,
                     bool isInput);
