#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

// A private message bus for tests, standing in for the system bus, with python-dbusmock's logind
// template started on it on request. The bus address is exported as DBUS_SYSTEM_BUS_ADDRESS so
// that code using the system bus talks to it.
class PrivateLogind
{
public:
    PrivateLogind() = default;
    ~PrivateLogind();

    PrivateLogind(const PrivateLogind &) = delete;
    PrivateLogind &operator=(const PrivateLogind &) = delete;

    // Starts the bus. Returns false with problem() set when dbus-daemon cannot run.
    bool startBus();
    // Starts the logind mock and waits until it owns its name.
    bool startLogind();
    void stopLogind();

    QString problem() const { return m_problem; }
    QString address() const { return m_address; }
    // A connection of the test itself to the private bus.
    QDBusConnection connection() const;

    // "what" fields of the inhibitor locks logind currently holds, each "what|who|mode".
    QStringList inhibitors() const;
    // Arguments of every Suspend call logind received so far, in order.
    QList<bool> suspendCalls() const;
    // Makes the next Suspend calls fail with the given D-Bus error name.
    bool failSuspend(const QString &errorName) const;

    // Reports a missing tool: fails under CI (where the tools are installed), skips elsewhere.
    static bool mustFail();

private:
    QString findPython();

    QProcess m_bus;
    QProcess m_logind;
    QString m_address;
    QString m_problem;
};
