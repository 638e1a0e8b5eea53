#pragma once

#include <QTableWidgetItem>

// The MHz cell of a favourite. Sorts by the number its text holds; a text that is not a finite
// number sorts after every number. Carries the attribute object (FavoritesTable::attributesRole).
class FavoriteFrequencyItem : public QTableWidgetItem
{
public:
    explicit FavoriteFrequencyItem(const QString &megahertz);

    QTableWidgetItem *clone() const override;
    bool operator<(const QTableWidgetItem &other) const override;
};
