// CHIRP CSV: the exported bytes, import by header name (older files, BOM, quoting), the mode
// mapping both ways, the counts of skipped rows, and a round trip.
#include "chirpcsv.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<Favorite>)

class ChirpCsvTest : public QObject
{
    Q_OBJECT

private slots:
    void exportedBytes();
    void modes_data();
    void modes();
    void importCountsEveryKind();
    void olderHeaderBomAndQuoting();
    void notAChirpFile_data();
    void notAChirpFile();
    void roundTrip();
};

void ChirpCsvTest::exportedBytes()
{
    const QVector<Favorite> favorites{
        {145500000, "Call, \"main\"", "WAM", {{"notes", "line 1\nline 2"}}},
        {7050500, "Forty", "SFM", {}}};
    QCOMPARE(ChirpCsv::exportFavorites(favorites),
             QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                        "DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,"
                        "RPT1CALL,RPT2CALL,DVCODE\r\n"
                        "0,\"Call, \"\"main\"\"\",145.500000,,0.000000,,88.5,88.5,023,NN,023,"
                        "Tone->Tone,AM,5.00,,50W,\"line 1\nline 2\",,,,\r\n"
                        "1,Forty,7.050500,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,,"
                        "50W,,,,,\r\n"));
}

void ChirpCsvTest::modes_data()
{
    QTest::addColumn<QString>("favorite");
    QTest::addColumn<QString>("chirp");
    QTest::addColumn<QString>("back");
    QTest::newRow("WFM") << "WFM"
                         << "WFM"
                         << "WFM";
    QTest::newRow("NFM") << "NFM"
                         << "FM"
                         << "NFM";
    QTest::newRow("SFM") << "SFM"
                         << "NFM"
                         << "SFM";
    QTest::newRow("AM") << "AM"
                        << "AM"
                        << "AM";
    QTest::newRow("WAM") << "WAM"
                         << "AM"
                         << "AM";
    QTest::newRow("NAM") << "NAM"
                         << "NAM"
                         << "NAM";
    QTest::newRow("USB") << "USB"
                         << "USB"
                         << "USB";
    QTest::newRow("LSB") << "LSB"
                         << "LSB"
                         << "LSB";
    QTest::newRow("CW") << "CW"
                        << "CW"
                        << "CW";
    QTest::newRow("AUTO") << "AUTO"
                          << "Auto"
                          << "AUTO";
    QTest::newRow("unknown text") << "12"
                                  << "Auto"
                                  << "AUTO";
}

void ChirpCsvTest::modes()
{
    QFETCH(QString, favorite);
    QFETCH(QString, chirp);
    QFETCH(QString, back);
    QCOMPARE(ChirpCsv::chirpMode(favorite), chirp);
    QCOMPARE(ChirpCsv::favoriteMode(chirp), back);
    QCOMPARE(ChirpCsv::favoriteMode("CWR"), QStringLiteral("CW"));
    QCOMPARE(ChirpCsv::favoriteMode("NCW"), QStringLiteral("CW"));
    QCOMPARE(ChirpCsv::favoriteMode("DV"), QStringLiteral("AUTO"));
}

void ChirpCsvTest::importCountsEveryKind()
{
    const QByteArray csv = "Location,Name,Frequency,Mode,Comment\n"
                           "0,Held,145.500000,FM,\n"       // already a favourite
                           "1,New,146.520000,FM,simplex\n" // added
                           "2,Again,146.52,FM,\n"          // repeated in the file
                           "3,Other mode,146.52,AM,\n"     // same Hz, other mode: added
                           "4,Low,0.099999,AM,\n"          // below 0.1 MHz
                           "5,High,3000.000001,AM,\n"      // above 3000 MHz
                           "6,Edge,0.1,DV,\n"              // 100 kHz, unknown mode
                           "7,Blank,,FM,\n"                // no frequency
                           "\n";
    const ChirpCsv::ImportResult result =
        ChirpCsv::importFavorites(csv, {{145500000, "mine", "NFM", {}}});
    QVERIFY(result.ok);
    QCOMPARE(result.added, (QVector<Favorite>{{146520000, "New", "NFM", {{"notes", "simplex"}}},
                                              {146520000, "Other mode", "AM", {}},
                                              {100000, "Edge", "AUTO", {}}}));
    QCOMPARE(result.duplicates, 2);
    QCOMPARE(result.outOfRange, 2);
    QCOMPARE(result.unreadable, 1);
}

void ChirpCsvTest::olderHeaderBomAndQuoting()
{
    // An older export with 18 columns, a byte-order mark, CRLF and quoted fields.
    const QByteArray csv =
        "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
        "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
        "1,\"Tower, \"\"north\"\"\",118.100000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,\"ATIS\r\n"
        "every 30 min, loop\",,,,\r\n";
    const ChirpCsv::ImportResult result = ChirpCsv::importFavorites(csv, {});
    QVERIFY(result.ok);
    QCOMPARE(result.added.size(), 1);
    QCOMPARE(
        result.added.first(),
        (Favorite{118100000, "Tower, \"north\"", "AM", {{"notes", "ATIS\r\nevery 30 min, loop"}}}));
}

void ChirpCsvTest::notAChirpFile_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no Frequency column") << QByteArray("Location,Name,Mode\n1,a,FM\n");
    QTest::newRow("binary") << QByteArray("\x00\xff\"\x01", 4);
}

void ChirpCsvTest::notAChirpFile()
{
    QFETCH(QByteArray, csv);
    const ChirpCsv::ImportResult result = ChirpCsv::importFavorites(csv, {});
    QVERIFY(!result.ok);
    QVERIFY(result.added.isEmpty());
    QCOMPARE(result.error, QStringLiteral("not a CHIRP CSV file: no Frequency column"));
}

void ChirpCsvTest::roundTrip()
{
    const QVector<Favorite> favorites{
        {7050500, "Forty, \"m\"", "LSB", {{"notes", "a\r\nb"}, {"s_meter", "40"}}},
        {145500000, "", "NFM", {}},
        {2999999999LL, "Top", "AUTO", {}},
        {100000, "Bottom", "CW", {}}};
    const ChirpCsv::ImportResult back =
        ChirpCsv::importFavorites(ChirpCsv::exportFavorites(favorites), {});
    QVERIFY(back.ok);
    QCOMPARE(back.added.size(), favorites.size());
    for (int i = 0; i < favorites.size(); ++i) {
        QCOMPARE(back.added[i].frequency, favorites[i].frequency);
        QCOMPARE(back.added[i].name, favorites[i].name);
        QCOMPARE(back.added[i].mode, favorites[i].mode);
        QCOMPARE(back.added[i].attributes.value("notes"), favorites[i].attributes.value("notes"));
    }
    // Importing the export into the same list adds nothing.
    QCOMPARE(ChirpCsv::importFavorites(ChirpCsv::exportFavorites(favorites), favorites).duplicates,
             4);
}

QTEST_GUILESS_MAIN(ChirpCsvTest)
#include "tst_chirpcsv.moc"
