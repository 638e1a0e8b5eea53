#pragma once

#include "favorite.h"
#include "favoriteslock.h"
#include "measurementrequests.h"

#include <QWidget>

#include <functional>
#include <memory>

class CorvinHost;
class FavoriteMeasurement;
class FavoritesTable;
class QLabel;
class QPushButton;
class QTableWidgetItem;

// The Favorites page of the Receiver tab: the list, "Add current frequency" with its
// measurement, tuning to a clicked row, the edit dialog, delete, move, sort, the printable
// report and CHIRP CSV import and export. Every change is saved at once to the favourites file
// ("./sys/favorites.xml" below the current directory).
//
// Registers the FavoriteMeasurement activity, the button refresh and the shutdown steps (end a
// pending measurement, save the file) with the host. Smart Scan adds and updates favourites
// through table(), reportFavorites() and requests(). GUI thread only.
class FavoritesTab : public QWidget
{
    Q_OBJECT

public:
    using ReportOpener = std::function<bool(const QString &path)>;
    // Asks for a CSV file name to open (save = false) or to write (save = true); empty
    // cancels.
    using FileChooser = std::function<QString(bool save)>;

    explicit FavoritesTab(CorvinHost &host, QWidget *parent = nullptr);

    FavoritesTable *table() const { return m_table; }
    // The request counter of the audio measurements, shared with Smart Scan.
    MeasurementRequests &requests() { return m_requests; }
    FavoriteMeasurement &measurement() const { return *m_measurement; }
    QString favoritesPath() const { return m_path; }

    // Replace the desktop browser and the file dialogs (tests).
    void setReportOpener(ReportOpener opener) { m_openReport = std::move(opener); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Reads the favourites file into the list, at start-up; takes the lock that keeps
    // corvin-favorites from writing while the program runs. An unreadable file leaves the list
    // empty, is logged, and will not be overwritten.
    bool loadFavorites(const QString &path);
    // Writes the list to the file; false when it could not (the reason is logged).
    bool saveFavorites(const QString &path);
    // Saves, shows message (with a note when the save failed) in the status line and the log,
    // and refreshes the buttons.
    void reportFavorites(const QString &message);

public slots:
    void addFavorites();
    void itemClicked(QTableWidgetItem *item);
    void editFavorite();
    void deleteFavorite();
    void moveFavorite(int offset);
    void sortFavorites();
    void updateFavoriteButtons();
    void writeFavoritesReport();
    void importChirp();
    void exportChirp();

private:
    void buildUi();
    bool busy() const;
    QStringList modeTexts() const;
    void onMeasured(const PendingFavorite &favorite, const QJsonObject &attributes, bool complete);
    QString chooseFile(bool save);
    // The message in the status line and the log.
    void showMessage(const QString &message);

    CorvinHost &m_host;
    QString m_path;
    std::unique_ptr<FavoritesLock> m_lock;
    MeasurementRequests m_requests;
    FavoriteMeasurement *m_measurement = nullptr;
    ReportOpener m_openReport;
    FileChooser m_chooseFile;

    FavoritesTable *m_table = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    QPushButton *m_sort = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_export = nullptr;
    QLabel *m_status = nullptr;
};
