#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>
#include <QUrl>
#include <QtTest>

// The documents and images embedded in the program: present, readable as UTF-8, and the HTML
// pages' style sheets and in-page links resolving inside the resources.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void documentIsUtf8Text_data();
    void documentIsUtf8Text();
    void windowIconIsASquareImageWithAlpha();
    void worldMapIsEquirectangular_data();
    void worldMapIsEquirectangular();
    void htmlPageLinksResolve_data();
    void htmlPageLinksResolve();
    void languageTwinsHaveTheSameSections_data();
    void languageTwinsHaveTheSameSections();
    void licencesNameTheirTerms_data();
    void licencesNameTheirTerms();
};

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 ? text : QString();
}

QStringList captures(const QString &text, const QString &pattern)
{
    QStringList result;
    QRegularExpressionMatchIterator it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        result << it.next().captured(1);
    return result;
}

const QStringList htmlPages = {
    QStringLiteral(":/Corvin/help/guide_en.html"), QStringLiteral(":/Corvin/help/guide_it.html"),
    QStringLiteral(":/Corvin/dsp/help_en.html"), QStringLiteral(":/Corvin/dsp/help_it.html")};

} // namespace

void TestResources::documentIsUtf8Text_data()
{
    QTest::addColumn<QString>("path");
    const QStringList documents =
        htmlPages + QStringList{QStringLiteral(":/Corvin/help/guide.css"),
                                QStringLiteral(":/Corvin/help/license_en.txt"),
                                QStringLiteral(":/Corvin/help/license_it.txt"),
                                QStringLiteral(":/Corvin/help/third_party.txt")};
    for (const QString &path : documents)
        QTest::newRow(qPrintable(path)) << path;
}

void TestResources::documentIsUtf8Text()
{
    QFETCH(QString, path);
    const QString text = readText(path);
    QVERIFY2(text.size() > 200, "missing, too short or not valid UTF-8");
}

void TestResources::windowIconIsASquareImageWithAlpha()
{
    const QImage icon(QStringLiteral(":/Corvin/images/sdr.png"));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.width(), icon.height());
    QVERIFY(icon.width() >= 64);
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, icon.height() - 1)), 0); // transparent corner
}

// The greyline world map: 2 : 1, longitude -180 ... 180 left to right, latitude 90 ... -90 top
// to bottom, so known places show sea, land or ice.
void TestResources::worldMapIsEquirectangular_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("surface");
    QTest::newRow("mid Atlantic") << 0.0 << -30.0 << "sea";
    QTest::newRow("mid Pacific, east of the date line") << 0.0 << -175.0 << "sea";
    QTest::newRow("Indian Ocean") << -30.0 << 80.0 << "sea";
    QTest::newRow("Sahara") << 23.0 << 10.0 << "land";
    QTest::newRow("Amazon") << -5.0 << -60.0 << "land";
    QTest::newRow("Australia") << -25.0 << 134.0 << "land";
    QTest::newRow("Siberia") << 62.0 << 100.0 << "land";
    QTest::newRow("Antarctica") << -85.0 << 0.0 << "ice";
    QTest::newRow("Greenland") << 72.0 << -40.0 << "ice";
}

void TestResources::worldMapIsEquirectangular()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, surface);
    const QImage map(QStringLiteral(":/Corvin/images/greyline_world.png"));
    QCOMPARE(map.size(), QSize(1531, 766));
    const QColor colour = map.pixelColor(int((longitude + 180.0) / 360.0 * map.width()),
                                         int((90.0 - latitude) / 180.0 * map.height()));
    if (surface == QLatin1String("sea"))
        QVERIFY(colour.blue() > colour.red() + 40 && colour.blue() > colour.green());
    else if (surface == QLatin1String("ice"))
        QVERIFY(colour.red() > 200 && colour.green() > 200 && colour.blue() > 200);
    else
        QVERIFY(colour.red() > colour.blue() || colour.green() > colour.blue());
}

void TestResources::htmlPageLinksResolve_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("guide en") << htmlPages[0] << "Corvin user guide";
    QTest::newRow("guide it") << htmlPages[1] << "Guida di Corvin";
    QTest::newRow("dsp en") << htmlPages[2] << "DSP Help - Native WAV analysis";
    QTest::newRow("dsp it") << htmlPages[3] << "Guida DSP - Analisi WAV nativa";
}

void TestResources::htmlPageLinksResolve()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    const QString page = readText(path);
    QVERIFY(!page.isEmpty());
    QVERIFY(page.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    QCOMPARE(captures(page, QStringLiteral("<title>([^<]*)</title>")), QStringList{title});

    // Relative links resolve against the page's qrc URL, as the help viewer loads it.
    const QUrl base(QStringLiteral("qrc") + path);
    const QStringList sheets =
        captures(page, QStringLiteral("<link rel=\"stylesheet\"[^>]*href=\"([^\"]+)\""));
    QCOMPARE(sheets.size(), 1);
    const QUrl sheet = base.resolved(QUrl(sheets.first()));
    QCOMPARE(sheet.toString(), QStringLiteral("qrc:/Corvin/help/guide.css"));
    QVERIFY(QFile::exists(QLatin1Char(':') + sheet.path()));

    const QStringList anchors = captures(page, QStringLiteral("<a name=\"([^\"]+)\""));
    QCOMPARE(QSet<QString>(anchors.cbegin(), anchors.cend()).size(), anchors.size());
    const QStringList targets = captures(page, QStringLiteral("href=\"#([^\"]+)\""));
    QVERIFY(targets.size() >= 5);
    for (const QString &target : targets)
        QVERIFY2(anchors.contains(target), qPrintable(QStringLiteral("no anchor #") + target));
    // Every opened element of these kinds is closed again.
    for (const QString &tag : {QStringLiteral("table"), QStringLiteral("ol"), QStringLiteral("ul"),
                               QStringLiteral("h2"), QStringLiteral("p")})
        QCOMPARE(page.count(QRegularExpression(QStringLiteral("<%1[ >]").arg(tag))),
                 page.count(QStringLiteral("</%1>").arg(tag)));
}

void TestResources::languageTwinsHaveTheSameSections_data()
{
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("italian");
    QTest::newRow("guide") << htmlPages[0] << htmlPages[1];
    QTest::newRow("dsp help") << htmlPages[2] << htmlPages[3];
}

void TestResources::languageTwinsHaveTheSameSections()
{
    QFETCH(QString, english);
    QFETCH(QString, italian);
    const QString pattern = QStringLiteral("<a name=\"([^\"]+)\"");
    QCOMPARE(captures(readText(italian), pattern), captures(readText(english), pattern));
    QVERIFY(readText(english).contains(QStringLiteral("<html lang=\"en\">")));
    QVERIFY(readText(italian).contains(QStringLiteral("<html lang=\"it\">")));
}

void TestResources::licencesNameTheirTerms_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("terms");
    const QStringList program = {QStringLiteral("SPDX-License-Identifier: GPL-3.0-or-later"),
                                 QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html")};
    QTest::newRow("licence en") << ":/Corvin/help/license_en.txt" << program;
    QTest::newRow("licence it") << ":/Corvin/help/license_it.txt" << program;
    QTest::newRow("libraries") << ":/Corvin/help/third_party.txt"
                               << QStringList{
                                      QStringLiteral("Qt 5"),  QStringLiteral("LGPL-3.0-only"),
                                      QStringLiteral("Qwt"),   QStringLiteral("Qwt-exception-1.0"),
                                      QStringLiteral("FFTW"),  QStringLiteral("GPL-2.0-or-later"),
                                      QStringLiteral("GSHHG"), QStringLiteral("LGPL-3.0-or-later")};
}

void TestResources::licencesNameTheirTerms()
{
    QFETCH(QString, path);
    QFETCH(QStringList, terms);
    const QString text = readText(path);
    for (const QString &term : terms)
        QVERIFY2(text.contains(term), qPrintable(term));
    // Shown as plain text with the notices appended after a blank line: no markup here.
    QVERIFY(!text.contains(QLatin1Char('<')));
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
