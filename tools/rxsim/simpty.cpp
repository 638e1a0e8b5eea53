#include "simpty.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

SimPty::~SimPty()
{
    close();
}

bool SimPty::open(QString *error)
{
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        close();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        *error = QStringLiteral("cannot name the pseudo-terminal");
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0) {
        *error = QStringLiteral("cannot open %1: %2")
                     .arg(m_slavePath, QString::fromLocal8Bit(strerror(errno)));
        close();
        return false;
    }
    // Raw from the start: no echo or line editing before the program configures the port.
    termios tio{};
    if (tcgetattr(m_slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    return true;
}

bool SimPty::link(const QString &path, QString *error)
{
    const QFileInfo existing(path);
    if (existing.isSymLink() || existing.exists()) {
        if (!existing.isSymLink() || !QFile::remove(path)) {
            *error = QStringLiteral("%1 exists and is not a replaceable link").arg(path);
            return false;
        }
    }
    if (symlink(m_slavePath.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
        *error =
            QStringLiteral("cannot link %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_linkPath = path;
    return true;
}

void SimPty::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

void SimPty::vanish()
{
    hangUp();
    if (!m_linkPath.isEmpty() && QFileInfo(m_linkPath).isSymLink())
        QFile::remove(m_linkPath);
}

bool SimPty::reappear(QString *error)
{
    // open() forgets the link; a failed try keeps its path for the next one.
    const QString linkPath = m_linkPath;
    if (open(error) && (linkPath.isEmpty() || link(linkPath, error)))
        return true;
    m_linkPath = linkPath;
    return false;
}

void SimPty::close()
{
    hangUp();
    if (!m_linkPath.isEmpty()) {
        if (QFileInfo(m_linkPath).isSymLink())
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
}
