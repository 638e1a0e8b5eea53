#pragma once

#include "rigbackend.h"

#include <QObject>

class Corvindriver;

// The network protocol's receiver over a bare driver, for corvin-rxctl serve: every request
// goes straight to the driver. The frequency and mode start from what the receiver reports
// when seedFromReceiver() runs and then follow the driver's state. Never busy. GUI (main)
// thread only, like the driver.
class DriverRigBackend : public QObject, public RigBackend
{
    Q_OBJECT

public:
    explicit DriverRigBackend(Corvindriver &driver, QObject *parent = nullptr);

    // Reads the tuned frequency ("RX") and the mode in use ("AU") and brings the driver's
    // record in line with them. False when the receiver did not say.
    bool seedFromReceiver();
    // After the port was reopened: puts the receiver back on the last frequency and mode.
    bool restoreReceiver();

    Status status() const override;
    Result tune(qint64 hertz) override;
    Result setMode(int code) override;
    Result readSignalLevel(int *level) override;

private:
    Corvindriver &m_driver;
    qint64 m_frequency = 0;
    int m_mode = -1; // last mode selected, -1 before the first
};
