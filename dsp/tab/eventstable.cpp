#include "eventstable.h"

#include "numericitem.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace {

enum Column {
    TimeColumn,
    GroupColumn,
    FrequencyColumn,
    WidthColumn,
    PeakColumn,
    SnrColumn,
    DurationColumn,
    ColumnCount
};

QTableWidgetItem *number(double value, int decimals)
{
    return new NumericItem(QString::number(value, 'f', decimals), value);
}

} // namespace

EventsTable::EventsTable(QWidget *parent)
    : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("dspEventsTable"));
    setHorizontalHeaderLabels({tr("Time (s)"), tr("Group"), tr("Freq. (Hz)"), tr("Width (ms)"),
                               tr("Peak (dBFS)"), tr("Above noise (dB)"), tr("Duration (s)")});
    horizontalHeader()->setStretchLastSection(true);
    // Wide enough for the captions (sized once: measuring 5000 rows on every refill would cost).
    horizontalHeader()->ensurePolished();
    horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    verticalHeader()->hide();
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows start in time order, as they are filled.
    horizontalHeader()->setSortIndicator(TimeColumn, Qt::AscendingOrder);
    setSortingEnabled(true);
}

void EventsTable::showRows(const std::vector<EventRow> &rows)
{
    const bool sorting = isSortingEnabled();
    // Sorting stays off while the rows go in; otherwise each new cell moves its row.
    setSortingEnabled(false);
    setUpdatesEnabled(false);
    clearRows();
    m_keys.reserve(rows.size());
    setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const EventRow &row = rows[i];
        const NativeWav::PulseEvent &event = *row.event;
        const auto r = static_cast<int>(i);
        const quint32 group = eventKeyGroup(row.key);
        m_keys.push_back(row.key);
        QTableWidgetItem *time = number(event.timeSeconds, 4);
        time->setData(Qt::UserRole, static_cast<qulonglong>(i));
        setItem(r, TimeColumn, time);
        setItem(r, GroupColumn,
                new NumericItem(group > 0 ? tr("Train %1").arg(group) : tr("Isolated"), group));
        setItem(r, FrequencyColumn, number(event.frequencyHz, 1));
        setItem(r, WidthColumn, number(event.widthMs, 2));
        setItem(r, PeakColumn, number(event.peakDb, 1));
        setItem(r, SnrColumn, number(event.snrDb, 1));
        setItem(r, DurationColumn, number(std::max(event.endSeconds - event.startSeconds, 0.0), 4));
    }
    // Turning sorting back on sorts once by the header's indicator, which kept the user's
    // column and order.
    setSortingEnabled(sorting);
    setUpdatesEnabled(true);
}

void EventsTable::clearRows()
{
    clearContents();
    setRowCount(0);
    m_keys.clear();
}

std::optional<EventKey> EventsTable::keyAt(int row) const
{
    const QTableWidgetItem *first = row >= 0 && row < rowCount() ? item(row, TimeColumn) : nullptr;
    if (!first)
        return std::nullopt;
    bool ok = false;
    const qulonglong position = first->data(Qt::UserRole).toULongLong(&ok);
    if (!ok || position >= m_keys.size())
        return std::nullopt;
    return m_keys[position];
}

void EventsTable::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit rowActivated(currentRow());
        return;
    }
    QTableWidget::keyPressEvent(event);
}
