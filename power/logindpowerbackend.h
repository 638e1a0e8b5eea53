#pragma once

#include "powerbackend.h"

#include <QDBusConnection>

// Power services of systemd-logind over D-Bus.
//
// Keep-awake is a "sleep:idle" inhibitor lock: Manager.Inhibit hands back a file descriptor and
// the lock lasts exactly as long as that descriptor is open. Sleep is Manager.Suspend, asked
// without interactive authorisation so that an unattended scan never waits for a password.
//
// requestSleep() error codes are errno values: EOPNOTSUPP when there is no bus or no logind on
// it, EACCES when logind refuses the caller, ETIMEDOUT when it does not answer, EIO otherwise.
class LogindPowerBackend : public PowerBackend
{
public:
    // The bus defaults to the system bus (DBUS_SYSTEM_BUS_ADDRESS moves it).
    explicit LogindPowerBackend(const QDBusConnection &bus = QDBusConnection::systemBus());
    ~LogindPowerBackend() override;

    LogindPowerBackend(const LogindPowerBackend &) = delete;
    LogindPowerBackend &operator=(const LogindPowerBackend &) = delete;

    bool acquireKeepAwake() override;
    bool releaseKeepAwake() override;
    int requestSleep() override;

private:
    QDBusConnection m_bus;
    int m_inhibitFd = -1;
};
