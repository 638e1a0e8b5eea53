#include "corvinversion.h"
#include "documentviewer.h"
#include "helpdocuments.h"

#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

// The program's own embedded documents, as the help buttons open them.
class TestEmbeddedDocuments : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void pages_data();
    void pages();
    void licence_data();
    void licence();
    void guideNamesVersion_data();
    void guideNamesVersion();

private:
    QWidget m_window;
};

namespace {

QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void addLanguages()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("it") << "it";
}

} // namespace

void TestEmbeddedDocuments::cleanup()
{
    qDeleteAll(m_window.findChildren<DocumentViewer *>());
    qApp->setProperty("language", QVariant());
}

void TestEmbeddedDocuments::pages_data()
{
    addLanguages();
}

void TestEmbeddedDocuments::pages()
{
    QFETCH(QString, language);
    qApp->setProperty("language", language);
    for (const QString &path : {HelpDocuments::programHelpPath(), HelpDocuments::dspHelpPath()}) {
        QVERIFY2(path.contains(QStringLiteral("_") + language + QStringLiteral(".html")),
                 qPrintable(path));
        QString message;
        DocumentViewer *viewer =
            DocumentViewer::showDocument(&m_window, path, QStringLiteral("t"), &message);
        QVERIFY2(viewer, qPrintable(message));
        const QTextDocument *shown = viewer->browser()->document();
        QVERIFY(shown->characterCount() > 200);
        // The same page without its base URL cannot find its style sheet; loaded from the
        // resources, the sheet must change how the page is laid out.
        QTextDocument bare;
        bare.setHtml(resourceText(path));
        QCOMPARE(shown->toPlainText(), bare.toPlainText());
        QVERIFY2(shown->toHtml() != bare.toHtml(),
                 qPrintable(path + QStringLiteral(": style sheet not applied")));
    }
}

void TestEmbeddedDocuments::licence_data()
{
    addLanguages();
}

void TestEmbeddedDocuments::licence()
{
    QFETCH(QString, language);
    qApp->setProperty("language", language);
    const QString licence = resourceText(HelpDocuments::licensePath());
    const QString notices = resourceText(HelpDocuments::noticesPath());
    QVERIFY(!licence.isEmpty());
    QVERIFY(!notices.isEmpty());
    DocumentViewer *viewer = DocumentViewer::showDocument(&m_window, HelpDocuments::licensePath(),
                                                          QStringLiteral("t"), nullptr);
    QVERIFY(viewer);
    QCOMPARE(viewer->browser()->toPlainText(), licence + QStringLiteral("\n\n") + notices);
}

void TestEmbeddedDocuments::guideNamesVersion_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("line");
    QTest::newRow("en") << "en" << QStringLiteral("Corvin version " CORVIN_VERSION);
    QTest::newRow("it") << "it" << QStringLiteral("Corvin versione " CORVIN_VERSION);
}

// The guide the help button opens names the version that --version and the log print, filled
// in when the program is built.
void TestEmbeddedDocuments::guideNamesVersion()
{
    QFETCH(QString, language);
    QFETCH(QString, line);
    qApp->setProperty("language", language);
    DocumentViewer *viewer = DocumentViewer::showDocument(
        &m_window, HelpDocuments::programHelpPath(), QStringLiteral("t"), nullptr);
    QVERIFY(viewer);
    const QStringList lines = viewer->browser()->toPlainText().split(QLatin1Char('\n'));
    QVERIFY2(lines.size() > 2, qPrintable(lines.join(QLatin1Char('|'))));
    QCOMPARE(lines.at(1), line);
    QVERIFY(!viewer->browser()->toPlainText().contains(QLatin1Char('@')));
}

QTEST_MAIN(TestEmbeddedDocuments)
#include "tst_embeddeddocuments.moc"
