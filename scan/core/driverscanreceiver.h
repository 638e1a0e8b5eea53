#pragma once

#include "smartscandevices.h"

class Corvindriver;

// Smart Scan's receiver on the receiver driver. GUI thread.
class DriverScanReceiver : public SmartScanReceiver
{
public:
    explicit DriverScanReceiver(Corvindriver &driver)
        : m_driver(driver)
    {}

    bool tune(qint64 hertz) override;
    bool setMode(int mode) override;
    bool readSignalLevel(int *level, QString *error) override;
    int effectiveMode() const override;

private:
    Corvindriver &m_driver;
};
