#pragma once

#include "rigcommand.h"

#include <QByteArray>
#include <QList>

// The answers of the rigctld protocol, plain and extended, as the daemon writes them.
//
// Plain: each value on a line of its own ("7050000\n"); a set command or a failure answers
// "RPRT <code>\n". Extended: the command's long name with a colon (and a set command's
// arguments), then each value as "Label: value", then "RPRT <code>", the parts separated by
// the command's separator and the whole ended by a line feed. Pure functions.
namespace RigReply {

// The protocol's result codes, as its clients know them.
enum Code : int {
    Ok = 0,
    InvalidParameter = -1, // "Invalid parameter"
    NotImplemented = -4,   // "Feature not implemented"
    TimedOut = -5,         // "Communication timed out"
    Rejected = -9,         // "Command rejected by the rig"
    NotAvailable = -11,    // "Feature not available"
    PoweredOff = -20,      // "Rig is not powered on"
};

struct Value
{
    QByteArray label; // empty: the value alone, also in extended answers (get_level)
    QByteArray text;
};

// A get command's values.
QByteArray values(const RigCommand &command, const QList<Value> &values);
// A set command's result, or a get command's failure.
QByteArray status(const RigCommand &command, int code);
// A "?" listing ("M ?", "V ?", "l ?"): the names, each followed by a blank, on one line.
// Plain get listings end there; the rest end with "RPRT 0".
QByteArray listing(const RigCommand &command, const QByteArray &names);
// The "\dump_state" answer around its body.
QByteArray dumpState(const RigCommand &command, const QByteArray &body);

} // namespace RigReply
