#include "devicenaming.h"

#include <QCoreApplication>

#include <algorithm>

namespace DeviceNaming {

QString defaultIdentifier(bool isInput)
{
    return isInput ? QStringLiteral("System default input")
                   : QStringLiteral("System default output");
}

QString defaultCaption(bool isInput)
{
    return isInput ? QCoreApplication::translate("AudioPanel", "System default input")
                   : QCoreApplication::translate("AudioPanel", "System default output");
}

namespace {

bool containsIdentifier(const QVector<DeviceItem> &items, const QString &identifier)
{
    for (const DeviceItem &item : items) {
        if (item.identifier == identifier) {
            return true;
        }
    }
    return false;
}

} // namespace

DeviceSelection build(const QVector<DeviceEntry> &devices, const QString &savedIdentifier,
                      bool isInput)
{
    DeviceSelection selection;
    int saved = -1;
    int defaultIndex = -1;
    int lineInput[3] = {-1, -1, -1};
    const QString lineNames[3] = {QStringLiteral("Line In"), QStringLiteral("Line-In"),
                                  QStringLiteral("Linea")};
    for (int i = 0; i < devices.size(); ++i) {
        const DeviceEntry &device = devices[i];
        DeviceItem item;
        item.identifier = device.isDefault ? defaultIdentifier(isInput) : device.name;
        item.text = device.isDefault ? defaultCaption(isInput) : device.name;
        if (containsIdentifier(selection.items, item.identifier)) {
            for (int n = 2;; ++n) {
                const QString candidate = QStringLiteral("%1 (%2)").arg(device.name).arg(n);
                if (!containsIdentifier(selection.items, candidate)) {
                    item.identifier = item.text = candidate;
                    break;
                }
            }
        }
        if (saved < 0 && item.identifier == savedIdentifier) {
            saved = i;
        }
        if (device.isDefault && defaultIndex < 0) {
            defaultIndex = i;
        }
        if (isInput) {
            for (int k = 0; k < 3; ++k) {
                if (lineInput[k] < 0 && device.name.contains(lineNames[k], Qt::CaseInsensitive)) {
                    lineInput[k] = i;
                }
            }
        }
        selection.items.append(item);
    }
    if (devices.isEmpty()) {
        return selection;
    }
    if (saved >= 0) {
        selection.current = saved;
    } else if (lineInput[0] >= 0 || lineInput[1] >= 0 || lineInput[2] >= 0) {
        selection.current = lineInput[0] >= 0   ? lineInput[0]
                            : lineInput[1] >= 0 ? lineInput[1]
                                                : lineInput[2];
    } else {
        selection.current = std::max(defaultIndex, 0);
    }
    return selection;
}

} // namespace DeviceNaming
