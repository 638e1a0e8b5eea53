#include "logindpowerbackend.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char *const service = "org.freedesktop.login1";
const char *const path = "/org/freedesktop/login1";
const char *const managerInterface = "org.freedesktop.login1.Manager";

// logind answers at once; the time-out only guards against a hung service.
constexpr int callTimeoutMs = 10000;

QDBusMessage managerCall(const char *method)
{
    return QDBusMessage::createMethodCall(QLatin1String(service), QLatin1String(path),
                                          QLatin1String(managerInterface), QLatin1String(method));
}

int errorCode(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::Disconnected:
        return EOPNOTSUPP;
    case QDBusError::AccessDenied:
        return EACCES;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
        return ETIMEDOUT;
    default:
        break;
    }
    if (error.name() ==
        QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
        return EACCES;
    return EIO;
}

} // namespace

LogindPowerBackend::LogindPowerBackend(const QDBusConnection &bus)
    : m_bus(bus)
{}

LogindPowerBackend::~LogindPowerBackend()
{
    if (m_inhibitFd >= 0)
        ::close(m_inhibitFd);
}

bool LogindPowerBackend::acquireKeepAwake()
{
    if (m_inhibitFd >= 0)
        return true;
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call = managerCall("Inhibit");
    call << QStringLiteral("sleep:idle") << QStringLiteral("Corvin")
         << QStringLiteral("A scan is running") << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (!reply.isValid() || !reply.value().isValid())
        return false;
    // The reply's descriptor closes with the reply; the lock needs a descriptor of our own.
    m_inhibitFd = ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
    return m_inhibitFd >= 0;
}

bool LogindPowerBackend::releaseKeepAwake()
{
    if (m_inhibitFd < 0)
        return true;
    const int result = ::close(m_inhibitFd);
    // Linux frees the descriptor even when close() reports EINTR; never close it twice.
    m_inhibitFd = -1;
    return result == 0 || errno == EINTR;
}

int LogindPowerBackend::requestSleep()
{
    if (!m_bus.isConnected())
        return EOPNOTSUPP;
    QDBusMessage call = managerCall("Suspend");
    call << false;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return 0;
    return errorCode(QDBusError(reply));
}
