#include "privatelogind.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

namespace {

const char *const busName = "corvin-test-private-bus";

QDBusMessage mockCall(const char *method)
{
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.DBus.Mock"), QLatin1String(method));
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(10000);
    }
}

} // namespace

PrivateLogind::~PrivateLogind()
{
    stopLogind();
    QDBusConnection::disconnectFromBus(QLatin1String(busName));
    stopProcess(m_bus);
}

bool PrivateLogind::mustFail()
{
    return qEnvironmentVariableIsSet("CI");
}

bool PrivateLogind::startBus()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        m_problem = QStringLiteral("dbus-daemon is not installed");
        return false;
    }
    m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                         QStringLiteral("--print-address=1")});
    if (!m_bus.waitForStarted(20000)) {
        m_problem = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    QDeadlineTimer deadline(30000);
    while (!m_bus.canReadLine() && !deadline.hasExpired())
        m_bus.waitForReadyRead(500);
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_problem = QStringLiteral("dbus-daemon printed no address");
        return false;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
    if (!connection().isConnected()) {
        m_problem = QStringLiteral("cannot connect to the private bus");
        return false;
    }
    return true;
}

QDBusConnection PrivateLogind::connection() const
{
    return QDBusConnection::connectToBus(m_address, QLatin1String(busName));
}

QString PrivateLogind::findPython()
{
    QStringList candidates;
    if (qEnvironmentVariableIsSet("CORVIN_PYTHON"))
        candidates << qEnvironmentVariable("CORVIN_PYTHON");
    // Debian's interpreter carries python3-dbusmock even where another python3 comes first.
    candidates << QStringLiteral("/usr/bin/python3") << QStringLiteral("python3");
    for (const QString &python : candidates) {
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return QString();
}

bool PrivateLogind::startLogind()
{
    const QString python = findPython();
    if (python.isEmpty()) {
        m_problem = QStringLiteral("python3-dbusmock is not installed");
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
    m_logind.setProcessEnvironment(env);
    m_logind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_logind.start(python, {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                            QStringLiteral("--template"), QStringLiteral("logind")});
    if (!m_logind.waitForStarted(20000)) {
        m_problem = QStringLiteral("the logind mock did not start");
        return false;
    }
    QDBusConnectionInterface *names = connection().interface();
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (names->isServiceRegistered(QStringLiteral("org.freedesktop.login1")))
            return true;
        if (m_logind.state() == QProcess::NotRunning)
            break;
        QThread::msleep(50);
    }
    m_problem = QStringLiteral("the logind mock did not take its bus name");
    return false;
}

void PrivateLogind::stopLogind()
{
    stopProcess(m_logind);
    if (!m_address.isEmpty()) {
        QDBusConnectionInterface *names = connection().interface();
        QDeadlineTimer deadline(20000);
        while (names->isServiceRegistered(QStringLiteral("org.freedesktop.login1")) &&
               !deadline.hasExpired())
            QThread::msleep(50);
    }
}

QStringList PrivateLogind::inhibitors() const
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
    const QDBusMessage reply = connection().call(call);
    QStringList result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {QStringLiteral("<no answer>")};
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        result << what + QLatin1Char('|') + who + QLatin1Char('|') + mode;
    }
    list.endArray();
    return result;
}

QList<bool> PrivateLogind::suspendCalls() const
{
    QDBusMessage call = mockCall("GetMethodCalls");
    call << QStringLiteral("Suspend");
    const QDBusMessage reply = connection().call(call);
    QList<bool> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return result;
    const QDBusArgument calls = reply.arguments().constFirst().value<QDBusArgument>();
    calls.beginArray();
    while (!calls.atEnd()) {
        qulonglong stamp = 0;
        calls.beginStructure();
        calls >> stamp;
        calls.beginArray();
        while (!calls.atEnd()) {
            QDBusVariant argument;
            calls >> argument;
            result << argument.variant().toBool();
        }
        calls.endArray();
        calls.endStructure();
    }
    calls.endArray();
    return result;
}

bool PrivateLogind::failSuspend(const QString &errorName) const
{
    QDBusMessage call = mockCall("AddMethod");
    call << QStringLiteral("org.freedesktop.login1.Manager") << QStringLiteral("Suspend")
         << QStringLiteral("b") << QString()
         << QStringLiteral("raise dbus.exceptions.DBusException('refused', name='%1')")
                .arg(errorName);
    return connection().call(call).type() == QDBusMessage::ReplyMessage;
}
