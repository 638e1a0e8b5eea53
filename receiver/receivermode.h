#pragma once

#include <QString>
#include <QStringList>

// Receiver modes. The code is both the receiver's mode number (sent as "MD" + code)
// and the index of every mode list of the user interface.
enum class ReceiverMode : int {
    Wfm = 0,
    Nfm = 1,
    Am = 2,
    Usb = 3,
    Lsb = 4,
    Cw = 5,
    Sfm = 6,
    Wam = 7,
    Nam = 8,
    Auto = 9, // no MD command: the receiver's band plan chooses the mode
};

constexpr int receiverModeCount = 10;

// The name shown for a mode code ("WFM" ... "AUTO"); empty for a code outside 0-9.
QString receiverModeName(int code);
// Every mode's name, in code order ("WFM" first, "AUTO" last).
QStringList receiverModeNames();

// The code of a mode name (case-insensitive), or -1 when the name is unknown.
int receiverModeFromName(const QString &name);
