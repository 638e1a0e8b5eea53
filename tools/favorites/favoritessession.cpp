#include "favoritessession.h"

#include "datafolders.h"
#include "favoritesfile.h"
#include "favoriteslock.h"
#include "receivermode.h"

#include <QDir>

namespace {
QString filePath = QString::fromLatin1(DataFolders::favoritesFile);
}

namespace FavoritesSession {

void setPath(const QString &path)
{
    filePath = path;
}

QString path()
{
    return filePath;
}

bool load(QVector<Favorite> *favorites, QTextStream &err)
{
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(filePath, receiverModeNames());
    if (!loaded.ok) {
        err << "error: cannot read the favourites file " << QDir::toNativeSeparators(filePath)
            << ": " << loaded.error << '\n';
        return false;
    }
    *favorites = loaded.favorites;
    return true;
}

bool lockForWriting(FavoritesLock &lock, QTextStream &err)
{
    if (lock.tryLock())
        return true;
    err << "error: the favourites file " << QDir::toNativeSeparators(filePath)
        << " is in use by Corvin (process " << lock.holder() << "); close Corvin and try again\n";
    return false;
}

} // namespace FavoritesSession
