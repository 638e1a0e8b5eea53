// The favourites file: round trip and key order, hostile and damaged files, stray keys,
// characters XML cannot hold, a file that is only read staying untouched, and a save writing
// the very bytes the general preferences writer gives for the same content.
#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "favoritesfile.h"
#include "preferenceslayout.h"
#include "receivermode.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList modes()
{
    QStringList list;
    for (int code = 0; code < receiverModeCount; ++code)
        list << receiverModeName(code);
    return list;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray document(const QByteArray &options, const QByteArray &application = "favorites")
{
    return "<!DOCTYPE preferences>\n<preferences version=\"0.0.1\" application=\"" + application +
           "\">\n<group name=\"Frequency.List\">\n" + options + "</group>\n</preferences>\n";
}

QByteArray option(const QByteArray &key, const QByteArray &value)
{
    return "<option key=\"" + key + "\" value=\"" + value + "\"/>\n";
}

} // namespace

Q_DECLARE_METATYPE(Favorite)

class FavoritesFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTripAndKeyOrder();
    void hostileFiles_data();
    void hostileFiles();
    void unreadableFileIsNeverOverwritten_data();
    void unreadableFileIsNeverOverwritten();
    void saveDropsSurplusKeysAndKeepsOtherGroups();
    void saveWritesWhatTheGeneralWriterWrites_data();
    void saveWritesWhatTheGeneralWriterWrites();
    void charactersXmlCannotHoldAreDropped();
    void readingLeavesTheFileAlone();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void FavoritesFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("sys/favorites.xml"));
}

void FavoritesFileTest::roundTripAndKeyOrder()
{
    QVector<Favorite> favorites;
    for (int i = 0; i < 12; ++i)
        favorites.append(Favorite{7050500 + i, QStringLiteral("Station %1").arg(i), "USB", {}});
    favorites[0].frequency = 145123456;
    favorites[0].attributes = {{"s_meter", "40"},
                               {"notes", "line one\nline \"two\" & <three>"},
                               {"classification", "Tonal audio"}};
    QString error;
    QVERIFY2(FavoritesFile::save(m_path, favorites, &error), qPrintable(error));

    const QStringList lines = QString::fromUtf8(readAll(m_path)).split('\n');
    QCOMPARE(lines[0], QStringLiteral("<!DOCTYPE preferences>"));
    QVERIFY(lines[1].startsWith(QLatin1String("<preferences ")));
    QCOMPARE(lines[2], QStringLiteral("<group name=\"Frequency.List\">"));
    QCOMPARE(lines[3], QStringLiteral("<option key=\"Counts\" value=\"12\"/>"));
    QCOMPARE(lines[4], QStringLiteral("<option key=\"[0].band_override\" value=\"\"/>"));
    QStringList order;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("].doc\"")))
            order << line.mid(13, line.indexOf(']') - 12);
    }
    QCOMPARE(order, (QStringList{"[0]", "[10]", "[11]", "[1]", "[2]", "[3]", "[4]", "[5]", "[6]",
                                 "[7]", "[8]", "[9]"}));
    QVERIFY(lines.contains(QStringLiteral("<option key=\"[0].frequency\" value=\"145.123456\"/>")));
    const int first =
        lines.indexOf(QStringLiteral("<option key=\"[0].band_override\" value=\"\"/>"));
    QCOMPARE(lines[first + 11], QStringLiteral("<option key=\"[0].s_meter\" value=\"40\"/>"));
    QCOMPARE(lines.size(), 3 + 1 + 12 * 12 + 2 + 1);

    const FavoritesFile::LoadResult loaded = FavoritesFile::load(m_path, modes());
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.favorites, favorites);
}

void FavoritesFileTest::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QVector<qint64>>("frequencies");
    QTest::addColumn<QStringList>("modes");
    const QByteArray two = option("[0].frequency", "7.0505") + option("[0].modulation", "USB") +
                           option("[1].frequency", "145.5") + option("[1].modulation", "NFM");
    QTest::newRow("huge count") << option("Counts", "2147483647") + two
                                << QVector<qint64>{7050500, 145500000} << QStringList{"USB", "NFM"};
    QTest::newRow("count beyond 64 bits")
        << option("Counts", "99999999999999999999") + two << QVector<qint64>{} << QStringList{};
    QTest::newRow("no count") << two << QVector<qint64>{} << QStringList{};
    QTest::newRow("negative count")
        << option("Counts", "-3") + two << QVector<qint64>{} << QStringList{};
    QTest::newRow("count below the entries")
        << option("Counts", "1") + two << QVector<qint64>{7050500} << QStringList{"USB"};
    QTest::newRow("gap and stray index")
        << option("Counts", "3") + option("[0].frequency", "1") + option("[2].frequency", "2") +
               option("[99999999999999].doc", "far")
        << QVector<qint64>{1000000, 2000000} << QStringList{"", ""};
    QTest::newRow("unreadable frequencies")
        << option("Counts", "4") + option("[0].frequency", "1e300") +
               option("[1].frequency", "inf") + option("[2].frequency", "nan") +
               option("[3].frequency", "7,05")
        << QVector<qint64>{0, 0, 0, 0} << QStringList{"", "", "", ""};
    QTest::newRow("mode index of older files")
        << option("Counts", "3") + option("[0].modulation", "3") + option("[1].modulation", "12") +
               option("[2].modulation", "-1")
        << QVector<qint64>{0, 0, 0} << QStringList{"USB", "12", "-1"};
    QTest::newRow("later option wins")
        << option("Counts", "1") + option("[0].frequency", "1") + option("[0].frequency", "2")
        << QVector<qint64>{2000000} << QStringList{""};
}

void FavoritesFileTest::hostileFiles()
{
    QFETCH(QByteArray, options);
    QFETCH(QVector<qint64>, frequencies);
    QFETCH(QStringList, modes);
    writeAll(m_path, document(options));
    QElapsedTimer clock;
    clock.start();
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(m_path, ::modes());
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(loaded.ok);
    QVector<qint64> gotFrequencies;
    QStringList gotModes;
    for (const Favorite &favorite : loaded.favorites) {
        gotFrequencies << favorite.frequency;
        gotModes << favorite.mode;
    }
    QCOMPARE(gotFrequencies, frequencies);
    QCOMPARE(gotModes, modes);
}

void FavoritesFileTest::unreadableFileIsNeverOverwritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("not XML") << QByteArray("<!DOCTYPE preferences>\n<preferences>\n<group")
                             << "line 3, column ";
    QTest::newRow("other application")
        << document(option("Counts", "1"), "settings") << "not a \"favorites\" preferences file";
}

void FavoritesFileTest::unreadableFileIsNeverOverwritten()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    writeAll(m_path, content);
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(m_path, modes());
    QVERIFY(!loaded.ok);
    QVERIFY(!loaded.missing);
    QVERIFY2(loaded.error.startsWith(error), qPrintable(loaded.error));
    QString saveError;
    QVERIFY(!FavoritesFile::save(m_path, {Favorite{7050000, "A", "USB", {}}}, &saveError));
    QCOMPARE(saveError, loaded.error);
    QCOMPARE(readAll(m_path), content);

    // No file yet: an empty list, and the first save creates the folder.
    QVERIFY(QFile::remove(m_path));
    QVERIFY(QDir(m_dir->filePath("sys")).removeRecursively());
    const FavoritesFile::LoadResult none = FavoritesFile::load(m_path, modes());
    QVERIFY(none.ok && none.missing && none.favorites.isEmpty());
    QVERIFY(FavoritesFile::save(m_path, {}, &saveError));
    QVERIFY(readAll(m_path).contains("<option key=\"Counts\" value=\"0\"/>"));
}

void FavoritesFileTest::saveDropsSurplusKeysAndKeepsOtherGroups()
{
    writeAll(m_path, "<!DOCTYPE preferences>\n<preferences version=\"0.0.1\" "
                     "application=\"favorites\">\n<group name=\"Default\">\n" +
                         option("Theme", "dark") + "</group>\n<group name=\"Frequency.List\">\n" +
                         option("Counts", "3") + option("[0].doc", "a") + option("[1].doc", "b") +
                         option("[2].doc", "c") + option("[7].doc", "stray") +
                         option("[1]x", "not indexed") + "</group>\n</preferences>\n");
    QString error;
    QVERIFY(FavoritesFile::save(m_path, {Favorite{1000000, "kept", "AM", {}}}, &error));
    const QString text = QString::fromUtf8(readAll(m_path));
    QVERIFY(text.contains(QLatin1String("<option key=\"Theme\" value=\"dark\"/>")));
    QVERIFY(text.contains(QLatin1String("<option key=\"Counts\" value=\"1\"/>")));
    QVERIFY(text.contains(QLatin1String("<option key=\"[0].doc\" value=\"kept\"/>")));
    QVERIFY(!text.contains(QLatin1String("[1].")));
    QVERIFY(!text.contains(QLatin1String("[2].")));
    QVERIFY(!text.contains(QLatin1String("[7].")));
    QVERIFY(text.contains(QLatin1String("[1]x")));
    QCOMPARE(text.count(QLatin1String("<option ")), 1 + 1 + 12 + 1);
}

void FavoritesFileTest::saveWritesWhatTheGeneralWriterWrites_data()
{
    QTest::addColumn<PreferencesLayout::Groups>("before");
    QTest::addColumn<QVector<Favorite>>("favorites");

    const QString awkward = QStringLiteral("A&B <C> \"D\"\tE\r\nF") + QChar(0x01) + QChar(0xD800) +
                            QStringLiteral(" \u00e9") + QChar(0xD83D) + QChar(0xDCE1) +
                            QChar(0xFFFF);
    const auto numbered = [](int count) {
        QVector<Favorite> list;
        for (int i = 0; i < count; ++i)
            list.append({3000000 + i * 1000LL, QStringLiteral("S%1").arg(i), "AM", {}});
        return list;
    };
    QVector<Favorite> escaped = numbered(3);
    escaped[1] = {145500000, awkward, awkward, {{"notes", awkward}, {"s_meter", "40"}}};

    QTest::newRow("no file, no favourites") << PreferencesLayout::Groups() << QVector<Favorite>();
    QTest::newRow("no file, escapes") << PreferencesLayout::Groups() << escaped;
    // Keys that are no favourite's sort before, between and after the favourites' ones; the
    // indexed ones of the old list all go.
    QTest::newRow("kept keys around the favourites")
        << PreferencesLayout::Groups{{"Default", {{"Theme", awkward}}},
                                     {"Frequency.List",
                                      {{"Counts", "40"},
                                       {"A", "upper"},
                                       {"[", "bracket"},
                                       {"[1]x", "not indexed"},
                                       {"[x].doc", "no digits"},
                                       {"[1234567890123456789].doc", "19 digits"},
                                       {"[0].doc", "old"},
                                       {"[39].frequency", "1"},
                                       {"[100].notes", "stray"},
                                       {"zz", awkward}}},
                                     {"Z", {{"k", "v"}}}}
        << numbered(12);
    // Past 10 and 100 the prefixes' text order parts from their numeric order.
    QTest::newRow("many favourites")
        << PreferencesLayout::Groups{{"Frequency.List", {{"[5", "open"}}}} << numbered(123);
    QTest::newRow("list group only kept keys")
        << PreferencesLayout::Groups{{"Frequency.List", {{"Counts", "2"}, {"x", "y"}}}}
        << QVector<Favorite>();
}

void FavoritesFileTest::saveWritesWhatTheGeneralWriterWrites()
{
    QFETCH(PreferencesLayout::Groups, before);
    QFETCH(QVector<Favorite>, favorites);
    if (!before.isEmpty())
        writeAll(m_path, PreferencesLayout::text("0.0.1", "favorites", before).toUtf8());

    // The content the save stands for, as one map: the old file without the list's indexed
    // keys, the new count, and every option of every favourite.
    PreferencesLayout::Groups expected = before;
    QMap<QString, QString> &list = expected["Frequency.List"];
    for (auto key = list.begin(); key != list.end();) {
        static const QRegularExpression indexed(QStringLiteral("^\\[\\d{1,18}\\]\\."));
        key = indexed.match(key.key()).hasMatch() ? list.erase(key) : std::next(key);
    }
    list.insert("Counts", QString::number(favorites.size()));
    for (int i = 0; i < favorites.size(); ++i) {
        const Favorite &favorite = favorites[i];
        const QString prefix = QStringLiteral("[%1].").arg(i);
        list.insert(prefix + "frequency", FavoriteColumns::frequencyText(favorite.frequency));
        list.insert(prefix + "doc", favorite.name);
        list.insert(prefix + "modulation", favorite.mode);
        for (const QString &key : FavoriteAttributes::keys())
            list.insert(prefix + key, favorite.attributes.value(key).toString());
    }

    QString error;
    QVERIFY2(FavoritesFile::save(m_path, favorites, &error), qPrintable(error));
    QCOMPARE(readAll(m_path), PreferencesLayout::text("0.0.1", "favorites", expected).toUtf8());
}

void FavoritesFileTest::charactersXmlCannotHoldAreDropped()
{
    const QString name = QStringLiteral("A") + QChar(0x01) + QChar(0x1F) + QChar(0xFFFE) +
                         QChar(0xD800) + QStringLiteral("B\tC\nD") + QChar(0xD83D) + QChar(0xDCE1);
    QString error;
    QVERIFY(
        FavoritesFile::save(m_path, {Favorite{1000000, name, "AM", {{"notes", name}}}}, &error));
    const FavoritesFile::LoadResult loaded = FavoritesFile::load(m_path, modes());
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    const QString kept = QStringLiteral("AB\tC\nD") + QChar(0xD83D) + QChar(0xDCE1);
    QCOMPARE(loaded.favorites.first().name, kept);
    QCOMPARE(loaded.favorites.first().attributes.value("notes").toString(), kept);
}

void FavoritesFileTest::readingLeavesTheFileAlone()
{
    const QByteArray content = document(option("Counts", "1") + option("[0].doc", "only"));
    writeAll(m_path, content);
    const QDateTime modified = QFileInfo(m_path).lastModified();
    QTest::qWait(20);
    QVERIFY(FavoritesFile::load(m_path, modes()).ok);
    QCOMPARE(readAll(m_path), content);
    QCOMPARE(QFileInfo(m_path).lastModified(), modified);
}

QTEST_GUILESS_MAIN(FavoritesFileTest)
#include "tst_favoritesfile.moc"
