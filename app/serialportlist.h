#pragma once

#include <QStringList>

class QComboBox;

// The serial port list of the Settings page. It holds the ports the system reports, the
// simulated receiver's terminal when one is running (the path in the environment variable
// CORVIN_SIMULATOR_PORT, when that file exists), and any path the user types.
namespace SerialPortList {

// Ports to offer: the simulator's terminal first (when present), then the system's ports.
QStringList portNames();

// Fills the list with the names, or with the receiver panel's placeholder entry when there
// are none. Signals blocked.
void fill(QComboBox *list, const QStringList &names);

} // namespace SerialPortList
