// The live FFT archive: the stored values and their encoding (decoded here by zlib itself), the
// records and their key order, the writer's failures, and a reader that skips and counts every
// kind of bad or torn line without trusting the file's stated lengths.

#include "fftarchive.h"
#include "fftarchivewriter.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

#include <cmath>

namespace {

const QDateTime startTime = QDateTime::fromMSecsSinceEpoch(1709651229123LL, Qt::UTC);

QVector<double> ramp(int bins)
{
    QVector<double> magnitudes(bins);
    for (int i = 0; i < bins; ++i)
        magnitudes[i] = -100.0 + 100.0 * i / (bins - 1);
    return magnitudes;
}

// Base64 -> length prefix and values, by zlib's own inflate.
bool decodeWithZlib(const QByteArray &base64, quint32 *length, QVector<qint16> *values)
{
    const QByteArray packed = QByteArray::fromBase64(base64);
    if (packed.size() < 4)
        return false;
    *length = qFromBigEndian<quint32>(packed.constData());
    QByteArray raw(int(*length), '\0');
    uLongf rawLength = *length;
    if (uncompress(reinterpret_cast<Bytef *>(raw.data()), &rawLength,
                   reinterpret_cast<const Bytef *>(packed.constData() + 4),
                   uLong(packed.size() - 4)) != Z_OK ||
        rawLength != *length) {
        return false;
    }
    values->resize(int(rawLength / 2));
    for (int i = 0; i < values->size(); ++i)
        (*values)[i] = qFromLittleEndian<qint16>(raw.constData() + 2 * i);
    return true;
}

// A frame's Base64 text with a stated length and content of our choosing.
QByteArray forgedFrame(quint32 statedLength, const QByteArray &raw)
{
    QByteArray packed(4, '\0');
    qToBigEndian<quint32>(statedLength, packed.data());
    QByteArray stream = qCompress(raw, 1).mid(4); // the zlib stream without Qt's own prefix
    return (packed + stream).toBase64();
}

QStringList keysInTextOrder(const QByteArray &line)
{
    QStringList keys;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("\"(\\w+)\":")).globalMatch(QString::fromUtf8(line));
    while (it.hasNext())
        keys << it.next().captured(1);
    return keys;
}

struct ReadResult
{
    int starts = 0;
    int frames = 0;
    int ends = 0;
    qint64 skipped = 0;
    QVector<QVector<qint16>> values;
};

ReadResult readAll(const QByteArray &text)
{
    QByteArray bytes = text;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    FftArchive::Reader reader(buffer);
    ReadResult result;
    for (auto record = reader.next(); record != FftArchive::Reader::Record::EndOfFile;
         record = reader.next()) {
        if (record == FftArchive::Reader::Record::Start)
            ++result.starts;
        if (record == FftArchive::Reader::Record::End)
            ++result.ends;
        if (record == FftArchive::Reader::Record::Frame) {
            ++result.frames;
            result.values.append(QVector<qint16>(reader.values().begin(), reader.values().end()));
        }
    }
    result.skipped = reader.skippedLines();
    return result;
}

QByteArray validArchive(int bins, int frames)
{
    QByteArray text = FftArchive::startLine(bins, 0.0, 11.71875, startTime);
    for (int f = 0; f < frames; ++f)
        text += FftArchive::frameLine(FftArchive::encodeFrame(ramp(bins)), 7050000, startTime);
    return text + FftArchive::endLine(frames, startTime);
}

} // namespace

class TestFftArchive : public QObject
{
    Q_OBJECT

private slots:
    void storedValues_data();
    void storedValues();
    void frameDecodesWithZlib();
    void recordsHaveSortedKeys();
    void readerRoundTrip();
    void readerSkipsBadLines_data();
    void readerSkipsBadLines();
    void writerFailures();
    void writerFlushesAfterASecond();
};

void TestFftArchive::storedValues_data()
{
    QTest::addColumn<double>("dbfs");
    QTest::addColumn<int>("stored");
    QTest::newRow("example") << -45.678 << -4568;
    QTest::newRow("floor") << -100.0 << -10000;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("half down away from zero") << -0.005 << -1;
    QTest::newRow("half up away from zero") << 0.125 << 13;
    QTest::newRow("saturates high") << 400.0 << 32767;
    QTest::newRow("saturates low") << -400.0 << -32768;
    QTest::newRow("not a number") << qQNaN() << -32768;
}

void TestFftArchive::storedValues()
{
    QFETCH(double, dbfs);
    QFETCH(int, stored);
    QCOMPARE(int(FftArchive::storedValue(dbfs)), stored);
}

void TestFftArchive::frameDecodesWithZlib()
{
    QVector<double> magnitudes = ramp(2049);
    magnitudes[100] = -45.678;
    quint32 length = 0;
    QVector<qint16> values;
    QVERIFY(decodeWithZlib(FftArchive::encodeFrame(magnitudes), &length, &values));
    QCOMPARE(length, 2u * 2049u);
    QCOMPARE(values.size(), 2049);
    QCOMPARE(values[100], qint16(-4568));
    QCOMPARE(values[0], qint16(-10000));
    QCOMPARE(values[2048], qint16(0));
    QCOMPARE(values[1024], FftArchive::storedValue(magnitudes[1024]));
}

void TestFftArchive::recordsHaveSortedKeys()
{
    const QByteArray start = FftArchive::startLine(2049, 0.0, 11.71875, startTime);
    const QByteArray frame = FftArchive::frameLine("AAAA", 145500000, startTime);
    const QByteArray end = FftArchive::endLine(42, startTime.addSecs(10));
    for (const QByteArray &line : {start, frame, end}) {
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1);
        QStringList keys = keysInTextOrder(line);
        QStringList sorted = keys;
        sorted.sort();
        QCOMPARE(keys, sorted);
    }
    QCOMPARE(keysInTextOrder(start), QStringList({"bin_width_hz", "bins", "first_bin_hz", "format",
                                                  "schema", "type", "utc", "value_scale_dbfs"}));
    const QJsonObject s = QJsonDocument::fromJson(start).object();
    QCOMPARE(s.value("type").toString(), QStringLiteral("fft_start"));
    QCOMPARE(s.value("schema").toInt(), 1);
    QCOMPARE(s.value("bins").toInt(), 2049);
    QCOMPARE(s.value("bin_width_hz").toDouble(), 11.71875);
    QCOMPARE(s.value("value_scale_dbfs").toDouble(), 0.01);
    QCOMPARE(s.value("format").toString(), QStringLiteral("base64(qCompress(s16le))"));
    QCOMPARE(s.value("utc").toString(), QStringLiteral("2024-03-05T15:07:09.123Z"));
    const QJsonObject f = QJsonDocument::fromJson(frame).object();
    QCOMPARE(keysInTextOrder(frame), QStringList({"data", "receiver_hz", "type", "utc"}));
    QCOMPARE(f.value("receiver_hz").toDouble(), 145500000.0);
    const QJsonObject e = QJsonDocument::fromJson(end).object();
    QCOMPARE(keysInTextOrder(end), QStringList({"frames", "type", "utc"}));
    QCOMPARE(e.value("frames").toInt(), 42);
    QCOMPARE(e.value("utc").toString(), QStringLiteral("2024-03-05T15:07:19.123Z"));
}

void TestFftArchive::readerRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("fft.jsonl");
    FftArchiveWriter writer;
    QString error;
    QVERIFY(writer.open(path, 2049, 0.0, 11.71875, startTime, &error));
    QVector<double> second = ramp(2049);
    second[7] = -12.345;
    QVERIFY(writer.append(ramp(2049), 7050000, startTime, &error));
    QVERIFY(writer.append(second, 7050100, startTime.addMSecs(85), &error));
    QCOMPARE(writer.frames(), 2);
    QVERIFY(writer.close(startTime.addSecs(1), &error));
    QVERIFY(!writer.isOpen());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    FftArchive::Reader reader(file);
    QCOMPARE(reader.next(), FftArchive::Reader::Record::Start);
    QCOMPARE(reader.bins(), 2049);
    QCOMPARE(reader.binWidthHz(), 11.71875);
    QCOMPARE(reader.next(), FftArchive::Reader::Record::Frame);
    QCOMPARE(reader.receiverHz(), 7050000);
    QCOMPARE(reader.values()[2048], qint16(0));
    QCOMPARE(reader.next(), FftArchive::Reader::Record::Frame);
    QCOMPARE(reader.values()[7], qint16(-1235));
    QCOMPARE(reader.frameUtc(), QStringLiteral("2024-03-05T15:07:09.208Z"));
    QCOMPARE(reader.next(), FftArchive::Reader::Record::End);
    QVERIFY(reader.sawEnd());
    QCOMPARE(reader.endFrames(), 2);
    QCOMPARE(reader.next(), FftArchive::Reader::Record::EndOfFile);
    QCOMPARE(reader.skippedLines(), 0);
}

void TestFftArchive::readerSkipsBadLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("skipped");

    const QByteArray good = validArchive(9, 2);
    const QByteArray start = FftArchive::startLine(9, 0.0, 10.0, startTime);
    const QByteArray raw18(18, '\0');
    const auto frame = [](const QByteArray &data) {
        return FftArchive::frameLine(data, 0, startTime);
    };
    QTest::newRow("valid") << good << 2 << 0;
    QTest::newRow("torn last line") << good.left(good.size() - 5) << 2 << 1;
    QTest::newRow("frame before the start")
        << frame(FftArchive::encodeFrame(ramp(9))) + good << 2 << 1;
    QTest::newRow("second start") << good + start << 2 << 1;
    QTest::newRow("one bin") << FftArchive::startLine(1, 0.0, 10.0, startTime) +
                                    frame(FftArchive::encodeFrame(ramp(1)))
                             << 0 << 2;
    QTest::newRow("65 538 bins") << FftArchive::startLine(65538, 0.0, 10.0, startTime) << 0 << 1;
    QTest::newRow("prefix not twice the bins")
        << start + frame(FftArchive::encodeFrame(ramp(10))) << 0 << 1;
    // A stream that inflates to far more than its prefix says: refused, nothing allocated.
    QTest::newRow("stream longer than stated")
        << start + frame(forgedFrame(18, QByteArray(1 << 20, 'x'))) << 0 << 1;
    QTest::newRow("stream shorter than stated")
        << start + frame(forgedFrame(18, QByteArray(10, 'x'))) << 0 << 1;
    QTest::newRow("2 GB stated length") << start + frame(forgedFrame(0x7fffffffu, raw18)) << 0 << 1;
    QTest::newRow("bad base64") << start + frame("@@@@") << 0 << 1;
    QTest::newRow("too short for a prefix") << start + frame("AAA=") << 0 << 1;
    QTest::newRow("not JSON") << start + "{\"type\":\"fft\",\n" + frame(forgedFrame(18, raw18)) << 1
                              << 1;
    QTest::newRow("unknown format")
        << QByteArray(start).replace("s16le", "s32le") + frame(FftArchive::encodeFrame(ramp(9)))
        << 0 << 2;
    QTest::newRow("empty line") << start + "\n" + frame(forgedFrame(18, raw18)) << 1 << 1;
    QTest::newRow("overlong line")
        << start + "{\"type\":\"x\",\"pad\":\"" + QByteArray(2 << 20, 'a') + "\"}\n" +
               frame(forgedFrame(18, raw18))
        << 1 << 1;
}

void TestFftArchive::readerSkipsBadLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, frames);
    QFETCH(int, skipped);
    const ReadResult result = readAll(text);
    QCOMPARE(result.frames, frames);
    QCOMPARE(result.skipped, qint64(skipped));
    for (const QVector<qint16> &values : result.values)
        QCOMPARE(values.size(), 9);
}

void TestFftArchive::writerFailures()
{
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full");
    QString error;
    // Buffered writes to a full device fail when the buffer goes out.
    FftArchiveWriter writer;
    QVERIFY(writer.open("/dev/full", 2049, 0.0, 11.71875, startTime, &error));
    bool appended = true;
    for (int i = 0; i < 200 && appended; ++i)
        appended = writer.append(ramp(2049), 0, startTime, &error);
    QVERIFY(!appended);
    QVERIFY(writer.failed());
    QVERIFY(!writer.isOpen());
    QVERIFY(!error.isEmpty());
    writer.clearFailed();
    QVERIFY(!writer.failed());

    // The end record reaches only the buffer; the flush before "closed" finds the full disk.
    FftArchiveWriter closing;
    QVERIFY(closing.open("/dev/full", 9, 0.0, 10.0, startTime, &error));
    error.clear();
    QVERIFY(!closing.close(startTime, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!closing.isOpen());

    // A folder that does not exist.
    FftArchiveWriter missing;
    QVERIFY(!missing.open("/nonexistent/folder/fft.jsonl", 9, 0.0, 10.0, startTime, &error));
    QVERIFY(missing.failed());
}

void TestFftArchive::writerFlushesAfterASecond()
{
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full");
    FftArchiveWriter writer;
    QString error;
    QVERIFY(writer.open("/dev/full", 9, 0.0, 10.0, startTime, &error));
    QVERIFY(writer.append(ramp(9), 0, startTime, &error));
    QTest::qWait(int(FftArchiveWriter::flushIntervalMs) + 20);
    QVERIFY(!writer.append(ramp(9), 0, startTime, &error));
    QVERIFY(writer.failed());
    QCOMPARE(writer.frames(), 2); // the line was written; its flush failed
}

QTEST_GUILESS_MAIN(TestFftArchive)
#include "tst_fftarchive.moc"
