#pragma once

#include <QTableWidgetItem>

// A table cell that sorts by a number stored under sortRole instead of by its text, so "10.5"
// sorts after "9.25" and "Train 10" after "Train 9".
class NumericItem : public QTableWidgetItem
{
public:
    static constexpr int sortRole = Qt::UserRole + 1;

    NumericItem(const QString &text, double sortValue);

    bool operator<(const QTableWidgetItem &other) const override;
};
