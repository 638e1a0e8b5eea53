#pragma once

#include "eventrows.h"

#include <QTableWidget>

#include <vector>

// The "Events" page's table ("dspEventsTable"): one row per pulse with time, group, frequency,
// width, peak, height above the noise and duration; sortable by any column. Each row's first
// cell holds the row's position in the shown keys (Qt::UserRole), so a row finds its pulse
// whatever the sort order. Enter on a row activates it like a double click. GUI thread only.
class EventsTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit EventsTable(QWidget *parent = nullptr);

    // Replaces the rows, keeping the user's sort column and order.
    void showRows(const std::vector<EventRow> &rows);
    void clearRows();
    // The key of the pulse shown in a row (as the table is sorted now); nullopt for a row that
    // does not exist.
    std::optional<EventKey> keyAt(int row) const;

signals:
    // Enter or Return on the current row.
    void rowActivated(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::vector<EventKey> m_keys;
};
