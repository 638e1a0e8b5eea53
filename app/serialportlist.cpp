#include "serialportlist.h"

#include "receiverpanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSignalBlocker>

namespace SerialPortList {

QStringList portNames()
{
    QStringList names;
    const QString simulator = qEnvironmentVariable("CORVIN_SIMULATOR_PORT");
    if (!simulator.isEmpty() && QFileInfo::exists(simulator))
        names.append(simulator);
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (!names.contains(port.portName()))
            names.append(port.portName());
    }
    return names;
}

void fill(QComboBox *list, const QStringList &names)
{
    const QSignalBlocker blocker(list);
    list->clear();
    if (names.isEmpty())
        list->addItem(ReceiverPanel::noSerialPortsText());
    else
        list->addItems(names);
}

} // namespace SerialPortList
