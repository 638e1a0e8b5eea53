// The favourite's attribute rules (measurement, merge, band), the edit checks, the table's cell
// texts and the printable report. Local times are in a fixed time zone (Central European).
#include "audioanalysisresult.h"
#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "favoriteedit.h"
#include "favoritesreport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace A = FavoriteAttributes;
using Field = FavoriteEditResult::Field;

Q_DECLARE_METATYPE(Field)
Q_DECLARE_METATYPE(FavoriteEditInput)
Q_DECLARE_METATYPE(QVector<Favorite>)

namespace {

AudioAnalysisResult analysis(SignalClass cls, int quality)
{
    AudioAnalysisResult result;
    result.classification = int(cls);
    result.quality = quality;
    result.dbfs_rms = -23.04;
    result.dbfs_peak = -20.96;
    return result;
}

} // namespace

class FavoritesCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void measurementAttributes_data();
    void measurementAttributes();
    void mergeKeepsNewestAndUsersEntries_data();
    void mergeKeepsNewestAndUsersEntries();
    void editChecks_data();
    void editChecks();
    void cellTexts();
    void report_data();
    void report();
};

void FavoritesCoreTest::initTestCase()
{
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
}

void FavoritesCoreTest::measurementAttributes_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("classCode"); // -1: no result
    QTest::addColumn<int>("quality");
    QTest::addColumn<QJsonObject>("attributes");
    const QString utc = QStringLiteral("2024-03-05T14:07:09.123Z");
    const QJsonObject dates{{"discovered_utc", utc}, {"observed_utc", utc}};
    const auto with = [&dates](const QJsonObject &more) {
        QJsonObject all = dates;
        for (auto it = more.begin(); it != more.end(); ++it)
            all.insert(it.key(), it.value());
        return all;
    };
    QTest::newRow("disconnected") << -1 << -1 << 0 << dates;
    QTest::newRow("level only") << 87 << -1 << 0 << with({{"s_meter", "87"}});
    QTest::newRow("noise at S 40") << 40 << int(SignalClass::Noise) << 0
                                   << with({{"s_meter", "40"},
                                            {"quality", "0"},
                                            {"classification", "Noise / uncertain"},
                                            {"dbfs_rms", "-23.0"},
                                            {"dbfs_peak", "-21.0"}});
    QTest::newRow("tone, quality 100, S 255") << 255 << int(SignalClass::Tone) << 100
                                              << with({{"s_meter", "255"},
                                                       {"quality", "100"},
                                                       {"classification", "Tonal audio"},
                                                       {"dbfs_rms", "-23.0"},
                                                       {"dbfs_peak", "-21.0"}});
    QTest::newRow("modulated, S-meter unread") << -1 << int(SignalClass::Modulated) << 50
                                               << with({{"classification", "Modulated audio"},
                                                        {"dbfs_rms", "-23.0"},
                                                        {"dbfs_peak", "-21.0"}});
    QTest::newRow("quiet, S-meter unread") << -1 << int(SignalClass::Quiet) << 0
                                           << with({{"classification", "Quiet / unmodulated"},
                                                    {"quality", "0"},
                                                    {"dbfs_rms", "-23.0"},
                                                    {"dbfs_peak", "-21.0"}});
}

void FavoritesCoreTest::measurementAttributes()
{
    QFETCH(int, level);
    QFETCH(int, classCode);
    QFETCH(int, quality);
    QFETCH(QJsonObject, attributes);
    const AudioAnalysisResult result = analysis(SignalClass(std::max(classCode, 0)), quality);
    const QJsonObject measurement = A::favoriteMeasurement("2024-03-05T14:07:09.123Z", level,
                                                           classCode < 0 ? nullptr : &result);
    QCOMPARE(A::measurementToAttributes(measurement), attributes);
}

void FavoritesCoreTest::mergeKeepsNewestAndUsersEntries_data()
{
    QTest::addColumn<QJsonObject>("existing");
    QTest::addColumn<QJsonObject>("newer");
    QTest::addColumn<QJsonObject>("merged");
    const QString early = "2024-01-01T00:00:00.000Z";
    const QString late = "2024-06-01T00:00:00.000Z";
    QTest::newRow("newer measurement wins, first discovery stays")
        << QJsonObject{{"s_meter", "10"},
                       {"observed_utc", early},
                       {"discovered_utc", early},
                       {"notes", "mine"},
                       {"band_override", "HF"}}
        << QJsonObject{{"s_meter", "99"}, {"observed_utc", late}, {"discovered_utc", late}}
        << QJsonObject{{"s_meter", "99"},
                       {"observed_utc", late},
                       {"discovered_utc", early},
                       {"notes", "mine"},
                       {"band_override", "HF"}};
    QTest::newRow("older measurement loses")
        << QJsonObject{{"s_meter", "10"}, {"observed_utc", late}, {"discovered_utc", late}}
        << QJsonObject{{"s_meter", "99"}, {"observed_utc", early}, {"discovered_utc", early}}
        << QJsonObject{{"s_meter", "10"}, {"observed_utc", late}, {"discovered_utc", early}};
    QTest::newRow("existing without a valid time")
        << QJsonObject{{"s_meter", "10"}, {"observed_utc", "yesterday"}}
        << QJsonObject{{"s_meter", "99"}} << QJsonObject{{"s_meter", "99"}};
    QTest::newRow("equal times: the newer object")
        << QJsonObject{{"quality", "1"}, {"observed_utc", late}}
        << QJsonObject{{"quality", "2"}, {"observed_utc", late}}
        << QJsonObject{{"quality", "2"}, {"observed_utc", late}};
}

void FavoritesCoreTest::mergeKeepsNewestAndUsersEntries()
{
    QFETCH(QJsonObject, existing);
    QFETCH(QJsonObject, newer);
    QFETCH(QJsonObject, merged);
    QCOMPARE(A::mergeFavoriteAttributes(existing, newer), merged);
    // Merging the same result again changes nothing.
    QCOMPARE(A::mergeFavoriteAttributes(merged, newer), merged);
}

void FavoritesCoreTest::editChecks_data()
{
    QTest::addColumn<FavoriteEditInput>("input");
    QTest::addColumn<Field>("failed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<qint64>("frequency");
    QTest::addColumn<QJsonObject>("attributes");
    const FavoriteEditInput base{
        "7.050000", "40", "-23.0", "-21.0", "80", "Tonal audio", "2024-03-05 15:07:09", "", ""};
    const QJsonObject stored{{"s_meter", "40"},
                             {"dbfs_rms", "-23.0"},
                             {"dbfs_peak", "-21.0"},
                             {"quality", "80"},
                             {"classification", "Tonal audio"},
                             {"discovered_utc", "2024-03-05T14:07:09.123Z"}};
    const auto edited = [&stored](const QJsonObject &changes) {
        QJsonObject all = stored;
        all.insert("band_override", "");
        all.insert("notes", "");
        for (auto it = changes.begin(); it != changes.end(); ++it) {
            if (it.value().isNull())
                all.remove(it.key());
            else
                all.insert(it.key(), it.value());
        }
        return all;
    };
    FavoriteEditInput input = base;
    QTest::newRow("unchanged") << input << Field::None << QString() << qint64(7050000)
                               << edited({});
    input.frequency = " 7,0505 ";
    input.rms = "-3";
    input.sMeter = "";
    input.bandOverride = "UHF";
    input.notes = "a\nb";
    QTest::newRow("comma, blanks, dBFS re-formatted, blank removes")
        << input << Field::None << QString() << qint64(7050500)
        << edited({{"dbfs_rms", "-3.0"},
                   {"s_meter", QJsonValue()},
                   {"band_override", "UHF"},
                   {"notes", "a\nb"}});
    input = base;
    input.discovered = "2024-07-01";
    input.classification = "  Beacon ";
    QTest::newRow("date at local midnight, own classification")
        << input << Field::None << QString() << qint64(7050000)
        << edited({{"discovered_utc", "2024-06-30T22:00:00.000Z"}, {"classification", "Beacon"}});
    input.discovered = "";
    QTest::newRow("blank date removes it")
        << input << Field::None << QString() << qint64(7050000)
        << edited({{"discovered_utc", QJsonValue()}, {"classification", "Beacon"}});
    const QString whole = "Enter a whole number between 0 and %1, or leave the field blank.";
    const QString dbfs = "Enter a dBFS value of 0 or less, or leave the field blank.";
    const struct
    {
        const char *name;
        Field field;
        QString FavoriteEditInput::*member;
        const char *text;
        QString message;
    } refusals[] = {
        {"frequency too low", Field::Frequency, &FavoriteEditInput::frequency, "0.09",
         "Enter a frequency between 0.1 and 3000 MHz."},
        {"frequency not finite", Field::Frequency, &FavoriteEditInput::frequency, "inf",
         "Enter a frequency between 0.1 and 3000 MHz."},
        {"negative S-meter", Field::SMeter, &FavoriteEditInput::sMeter, "-0.5", whole.arg(255)},
        {"S-meter over 255", Field::SMeter, &FavoriteEditInput::sMeter, "256", whole.arg(255)},
        {"fractional quality", Field::Quality, &FavoriteEditInput::quality, "50.5", whole.arg(100)},
        {"positive dBFS", Field::Peak, &FavoriteEditInput::peak, "0.1", dbfs},
        {"RMS not a number", Field::Rms, &FavoriteEditInput::rms, "loud", dbfs},
        {"bad date", Field::Discovered, &FavoriteEditInput::discovered, "05/03/2024",
         "Enter a local date as yyyy-MM-dd or yyyy-MM-dd HH:mm:ss."},
    };
    for (const auto &refusal : refusals) {
        input = base;
        input.*refusal.member = QString::fromLatin1(refusal.text);
        QTest::newRow(refusal.name)
            << input << refusal.field << refusal.message << qint64(0) << QJsonObject();
    }
}

void FavoritesCoreTest::editChecks()
{
    QFETCH(FavoriteEditInput, input);
    QFETCH(Field, failed);
    QFETCH(QString, message);
    QFETCH(qint64, frequency);
    QFETCH(QJsonObject, attributes);
    const QJsonObject stored{{"s_meter", "40"},
                             {"dbfs_rms", "-23.0"},
                             {"dbfs_peak", "-21.0"},
                             {"quality", "80"},
                             {"classification", "Tonal audio"},
                             {"discovered_utc", "2024-03-05T14:07:09.123Z"}};
    const FavoriteEditResult result =
        validateFavoriteEdit(input, stored, "Tonal audio", "2024-03-05 15:07:09");
    QCOMPARE(result.failed, failed);
    QCOMPARE(result.message, message);
    QCOMPARE(result.frequency, frequency);
    QCOMPARE(result.attributes, attributes);
}

void FavoritesCoreTest::cellTexts()
{
    const Favorite favorite{7050500,
                            "Name",
                            "LSB",
                            {{"s_meter", "40"},
                             {"dbfs_rms", "-3.0"},
                             {"quality", "x"},
                             {"classification", "Tonal audio"},
                             {"discovered_utc", "2024-03-05T14:07:09.123Z"},
                             {"band_override", "UHF"},
                             {"notes", "n"}}};
    QCOMPARE(FavoriteColumns::cellTexts(favorite),
             (QStringList{"7.050500", "Name", "LSB", "40", "-3", "", "", "Tonal audio",
                          "2024-03-05 15:07:09", "UHF", "n"}));
    QCOMPARE(FavoriteColumns::discoveredToolTip("2024-03-05T14:07:09.1Z"),
             QStringLiteral("2024-03-05T14:07:09.100Z"));
    QCOMPARE(FavoriteColumns::notesToolTip(QString(600, 'a') + "<"), QString(500, 'a'));
    QCOMPARE(FavoriteColumns::notesToolTip("a<b>\r\nc\nd"), QStringLiteral("a&lt;b&gt;<br>c<br>d"));
    QCOMPARE(A::bandIndex(7050500, {{"band_override", "none"}}), 2);
    QCOMPARE(A::bandIndex(0, {}), -1);
}

void FavoritesCoreTest::report_data()
{
    QTest::addColumn<QVector<Favorite>>("favorites");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("empty") << QVector<Favorite>{}
                           << QStringList{"<p>Generated 2024-03-05T14:07:09 | 0 favorites</p>\n"
                                          "</body></html>\n"}
                           << QStringList{"class='legend'", "<table>"};
    QTest::newRow("override, no band, escaping")
        << QVector<Favorite>{{7050000,
                              "<A&B> \"q\"",
                              "USB",
                              {{"band_override", "UHF"}, {"notes", "x\ny"}}},
                             {0, "nowhere", "AM", {}},
                             {145500000, "two", "NFM", {}}}
        << QStringList{"<p class='legend'><span><b style='color:#9B4C00'>VHF</b> &middot; "
                       "1</span><span><b style='color:#B22640'>UHF</b> &middot; 1</span></p>",
                       "<tr><td style='color:#B22640'>7.050000</td><td>&lt;A&amp;B&gt; "
                       "&quot;q&quot;</td>",
                       "<td><b style='color:#B22640'>UHF</b></td><td "
                       "class='favorite-notes'>x\ny</td></tr>",
                       "<tr><td>0.000000</td><td>nowhere</td>",
                       "<td></td><td class='favorite-notes'></td></tr>",
                       "<th scope='col'>MHz</th><th scope='col'>Name</th>",
                       "3 favorites"}
        << QStringList{"#566E06"};
    QTest::newRow("no row has a band")
        << QVector<Favorite>{{0, "a", "AM", {}}} << QStringList{"<p class='legend'></p>\n<table>"}
        << QStringList{"<span>"};
}

void FavoritesCoreTest::report()
{
    QFETCH(QVector<Favorite>, favorites);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QTemporaryDir dir;
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7, 9, 5));
    QString message;
    const QString path = FavoritesReport::write(dir.filePath("data/reports"),
                                                FavoritesReportTable::of(favorites), at, &message);
    QVERIFY2(!path.isEmpty(), qPrintable(message));
    QCOMPARE(message, QStringLiteral("Favorites report saved: ") + path);
    QVERIFY(QFileInfo(path).fileName().startsWith(QLatin1String("favorites_20240305_140709_005_")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QLatin1String("<h1>Corvin Favorites</h1>")));
    for (const QString &text : present)
        QVERIFY2(html.contains(text), qPrintable(text));
    for (const QString &text : absent)
        QVERIFY2(!html.contains(text), qPrintable(text));

    // A folder that cannot be made: nothing is written.
    QFile blocker(dir.filePath("plain"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(FavoritesReport::write(dir.filePath("plain/reports"), {}, at, &message).isEmpty());
    QVERIFY(message.startsWith(QLatin1String("Could not create Favorites report: ")));
}

QTEST_GUILESS_MAIN(FavoritesCoreTest)
#include "tst_favoritescore.moc"
