#pragma once

#include "favorite.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Favourites to and from the CSV files of CHIRP, the radio programming tool, so a list can go
// to a handheld and back. UI-free.
//
// Export writes CHIRP's 21 columns in order (Location, Name, Frequency, Duplex, Offset, Tone,
// rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode, Mode, TStep, Skip,
// Power, Comment, URCALL, RPT1CALL, RPT2CALL, DVCODE), CRLF line ends, RFC 4180 quoting,
// frequencies in MHz with six decimals and the notes as Comment.
//
// Import reads columns by header name (so older files with fewer columns too), skips a UTF-8
// byte-order mark, and honours quoted commas, quotes and line breaks. Modes map both ways:
// WFM-WFM, NFM-FM, SFM-NFM, AM, NAM, USB, LSB, CW, AUTO-Auto; WAM exports as AM, CWR and NCW
// import as CW, anything else as AUTO.
namespace ChirpCsv {

QByteArray exportFavorites(const QVector<Favorite> &favorites);

struct ImportResult
{
    bool ok = false;         // false: not a CHIRP file (no Frequency column)
    QString error;           // why not ok
    QVector<Favorite> added; // new favourites, in file order
    int duplicates = 0;      // rows already present (same Hz and mode), or repeated
    int outOfRange = 0;      // rows outside 0.1-3000 MHz
    int unreadable = 0;      // rows whose frequency is not a number
};

// The favourites of a CHIRP file that existing does not hold yet (same frequency in Hz and
// mode text counts as held). Names come from Name, notes from Comment.
ImportResult importFavorites(const QByteArray &csv, const QVector<Favorite> &existing);

// CHIRP's mode of a favourite's mode text, and the favourite's mode of a CHIRP mode.
QString chirpMode(const QString &favoriteMode);
QString favoriteMode(const QString &chirpMode);

} // namespace ChirpCsv
