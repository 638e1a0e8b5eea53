#include "smartscanresults.h"

#include "audioanalysisresult.h"
#include "favoriteattributes.h"
#include "favoritestable.h"
#include "smartscanarchive.h"

#include <QHeaderView>

#include <cmath>
#include <limits>

namespace {

namespace A = FavoriteAttributes;

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

SmartScanResults::SmartScanResults(QWidget *parent)
    : QTableWidget(0, Count, parent)
{
    setObjectName(QStringLiteral("smartResults"));
    setHorizontalHeaderLabels({tr("Frequency (MHz)"), tr("Mode"), tr("S-meter"), tr("Audio (dBFS)"),
                               tr("Peak (dBFS)"), tr("Quality (0-100)"), tr("Classification"),
                               tr("Band")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    setColumnsFollowContents(true);
    setMinimumHeight(200);
}

void SmartScanResults::setColumnsFollowContents(bool follow)
{
    horizontalHeader()->setSectionResizeMode(follow ? QHeaderView::ResizeToContents
                                                    : QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(Classification, QHeaderView::Stretch);
}

void SmartScanResults::addResult(const QJsonObject &record, const QString &fallbackMode,
                                 bool hideZeroQuality)
{
    const int row = rowCount();
    insertRow(row);
    fillRow(row, record, fallbackMode, hideZeroQuality);
}

void SmartScanResults::setResults(const QVector<QJsonObject> &records, const QString &fallbackMode,
                                  bool hideZeroQuality)
{
    // Columns that follow their contents would be measured again for every new row.
    setUpdatesEnabled(false);
    setColumnsFollowContents(false);
    setRowCount(0);
    setRowCount(records.size());
    for (int row = 0; row < records.size(); ++row)
        fillRow(row, records[row], fallbackMode, hideZeroQuality);
    setColumnsFollowContents(true);
    setUpdatesEnabled(true);
}

void SmartScanResults::fillRow(int row, const QJsonObject &record, const QString &fallbackMode,
                               bool hideZeroQuality)
{
    const qint64 frequency = SmartScanArchive::recordFrequency(record);
    const QString outcome = record.value(QStringLiteral("outcome")).toString();
    const QJsonObject attributes = A::measurementToAttributes(record);
    const QString mode = record.value(QStringLiteral("mode")).toString(fallbackMode);
    const auto text = [&attributes](const char *key) {
        return attributes.value(QLatin1String(key)).toString();
    };

    QTableWidgetItem *first = cell(QString::number(frequency / 1e6, 'f', 6), true);
    first->setData(detectedRole, isDetectedOutcome(outcome));
    first->setData(attributesRole, attributes);
    setItem(row, Frequency, first);
    setItem(row, Mode, cell(mode));
    setItem(row, SMeter, cell(text(A::sMeter), true));
    setItem(row, Audio, cell(text(A::dbfsRms), true));
    setItem(row, Peak, cell(text(A::dbfsPeak), true));
    setItem(row, Quality, cell(text(A::quality), true));
    setItem(row, Classification, cell(SignalClassification::translatedLabel(outcome)));
    FavoritesTable::setBandCell(this, row, frequency);
    if (hideZeroQuality && hasZeroQuality(row))
        setRowHidden(row, true);
}

bool SmartScanResults::hasZeroQuality(int row) const
{
    // Unknown quality (an empty cell) is not quality 0.
    const QTableWidgetItem *quality = item(row, Quality);
    bool number = false;
    const int value = quality ? quality->text().toInt(&number) : 0;
    return number && value == 0;
}

void SmartScanResults::hideZeroQuality(bool hide)
{
    for (int row = 0; row < rowCount(); ++row)
        setRowHidden(row, hide && hasZeroQuality(row));
}

QList<int> SmartScanResults::visibleSelectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem *first = item(row, Frequency);
        if (!isRowHidden(row) && first && first->isSelected())
            rows << row;
    }
    return rows;
}

bool SmartScanResults::isDetected(int row) const
{
    const QTableWidgetItem *first = item(row, Frequency);
    return first && first->data(detectedRole).toBool();
}

QJsonObject SmartScanResults::attributesAt(int row) const
{
    const QTableWidgetItem *first = item(row, Frequency);
    return first ? first->data(attributesRole).toJsonObject() : QJsonObject();
}

double SmartScanResults::megahertzAt(int row) const
{
    const QTableWidgetItem *first = item(row, Frequency);
    bool ok = false;
    const double value = first ? first->text().toDouble(&ok) : 0.0;
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

QString SmartScanResults::modeAt(int row) const
{
    const QTableWidgetItem *mode = item(row, Mode);
    return mode ? mode->text() : QString();
}
