#include "driverscanreceiver.h"

#include "corvindriver.h"

bool DriverScanReceiver::tune(qint64 hertz)
{
    return m_driver.tune(hertz);
}

bool DriverScanReceiver::setMode(int mode)
{
    return m_driver.setMode(mode);
}

bool DriverScanReceiver::readSignalLevel(int *level, QString *error)
{
    return m_driver.readSignalLevel(level, error);
}

int DriverScanReceiver::effectiveMode() const
{
    return m_driver.state().effectiveMode;
}
