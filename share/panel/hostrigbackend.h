#pragma once

#include "rigbackend.h"

class CorvinHost;

// The network protocol's receiver inside the program: requests go through the receiver
// panel's request queue (and so through the driver's line lock) on the GUI thread, and show
// on the dial, the readout and the S-meter as if the user had made them. While a long
// activity runs the receiver is busy: set requests are refused and reads answer from the
// last known state. GUI thread only.
class HostRigBackend : public RigBackend
{
public:
    explicit HostRigBackend(CorvinHost &host);

    Status status() const override;
    Result tune(qint64 hertz) override;
    Result setMode(int code) override;
    Result readSignalLevel(int *level) override;

private:
    // Offline or Busy when the receiver cannot take a request now, else Ok.
    Result availability() const;

    CorvinHost &m_host;
};
