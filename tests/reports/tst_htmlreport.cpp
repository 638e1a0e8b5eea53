#include "htmlreport.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

const char expectedStyle[] =
    "<style>body{font:16px system-ui,sans-serif;color:#142636;margin:2rem "
    "auto;max-width:1200px;padding:0 1rem}h1{margin-bottom:.4rem}p{margin:.6rem "
    "0}button{font:inherit;padding:.45rem .8rem;cursor:pointer}a{color:#005a8a}img{display:"
    "block;width:100%;height:auto;margin:1rem "
    "0}table{width:100%;border-collapse:collapse;font-size:.9rem}td,th{border:1px solid "
    "#c6d1da;text-align:left;padding:.4rem;overflow-wrap:anywhere}th{background:#e9f0f5}td:"
    "first-child{white-space:nowrap}thead{display:table-header-group}tr{break-inside:avoid}td."
    "favorite-notes{white-space:pre-wrap;min-width:8em}.rf-stats{display:flex;align-items:flex-"
    "start;gap:2rem;flex-wrap:wrap}.rf-stats table{width:auto}.rf-stats "
    "h2{margin-top:0}h2{break-after:avoid-page}.legend span{display:inline-block;margin-right:"
    "1rem}@page{size:A4 landscape;margin:12mm}@media "
    "print{body{margin:0;padding:0;max-width:none;font-size:11pt}.actions{display:none}img{max-"
    "height:125mm;object-fit:contain}table{font-size:9pt}}</style>";

QByteArray expectedHead(const QByteArray &lang, const QByteArray &title, const QByteArray &caption)
{
    return "<!doctype html><html lang='" + lang +
           "'><head><meta charset='utf-8'><meta name='viewport' content='width=device-width, "
           "initial-scale=1'><title>" +
           title + "</title>" + expectedStyle +
           "</head><body><div class='actions'><button type='button' onclick='window.print()'>" +
           caption + "</button></div><h1>" + title + "</h1>\n";
}

// Receives what the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestHtmlReport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void header_data();
    void header();
    void headerFollowsStreamContent();
    void openExistingReport();
    void missingReport();
};

void TestHtmlReport::cleanup()
{
    qApp->setProperty("language", QVariant());
}

void TestHtmlReport::header_data()
{
    QTest::addColumn<QVariant>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("english") << QVariant("en") << "Corvin Favorites"
                             << "Print" << expectedHead("en", "Corvin Favorites", "Print");
    QTest::newRow("italian") << QVariant("it") << "Preferiti Corvin"
                             << "Stampa" << expectedHead("it", "Preferiti Corvin", "Stampa");
    QTest::newRow("unset language") << QVariant() << "T"
                                    << "P" << expectedHead("en", "T", "P");
    QTest::newRow("upper-case IT is not Italian") << QVariant("IT") << "T"
                                                  << "P" << expectedHead("en", "T", "P");
    QTest::newRow("markup escaped")
        << QVariant("en") << "RF <sweep> & \"report\""
        << "Print & <save>"
        << expectedHead("en", "RF &lt;sweep&gt; &amp; &quot;report&quot;",
                        "Print &amp; &lt;save&gt;");
    QTest::newRow("utf-8") << QVariant("it") << QString::fromUtf8("Città – 1 µs")
                           << QString::fromUtf8("Stampa €")
                           << expectedHead("it", "Citt\xc3\xa0 \xe2\x80\x93 1 \xc2\xb5s",
                                           "Stampa \xe2\x82\xac");
    QTest::newRow("empty") << QVariant("en") << ""
                           << "" << expectedHead("en", "", "");
}

void TestHtmlReport::header()
{
    QFETCH(QVariant, language);
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QByteArray, expected);
    qApp->setProperty("language", language);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QTextStream out(&buffer);
    out.setCodec("ISO-8859-1"); // the head is UTF-8 whatever the stream had before
    writeHtmlHeader(out, title, caption);
    out.flush();
    QCOMPARE(bytes, expected);
}

void TestHtmlReport::headerFollowsStreamContent()
{
    // The report writer goes on writing to the same stream after the head.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QTextStream out(&buffer);
    writeHtmlHeader(out, QStringLiteral("A"), QStringLiteral("B"));
    out << QString::fromUtf8("<p>è</p></body></html>");
    out.flush();
    QVERIFY(bytes.startsWith(expectedHead("en", "A", "B")));
    QVERIFY(bytes.endsWith("</h1>\n<p>\xc3\xa8</p></body></html>"));
}

void TestHtmlReport::openExistingReport()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("report.html"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
    file.close();

    QString message = QStringLiteral("untouched");
    QVERIFY(openHtmlReport(path, &message));
    QCOMPARE(message, QStringLiteral("untouched"));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    QVERIFY(catcher.urls.first().isLocalFile());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TestHtmlReport::missingReport()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rf/missing.html"));
    QString message;
    QVERIFY(!openHtmlReport(path, &message));
    QCOMPARE(message,
             QStringLiteral("Could not open HTML report: %1").arg(QDir::toNativeSeparators(path)));
    // A folder is not a report either.
    QVERIFY(!openHtmlReport(dir.path(), nullptr));
    QVERIFY(catcher.urls.isEmpty());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

QTEST_MAIN(TestHtmlReport)
#include "tst_htmlreport.moc"
