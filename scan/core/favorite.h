#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One favourite frequency: what the Favorites list shows in a row and the favourites file
// keeps under one index.
struct Favorite
{
    qint64 frequency = 0;   // Hz; 0 when the file held no readable frequency
    QString name;           // station name
    QString mode;           // mode text as the mode list shows it ("USB", "AUTO")
    QJsonObject attributes; // measurements, dates, notes, band override; see FavoriteAttributes

    bool operator==(const Favorite &other) const
    {
        return frequency == other.frequency && name == other.name && mode == other.mode &&
               attributes == other.attributes;
    }
};

// The favourite being measured by "Add current frequency", from the confirmed name until it is
// added to the list.
struct PendingFavorite
{
    qint64 frequency = 0; // Hz, the receiver's frequency when the name was confirmed
    QString name;         // trimmed, non-empty
    QString mode;         // the mode list's text; under AUTO the effective mode's text
    QString discovered;   // UTC, ISO 8601 with milliseconds
    int sMeter = -1;      // -1 until read
    int attempts = 0;     // S-meter attempts made
    bool analysing = false;
};

Q_DECLARE_METATYPE(PendingFavorite)
