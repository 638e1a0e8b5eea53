#include "scopeport.h"

#include "corvindriver.h"

#include <QMutexLocker>

bool DriverScopePort::open(const QString &portName, QString *error)
{
    if (m_driver.openPort(portName))
        return true;
    *error = m_driver.line().lastError();
    return false;
}

void DriverScopePort::close()
{
    m_driver.closePort();
}

bool DriverScopePort::isOpen() const
{
    return m_driver.isOpen();
}

bool DriverScopePort::write(const QByteArray &bytes, QString *error)
{
    QMutexLocker lock(&m_driver.lineLock());
    if (m_driver.line().write(bytes))
        return true;
    *error = m_driver.line().lastError();
    return false;
}

QByteArray DriverScopePort::read(int maxBytes, bool *ok, QString *error)
{
    QMutexLocker lock(&m_driver.lineLock());
    const QByteArray bytes = m_driver.line().readAvailable(maxBytes, ok);
    if (!*ok)
        *error = m_driver.line().lastError();
    return bytes;
}

int DriverScopePort::descriptor() const
{
    return m_driver.isOpen() ? m_driver.line().descriptor() : -1;
}

bool DriverScopePort::restoreTuning(qint64 frequency, int mode, const QString &restoreFailed,
                                    QString *error)
{
    if (!m_driver.stopScopeStream(error))
        return false;
    if (!m_driver.setMode(mode) || !m_driver.tune(frequency)) {
        *error = restoreFailed;
        return false;
    }
    error->clear();
    return true;
}
