// The event archive and observation statistics dialogs, offscreen: the listing and its details,
// the review through the two input dialogs, the hand-off to the DSP tab, and the statistics'
// context list, report and export.

#include "archivefixture.h"
#include "archivejson.h"
#include "dspcontrols.h"
#include "dsptab.h"
#include "eventarchivedialog.h"
#include "modalanswer.h"
#include "observationreport.h"
#include "observationstatsdialog.h"
#include "settingskeys.h"
#include "testhost.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace ArchiveFixture;

class TestArchiveDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listsEventsWithDetails();
    void reviewWritesTheLabelAndNotes_data();
    void reviewWritesTheLabelAndNotes();
    void selectForDspHandsTheWavToTheDspTab();
    void vanishedFileDisablesTheActions();
    void statisticsFollowTheChosenContext();
    void exportWritesTheReport();

private:
    EventArchiveDialog *dialog() { return m_dialog.get(); }

    QTemporaryDir m_dir;
    std::unique_ptr<EventArchiveDialog> m_dialog;
};

namespace {

int rowOf(QTableWidget *table, const QString &fileName)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 6)->text() == fileName)
            return row;
    }
    return -1;
}

} // namespace

void TestArchiveDialogs::init()
{
    m_dialog.reset();
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("observations"))));
    const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-1);
    const QJsonObject event = with(context(), {{"trigger_type", "NEW"},
                                               {"trigger_utc", "2026-01-02T03:04:05.678Z"},
                                               {"observation_id", "a"},
                                               {"total_samples", 96000}});
    QVERIFY(writeEvent(m_dir.path(), QStringLiteral("145.500000_with"), &event, nullptr, base));
    QVERIFY(writeEvent(m_dir.path(), QStringLiteral("145.500000_without"), nullptr, nullptr,
                       base.addSecs(10)));
    QVERIFY(writeJson(m_dir.filePath(QStringLiteral("observations/a.json")),
                      log(QStringLiteral("a"), true, 48000.0 * 3600, 3600, 1)));
    m_dialog = std::make_unique<EventArchiveDialog>(m_dir.path());
}

void TestArchiveDialogs::listsEventsWithDetails()
{
    QTableWidget *table = dialog()->table();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 6)->text(), QStringLiteral("145.500000_without.wav"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("145500000"));
    QCOMPARE(table->item(1, 4)->text(), QStringLiteral("2.00"));
    QCOMPARE(dialog()->statusText(),
             QStringLiteral("2 WAV files | original files are never modified"));
    QCOMPARE(dialog()->selectedPath(), m_dir.filePath(QStringLiteral("145.500000_without.wav")));
    QCOMPARE(dialog()->detailsText(),
             QStringLiteral("Missing or invalid event JSON\nManual review: {}"));
    table->selectRow(1);
    QVERIFY(dialog()->detailsText().startsWith(QStringLiteral("{\n")));
    QVERIFY(dialog()->detailsText().contains(QStringLiteral("\"trigger_type\": \"NEW\"")));
    QVERIFY(dialog()->detailsText().endsWith(QStringLiteral("}\nManual review: {}")));
    // A new event appears on Refresh; the selection stays on its file.
    QVERIFY(writeEvent(m_dir.path(), QStringLiteral("7.000000_new"), nullptr));
    dialog()->findChild<QPushButton *>(QStringLiteral("eventArchiveRefresh"))->click();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 6)->text(), QStringLiteral("7.000000_new.wav"));
    QCOMPARE(dialog()->selectedPath(), m_dir.filePath(QStringLiteral("145.500000_with.wav")));
}

void TestArchiveDialogs::reviewWritesTheLabelAndNotes_data()
{
    QTest::addColumn<bool>("acceptLabel");
    QTest::addColumn<bool>("acceptNotes");
    QTest::newRow("both confirmed") << true << true;
    QTest::newRow("label cancelled") << false << true;
    QTest::newRow("notes cancelled") << true << false;
}

void TestArchiveDialogs::reviewWritesTheLabelAndNotes()
{
    QFETCH(bool, acceptLabel);
    QFETCH(bool, acceptNotes);
    const QString wav = m_dir.filePath(QStringLiteral("145.500000_with.wav"));
    const QString reviewFile = m_dir.filePath(QStringLiteral("145.500000_with.review.json"));
    QVERIFY(writeJson(reviewFile, review("INTERESTING", QStringLiteral("old notes"))));
    dialog()->refresh();
    const int row = rowOf(dialog()->table(), QStringLiteral("145.500000_with.wav"));
    dialog()->table()->selectRow(row);

    // The stored label and notes are offered first.
    QString offeredLabel, offeredNotes;
    answerNextModal([&](QWidget *modal) {
        auto *input = qobject_cast<QInputDialog *>(modal);
        QVERIFY(input);
        QCOMPARE(input->windowTitle(), QStringLiteral("Manual review"));
        offeredLabel = input->textValue();
        input->setTextValue(QStringLiteral("False alarm"));
        if (!acceptLabel) {
            input->reject();
            return;
        }
        input->accept();
        answerNextModal([&](QWidget *next) {
            auto *notes = qobject_cast<QInputDialog *>(next);
            QVERIFY(notes);
            QCOMPARE(notes->windowTitle(), QStringLiteral("Review notes"));
            offeredNotes = notes->textValue();
            notes->setTextValue(QStringLiteral("birdie at 145.5"));
            acceptNotes ? notes->accept() : notes->reject();
        });
    });
    dialog()->review();

    const QJsonObject stored = ArchiveJson::readObject(reviewFile);
    QCOMPARE(offeredLabel, QStringLiteral("Interesting"));
    const bool written = acceptLabel && acceptNotes;
    QCOMPARE(stored.value(QStringLiteral("label")).toString(),
             written ? QStringLiteral("FALSE_ALARM") : QStringLiteral("INTERESTING"));
    QCOMPARE(stored.value(QStringLiteral("notes")).toString(),
             written ? QStringLiteral("birdie at 145.5") : QStringLiteral("old notes"));
    QCOMPARE(dialog()->table()->item(row, 5)->text(), stored.value("label").toString());
    QCOMPARE(dialog()->selectedPath(), wav);
    if (acceptLabel)
        QCOMPARE(offeredNotes, QStringLiteral("old notes"));
}

void TestArchiveDialogs::selectForDspHandsTheWavToTheDspTab()
{
    TestHost host;
    DspTab tab(host);
    connect(dialog(), &EventArchiveDialog::wavSelected, &tab,
            [&tab](const QString &path) { tab.setWavFile(path, true); });
    QSignalSpy replay(dialog(), &EventArchiveDialog::replayRequested);
    const QString wav = m_dir.filePath(QStringLiteral("145.500000_without.wav"));

    dialog()->findChild<QPushButton *>(QStringLiteral("eventArchiveSelectForDsp"))->click();
    QCOMPARE(dialog()->result(), int(QDialog::Accepted));
    QCOMPARE(tab.wavPath(), QDir::toNativeSeparators(wav));
    QCOMPARE(host.settings().value(QLatin1String(SettingsKeys::dspLastWav)).toString(),
             QDir::toNativeSeparators(wav));
    QCOMPARE(replay.count(), 0);

    dialog()->setResult(QDialog::Rejected);
    dialog()->table()->selectRow(1);
    dialog()->findChild<QPushButton *>(QStringLiteral("eventArchiveSelectAndReplay"))->click();
    QCOMPARE(dialog()->result(), int(QDialog::Accepted));
    QCOMPARE(tab.wavPath(),
             QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("145.500000_with.wav"))));
    QCOMPARE(replay.count(), 1);
    QCOMPARE(replay[0][0].toString(), m_dir.filePath(QStringLiteral("145.500000_with.wav")));
}

void TestArchiveDialogs::vanishedFileDisablesTheActions()
{
    const auto button = [this](const char *name) {
        return dialog()->findChild<QPushButton *>(QLatin1String(name));
    };
    QVERIFY(button("eventArchiveSelectForDsp")->isEnabled());
    QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("145.500000_with.wav"))));
    dialog()->table()->selectRow(1);
    for (const char *name :
         {"eventArchiveSelectForDsp", "eventArchiveSelectAndReplay", "eventArchiveReview"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QSignalSpy selected(dialog(), &EventArchiveDialog::wavSelected);
    dialog()->selectForDsp();
    QCOMPARE(selected.count(), 0);
}

void TestArchiveDialogs::statisticsFollowTheChosenContext()
{
    DecisionConfig rules;
    ObservationStatsDialog stats(m_dir.path(), rules);
    QComboBox *box = stats.contextBox();
    const QString key = QString::fromLatin1(contextKey);
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->itemText(0), QStringLiteral("All contexts"));
    QCOMPARE(box->itemText(1), QStringLiteral("Legacy / incomplete context"));
    QCOMPARE(box->itemText(2), key);
    const QVector<ObservationLog> logs =
        ObservationStatistics::readLogs(m_dir.filePath(QStringLiteral("observations")));
    const QVector<ArchivedEvent> events = EventArchive::list(m_dir.path());
    QCOMPARE(stats.reportText(),
             ObservationReport::build(logs, events, ContextChoice::allContexts(), rules));
    box->setCurrentIndex(2);
    QCOMPARE(stats.reportText(),
             ObservationReport::build(logs, events, ContextChoice::of(key), rules));
    QVERIFY(stats.reportText().contains(QStringLiteral(
        "Linked automatic WAV / reviewed / false alarms (closed sessions): 1 / 0 / 0")));

    // Refresh rereads: the choice stays while listed, else "All contexts".
    QVERIFY(writeJson(m_dir.filePath(QStringLiteral("observations/b.json")),
                      with(log(QStringLiteral("b"), true, 1, 1, 0), {{"mode", "AM"}})));
    stats.findChild<QPushButton *>(QStringLiteral("observationRefresh"))->click();
    QCOMPARE(box->count(), 4);
    QCOMPARE(box->currentText(), key);
    QVERIFY(stats.reportText().contains(QStringLiteral("Closed sessions: 1 | Open")));
    QVERIFY(QDir(m_dir.path()).removeRecursively());
    stats.refresh();
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->currentIndex(), 0);
}

void TestArchiveDialogs::exportWritesTheReport()
{
    ObservationStatsDialog stats(m_dir.path(), DecisionConfig());
    const QString path = m_dir.filePath(QStringLiteral("report.txt"));
    QVERIFY(stats.writeReport(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), stats.reportText());

    QString warning;
    answerNextModal([&warning](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        warning = box->windowTitle() + QStringLiteral(": ") + box->text();
        box->accept();
    });
    QVERIFY(!stats.writeReport(m_dir.filePath(QStringLiteral("missing/report.txt"))));
    QCOMPARE(warning, QStringLiteral("Export error: Cannot save report"));
}

QTEST_MAIN(TestArchiveDialogs)
#include "tst_archivedialogs.moc"
