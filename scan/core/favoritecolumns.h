#pragma once

#include "favorite.h"

#include <QStringList>
#include <QVariant>

// The columns of the Favorites list and how a favourite fills them, shared by the table, the
// report of the command-line tool and the tests. UI-free.
namespace FavoriteColumns {

enum Column {
    Frequency = 0, // MHz, six decimals
    Name = 1,
    Mode = 2,
    SMeter = 3, // numeric cells 3-6 hold numbers
    Rms = 4,
    Peak = 5,
    Quality = 6,
    Classification = 7, // translated label
    Discovered = 8,     // local "yyyy-MM-dd HH:mm:ss"
    Band = 9,
    Notes = 10,
    Count = 11,
};

// The header texts, translated ("MHz", "Name", ... "Notes").
QStringList headers();
// Initial column widths in pixels.
int initialWidth(int column);

// "145.500000": a frequency in MHz with six decimals.
QString frequencyText(qint64 hertz);
// Hz of a frequency text: round-half-away-from-zero(MHz x 10^6); false when the text is not a
// finite number in Hz's range.
bool hertzFromText(const QString &megahertz, qint64 *hertz);

// The display value of a numeric attribute: a number, or an invalid value for an empty text.
// Numbers display and compare as numbers in the table.
QVariant numberValue(const QString &text);
// The local time "yyyy-MM-dd HH:mm:ss" of a stored UTC time; empty when it is not valid.
QString discoveredText(const QString &utc);
// The stored UTC time re-formatted (tooltip of the discovered cell); empty when not valid.
QString discoveredToolTip(const QString &utc);
// A stored classification as shown: the class labels translated, a user's own text as is.
QString classificationText(const QString &label);
// The first 500 characters of the notes, HTML-escaped, line breaks as "<br>".
QString notesToolTip(const QString &notes);

// The texts a row of the table shows for a favourite, column by column (the band column holds
// the band's name).
QStringList cellTexts(const Favorite &favorite);

} // namespace FavoriteColumns
