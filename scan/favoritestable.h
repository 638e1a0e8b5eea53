#pragma once

#include "favorite.h"
#include "favoritesreport.h"

#include <QJsonObject>
#include <QTableWidget>
#include <QVector>

// The Favorites list ("favoritesList"): one row per favourite, eleven columns (see
// FavoriteColumns), the MHz cell carrying the attribute object. Rows are read back as
// Favorite values for saving, the report and CHIRP export. Smart Scan adds and updates rows
// through the same calls. GUI thread.
class FavoritesTable : public QTableWidget
{
    Q_OBJECT

public:
    static constexpr int attributesRole = Qt::UserRole + 1;

    explicit FavoritesTable(QWidget *parent = nullptr);

    // Appends a row for a favourite and returns its index.
    int addFavoriteRow(qint64 frequency, const QString &name, const QString &mode,
                       const QJsonObject &attributes);
    // Stores attributes in the row and refills its measurement, date, band and notes cells.
    void setRowAttributes(int row, const QJsonObject &attributes);

    // The band cell of a row and the colour of its first cell. For a favourites table the
    // band of the row's band_override wins over the band of frequency (Hz); any other table
    // (Smart Scan's results) gets the automatic band in its last column.
    static void setBandCell(QTableWidget *table, int row, qint64 frequency);

    QJsonObject attributesAt(int row) const;
    // Hz of the row's MHz text (0 when it is not a number).
    qint64 frequencyAt(int row) const;
    Favorite favoriteAt(int row) const;
    QVector<Favorite> favorites() const;
    // Replaces every row.
    void setFavorites(const QVector<Favorite> &favorites);

    // The rows as shown, in visual column order, with each row's band.
    FavoritesReportTable reportTable() const;

    // Selects and shows a row.
    void selectFavorite(int row);
    // The selected row, or -1.
    int selectedRow() const;

private:
    void fillRow(int row, const Favorite &favorite);
};
