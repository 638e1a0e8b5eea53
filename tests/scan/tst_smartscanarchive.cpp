// The Smart Scan archive: its file name, what reopening counts and keeps, and how it refuses
// foreign first lines and skips broken, out-of-range and over-long lines.
#include "smartscanarchive.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray startLine =
    R"({"end_hz":88400000,"mode":"NFM","points":5,"schema":1,"start_hz":88000000,)"
    R"("step_hz":100000,"type":"scan_start","utc":"2024-03-05T14:07:09.123Z"})";

QByteArray frequencyLine(const QByteArray &frequency, const QByteArray &outcome)
{
    return R"({"frequency_hz":)" + frequency + R"(,"outcome":")" + outcome +
           R"(","quality":88,"s_meter":200,"type":"frequency"})";
}

} // namespace

class SmartScanArchiveTest : public QObject
{
    Q_OBJECT

private slots:
    void fileName();
    void reopenCountsAndSkips();
    void lineCap_data();
    void lineCap();
    void foreignFirstLines_data();
    void foreignFirstLines();
    void missingFile();
    void writerRoundTrip();

private:
    QString write(const QByteArray &content)
    {
        const QString path = m_folder.filePath(QStringLiteral("scan.jsonl"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(content) != content.size())
            return {};
        return path;
    }
    QTemporaryDir m_folder;
};

void SmartScanArchiveTest::fileName()
{
    const QDateTime time(QDate(2024, 3, 5), QTime(15, 7, 9, 123));
    QCOMPARE(SmartScanArchiveWriter::fileName(time, 4812),
             QStringLiteral("scan_20240305_150709_123_4812.jsonl"));
}

void SmartScanArchiveTest::reopenCountsAndSkips()
{
    QByteArray content = startLine + '\n';
    content += frequencyLine("88000000", "below_threshold") + '\n'; // processed, no row
    content += frequencyLine("88100000", "tone") + '\n';
    content += frequencyLine("88200000", "unreadable") + '\n';
    content += frequencyLine("88300000", "incomplete") + '\n';    // ignored
    content += frequencyLine("88300000", "tuning_failed") + '\n'; // ignored
    content += frequencyLine("88300000", "quiet") + '\n';
    content += frequencyLine("1e300", "noise") + '\n';             // skipped: out of range
    content += frequencyLine("88350000.5", "noise") + '\n';        // skipped: not an integer
    content += frequencyLine("-7", "noise") + '\n';                // skipped
    content += frequencyLine("\"88400000\"", "noise") + '\n';      // skipped: a text
    content += "{\"type\":\"frequency\",\"outcome\":\"noise\"}\n"; // skipped: no frequency
    content += "not json\n";                                       // skipped
    content += "{}\n";                                             // skipped: empty object
    content += "[1,2]\n";                                          // skipped: not an object
    content += '{' + QByteArray(2 * SmartScanArchive::maxLineBytes, ' ') + "}\n"; // too long
    content += R"({"type":"note","text":"ignored"})"
               "\n";
    content += frequencyLine("88400000", "modulated"); // last line without a line feed
    const QString path = write(content);
    QVERIFY(!path.isEmpty());

    SmartScanArchiveContents contents;
    QString error;
    QCOMPARE(SmartScanArchive::read(path, &contents, &error), SmartScanArchive::ReadStatus::Ok);
    QCOMPARE(contents.start.value("mode").toString(), QStringLiteral("NFM"));
    QCOMPARE(contents.processed, 5);
    QCOMPARE(contents.skipped, 9);
    QCOMPARE(contents.results.size(), 3);
    QCOMPARE(SmartScanArchive::recordFrequency(contents.results[0]), qint64(88100000));
    QCOMPARE(contents.results[1].value("outcome").toString(), QStringLiteral("quiet"));
    QCOMPARE(SmartScanArchive::recordFrequency(contents.results[2]), qint64(88400000));
    QCOMPARE(contents.counters.summary(),
             QStringLiteral("2 detected | 1 quiet | 0 noise | 1 unreadable"));
}

void SmartScanArchiveTest::lineCap_data()
{
    QTest::addColumn<int>("padding");   // bytes beyond the cap of the padded line
    QTest::addColumn<bool>("lastLine"); // the padded line ends the file without a line feed
    QTest::addColumn<int>("processed");
    QTest::newRow("one below the cap") << -1 << false << 2;
    QTest::newRow("at the cap") << 0 << false << 2;
    QTest::newRow("one above the cap") << 1 << false << 1;
    QTest::newRow("last line at the cap") << 0 << true << 2;
    QTest::newRow("last line above the cap") << 1 << true << 1;
}

void SmartScanArchiveTest::lineCap()
{
    QFETCH(int, padding);
    QFETCH(bool, lastLine);
    QFETCH(int, processed);
    const int cap = int(startLine.size()) + 10;
    QByteArray padded = frequencyLine("88100000", "tone");
    padded.insert(1, QByteArray(cap - padded.size() + padding, ' '));
    QCOMPARE(padded.size(), cap + padding);
    QByteArray content = startLine + '\n' + frequencyLine("88000000", "quiet") + '\n';
    content += lastLine ? padded : padded + '\n' + frequencyLine("88200000", "below_threshold");
    const QString path = write(content);
    SmartScanArchiveContents contents;
    QString error;
    QCOMPARE(SmartScanArchive::read(path, &contents, &error, cap),
             SmartScanArchive::ReadStatus::Ok);
    QCOMPARE(contents.processed, processed + (lastLine ? 0 : 1));
    QCOMPARE(contents.skipped, processed == 2 ? 0 : 1);
}

void SmartScanArchiveTest::foreignFirstLines_data()
{
    QTest::addColumn<QByteArray>("first");
    const auto start = [](const char *from, const char *to) {
        QByteArray line = startLine;
        return line.replace(from, to);
    };
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not json") << QByteArray("scan");
    QTest::newRow("another type") << start("scan_start", "scan_end");
    QTest::newRow("schema 2") << start("\"schema\":1", "\"schema\":2");
    QTest::newRow("points negative") << start("\"points\":5", "\"points\":-7");
    QTest::newRow("points huge") << start("\"points\":5", "\"points\":1e12");
    QTest::newRow("points disagree") << start("\"points\":5", "\"points\":4");
    QTest::newRow("start not whole") << start("88000000", "2.5");
    QTest::newRow("start huge") << start("88000000", "1e300");
    QTest::newRow("end below start") << start("88400000", "87000000");
    QTest::newRow("step zero") << start("\"step_hz\":100000", "\"step_hz\":0");
    QTest::newRow("step missing") << start("\"step_hz\":100000,", "");
    QTest::newRow("over-long first line")
        << QByteArray(SmartScanArchive::maxLineBytes + 10, ' ') + startLine;
}

void SmartScanArchiveTest::foreignFirstLines()
{
    QFETCH(QByteArray, first);
    const QString path = write(first + '\n' + frequencyLine("88000000", "tone") + '\n');
    QVERIFY(!path.isEmpty());
    SmartScanArchiveContents contents;
    contents.processed = 42; // untouched on refusal
    QString error;
    QCOMPARE(SmartScanArchive::read(path, &contents, &error),
             SmartScanArchive::ReadStatus::Unsupported);
    QCOMPARE(contents.processed, 42);
}

void SmartScanArchiveTest::missingFile()
{
    SmartScanArchiveContents contents;
    QString error;
    QCOMPARE(SmartScanArchive::read(m_folder.filePath("absent.jsonl"), &contents, &error),
             SmartScanArchive::ReadStatus::CannotOpen);
    QVERIFY(!error.isEmpty());
}

void SmartScanArchiveTest::writerRoundTrip()
{
    SmartScanArchiveWriter writer;
    QString error;
    const QString path = m_folder.filePath("deeper/scans/scan.jsonl");
    QVERIFY(writer.open(path, &error));
    QVERIFY(writer.write(QJsonDocument::fromJson(startLine).object(), &error));
    QVERIFY(writer.write(QJsonObject{{"type", "frequency"},
                                     {"frequency_hz", qint64(3000000000)},
                                     {"outcome", "noise"},
                                     {"dbfs_rms", SmartScanArchive::rounded(-23.456, 2)}},
                         &error));
    writer.close();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], startLine); // keys in ascending order, compact
    QCOMPARE(lines[1], QByteArray(R"({"dbfs_rms":-23.46,"frequency_hz":3000000000,)"
                                  R"("outcome":"noise","type":"frequency"})"));
    QVERIFY(lines[2].isEmpty());
    SmartScanArchiveContents contents;
    QCOMPARE(SmartScanArchive::read(path, &contents, &error), SmartScanArchive::ReadStatus::Ok);
    QCOMPARE(contents.counters.noise, 1);
    QCOMPARE(SmartScanArchive::recordFrequency(contents.results[0]), qint64(3000000000));
}

QTEST_MAIN(SmartScanArchiveTest)
#include "tst_smartscanarchive.moc"
