#include "favoritefrequencyitem.h"

#include <cmath>

namespace {

bool finiteNumber(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

FavoriteFrequencyItem::FavoriteFrequencyItem(const QString &megahertz)
    : QTableWidgetItem(megahertz, UserType)
{}

QTableWidgetItem *FavoriteFrequencyItem::clone() const
{
    return new FavoriteFrequencyItem(*this);
}

bool FavoriteFrequencyItem::operator<(const QTableWidgetItem &other) const
{
    double mine = 0.0;
    double theirs = 0.0;
    if (!finiteNumber(text(), &mine))
        return false;
    return !finiteNumber(other.text(), &theirs) || mine < theirs;
}
