#include "devicecombo.h"

#include "devicenaming.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSignalBlocker>

void fillDeviceCombo(QComboBox *combo, const QList<QAudioDeviceInfo> &devices,
                     const QString &savedIdentifier, const QAudioDeviceInfo &defaultDevice,
                     bool isInput)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    if (devices.isEmpty()) {
        combo->addItem(QCoreApplication::translate("AudioPanel", "No devices available"));
        combo->setToolTip(QString());
        return;
    }
    QVector<DeviceEntry> entries;
    entries.reserve(devices.size());
    for (const QAudioDeviceInfo &device : devices) {
        entries.append({device.deviceName(), device == defaultDevice});
    }
    const DeviceSelection selection = DeviceNaming::build(entries, savedIdentifier, isInput);
    for (const DeviceItem &item : selection.items) {
        combo->addItem(item.text, item.identifier);
    }
    combo->setCurrentIndex(selection.current);
    combo->setToolTip(combo->currentText());
}
