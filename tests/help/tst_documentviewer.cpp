#include "documentviewer.h"
#include "helpdocuments.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The block whose text is `text`, or an invalid block.
QTextBlock findBlock(const QTextDocument *document, const QString &text)
{
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        if (b.text() == text)
            return b;
    return {};
}

QColor blockColour(const QTextDocument *document, const QString &text)
{
    const QTextBlock block = findBlock(document, text);
    return block.isValid() ? block.begin().fragment().charFormat().foreground().color() : QColor();
}

// Clicks the link with the given target in the browser, as the user would.
bool clickLink(QTextBrowser *browser, const QString &href)
{
    const QTextDocument *document = browser->document();
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + 1);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(cursor).center() - QPoint(2, 0);
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return true;
        }
    }
    return false;
}

class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestDocumentViewer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void htmlPage_data();
    void htmlPage();
    void linksWorkInsideThePage();
    void plainTextGetsNotices();
    void plainTextWithoutNotices();
    void htmlSuffixIsCaseSensitive();
    void missingDocument();
    void closeButton();
    void severalViewers();

private:
    QWidget *m_window = nullptr;
};

void TestDocumentViewer::initTestCase()
{
    m_window = new QWidget;
    m_window->setWindowTitle(QStringLiteral("main window"));
    m_window->show();
}

void TestDocumentViewer::cleanupTestCase()
{
    delete m_window;
}

void TestDocumentViewer::cleanup()
{
    qDeleteAll(m_window->findChildren<DocumentViewer *>());
}

void TestDocumentViewer::htmlPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("heading");
    QTest::newRow("guide") << ":/Corvin/help/guide_en.html"
                           << "Guide heading";
    QTest::newRow("dsp help, style sheet in a sibling folder")
        << HelpDocuments::dspHelpPath() << "DSP heading";
}

void TestDocumentViewer::htmlPage()
{
    QFETCH(QString, path);
    QFETCH(QString, heading);
    auto *child = new QWidget(m_window);
    QString message;
    DocumentViewer *viewer =
        DocumentViewer::showDocument(child, path, QStringLiteral("Page title"), &message);
    QVERIFY(viewer);
    QVERIFY(message.isEmpty());
    QCOMPARE(viewer->parentWidget(), m_window);
    QVERIFY(viewer->isWindow());
    QVERIFY(viewer->isVisible());
    QVERIFY(!viewer->isModal());
    QVERIFY(viewer->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Page title"));

    QTextBrowser *browser = viewer->browser();
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc") + path));
    QVERIFY(browser->openExternalLinks());
    // The linked style sheet was found through the page's relative link.
    QCOMPARE(blockColour(browser->document(), heading), QColor("#123456"));

    // Fitted to the available screen area, never larger than 800 x 640.
    const QSize size = viewer->size();
    QVERIFY(size.width() <= 800 && size.height() <= 640);
    const QSize available = viewer->screen()->availableGeometry().size();
    QVERIFY(size.width() <= available.width() && size.height() <= available.height());
    QVERIFY(size.width() >= std::min(800, available.width() - 40));
    delete child;
}

void TestDocumentViewer::linksWorkInsideThePage()
{
    UrlCatcher web;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &web, "open");
    DocumentViewer *viewer = DocumentViewer::showDocument(
        m_window, QStringLiteral(":/Corvin/help/guide_en.html"), QStringLiteral("Guide"), nullptr);
    QVERIFY(viewer);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QTextBrowser *browser = viewer->browser();
    const QUrl page(QStringLiteral("qrc:/Corvin/help/guide_en.html"));
    QCOMPARE(browser->verticalScrollBar()->value(), 0);

    // An in-page anchor scrolls to its section.
    QVERIFY(clickLink(browser, QStringLiteral("#end")));
    QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
    QCOMPARE(browser->source().adjusted(QUrl::RemoveFragment), page);
    QCOMPARE(blockColour(browser->document(), QStringLiteral("End section")), QColor("#654321"));

    // A web link goes to the system browser and leaves the page alone.
    browser->setSource(page);
    QVERIFY(clickLink(browser, QStringLiteral("https://example.org/corvin")));
    QTRY_COMPARE(web.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.org/corvin"))});
    QCOMPARE(browser->source(), page);

    // A relative link to another embedded page opens it in the viewer.
    QVERIFY(clickLink(browser, QStringLiteral("../dsp/help_en.html")));
    QTRY_COMPARE(browser->source(), QUrl(QStringLiteral("qrc:/Corvin/dsp/help_en.html")));
    QVERIFY(findBlock(browser->document(), QStringLiteral("DSP heading")).isValid());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestDocumentViewer::plainTextGetsNotices()
{
    const QString licence = resourceText(QStringLiteral(":/Corvin/help/license_en.txt"));
    const QString notices = resourceText(HelpDocuments::noticesPath());
    QVERIFY(licence.contains(QChar(0x2014))); // read as UTF-8
    QVERIFY(!notices.isEmpty());
    DocumentViewer *viewer =
        DocumentViewer::showDocument(m_window, QStringLiteral(":/Corvin/help/license_en.txt"),
                                     QStringLiteral("Licence"), nullptr);
    QVERIFY(viewer);
    QCOMPARE(viewer->browser()->toPlainText(), licence + QStringLiteral("\n\n") + notices);
    QVERIFY(viewer->browser()->source().isEmpty());
}

void TestDocumentViewer::plainTextWithoutNotices()
{
    Q_CLEANUP_RESOURCE(notices);
    QVERIFY(!QFile::exists(HelpDocuments::noticesPath()));
    const QString licence = resourceText(QStringLiteral(":/Corvin/help/license_en.txt"));
    QString message;
    DocumentViewer *viewer =
        DocumentViewer::showDocument(m_window, QStringLiteral(":/Corvin/help/license_en.txt"),
                                     QStringLiteral("Licence"), &message);
    Q_INIT_RESOURCE(notices);
    QVERIFY(viewer);
    QVERIFY(message.isEmpty());
    QCOMPARE(viewer->browser()->toPlainText(), licence);
}

void TestDocumentViewer::htmlSuffixIsCaseSensitive()
{
    DocumentViewer *viewer = DocumentViewer::showDocument(
        m_window, QStringLiteral(":/Corvin/help/upper.HTML"), QStringLiteral("Upper"), nullptr);
    QVERIFY(viewer);
    QVERIFY(viewer->browser()->toPlainText().startsWith(QStringLiteral("<h1>Not a page</h1>\n")));
}

void TestDocumentViewer::missingDocument()
{
    const QString path = QStringLiteral(":/Corvin/help/license_xx.txt");
    QFile probe(path);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    const int windowsBefore = QApplication::topLevelWidgets().size();
    QString message;
    QVERIFY(!DocumentViewer::showDocument(m_window, path, QStringLiteral("x"), &message));
    QCOMPARE(message,
             QStringLiteral("Could not open help or license: %1").arg(probe.errorString()));
    QVERIFY(!probe.errorString().isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QVERIFY(m_window->findChildren<DocumentViewer *>().isEmpty());
}

void TestDocumentViewer::closeButton()
{
    QPointer<DocumentViewer> viewer =
        DocumentViewer::showDocument(m_window, QStringLiteral(":/Corvin/help/license_en.txt"),
                                     QStringLiteral("Licence"), nullptr);
    QVERIFY(viewer);
    const QList<QPushButton *> buttons =
        viewer->findChild<QDialogButtonBox *>()->findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.first()->text(), QStringLiteral("Close"));
    QTest::mouseClick(buttons.first(), Qt::LeftButton);
    QVERIFY(!viewer || !viewer->isVisible());
    QTRY_VERIFY(!viewer);
}

void TestDocumentViewer::severalViewers()
{
    DocumentViewer *first = DocumentViewer::showDocument(
        m_window, QStringLiteral(":/Corvin/help/guide_en.html"), QStringLiteral("One"), nullptr);
    DocumentViewer *second = DocumentViewer::showDocument(
        m_window, QStringLiteral(":/Corvin/help/guide_en.html"), QStringLiteral("Two"), nullptr);
    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
    QCOMPARE(m_window->findChildren<DocumentViewer *>().size(), 2);
}

QTEST_MAIN(TestDocumentViewer)
#include "tst_documentviewer.moc"
