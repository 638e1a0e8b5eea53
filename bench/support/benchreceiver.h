#pragma once

#include "corvindriver.h"
#include "rxsimulator.h"

// The receiver a benchmark times the serial path against: the simulator in-process on a
// pseudo-terminal, without its wire log (it would grow with every command), and the driver
// open on it. Thread of the driver's user.
class BenchReceiver
{
public:
    // Starts the simulator, paced like the real line (19200 baud 8N2) or answering at once, and
    // opens the driver on it; false, with "simulator: <reason>" on stderr, when either fails.
    bool start(bool paced);

    RxSimulator sim;
    Corvindriver driver;
};
