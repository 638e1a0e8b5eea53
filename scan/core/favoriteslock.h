#pragma once

#include <QLockFile>
#include <QString>

// The lock beside the favourites file ("<file>.lock"): Corvin holds it while it runs, so the
// command-line tool does not change the file under it. A lock left by a process that died is
// taken over. UI-free.
class FavoritesLock
{
public:
    explicit FavoritesLock(const QString &favoritesPath);

    // Takes the lock without waiting; false when another live process holds it (or the folder
    // cannot hold a lock file).
    bool tryLock();
    // The process id of the holder after a failed tryLock (0 when unknown).
    qint64 holder() const;
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};
