// The serial traffic trace: line format, rotation of a single file, the folder's files.
#include "serialtrace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class SerialTraceTest : public QObject
{
    Q_OBJECT

private slots:
    void lineFormat_data();
    void lineFormat();
    void singleFileRotates();
    void folderKeepsTheNewestFiles();
};

void SerialTraceTest::lineFormat_data()
{
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("line");
    // 2026-12-09 14:03:07.215 UTC
    QTest::newRow("command") << true << QByteArray("RF0007050000\r")
                             << QByteArray("2026-12-09T14:03:07.215Z TX 52 46 30 30 30 37 30 35 "
                                           "30 30 30 30 0d | RF0007050000<CR>");
    QTest::newRow("reply with flow control")
        << false
        << QByteArray("LM\x13"
                      "7F\x11\r\n",
                      8)
        << QByteArray("2026-12-09T14:03:07.215Z RX 4c 4d 13 37 46 11 0d 0a | LM<13>7F<11><CR><LF>");
}

void SerialTraceTest::lineFormat()
{
    QFETCH(bool, sent);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, line);
    QCOMPARE(SerialTrace::format(1796824987215LL, sent, bytes), line);
}

void SerialTraceTest::singleFileRotates()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    QString error;
    auto trace = SerialTrace::intoFile(path, &error);
    QVERIFY2(trace, qPrintable(error));
    // 11 MB of lines is past one rotation.
    const QByteArray block(60, 'A');
    const qint64 lineBytes = SerialTrace::format(0, true, block).size() + 1;
    const qint64 blocks = 11 * 1024 * 1024 / lineBytes + 1;
    for (qint64 i = 0; i < blocks; ++i) {
        trace->record(i % 2 == 0, block);
        if (i % 1000 == 999)
            trace->flush();
    }
    trace->flush();
    const QFileInfo full(path + QStringLiteral(".1"));
    const QFileInfo current(path);
    QVERIFY(full.exists());
    QVERIFY(full.size() <= SerialTrace::rotateBytes);
    QVERIFY(full.size() > SerialTrace::rotateBytes - lineBytes);
    QVERIFY(current.size() > 0 && current.size() < SerialTrace::rotateBytes / 2);
    QFile lastFile(path);
    QVERIFY(lastFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = lastFile.readAll().split('\n');
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT[0-9:.]{12}Z [TR]X 41"))
                .match(QString::fromLatin1(lines.first()))
                .hasMatch());
    QCOMPARE(full.size() % lineBytes, 0);
    QCOMPARE(full.size() / lineBytes + lines.size() - 1, blocks);
}

void SerialTraceTest::folderKeepsTheNewestFiles()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("serial"));
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < SerialTrace::keptFiles + 2; ++i) {
        QFile old(QDir(folder).filePath(
            QStringLiteral("trace_20200101_0000%1_000_1.log").arg(i, 2, 10, QLatin1Char('0'))));
        QVERIFY(old.open(QIODevice::WriteOnly));
    }
    QFile other(QDir(folder).filePath(QStringLiteral("notes.txt")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    QString error;
    auto trace = SerialTrace::intoFolder(folder, &error);
    QVERIFY2(trace, qPrintable(error));
    const QStringList traces =
        QDir(folder).entryList({QStringLiteral("trace_*.log")}, QDir::Files, QDir::Name);
    QCOMPARE(traces.size(), SerialTrace::keptFiles);
    QCOMPARE(traces.last(), QFileInfo(trace->currentFile()).fileName());
    QVERIFY(!traces.contains(QStringLiteral("trace_20200101_000000_000_1.log")));
    QVERIFY(QFile::exists(other.fileName()));
}

QTEST_GUILESS_MAIN(SerialTraceTest)
#include "tst_serialtrace.moc"
