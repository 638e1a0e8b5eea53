#include "favoritestable.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "favoritefrequencyitem.h"
#include "rfbands.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace {

namespace Col = FavoriteColumns;
namespace A = FavoriteAttributes;

QTableWidgetItem *readOnlyItem(const QString &text = QString())
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem *numberItem(const QString &text)
{
    auto *item = readOnlyItem();
    item->setData(Qt::DisplayRole, Col::numberValue(text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FavoritesTable::FavoritesTable(QWidget *parent)
    : QTableWidget(0, Col::Count, parent)
{
    setObjectName(QStringLiteral("favoritesList"));
    setHorizontalHeaderLabels(Col::headers());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    // The report and the CHIRP export read the columns in this order.
    horizontalHeader()->setSectionsMovable(false);
    setMinimumHeight(220);
    for (int column = 0; column < Col::Count; ++column)
        setColumnWidth(column, Col::initialWidth(column));
    // The columns start wider than the page: a stretching name column would shrink to nothing,
    // so the free space, when there is some, goes to the notes.
    horizontalHeader()->setStretchLastSection(true);
}

int FavoritesTable::addFavoriteRow(qint64 frequency, const QString &name, const QString &mode,
                                   const QJsonObject &attributes)
{
    const int row = rowCount();
    const QSignalBlocker blocker(this);
    insertRow(row);
    fillRow(row, Favorite{frequency, name, mode, attributes});
    return row;
}

void FavoritesTable::fillRow(int row, const Favorite &favorite)
{
    setItem(row, Col::Frequency, new FavoriteFrequencyItem(Col::frequencyText(favorite.frequency)));
    setItem(row, Col::Name, new QTableWidgetItem(favorite.name));
    setItem(row, Col::Mode, new QTableWidgetItem(favorite.mode));
    setRowAttributes(row, favorite.attributes);
}

void FavoritesTable::setRowAttributes(int row, const QJsonObject &attributes)
{
    QTableWidgetItem *frequencyItem = item(row, Col::Frequency);
    if (!frequencyItem)
        return;
    const QSignalBlocker blocker(this);
    frequencyItem->setData(attributesRole, attributes);
    const auto value = [&attributes](const char *key) {
        return attributes.value(QLatin1String(key)).toString();
    };
    setItem(row, Col::SMeter, numberItem(value(A::sMeter)));
    setItem(row, Col::Rms, numberItem(value(A::dbfsRms)));
    setItem(row, Col::Peak, numberItem(value(A::dbfsPeak)));
    setItem(row, Col::Quality, numberItem(value(A::quality)));
    setItem(row, Col::Classification,
            readOnlyItem(Col::classificationText(value(A::classification))));
    const QString discovered = value(A::discoveredUtc);
    auto *discoveredItem = readOnlyItem(Col::discoveredText(discovered));
    discoveredItem->setToolTip(Col::discoveredToolTip(discovered));
    setItem(row, Col::Discovered, discoveredItem);
    const QString notes = value(A::notes);
    auto *notesItem = new QTableWidgetItem(notes);
    notesItem->setToolTip(Col::notesToolTip(notes));
    setItem(row, Col::Notes, notesItem);
    setBandCell(this, row, frequencyAt(row));
}

void FavoritesTable::setBandCell(QTableWidget *table, int row, qint64 frequency)
{
    auto *favorites = qobject_cast<FavoritesTable *>(table);
    const int column = favorites ? int(Col::Band) : table->columnCount() - 1;
    const int band = favorites ? A::bandIndex(frequency, favorites->attributesAt(row))
                               : RfBands::indexOf(frequency);
    const QSignalBlocker blocker(table);
    auto *cell = readOnlyItem(RfBands::name(band));
    cell->setTextAlignment(Qt::AlignCenter);
    QTableWidgetItem *first = table->item(row, 0);
    if (band == RfBands::none) {
        if (first)
            first->setData(Qt::ForegroundRole, QVariant());
    } else {
        cell->setToolTip(RfBands::rangeText(band));
        const QColor color = RfBands::colorOn(band, table->palette().color(QPalette::Base));
        cell->setForeground(color);
        if (first)
            first->setForeground(color);
    }
    table->setItem(row, column, cell);
}

QJsonObject FavoritesTable::attributesAt(int row) const
{
    const QTableWidgetItem *frequencyItem = item(row, Col::Frequency);
    return frequencyItem ? frequencyItem->data(attributesRole).toJsonObject() : QJsonObject();
}

qint64 FavoritesTable::frequencyAt(int row) const
{
    const QTableWidgetItem *frequencyItem = item(row, Col::Frequency);
    qint64 hertz = 0;
    return frequencyItem && Col::hertzFromText(frequencyItem->text(), &hertz) ? hertz : 0;
}

Favorite FavoritesTable::favoriteAt(int row) const
{
    const auto text = [this, row](int column) {
        const QTableWidgetItem *cell = item(row, column);
        return cell ? cell->text() : QString();
    };
    return Favorite{frequencyAt(row), text(Col::Name), text(Col::Mode), attributesAt(row)};
}

QVector<Favorite> FavoritesTable::favorites() const
{
    QVector<Favorite> result;
    result.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        result.append(favoriteAt(row));
    return result;
}

void FavoritesTable::setFavorites(const QVector<Favorite> &favorites)
{
    const QSignalBlocker blocker(this);
    setRowCount(0);
    // All rows at once: inserting them one by one costs a model update each.
    setRowCount(favorites.size());
    for (int row = 0; row < favorites.size(); ++row)
        fillRow(row, favorites[row]);
}

FavoritesReportTable FavoritesTable::reportTable() const
{
    FavoritesReportTable table;
    for (int column = 0; column < columnCount(); ++column) {
        const QTableWidgetItem *header = horizontalHeaderItem(column);
        table.headers << (header ? header->text() : QString());
    }
    for (int row = 0; row < rowCount(); ++row) {
        FavoritesReportTable::Row line;
        for (int column = 0; column < columnCount(); ++column) {
            const QTableWidgetItem *cell = item(row, column);
            line.cells << (cell ? cell->text() : QString());
        }
        line.band = A::bandIndex(frequencyAt(row), attributesAt(row));
        table.rows.append(line);
    }
    return table;
}

void FavoritesTable::selectFavorite(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    selectRow(row);
    scrollToItem(item(row, Col::Frequency));
}

int FavoritesTable::selectedRow() const
{
    const QList<QTableWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}
