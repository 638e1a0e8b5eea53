#include "favoriteslock.h"

#include <QDir>
#include <QFileInfo>

FavoritesLock::FavoritesLock(const QString &favoritesPath)
    : m_path(favoritesPath + QStringLiteral(".lock"))
    , m_lock(m_path)
{
    // Held for a whole run: only a dead holder makes it stale, never its age.
    m_lock.setStaleLockTime(0);
}

bool FavoritesLock::tryLock()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return m_lock.tryLock(0);
}

qint64 FavoritesLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    return m_lock.getLockInfo(&pid, &host, &application) ? pid : 0;
}
