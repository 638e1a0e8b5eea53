// The Favorites page on a simulated receiver: adding with every kind of failure, a pending
// favourite at shutdown, the edit dialog, delete, move and sort, tuning by click, the report,
// CHIRP import and export, and an unreadable favourites file.
#include "activityregistry.h"
#include "faultplan.h"
#include "favoritemeasurement.h"
#include "favoritesfile.h"
#include "favoritestab.h"
#include "favoritestable.h"
#include "modalanswer.h"
#include "simulatorrig.h"
#include "testhost.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void answerName(const QString &name)
{
    answerNextModal([name](QWidget *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        QVERIFY(input);
        QCOMPARE(input->windowTitle(), QStringLiteral("Station name"));
        input->setTextValue(name);
        input->accept();
    });
}

QStringList column(const FavoritesTable *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

// A Favorites page in a temporary current directory, on a host whose driver talks to the
// simulator (closed until connect()).
struct Page
{
    Page()
    {
        QDir::setCurrent(folder.path());
        qputenv("CORVIN_DATA_DIR", folder.filePath("data").toUtf8());
        host.receiverDriver = &rig.driver;
        rig.driver.closePort();
        tab = new FavoritesTab(host);
        tab->setReportOpener([this](const QString &path) {
            opened << path;
            return true;
        });
        tab->setFileChooser([this](bool save) { return save ? exportPath : importPath; });
        tab->show();
    }
    ~Page() { delete tab; }

    void connect() { QVERIFY(rig.driver.openPort(rig.sim.portPath())); }
    QPushButton *button(const char *name) const
    {
        return tab->findChild<QPushButton *>(QLatin1String(name));
    }
    QString status() const
    {
        return tab->findChild<QLabel *>(QStringLiteral("favoritesStatus"))->text();
    }
    FavoritesTable *table() const { return tab->table(); }
    QVector<Favorite> saved() const
    {
        return FavoritesFile::load(QStringLiteral("sys/favorites.xml"), {}).favorites;
    }
    void addRows(const QVector<Favorite> &favorites)
    {
        for (const Favorite &f : favorites)
            table()->addFavoriteRow(f.frequency, f.name, f.mode, f.attributes);
    }

    QTemporaryDir folder;
    SimulatorRig rig{{"station 145500000 NFM 12000 180 speech Repeater"}};
    TestHost host;
    FavoritesTab *tab = nullptr;
    QStringList opened;
    QString exportPath;
    QString importPath;
};

const QString partial =
    QStringLiteral("Favorite added. Some measurements are unavailable. See the log in Settings.");

} // namespace

class FavoritesTabTest : public QObject
{
    Q_OBJECT

private slots:
    void addWhileDisconnected();
    void addFailures_data();
    void addFailures();
    void pendingFavoriteIsAddedAtShutdown();
    void editDialogChecksAndSaves();
    void deleteMoveAndSort();
    void clickTunesUnlessBusy();
    void reportAndChirp();
    void unreadableFileIsKept();
};

void FavoritesTabTest::addWhileDisconnected()
{
    Page page;
    QVERIFY(page.tab->loadFavorites(QStringLiteral("sys/favorites.xml")));
    answerName(QStringLiteral("  Beacon  "));
    page.button("favoritesPB")->click();
    QTRY_COMPARE(page.table()->rowCount(), 1);
    QVERIFY(!page.tab->measurement().isPending());
    const Favorite added = page.table()->favoriteAt(0);
    QCOMPARE(added.name, QStringLiteral("Beacon"));
    QCOMPARE(added.frequency, qint64(145500000));
    QCOMPARE(added.mode, QStringLiteral("NFM"));
    QCOMPARE(added.attributes.keys(), (QStringList{"discovered_utc", "observed_utc"}));
    QCOMPARE(page.status(), partial);
    QVERIFY(page.host.logContains(
        "Favorite measurements unavailable because the receiver is disconnected."));
    QCOMPARE(page.saved(), (QVector<Favorite>{added}));
    QCOMPARE(page.table()->selectedRow(), 0);
}

void FavoritesTabTest::addFailures_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QStringList>("logged");
    QTest::addColumn<bool>("hasLevel");
    QTest::newRow("S-meter unreadable, audio cannot start")
        << "145500000-145500000:bad-lm"
        << QStringList{"Favorite S-meter reading failed (1/3). Invalid receiver signal-level "
                       "reply: LM 300",
                       "Favorite S-meter reading failed (3/3). ",
                       "Could not start audio analysis for the favorite."}
        << false;
    QTest::newRow("S-meter on the second attempt")
        << "145500000-145500000:bad-lm:1"
        << QStringList{"Favorite S-meter reading failed (1/3).",
                       "Could not start audio analysis for the favorite."}
        << true;
    QTest::newRow("tune refused") << "145500000-145500000:reject"
                                  << QStringList{"Could not tune the receiver to measure the "
                                                 "favorite."}
                                  << false;
}

void FavoritesTabTest::addFailures()
{
    QFETCH(QString, zone);
    QFETCH(QStringList, logged);
    QFETCH(bool, hasLevel);
    Page page;
    page.connect();
    FaultZone fault;
    QVERIFY(FaultZone::parse(zone, &fault));
    page.rig.sim.addFaultZone(fault);
    page.host.receiver.mode = 3; // USB, a mode the receiver is not in yet
    page.host.receiver.queuedTunes = {7000000};
    answerName(QStringLiteral("Repeater"));
    page.button("favoritesPB")->click();
    QVERIFY(page.tab->measurement().isPending() || page.table()->rowCount() == 1);
    QVERIFY(page.host.receiver.queuedTunes.isEmpty()); // the panel's queue is cleared
    QTRY_COMPARE_WITH_TIMEOUT(page.table()->rowCount(), 1, 10000);
    for (const QString &line : logged)
        QVERIFY2(page.host.logContains(line), qPrintable(line));
    const Favorite added = page.table()->favoriteAt(0);
    QCOMPARE(added.mode, QStringLiteral("USB"));
    QCOMPARE(added.attributes.contains("s_meter"), hasLevel);
    QCOMPARE(page.status(), partial);
    QCOMPARE(page.saved().size(), 1);
    QVERIFY(page.rig.sim.commands().contains("MD3"));
}

void FavoritesTabTest::pendingFavoriteIsAddedAtShutdown()
{
    Page page;
    page.connect();
    answerName(QStringLiteral("Late"));
    page.button("favoritesPB")->click();
    QVERIFY(page.tab->measurement().isPending());
    QVERIFY(!page.host.isIdle());
    QVERIFY(!page.button("editFavoritePB")->isEnabled());
    page.host.activities().runShutdown();
    QVERIFY(!page.tab->measurement().isPending());
    QCOMPARE(page.saved().size(), 1);
    QCOMPARE(page.saved().first().name, QStringLiteral("Late"));
}

void FavoritesTabTest::editDialogChecksAndSaves()
{
    Page page;
    page.addRows({{7050000, "Forty", "LSB", {{"s_meter", "40"}, {"dbfs_rms", "-23.0"}}}});
    page.table()->selectFavorite(0);
    bool refused = false;
    answerNextModal([&refused](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("favoriteEditor"));
        auto line = [dialog](const char *name) {
            return dialog->findChild<QLineEdit *>(QLatin1String(name));
        };
        auto *save = dialog->findChild<QPushButton *>(QStringLiteral("editFavoriteSave"));
        line("editFavoriteSMeter")->setText(QStringLiteral("-0.5"));
        save->click();
        refused = dialog->isVisible() &&
                  dialog->findChild<QLabel *>(QStringLiteral("favoriteEditError"))->text() ==
                      QStringLiteral("Enter a whole number between 0 and 255, or leave the field "
                                     "blank.") &&
                  dialog->focusWidget() == line("editFavoriteSMeter");
        line("editFavoriteSMeter")->setText(QStringLiteral("41"));
        line("editFavoriteFrequency")->setText(QStringLiteral(" 7,0505 "));
        line("editFavoriteRms")->setText(QStringLiteral("-3"));
        line("editFavoriteName")->setText(QStringLiteral(" Forty m "));
        save->click();
    });
    page.button("editFavoritePB")->click();
    QVERIFY(refused);
    const Favorite edited = page.table()->favoriteAt(0);
    QCOMPARE(edited.frequency, qint64(7050500));
    QCOMPARE(edited.name, QStringLiteral("Forty m"));
    QCOMPARE(edited.attributes.value("s_meter").toString(), QStringLiteral("41"));
    QCOMPARE(edited.attributes.value("dbfs_rms").toString(), QStringLiteral("-3.0"));
    QCOMPARE(page.table()->item(0, 4)->text(), QStringLiteral("-3"));
    QCOMPARE(page.status(), QStringLiteral("Favorite updated."));
    // The file keeps only attributes with a value (the editor stored an empty band and notes).
    QCOMPARE(page.saved(),
             (QVector<Favorite>{
                 {7050500, "Forty m", "LSB", {{"s_meter", "41"}, {"dbfs_rms", "-3.0"}}}}));
}

void FavoritesTabTest::deleteMoveAndSort()
{
    Page page;
    page.addRows({{3000000, "C", "AM", {}}, {1000000, "A", "AM", {}}, {2000000, "B", "AM", {}}});
    const auto confirmDelete = [] {
        answerNextModal([](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            QCOMPARE(box->defaultButton()->text(), QStringLiteral("Cancel"));
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == QStringLiteral("Delete"))
                    button->click();
            }
        });
    };
    page.table()->selectFavorite(2);
    QVERIFY(page.button("moveFavoriteUpPB")->isEnabled());
    QVERIFY(!page.button("moveFavoriteDownPB")->isEnabled());
    page.button("moveFavoriteUpPB")->click();
    QCOMPARE(column(page.table(), 1), (QStringList{"C", "B", "A"}));
    QCOMPARE(page.table()->selectedRow(), 1);
    QCOMPARE(page.status(), QStringLiteral("Favorite moved."));

    page.table()->item(1, 0)->setText(QStringLiteral("not a number"));
    page.table()->selectFavorite(0);
    page.button("sortFavoritesPB")->click();
    QCOMPARE(column(page.table(), 1), (QStringList{"A", "C", "B"}));
    QCOMPARE(page.table()->selectedRow(), 1); // C stays selected

    page.table()->selectFavorite(2);
    confirmDelete();
    page.button("deleteFavoritePB")->click();
    QCOMPARE(column(page.table(), 1), (QStringList{"A", "C"}));
    QCOMPARE(page.table()->selectedRow(), 1); // the new last row
    page.table()->selectFavorite(0);
    confirmDelete();
    page.button("deleteFavoritePB")->click();
    QCOMPARE(column(page.table(), 1), QStringList{"C"});
    QCOMPARE(page.table()->selectedRow(), 0);
    QCOMPARE(page.saved().size(), 1);
    QVERIFY(!page.button("sortFavoritesPB")->isEnabled());
}

void FavoritesTabTest::clickTunesUnlessBusy()
{
    Page page;
    page.connect();
    page.addRows(
        {{7050000, "Forty", "LSB", {}}, {1000000, "Old", "8", {}}, {50000, "Too low", "AM", {}}});
    page.tab->itemClicked(page.table()->item(0, 1));
    QCOMPARE(page.host.receiver.frequency, qint64(7050000));
    QCOMPARE(page.host.receiver.modeChanges.last(), qMakePair(4, true));
    QCOMPARE(page.host.receiver.queuedTunes, QVector<qint64>{7050000});
    page.tab->itemClicked(page.table()->item(1, 0)); // mode stored as an index
    QCOMPARE(page.host.receiver.modeChanges.last(), qMakePair(8, true));
    page.tab->itemClicked(page.table()->item(2, 0)); // outside the receiver's range
    QCOMPARE(page.host.receiver.frequency, qint64(1000000));

    bool busy = true;
    page.host.activities().registerActivity(Activity::RfSweep, &page.host,
                                            [&busy] { return busy; });
    page.host.updateConnectionUi();
    QVERIFY(!page.button("favoritesPB")->isEnabled());
    QVERIFY(!page.button("importFavoritesPB")->isEnabled());
    page.tab->itemClicked(page.table()->item(0, 0));
    QCOMPARE(page.host.receiver.frequency, qint64(1000000));
    QCOMPARE(page.host.receiver.queuedTunes.size(), 2);
}

void FavoritesTabTest::reportAndChirp()
{
    Page page;
    page.addRows({{145500000, "Repeater", "NFM", {{"notes", "n"}}}});
    page.button("printFavoritesPB")->click();
    QCOMPARE(page.opened.size(), 1);
    QVERIFY(page.opened.first().startsWith(page.folder.filePath("data/reports/favorites_")));
    QVERIFY(page.host.logContains("Favorites report saved: " + page.opened.first()));

    page.exportPath = page.folder.filePath("out.csv");
    page.button("exportFavoritesPB")->click();
    QCOMPARE(page.status(), "Exported 1 favorites to " + page.exportPath + ".");
    QFile csv(page.exportPath);
    QVERIFY(csv.open(QIODevice::Append));
    csv.write("1,Simplex,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,,,,,"
              "\r\n");
    csv.close();
    page.importPath = page.exportPath;
    page.button("importFavoritesPB")->click();
    QCOMPARE(page.status(), QStringLiteral("CHIRP import: 1 added, 1 already present, 0 outside "
                                           "0.1-3000 MHz, 0 unreadable."));
    QCOMPARE(column(page.table(), 1), (QStringList{"Repeater", "Simplex"}));
    QCOMPARE(page.saved().size(), 2);

    page.importPath = page.folder.filePath("missing.csv");
    page.button("importFavoritesPB")->click();
    QVERIFY(page.status().startsWith("Could not read " + page.importPath));
    QCOMPARE(page.table()->rowCount(), 2);
}

void FavoritesTabTest::unreadableFileIsKept()
{
    Page page;
    QDir().mkpath(QStringLiteral("sys"));
    QFile file(QStringLiteral("sys/favorites.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<preferences><group");
    file.close();
    QVERIFY(!page.tab->loadFavorites(QStringLiteral("sys/favorites.xml")));
    QVERIFY(page.host.logContains("Could not read the Favorites file sys/favorites.xml (line 1, "
                                  "column "));
    answerName(QStringLiteral("Anyway"));
    page.button("favoritesPB")->click();
    QTRY_COMPARE(page.table()->rowCount(), 1);
    QCOMPARE(page.status(), partial + " Could not save the Favorites file.");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<preferences><group"));
}

QTEST_MAIN(FavoritesTabTest)
#include "tst_favoritestab.moc"
