#pragma once

#include "favorite.h"

#include <QString>
#include <QTextStream>
#include <QVector>

class FavoritesLock;

// The favourites file corvin-favorites works on (--file PATH, default "./sys/favorites.xml")
// and what its commands share: reading it with a clear message, and the lock that keeps it
// from writing while Corvin runs.
namespace FavoritesSession {

void setPath(const QString &path);
QString path();

// Reads the file (a missing file is an empty list). False, with "error: ..." on err, when it
// exists but cannot be read.
bool load(QVector<Favorite> *favorites, QTextStream &err);

// Takes the lock for a change. False, with "error: ..." on err, while Corvin (or another
// corvin-favorites) holds it.
bool lockForWriting(FavoritesLock &lock, QTextStream &err);

} // namespace FavoritesSession
