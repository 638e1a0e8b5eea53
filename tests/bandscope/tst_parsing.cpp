// The band scope's parsers: DS rows into frames, AM status lines, the line splitter and the
// span table with its centre rounding and nominal mapping.
#include "amstatus.h"
#include "dsframe.h"
#include "scopespan.h"

#include <QTest>

namespace {

// A row of 32 hexadecimal digits whose first digit (the top bin) is `first`, the rest `rest`.
QByteArray row(int top, char first = 'A', char rest = '3')
{
    return "DS" + QByteArray::number(top).rightJustified(4, '0') + ':' + first +
           QByteArray(31, rest) + '\r';
}

QByteArray frameOf(int rows)
{
    QByteArray bytes;
    for (int r = rows; r >= 1; --r)
        bytes += row(r * 32 - 1);
    return bytes;
}

} // namespace

class ParsingTest : public QObject
{
    Q_OBJECT

private slots:
    void rowStoresDigitsFromTheTopBinDown();
    void rows_data();
    void rows();
    void frameCompletes_data();
    void frameCompletes();
    void chunkingDoesNotMatter();
    void amStatus_data();
    void amStatus();
    void centreRounding_data();
    void centreRounding();
    void spanTable();
};

void ParsingTest::rowStoresDigitsFromTheTopBinDown()
{
    DsFrame frame;
    frame.reset(1);
    frame.feed("DS1023:0123456789ABCDEF0123456789abcdef\r");
    QCOMPARE(frame.rowsReceived, 1);
    QCOMPARE(frame.malformed, 0);
    QCOMPARE(frame.codes[1023], 0);
    QCOMPARE(frame.codes[1013], 10);
    QCOMPARE(frame.codes[1008], 15);
    QCOMPARE(frame.codes[992], 15);
    QCOMPARE(frame.codes[991], -1);
}

// One line after a fresh reset with the given span code: rows accepted, malformed, rejected.
void ParsingTest::rows_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("malformed");
    QTest::addColumn<bool>("rejected");
    QTest::addColumn<int>("rows");

    const QByteArray digits(32, '7');
    QTest::newRow("plain") << 1 << row(1023) << 1 << 0 << false << 32;
    QTest::newRow("no colon") << 1 << "DS1023" + digits + "\r" << 1 << 0 << false << 32;
    QTest::newRow("blanks and tabs")
        << 1 << QByteArray("  DS1023 \t: 7777 7777\t7777 7777 7777 7777 7777 7777  \r") << 1 << 0
        << false << 32;
    QTest::newRow("line feed ends a line") << 1 << "DS1023:" + digits + "\n"
                                           << 1 << 0 << false << 32;
    QTest::newRow("xon and xoff dropped") << 1
                                          << "DS10\x11"
                                             "23:" +
                                                 digits.left(10) + "\x13" + digits.mid(10) + "\r"
                                          << 1 << 0 << false << 32;
    QTest::newRow("31 digits") << 1 << "DS1023:" + digits.left(31) + "\r" << 0 << 1 << false << 32;
    QTest::newRow("33 digits") << 1 << "DS1023:" + digits + "7\r" << 0 << 1 << false << 32;
    QTest::newRow("non-hex digit")
        << 1 << "DS1023:" + digits.left(31) + "G\r" << 0 << 1 << false << 32;
    QTest::newRow("three-digit number") << 1 << "DS102:" + digits + "\r" << 0 << 1 << false << 32;
    QTest::newRow("not a row number") << 1 << row(1022) << 0 << 1 << false << 32;
    QTest::newRow("beyond the frame") << 1 << row(1055) << 0 << 1 << false << 32;
    QTest::newRow("second row first") << 1 << row(991) << 0 << 1 << false << 32;
    QTest::newRow("narrow row on a wide span") << 1 << row(127) << 0 << 1 << false << 32;
    QTest::newRow("narrow span, 4 rows") << 7 << row(127) << 1 << 0 << false << 4;
    QTest::newRow("narrow span, 32 rows") << 6 << row(1023) << 1 << 0 << false << 32;
    QTest::newRow("narrow span, other first row") << 7 << row(95) << 0 << 1 << false << 0;
    QTest::newRow("manual DS fixes rows") << 0 << row(127) << 1 << 0 << false << 4;
    QTest::newRow("echo ignored") << 1 << QByteArray("DS\r") << 0 << 0 << false << 32;
    QTest::newRow("status line ignored")
        << 1 << QByteArray("AM CF0098000000\r") << 0 << 0 << false << 32;
    QTest::newRow("rejection") << 1 << QByteArray(" ?\r") << 0 << 0 << true << 32;
    QTest::newRow("257-byte line") << 1 << QByteArray(257, 'D') + "\r" << 0 << 1 << false << 32;
    QTest::newRow("256-byte line is judged")
        << 1 << QByteArray(256, 'X') + "\r" << 0 << 0 << false << 32;
    QTest::newRow("empty lines") << 1 << QByteArray("\r\n\r\r") << 0 << 0 << false << 32;
    QTest::newRow("row twice") << 1 << row(1023) + row(1023) << 1 << 1 << false << 32;
}

void ParsingTest::rows()
{
    QFETCH(int, span);
    QFETCH(QByteArray, bytes);
    QFETCH(int, accepted);
    QFETCH(int, malformed);
    QFETCH(bool, rejected);
    QFETCH(int, rows);

    DsFrame frame;
    frame.reset(span);
    frame.feed(bytes);
    QCOMPARE(frame.rowsReceived, accepted);
    QCOMPARE(frame.malformed, malformed);
    QCOMPARE(frame.rejected, rejected);
    QCOMPARE(frame.rows, rows);
    const int filled = static_cast<int>(
        std::count_if(frame.codes.begin(), frame.codes.end(), [](int c) { return c >= 0; }));
    QCOMPARE(filled, accepted * 32);
}

void ParsingTest::frameCompletes_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<int>("bins");

    QTest::newRow("32 rows") << 3 << frameOf(32) << true << 1024;
    QTest::newRow("4 rows after DS0031") << 7 << frameOf(4) << true << 128;
    QTest::newRow("31 of 32 rows") << 3 << frameOf(32).left(31 * 40) << false << 1024;
    QTest::newRow("row unfinished") << 7 << frameOf(4).chopped(1) << false << 128;
    QTest::newRow("extra row after the frame") << 7 << frameOf(4) + row(127) << false << 128;
    QTest::newRow("rejected after the frame") << 7 << frameOf(4) + "?\r" << false << 128;
    QTest::newRow("nothing yet, narrow") << 7 << QByteArray() << false << 1024;
}

void ParsingTest::frameCompletes()
{
    QFETCH(int, span);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QFETCH(int, bins);

    DsFrame frame;
    frame.reset(span);
    frame.feed(bytes);
    QCOMPARE(frame.isComplete(), complete);
    QCOMPARE(frame.binCount(), bins);
    if (complete) {
        QVERIFY(std::all_of(frame.codes.begin(), frame.codes.begin() + bins,
                            [](int c) { return c >= 0 && c <= 15; }));
        QVERIFY(std::all_of(frame.codes.begin() + bins, frame.codes.end(),
                            [](int c) { return c == -1; }));
    }
}

void ParsingTest::chunkingDoesNotMatter()
{
    const QByteArray bytes = "DS\r" + frameOf(32) + "AM SW1\r";
    DsFrame whole;
    whole.reset(2);
    whole.feed(bytes);
    for (const int chunk : {1, 3, 39, 40, 41, 4096}) {
        DsFrame pieces;
        pieces.reset(2);
        for (int i = 0; i < bytes.size(); i += chunk)
            pieces.feed(bytes.mid(i, chunk));
        QCOMPARE(pieces.codes, whole.codes);
        QCOMPARE(pieces.rowsReceived, 32);
        QVERIFY(pieces.isComplete());
    }
}

void ParsingTest::amStatus_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qint64>("centre");
    QTest::addColumn<qint64>("marker");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("peakHold");
    QTest::addColumn<bool>("valid");

    QTest::newRow("complete") << QByteArray("AM CF0098000000 SW1 MF0098000000 PH0")
                              << qint64(98000000) << qint64(98000000) << 1 << 0 << true;
    QTest::newRow("any order, tabs") << QByteArray(" AM\tPH1  MF0004650000 SW7 CF0004650000 ")
                                     << qint64(4650000) << qint64(4650000) << 7 << 1 << true;
    QTest::newRow("no marker") << QByteArray("AM CF0098000000 SW1 PH0") << qint64(98000000)
                               << qint64(-1) << 1 << 0 << false;
    QTest::newRow("8-digit centre") << QByteArray("AM CF98000000 SW1 MF0098000000 PH0")
                                    << qint64(-1) << qint64(98000000) << 1 << 0 << false;
    QTest::newRow("two-digit span ignored")
        << QByteArray("AM CF0098000000 SW12 MF0098000000 PH0") << qint64(98000000)
        << qint64(98000000) << -1 << 0 << false;
    QTest::newRow("span 8 out of range") << QByteArray("AM CF0098000000 SW8 MF0098000000 PH0")
                                         << qint64(98000000) << qint64(98000000) << 8 << 0 << false;
    QTest::newRow("peak hold 2") << QByteArray("AM CF0098000000 SW1 MF0098000000 PH2")
                                 << qint64(98000000) << qint64(98000000) << 1 << 2 << false;
    QTest::newRow("centre below 100 kHz") << QByteArray("AM CF0000099999 SW1 MF0098000000 PH0")
                                          << qint64(99999) << qint64(98000000) << 1 << 0 << false;
    QTest::newRow("marker above 3 GHz")
        << QByteArray("AM CF0098000000 SW1 MF3000000001 PH0") << qint64(98000000)
        << qint64(3000000001LL) << 1 << 0 << false;
    QTest::newRow("non-digit") << QByteArray("AM CF009800000X SW1 MF0098000000 PH0") << qint64(-1)
                               << qint64(98000000) << 1 << 0 << false;
    QTest::newRow("unknown tokens ignored")
        << QByteArray("AM XX1 CF0098000000 SW1 MF0098000000 PH0 ZZ") << qint64(98000000)
        << qint64(98000000) << 1 << 0 << true;
    QTest::newRow("first token not AM") << QByteArray("AMX CF0098000000 SW1 MF0098000000 PH0")
                                        << qint64(-1) << qint64(-1) << -1 << -1 << false;
    QTest::newRow("lower case") << QByteArray("am CF0098000000 SW1 MF0098000000 PH0") << qint64(-1)
                                << qint64(-1) << -1 << -1 << false;
    QTest::newRow("echo") << QByteArray("AM") << qint64(-1) << qint64(-1) << -1 << -1 << false;
}

void ParsingTest::amStatus()
{
    QFETCH(QByteArray, line);
    QFETCH(qint64, centre);
    QFETCH(qint64, marker);
    QFETCH(int, span);
    QFETCH(int, peakHold);
    QFETCH(bool, valid);

    const AmStatus status = AmStatus::parse(line);
    QCOMPARE(status.centreHz, centre);
    QCOMPARE(status.markerHz, marker);
    QCOMPARE(status.spanCode, span);
    QCOMPARE(status.peakHold, peakHold);
    QCOMPARE(status.isValid(), valid);
}

void ParsingTest::centreRounding_data()
{
    QTest::addColumn<double>("mhz");
    QTest::addColumn<int>("span");
    QTest::addColumn<qint64>("hz");

    QTest::newRow("98.0071 on the 10 kHz grid") << 98.0071 << 4 << qint64(98010000);
    QTest::newRow("98.0071 on the 2 kHz grid") << 98.0071 << 7 << qint64(98008000);
    QTest::newRow("half a step rounds up") << 4.651 << 7 << qint64(4652000);
    QTest::newRow("default centre") << 4.65 << 7 << qint64(4650000);
    QTest::newRow("lowest") << 0.1 << 1 << qint64(100000);
    QTest::newRow("highest") << 3000.0 << 5 << qint64(3000000000LL);
}

void ParsingTest::centreRounding()
{
    QFETCH(double, mhz);
    QFETCH(int, span);
    QFETCH(qint64, hz);
    QCOMPARE(ScopeSpan::roundCentre(mhz, span), hz);
}

void ParsingTest::spanTable()
{
    QCOMPARE(ScopeSpan::comboText(7), QStringLiteral("100 kHz  (2 kHz)"));
    QCOMPARE(ScopeSpan::comboText(1), QStringLiteral("10000 kHz  (10 kHz)"));
    QCOMPARE(ScopeSpan::clampCode(0), 1);
    QCOMPARE(ScopeSpan::clampCode(9), 7);
    // Narrow: bin 64 is the centre, 25 bins of 2 kHz either side are in the 100 kHz span.
    QCOMPARE(ScopeSpan::nominalHz(64, 4650000, 7), qint64(4650000));
    QCOMPARE(ScopeSpan::nominalHz(52, 4650000, 7), qint64(4626000));
    QVERIFY(ScopeSpan::inNominalSpan(39, 4650000, 7));
    QVERIFY(!ScopeSpan::inNominalSpan(38, 4650000, 7));
    QVERIFY(ScopeSpan::inNominalSpan(89, 4650000, 7));
    QVERIFY(!ScopeSpan::inNominalSpan(90, 4650000, 7));
    // Wide: all 1024 bins of 10 kHz cover 10.24 MHz; 10 MHz is in span.
    QCOMPARE(ScopeSpan::nominalHz(0, 98000000, 1), qint64(92880000));
    QVERIFY(!ScopeSpan::inNominalSpan(0, 98000000, 1));
    QVERIFY(ScopeSpan::inNominalSpan(12, 98000000, 1));
    QVERIFY(ScopeSpan::inNominalSpan(1012, 98000000, 1));
    QVERIFY(!ScopeSpan::inNominalSpan(1013, 98000000, 1));
}

QTEST_GUILESS_MAIN(ParsingTest)
#include "tst_parsing.moc"
