#pragma once

#include "favorite.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The favourites file ("./sys/favorites.xml"): a preference file of application "favorites",
// version "0.0.1", whose group "Frequency.List" holds "Counts" and, for each favourite i, the
// options "[i].frequency" (MHz, six decimals), "[i].doc" (name), "[i].modulation" (mode text)
// and one option per attribute key. Other groups survive a save. Saves replace the file
// atomically, and a file that exists but cannot be read is never overwritten. UI-free.
namespace FavoritesFile {

constexpr const char *formatName = "favorites";
constexpr const char *formatVersion = "0.0.1";
constexpr const char *listGroup = "Frequency.List";

struct LoadResult
{
    bool ok = false;             // false: the file exists but cannot be read or is not one
    bool missing = false;        // there is no file yet (ok, and no favourites)
    QVector<Favorite> favorites; // in index order
    QString error;               // why not ok (the file's error or the parse error and line)
};

// Reads the favourites with indices 0 to "Counts" - 1 that have options, in index order, so a
// huge or hostile count cannot stall the program and a gap gives no empty row. A "modulation"
// holding a mode-list index (older files) becomes that mode's text from modeTexts; a frequency
// that is not a finite number of MHz becomes 0.
LoadResult load(const QString &path, const QStringList &modeTexts);

// Writes favourites, keeping the file's other groups and dropping every indexed option at or
// above the new count. False, with the reason in *error, when the folder cannot be made, the
// existing file cannot be read (then it is left untouched), or the write fails.
bool save(const QString &path, const QVector<Favorite> &favorites, QString *error);

} // namespace FavoritesFile
