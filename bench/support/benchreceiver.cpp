#include "benchreceiver.h"

#include <cstdio>

bool BenchReceiver::start(bool paced)
{
    sim.setPaced(paced);
    sim.setWireLogKept(false);
    QString error;
    if (!sim.start(&error) || !driver.openPort(sim.portPath())) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return false;
    }
    return true;
}
