#include "favoritestab.h"

#include "activityregistry.h"
#include "chirpcsv.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "favoritecolumns.h"
#include "favoriteeditor.h"
#include "favoritemeasurement.h"
#include "favoritesfile.h"
#include "favoritesreport.h"
#include "favoritestable.h"
#include "htmlreport.h"
#include "receivercontrol.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {
namespace Col = FavoriteColumns;
}

FavoritesTab::FavoritesTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_path(QString::fromLatin1(DataFolders::favoritesFile))
{
    setObjectName(QStringLiteral("favoritesTab"));
    m_measurement = new FavoriteMeasurement(m_host, m_requests, this);
    connect(m_measurement, &FavoriteMeasurement::statusChanged, this,
            [this](const QString &message) { m_status->setText(message); });
    connect(m_measurement, &FavoriteMeasurement::finished, this, &FavoritesTab::onMeasured);
    m_openReport = [this](const QString &path) { return openHtmlReport(path, m_host); };
    m_chooseFile = [this](bool save) {
        const QString filter = tr("CHIRP CSV files (*.csv)");
        return save ? QFileDialog::getSaveFileName(this, tr("Export CSV"),
                                                   QStringLiteral("favorites.csv"), filter)
                    : QFileDialog::getOpenFileName(this, tr("Import CSV"), QString(), filter);
    };
    buildUi();

    ActivityRegistry &activities = m_host.activities();
    activities.registerControlUpdate(this, [this] { updateFavoriteButtons(); });
    activities.registerShutdownStep(ShutdownStep::FavoriteMeasurement, this,
                                    [this] { m_measurement->cancel(); });
    activities.registerShutdownStep(ShutdownStep::SaveFavorites, this, [this] {
        if (!saveFavorites(m_path))
            m_host.appendLog(tr("Could not save Favorites."));
    });
    updateFavoriteButtons();
}

void FavoritesTab::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char *name, const QString &text) {
        auto *result = new QPushButton(text, this);
        result->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(result);
        return result;
    };
    m_add = button("favoritesPB", tr("Add current frequency"));
    m_add->setToolTip(tr("Measure S-meter and audio using the Smart Scan audio settings, then "
                         "save a favorite."));
    m_edit = button("editFavoritePB", tr("Edit"));
    m_delete = button("deleteFavoritePB", tr("Delete"));
    m_up = button("moveFavoriteUpPB", tr("Move up"));
    m_down = button("moveFavoriteDownPB", tr("Move down"));
    m_sort = button("sortFavoritesPB", tr("Sort by frequency"));
    m_print = button("printFavoritesPB", tr("Print Favorites"));
    m_import = button("importFavoritesPB", tr("Import CSV"));
    m_import->setToolTip(tr("Add the channels of a CHIRP CSV file to Favorites."));
    m_export = button("exportFavoritesPB", tr("Export CSV"));
    m_export->setToolTip(tr("Save Favorites as a CHIRP CSV file."));
    buttons->addStretch(1);
    layout->addLayout(buttons);

    m_table = new FavoritesTable(this);
    layout->addWidget(m_table, 1);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("favoritesStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    connect(m_add, &QPushButton::clicked, this, &FavoritesTab::addFavorites);
    connect(m_edit, &QPushButton::clicked, this, &FavoritesTab::editFavorite);
    connect(m_delete, &QPushButton::clicked, this, &FavoritesTab::deleteFavorite);
    connect(m_up, &QPushButton::clicked, this, [this] { moveFavorite(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveFavorite(+1); });
    connect(m_sort, &QPushButton::clicked, this, &FavoritesTab::sortFavorites);
    connect(m_print, &QPushButton::clicked, this, &FavoritesTab::writeFavoritesReport);
    connect(m_import, &QPushButton::clicked, this, &FavoritesTab::importChirp);
    connect(m_export, &QPushButton::clicked, this, &FavoritesTab::exportChirp);
    connect(m_table, &QTableWidget::itemClicked, this, &FavoritesTab::itemClicked);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &FavoritesTab::editFavorite);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            &FavoritesTab::updateFavoriteButtons);
}

bool FavoritesTab::busy() const
{
    // Any long activity, a pending favourite and the receiver panel's Scan all count.
    return !m_host.isIdle();
}

QStringList FavoritesTab::modeTexts() const
{
    return m_host.receiverControl().modeCaptions();
}

// --- file ------------------------------------------------------------------------------------

bool FavoritesTab::loadFavorites(const QString &path)
{
    m_path = path;
    m_lock = std::make_unique<FavoritesLock>(path);
    if (!m_lock->tryLock()) {
        m_host.appendLog(tr("The Favorites file %1 is also in use by process %2.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(m_lock->holder()));
    }
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(path, modeTexts());
    if (!loaded.ok) {
        m_host.appendLog(tr("Could not read the Favorites file %1 (%2). It will not be "
                            "overwritten.")
                             .arg(QDir::toNativeSeparators(path), loaded.error));
        updateFavoriteButtons();
        return false;
    }
    m_table->setFavorites(loaded.favorites);
    updateFavoriteButtons();
    return true;
}

bool FavoritesTab::saveFavorites(const QString &path)
{
    QString error;
    if (FavoritesFile::save(path, m_table->favorites(), &error))
        return true;
    m_host.appendLog(
        tr("Could not save the Favorites file %1: %2").arg(QDir::toNativeSeparators(path), error));
    return false;
}

void FavoritesTab::reportFavorites(const QString &message)
{
    QString text = message;
    if (!saveFavorites(m_path))
        text += QLatin1Char(' ') + tr("Could not save the Favorites file.");
    showMessage(text);
    updateFavoriteButtons();
}

// --- adding ------------------------------------------------------------------------------------

void FavoritesTab::addFavorites()
{
    if (busy())
        return;
    bool accepted = false;
    const QString name = QInputDialog::getText(this, tr("Station name"), tr("Name:"),
                                               QLineEdit::Normal, QString(), &accepted)
                             .trimmed();
    if (!accepted || name.isEmpty() || busy())
        return;
    m_measurement->begin(name);
}

void FavoritesTab::onMeasured(const PendingFavorite &favorite, const QJsonObject &attributes,
                              bool complete)
{
    const int row =
        m_table->addFavoriteRow(favorite.frequency, favorite.name, favorite.mode, attributes);
    m_table->selectFavorite(row);
    reportFavorites(complete ? tr("Favorite added with signal measurements.")
                             : tr("Favorite added. Some measurements are unavailable. See the log "
                                  "in Settings."));
    m_host.updateConnectionUi();
    m_host.refreshAudioStatus();
}

// --- tuning ------------------------------------------------------------------------------------

void FavoritesTab::itemClicked(QTableWidgetItem *item)
{
    // During an activity a click only selects the row.
    if (!item || busy())
        return;
    const int row = item->row();
    const QTableWidgetItem *frequencyItem = m_table->item(row, Col::Frequency);
    qint64 frequency = 0;
    if (!frequencyItem || !Col::hertzFromText(frequencyItem->text(), &frequency) ||
        frequency < 100000 || frequency > 3000000000LL)
        return;
    ReceiverControl &receiver = m_host.receiverControl();
    receiver.setCurrentFrequency(frequency);
    const QTableWidgetItem *modeItem = m_table->item(row, Col::Mode);
    const QString mode = modeItem ? modeItem->text() : QString();
    int index = modeTexts().indexOf(mode);
    if (index < 0) {
        bool isIndex = false;
        index = mode.toInt(&isIndex);
        if (!isIndex || index < 0 || index >= receiver.modeCount())
            index = receiver.modeIndex();
    }
    receiver.setModeIndex(index, true);
    if (m_host.driver() && m_host.driver()->isOpen())
        receiver.queueTune(frequency);
}

// --- editing -----------------------------------------------------------------------------------

void FavoritesTab::editFavorite()
{
    const int row = m_table->selectedRow();
    if (busy() || row < 0)
        return;
    QStringList cells;
    for (int column = 0; column < Col::Count; ++column) {
        const QTableWidgetItem *cell = m_table->item(row, column);
        cells << (cell ? cell->text() : QString());
    }
    FavoriteEditor editor(m_table->favoriteAt(row), cells, modeTexts(), this);
    if (editor.exec() != QDialog::Accepted)
        return;
    const Favorite edited = editor.favorite();
    m_table->item(row, Col::Frequency)->setText(Col::frequencyText(edited.frequency));
    m_table->item(row, Col::Name)->setText(edited.name);
    m_table->item(row, Col::Mode)->setText(edited.mode);
    m_table->setRowAttributes(row, edited.attributes);
    reportFavorites(tr("Favorite updated."));
}

void FavoritesTab::deleteFavorite()
{
    const int row = m_table->selectedRow();
    if (busy() || row < 0)
        return;
    const Favorite favorite = m_table->favoriteAt(row);
    QMessageBox question(QMessageBox::Question, tr("Delete favorite"),
                         tr("Delete %1 (%2 MHz) from Favorites?")
                             .arg(favorite.name, m_table->item(row, Col::Frequency)->text()),
                         QMessageBox::NoButton, this);
    question.setObjectName(QStringLiteral("deleteFavoriteQuestion"));
    question.setTextFormat(Qt::PlainText);
    QPushButton *remove = question.addButton(tr("Delete"), QMessageBox::DestructiveRole);
    QPushButton *cancel = question.addButton(tr("Cancel"), QMessageBox::RejectRole);
    question.setDefaultButton(cancel);
    cancel->setFocus();
    question.setMinimumWidth(420);
    question.exec();
    if (question.clickedButton() != remove)
        return;
    m_table->removeRow(row);
    m_table->selectFavorite(std::min(row, m_table->rowCount() - 1));
    reportFavorites(tr("Favorite deleted."));
}

void FavoritesTab::moveFavorite(int offset)
{
    const int row = m_table->selectedRow();
    const int target = row + offset;
    if (busy() || row < 0 || target < 0 || target >= m_table->rowCount())
        return;
    {
        const QSignalBlocker blocker(m_table);
        QList<QTableWidgetItem *> items;
        for (int column = 0; column < m_table->columnCount(); ++column)
            items << m_table->takeItem(row, column);
        m_table->removeRow(row);
        m_table->insertRow(target);
        for (int column = 0; column < items.size(); ++column)
            m_table->setItem(target, column, items[column]);
    }
    m_table->selectFavorite(target);
    reportFavorites(tr("Favorite moved."));
}

void FavoritesTab::sortFavorites()
{
    if (busy() || m_table->rowCount() < 2)
        return;
    const int row = m_table->selectedRow();
    QTableWidgetItem *selected = row >= 0 ? m_table->item(row, Col::Frequency) : nullptr;
    m_table->sortItems(Col::Frequency, Qt::AscendingOrder);
    if (selected)
        m_table->selectFavorite(selected->row());
    reportFavorites(tr("Favorites sorted by frequency."));
}

void FavoritesTab::updateFavoriteButtons()
{
    const bool idle = !busy();
    const int row = m_table->selectedRow();
    const int rows = m_table->rowCount();
    m_add->setEnabled(idle);
    m_edit->setEnabled(idle && row >= 0);
    m_delete->setEnabled(idle && row >= 0);
    m_up->setEnabled(idle && row > 0);
    m_down->setEnabled(idle && row >= 0 && row < rows - 1);
    m_sort->setEnabled(idle && rows >= 2);
    m_import->setEnabled(idle);
    m_export->setEnabled(idle);
}

// --- report and CHIRP ----------------------------------------------------------------------------

void FavoritesTab::writeFavoritesReport()
{
    QString message;
    const QString path =
        FavoritesReport::write(DataFolders::path(QString::fromLatin1(DataFolders::reports)),
                               m_table->reportTable(), QDateTime::currentDateTime(), &message);
    m_host.appendLog(message);
    if (!path.isEmpty())
        m_openReport(path);
}

QString FavoritesTab::chooseFile(bool save)
{
    return m_chooseFile ? m_chooseFile(save) : QString();
}

void FavoritesTab::exportChirp()
{
    if (busy())
        return;
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray csv = ChirpCsv::exportFavorites(m_table->favorites());
    QString message;
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit()) {
        message = tr("Exported %1 favorites to %2.")
                      .arg(m_table->rowCount())
                      .arg(QDir::toNativeSeparators(path));
    } else {
        message =
            tr("Could not write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    }
    showMessage(message);
}

void FavoritesTab::showMessage(const QString &message)
{
    m_status->setText(message);
    m_host.appendLog(message);
}

void FavoritesTab::importChirp()
{
    if (busy())
        return;
    const QString path = chooseFile(false);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(
            tr("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    const ChirpCsv::ImportResult result =
        ChirpCsv::importFavorites(file.readAll(), m_table->favorites());
    if (!result.ok) {
        showMessage(tr("%1 is not a CHIRP CSV file: it has no Frequency column.")
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    for (const Favorite &favorite : result.added)
        m_table->addFavoriteRow(favorite.frequency, favorite.name, favorite.mode,
                                favorite.attributes);
    reportFavorites(tr("CHIRP import: %1 added, %2 already present, %3 outside 0.1-3000 MHz, "
                       "%4 unreadable.")
                        .arg(result.added.size())
                        .arg(result.duplicates)
                        .arg(result.outOfRange)
                        .arg(result.unreadable));
}
