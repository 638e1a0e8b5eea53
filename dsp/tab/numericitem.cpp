#include "numericitem.h"

NumericItem::NumericItem(const QString &text, double sortValue)
    : QTableWidgetItem(text)
{
    setData(sortRole, sortValue);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

bool NumericItem::operator<(const QTableWidgetItem &other) const
{
    return data(sortRole).toDouble() < other.data(sortRole).toDouble();
}
