#pragma once

#include <QtGlobal>

// The receiver as the network protocol sees it. Implemented over the receiver panel in the
// program and over the bare driver in corvin-rxctl; called on the thread that owns the
// receiver (the GUI thread), so a request never interleaves with another exchange.
// Frequencies in Hz, modes are ReceiverMode codes 0-9, S-meter levels 0-255.
class RigBackend
{
public:
    enum class Result {
        Ok,
        Busy,    // another activity owns the receiver: nothing was sent
        Offline, // the receiver is not connected: nothing was sent
        Failed,  // the receiver did not take the request (no reply, "?", link error)
    };

    // What is known without asking the receiver.
    struct Status
    {
        bool online = false; // the receiver is connected
        bool busy = false;   // a long activity runs: set requests are refused
        qint64 frequency = 0;
        int mode = 0;          // selected mode code 0-9
        int effectiveMode = 9; // mode in use, 9 when unknown (under AUTO)
        int signalLevel = 0;   // last S-meter reading
    };

    virtual ~RigBackend() = default;

    virtual Status status() const = 0;
    // Each blocks for the receiver's exchanges.
    virtual Result tune(qint64 hertz) = 0;
    virtual Result setMode(int code) = 0;
    virtual Result readSignalLevel(int *level) = 0;

protected:
    RigBackend() = default;
    RigBackend(const RigBackend &) = default;
    RigBackend &operator=(const RigBackend &) = default;
};
