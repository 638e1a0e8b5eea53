#pragma once

#include "favorite.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// The Favorites list as the report reads it: header texts and, per row, the cell texts in
// column order and the row's band (RfBands index or RfBands::none).
struct FavoritesReportTable
{
    struct Row
    {
        QStringList cells;
        int band = -1;
    };
    QStringList headers;
    QVector<Row> rows;

    // The table of favourites filled as the Favorites list fills its rows.
    static FavoritesReportTable of(const QVector<Favorite> &favorites);
};

// The printable Favorites page: title, generation line, a legend counting the favourites per
// band, and one table row per favourite with frequency and band coloured by band. Written in
// one go through an atomic save file; texts follow the running language. UI-free.
namespace FavoritesReport {

// "favorites_<yyyyMMdd_HHmmss_zzz>_<process id>.html"
QString fileName(const QDateTime &localTime, qint64 processId);

// Writes the report of table into folder (created when missing), generated at localTime.
// Returns the report's path, or an empty string on failure; *logMessage is the line for the
// log either way ("Favorites report saved: %1", "Could not create Favorites report: %1" or
// "Could not write the Favorites report: %1").
QString write(const QString &folder, const FavoritesReportTable &table, const QDateTime &localTime,
              QString *logMessage);

} // namespace FavoritesReport
