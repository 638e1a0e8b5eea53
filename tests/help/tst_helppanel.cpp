#include "documentviewer.h"
#include "helppanel.h"
#include "languageselector.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestHelpPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void controls();
    void programHelp_data();
    void programHelp();
    void licenseWithNotices();
    void missingDocumentIsReported();

private:
    // Clicks a button of a panel placed in a window; returns the viewers it opened.
    QList<DocumentViewer *> click(const QString &button, QSignalSpy **errors = nullptr);

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<QWidget> m_window;
    HelpPanel *m_panel = nullptr;
};

void TestHelpPanel::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    m_settings = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("Corvin.conf")),
                                             QSettings::IniFormat);
}

void TestHelpPanel::cleanup()
{
    m_window.reset();
    qApp->setProperty("language", QVariant());
}

QList<DocumentViewer *> TestHelpPanel::click(const QString &button, QSignalSpy **errors)
{
    m_window = std::make_unique<QWidget>();
    auto *page = new QWidget(m_window.get());
    m_panel = new HelpPanel(*m_settings, page);
    if (errors)
        *errors = new QSignalSpy(m_panel, &HelpPanel::errorOccurred);
    m_window->show();
    QTest::mouseClick(m_panel->findChild<QPushButton *>(button), Qt::LeftButton);
    return m_window->findChildren<DocumentViewer *>();
}

void TestHelpPanel::controls()
{
    QWidget page;
    HelpPanel panel(*m_settings, &page);
    auto *help = panel.findChild<QPushButton *>(QStringLiteral("programHelpPB"));
    auto *license = panel.findChild<QPushButton *>(QStringLiteral("licensePB"));
    QVERIFY(help && license);
    QCOMPARE(help, panel.programHelpButton());
    QCOMPARE(license, panel.licenseButton());
    QCOMPARE(help->text(), QStringLiteral("Program help"));
    QCOMPARE(license->text(), QStringLiteral("Freeware license"));
    QVERIFY(panel.findChild<QComboBox *>(QStringLiteral("languageCB")));
    QVERIFY(panel.findChild<QLabel *>(QStringLiteral("languageNotice")));
    QCOMPARE(panel.languageSelector()->parentWidget(), &panel);
}

void TestHelpPanel::programHelp_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::newRow("english") << "en"
                             << "qrc:/Corvin/help/guide_en.html";
    QTest::newRow("italian") << "it"
                             << "qrc:/Corvin/help/guide_it.html";
}

void TestHelpPanel::programHelp()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    qApp->setProperty("language", language);
    const QList<DocumentViewer *> viewers = click(QStringLiteral("programHelpPB"));
    QCOMPARE(viewers.size(), 1);
    QCOMPARE(viewers.first()->parentWidget(), m_window.get());
    QCOMPARE(viewers.first()->windowTitle(), QStringLiteral("Corvin program help"));
    QCOMPARE(viewers.first()->browser()->source(), QUrl(page));
}

void TestHelpPanel::licenseWithNotices()
{
    qApp->setProperty("language", QStringLiteral("en"));
    const QList<DocumentViewer *> viewers = click(QStringLiteral("licensePB"));
    QCOMPARE(viewers.size(), 1);
    QCOMPARE(viewers.first()->windowTitle(), QStringLiteral("Corvin freeware license"));
    const QString text = viewers.first()->browser()->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("Test licence")));
    QVERIFY(text.contains(QStringLiteral("Second line.\n\n\nQt 5")));
}

void TestHelpPanel::missingDocumentIsReported()
{
    // The test resources have no Italian licence.
    qApp->setProperty("language", QStringLiteral("it"));
    QSignalSpy *errors = nullptr;
    const QList<DocumentViewer *> viewers = click(QStringLiteral("licensePB"), &errors);
    std::unique_ptr<QSignalSpy> owned(errors);
    QVERIFY(viewers.isEmpty());
    QCOMPARE(errors->count(), 1);
    QVERIFY(errors->first().first().toString().startsWith(
        QStringLiteral("Could not open help or license: ")));
}

QTEST_MAIN(TestHelpPanel)
#include "tst_helppanel.moc"
