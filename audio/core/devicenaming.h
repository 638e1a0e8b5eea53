#pragma once

#include <QString>
#include <QVector>

// Naming and selection rules of the audio device selectors, free of any audio or widget API so
// they can be checked on their own. GUI thread.
struct DeviceEntry
{
    QString name;
    bool isDefault = false; // the platform's default device of this mode
};

struct DeviceItem
{
    QString text;       // shown in the selector
    QString identifier; // stored in the settings, item data of the selector
};

struct DeviceSelection
{
    QVector<DeviceItem> items; // one per device, in list order; empty for an empty list
    int current = -1;          // index to select; -1 for an empty list
};

namespace DeviceNaming {

// Identifier and caption of the system's default device.
QString defaultIdentifier(bool isInput);
QString defaultCaption(bool isInput);

// Builds the items and the selection: the default device appears under the default caption,
// duplicate identifiers get " (2)", " (3)" ...; the saved identifier wins, then (inputs only) the
// first line input ("Line In", "Line-In", "Linea", any letter case), then the default device.
DeviceSelection build(const QVector<DeviceEntry> &devices, const QString &savedIdentifier,
                      bool isInput);

} // namespace DeviceNaming
