#include "fakehttptransport.h"
#include "listeninglocationpanel.h"
#include "loopbackhttpserver.h"
#include "productagebadges.h"
#include "propagationcache.h"
#include "propagationfetcher.h"
#include "propagationreport.h"
#include "propagationsite.h"
#include "propagationtab.h"
#include "settingskeys.h"
#include "testhost.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

// The Propagation tab and the listening-location group with a window stand-in: the refresh
// cycle with its statuses and log lines, keeping an earlier report, export with its checks,
// the saved report at start, the age badges, and location edits reaching the report.
class TestPropagationTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsWithThePlaceholder();
    void refreshCycle();
    void onlyTheBulletinArrives();
    void failedRefreshKeepsTheEarlierReport();
    void firstRefreshWithoutData();
    void closingDropsTheDownloads();
    void exportChecksAndWrites();
    void savedReportShownAtStart();
    void badgesTellTheAge();
    void locationEdits_data();
    void locationEdits();
    void locationChangeRebuildsTheReport();

private:
    // A tab whose downloads the test answers.
    PropagationTab *newTab();
    // Answers the four downloads: bodies by fixture name, or errors.
    void answerAll(const QStringList &fixtures);

    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<PropagationTab> m_tab;
    FakeHttpTransport *m_transport = nullptr;
    QStringList m_warnings;
    QString m_chosenFile;
    QStringList m_offered; // folder and proposed name of each save dialog
};

namespace {

const QStringList paths = {
    QStringLiteral("/solarxml.php"), QStringLiteral("/json/planetary_k_index_1m.json"),
    QStringLiteral("/json/f107_cm_flux.json"), QStringLiteral("/text/wwv.txt")};
const QStringList allFixtures = {QStringLiteral("hamqsl.xml"), QStringLiteral("kp.json"),
                                 QStringLiteral("f107.json"), QStringLiteral("wwv.txt")};
const QStringList allFail = {QString(), QString(), QString(), QString()};

template <typename T> T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

void TestPropagationTab::init()
{
    m_tab.reset();
    m_host = std::make_unique<TestHost>();
    m_warnings.clear();
    m_offered.clear();
    m_chosenFile.clear();
    QFile::remove(PropagationCache::path());
    qApp->setProperty("language", QVariant());
}

PropagationTab *TestPropagationTab::newTab()
{
    auto transport = std::make_unique<FakeHttpTransport>();
    m_transport = transport.get();
    m_tab = std::make_unique<PropagationTab>(*m_host, new PropagationFetcher(std::move(transport)),
                                             nullptr);
    m_tab->setWarner([this](const QString &message) { m_warnings << message; });
    m_tab->setFileChooser([this](const QString &folder, const QString &name) {
        m_offered << folder << name;
        return m_chosenFile;
    });
    return m_tab.get();
}

void TestPropagationTab::answerAll(const QStringList &fixtures)
{
    for (int i = 0; i < paths.size(); ++i) {
        const Download download = fixtures[i].isEmpty()
                                      ? Download{QByteArray(), QStringLiteral("HTTP 503")}
                                      : Download{fixture(fixtures[i]), QString()};
        QVERIFY(m_transport->answer(paths[i], download));
    }
}

void TestPropagationTab::startsWithThePlaceholder()
{
    PropagationTab *tab = newTab();
    auto *report = child<QTextBrowser>(tab, "propagationReport");
    QCOMPARE(report->toPlainText(), QStringLiteral("Select Refresh report to retrieve the HF band "
                                                   "conditions and space weather bulletin."));
    QCOMPARE(report->styleSheet(), QStringLiteral("QTextBrowser#propagationReport { "
                                                  "background-color: white; color: #1f2328; }"));
    QCOMPARE(child<QPushButton>(tab, "propagationRefresh")->text(),
             QStringLiteral("Refresh report"));
    QCOMPARE(child<QPushButton>(tab, "propagationExport")->text(),
             QStringLiteral("Export report…"));
    QVERIFY(!child<QPushButton>(tab, "propagationExport")->isEnabled());
    QVERIFY(child<QLabel>(tab, "propagationStatus")->text().isEmpty());
    QVERIFY(!tab->hasReport());
}

void TestPropagationTab::refreshCycle()
{
    PropagationTab *tab = newTab();
    auto *refresh = child<QPushButton>(tab, "propagationRefresh");
    auto *status = child<QLabel>(tab, "propagationStatus");
    refresh->click();
    QVERIFY(!refresh->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("Retrieving HamQSL and NOAA data…"));
    QVERIFY(m_host->logContains(QStringLiteral("Propagation report refresh started.")));
    tab->refreshPropagation(); // ignored while running
    QCOMPARE(m_transport->pending.size(), 4);

    answerAll({allFixtures[0], QString(), allFixtures[2], allFixtures[3]});
    QVERIFY(refresh->isEnabled());
    QCOMPARE(status->text(), QStringLiteral("Report updated with partial data."));
    QVERIFY(m_host->logContains(QStringLiteral("Propagation source error: NOAA Kp: HTTP 503")));
    QVERIFY(
        m_host->logContains(QStringLiteral("Propagation refresh completed. Source errors: 1.")));
    QVERIFY(child<QPushButton>(tab, "propagationExport")->isEnabled());
    const QString shown = child<QTextBrowser>(tab, "propagationReport")->toPlainText();
    QVERIFY(shown.contains(QStringLiteral("155.3 sfu")));
    QVERIFY(shown.contains(QStringLiteral("NOAA Kp: HTTP 503")));

    refresh->click();
    answerAll(allFixtures);
    QCOMPARE(status->text(), QStringLiteral("Report updated."));
    QVERIFY(
        m_host->logContains(QStringLiteral("Propagation refresh completed. Source errors: 0.")));
}

void TestPropagationTab::onlyTheBulletinArrives()
{
    PropagationTab *tab = newTab();
    tab->refreshPropagation();
    answerAll({QString(), QString(), QString(), allFixtures[3]});
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("Report updated with partial data."));
    QVERIFY(child<QPushButton>(tab, "propagationExport")->isEnabled());
    const QString text = buildReportText(tab->currentReport(), {});
    QVERIFY(text.contains(QStringLiteral("SFI / F10.7: N/A\nEstimated planetary Kp: N/A\n")));
    QCOMPARE(m_host->logCount(QStringLiteral("Propagation source error: ")), 3);
}

void TestPropagationTab::failedRefreshKeepsTheEarlierReport()
{
    PropagationTab *tab = newTab();
    tab->refreshPropagation();
    answerAll(allFixtures);
    const PropagationData earlier = tab->currentReport();
    const QString earlierPage = child<QTextBrowser>(tab, "propagationReport")->toHtml();

    tab->refreshPropagation();
    answerAll(allFail);
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("Update failed. Showing the previous report."));
    QVERIFY(m_host->logContains(
        QStringLiteral("Propagation update failed. Previous report retained.")));
    QCOMPARE(m_host->logCount(QStringLiteral("Propagation source error: ")), 4);
    QCOMPARE(tab->currentReport(), earlier);
    QCOMPARE(child<QTextBrowser>(tab, "propagationReport")->toHtml(), earlierPage);
    QVERIFY(child<QPushButton>(tab, "propagationExport")->isEnabled());
    QVERIFY(child<QPushButton>(tab, "propagationRefresh")->isEnabled());
}

void TestPropagationTab::firstRefreshWithoutData()
{
    PropagationTab *tab = newTab();
    tab->refreshPropagation();
    answerAll(allFail);
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("No source responded with usable data."));
    QVERIFY(tab->hasReport());
    QVERIFY(!child<QPushButton>(tab, "propagationExport")->isEnabled());
    QVERIFY(child<QTextBrowser>(tab, "propagationReport")
                ->toPlainText()
                .contains(QStringLiteral("Sources unavailable")));
    QVERIFY(!QFile::exists(PropagationCache::path())); // nothing worth keeping
    tab->exportPropagation();
    QVERIFY(m_offered.isEmpty());

    // A later refresh with data replaces a report without any.
    tab->refreshPropagation();
    answerAll({QString(), allFixtures[1], QString(), QString()});
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("Report updated with partial data."));
    QVERIFY(tab->currentReport().kpValid);
}

void TestPropagationTab::closingDropsTheDownloads()
{
    PropagationTab *tab = newTab();
    int aborts = 0;
    m_transport->abortsSeenOutside = &aborts;
    tab->refreshPropagation();
    m_tab.reset(); // the window closes while the downloads run
    QCOMPARE(aborts, 1);
    QVERIFY(!m_host->logContains(QStringLiteral("Propagation refresh completed")));
}

void TestPropagationTab::exportChecksAndWrites()
{
    PropagationTab *tab = newTab();
    tab->refreshPropagation();
    answerAll(allFixtures);
    const QString folder = QDir(QString::fromLocal8Bit(qgetenv("CORVIN_DATA_DIR")))
                               .filePath(QStringLiteral("propagation"));

    m_chosenFile = QDir(folder).filePath(QStringLiteral("report.doc"));
    tab->exportPropagation();
    QCOMPARE(m_offered.value(0), folder);
    QCOMPARE(m_offered.value(1),
             QStringLiteral("propagation_") +
                 tab->currentReport().retrieved.toString(QStringLiteral("yyyyMMdd_HHmmss'Z'")));
    QCOMPARE(m_warnings, QStringList{QStringLiteral("Use an .html, .pdf or .txt file extension.")});
    QVERIFY(m_host->logContains(QStringLiteral("Use an .html, .pdf or .txt file extension.")));
    QVERIFY(!QFile::exists(m_chosenFile));

    for (const char *name : {"r.HTML", "r.pdf", "r.txt"}) {
        m_chosenFile = QDir(folder).filePath(QString::fromLatin1(name));
        tab->exportPropagation();
        QFile written(m_chosenFile);
        QVERIFY2(written.open(QIODevice::ReadOnly), name);
        QVERIFY(written.size() > 1000);
        QVERIFY(m_host->logContains(QStringLiteral("Propagation report saved to ") +
                                    QDir::toNativeSeparators(m_chosenFile)));
    }
    QCOMPARE(m_warnings.size(), 1);

    m_chosenFile = QDir(folder).filePath(QStringLiteral("no/such/folder/r.txt"));
    tab->exportPropagation();
    QCOMPARE(m_warnings.size(), 2);
    QVERIFY(
        m_warnings.last().startsWith(QStringLiteral("Could not export the propagation report: ")));
    QVERIFY(m_host->logContains(m_warnings.last()));

    m_chosenFile.clear(); // cancelled
    tab->exportPropagation();
    QCOMPARE(m_warnings.size(), 2);
}

void TestPropagationTab::savedReportShownAtStart()
{
    {
        PropagationTab *tab = newTab();
        tab->refreshPropagation();
        answerAll(allFixtures);
    }
    m_host = std::make_unique<TestHost>();
    PropagationTab *tab = newTab(); // the next start
    QVERIFY(tab->hasReport());
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("Showing the saved report retrieved at %1.")
                 .arg(formatReportTime(tab->currentReport().retrieved)));
    QVERIFY(child<QPushButton>(tab, "propagationExport")->isEnabled());
    QVERIFY(child<QTextBrowser>(tab, "propagationReport")
                ->toPlainText()
                .contains(QStringLiteral("155.3 sfu")));

    // It counts as the earlier report: a refresh without data keeps it.
    tab->refreshPropagation();
    answerAll(allFail);
    QCOMPARE(child<QLabel>(tab, "propagationStatus")->text(),
             QStringLiteral("Update failed. Showing the previous report."));
    QVERIFY(tab->currentReport().kpValid);
}

void TestPropagationTab::badgesTellTheAge()
{
    PropagationTab *tab = newTab();
    auto *badges = child<ProductAgeBadges>(tab, "propagationAges");
    QVERIFY(badges->isHidden());
    PropagationData data;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    data.hamqslUpdated = now.addSecs(-7 * 3600);
    data.kpTime = now.addSecs(-1800);
    data.fluxTime = now.addSecs(3600);
    data.kpValid = true;
    tab->showPropagation(data);
    QVERIFY(!badges->isHidden());
    QCOMPARE(badges->badge(QStringLiteral("HamQSL"))->text(),
             QStringLiteral("HamQSL: 7.0 h old, stale"));
    QCOMPARE(badges->badge(QStringLiteral("NOAA Kp"))->text(),
             QStringLiteral("NOAA Kp: 0.5 h old"));
    QCOMPARE(badges->badge(QStringLiteral("NOAA F10.7"))->text(),
             QStringLiteral("NOAA F10.7: time ahead of the clock"));
    QCOMPARE(badges->badge(QStringLiteral("NOAA WWV"))->text(),
             QStringLiteral("NOAA WWV: no data"));
    QVERIFY(badges->badge(QStringLiteral("HamQSL"))->styleSheet() !=
            badges->badge(QStringLiteral("NOAA Kp"))->styleSheet());
    // The badges do not change the report.
    QVERIFY(!child<QTextBrowser>(tab, "propagationReport")
                 ->toPlainText()
                 .contains(QStringLiteral("stale")));
}

void TestPropagationTab::locationEdits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("latitude");
    QTest::addColumn<QString>("longitude");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QVariant>("storedLatitude"); // invalid: key removed
    QTest::newRow("decimal comma") << " Shack "
                                   << "45,5"
                                   << "-9.25" << true << QVariant(45.5);
    QTest::newRow("blank coordinates") << "Shack"
                                       << ""
                                       << " " << true << QVariant();
    QTest::newRow("latitude 91") << "Other"
                                 << "91"
                                 << "10" << false << QVariant(12.0);
    QTest::newRow("hemisphere letter") << "Other"
                                       << "45.5N"
                                       << "10" << false << QVariant(12.0);
    QTest::newRow("longitude 180.5") << "Other"
                                     << "10"
                                     << "180.5" << false << QVariant(12.0);
}

void TestPropagationTab::locationEdits()
{
    QFETCH(QString, name);
    QFETCH(QString, latitude);
    QFETCH(QString, longitude);
    QFETCH(bool, stored);
    QFETCH(QVariant, storedLatitude);
    QSettings &settings = m_host->settings();
    settings.setValue(QString::fromLatin1(SettingsKeys::locationName), QStringLiteral("Before"));
    settings.setValue(QString::fromLatin1(SettingsKeys::locationLatitude), 12.0);
    settings.setValue(QString::fromLatin1(SettingsKeys::locationLongitude), -7.125);
    qApp->setProperty("language", QStringLiteral("it"));
    ListeningLocationPanel panel(settings);
    qApp->setProperty("language", QVariant());
    QCOMPARE(child<QLineEdit>(&panel, "listeningLatitude")->text(), QStringLiteral("12,00000000"));
    QCOMPARE(child<QLineEdit>(&panel, "listeningLongitude")->text(), QStringLiteral("-7,12500000"));
    QCOMPARE(child<QLineEdit>(&panel, "listeningName")->text(), QStringLiteral("Before"));
    auto *hint = child<QLabel>(&panel, "listeningLocationHint");
    QCOMPARE(hint->text(), ListeningLocationPanel::hintText());
    QSignalSpy changed(&panel, &ListeningLocationPanel::locationChanged);

    child<QLineEdit>(&panel, "listeningName")->setText(name);
    child<QLineEdit>(&panel, "listeningLatitude")->setText(latitude);
    child<QLineEdit>(&panel, "listeningLongitude")->setText(longitude);
    emit child<QLineEdit>(&panel, "listeningLongitude")->editingFinished();

    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(hint->text(), stored ? ListeningLocationPanel::hintText()
                                  : QStringLiteral("Location changes pending. Enter latitude from "
                                                   "−90 to 90 and longitude from −180 to 180, or "
                                                   "leave the fields blank."));
    QCOMPARE(settings.value(QString::fromLatin1(SettingsKeys::locationName)).toString(),
             stored ? name.trimmed() : QStringLiteral("Before"));
    const QVariant latitudeValue =
        settings.value(QString::fromLatin1(SettingsKeys::locationLatitude));
    QCOMPARE(latitudeValue.isValid(), storedLatitude.isValid());
    if (storedLatitude.isValid())
        QCOMPARE(latitudeValue.toDouble(), storedLatitude.toDouble());

    // Fixing the fields afterwards stores them and restores the hint.
    child<QLineEdit>(&panel, "listeningLatitude")->setText(QStringLiteral("-33.5"));
    child<QLineEdit>(&panel, "listeningLongitude")->setText(QStringLiteral("151,25"));
    emit child<QLineEdit>(&panel, "listeningLatitude")->editingFinished();
    QCOMPARE(hint->text(), ListeningLocationPanel::hintText());
    const PropagationSite site = loadListeningLocation(settings);
    QVERIFY(site.latitudeValid && site.longitudeValid);
    QCOMPARE(site.latitude, -33.5);
    QCOMPARE(site.longitude, 151.25);
}

void TestPropagationTab::locationChangeRebuildsTheReport()
{
    PropagationTab *tab = newTab();
    ListeningLocationPanel panel(m_host->settings());
    connect(&panel, &ListeningLocationPanel::locationChanged, tab, &PropagationTab::rebuildReport);
    emit child<QLineEdit>(&panel, "listeningName")->editingFinished(); // no report yet: no-op
    QVERIFY(!tab->hasReport());

    tab->refreshPropagation();
    answerAll(allFixtures);
    auto *report = child<QTextBrowser>(tab, "propagationReport");
    QVERIFY(
        report->toPlainText().contains(QStringLiteral("Listening location\nN/A\nLatitude\nN/A")));
    child<QLineEdit>(&panel, "listeningName")->setText(QStringLiteral("Monte Mario"));
    child<QLineEdit>(&panel, "listeningLatitude")->setText(QStringLiteral("41,9226"));
    emit child<QLineEdit>(&panel, "listeningLatitude")->editingFinished();
    QVERIFY(report->toPlainText().contains(
        QStringLiteral("Listening location\nMonte Mario\nLatitude\n41.922600°\nLongitude\nN/A")));
}

QTEST_MAIN(TestPropagationTab)
#include "tst_propagationtab.moc"
