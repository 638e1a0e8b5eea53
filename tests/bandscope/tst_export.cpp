// The band scope's exports: the CSV and raw file of the latest frame, golden after a manual DS
// and after a confirmed capture with a reference; file names; atomic writing; and the history
// recording with its waterfall image.
#include "bandscopeexport.h"
#include "bandscopehistory.h"
#include "fakescope.h"
#include "scopehistoryrecorder.h"
#include "scoperecord.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime dsTime(QDate(2024, 5, 1), QTime(12, 0, 0, 123), Qt::UTC);

QList<QByteArray> lines(const QByteArray &csv)
{
    QList<QByteArray> list = csv.split('\n');
    if (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
    return list;
}

// A confirmed narrow capture: bins 0-127 hold 7, bin 0 holds 1, bin 52 holds 8, bin 60 holds A.
ScopeRecord confirmedRecord()
{
    ScopeRecord record;
    record.frame.reset(7);
    QByteArray frame = scopeFrame(4);
    frame[3 * 40 + 7 + 31] = '1';        // bin 0: last digit of the last row
    frame[2 * 40 + 7 + (63 - 52)] = '8'; // bin 52
    frame[2 * 40 + 7 + (63 - 60)] = 'A'; // bin 60
    record.frame.feed(frame);
    record.raw = frame;
    record.captureLog = QStringLiteral("[12:00:00.000] TX: DS | HEX 44 53 0d\n");
    record.dsTime = dsTime;
    record.requestedCentreHz = 4650000;
    record.requestedSpanCode = 7;
    record.peakHoldRequested = true;
    record.setupVerified = true;
    record.actualPeakHold = 1;
    return record;
}

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private slots:
    void afterManualDs();
    void afterConfirmedCaptureWithReference();
    void partialFrame();
    void names();
    void writesBothFilesOrNothing();
    void historyRecording();
};

void ExportTest::afterManualDs()
{
    ScopeRecord record;
    record.manual = true;
    record.frame.reset(0);
    record.frame.feed(scopeFrame(4));
    record.dsTime = dsTime;
    record.captureLog = QStringLiteral("service log ü\n");
    record.raw = scopeFrame(4);
    BandScopeHistory history;

    const QList<QByteArray> csv = lines(BandScopeExport::csv(record, history, 16));
    QCOMPARE(csv.size(), 1025);
    QCOMPARE(csv[0], QByteArray(BandScopeExport::header));
    QCOMPARE(csv[0].count(','), 19);
    QCOMPARE(csv[1], QByteArray("2024-05-01T12:00:00.123Z,,,,,1,0,,,7,7,level,0,,0,,,,,"));
    QCOMPARE(csv[129],
             QByteArray("2024-05-01T12:00:00.123Z,,,,,1,128,,,,,not_transmitted,0,,0,,,,,"));
    for (const QByteArray &line : csv)
        QCOMPARE(line.count(','), 19);

    QCOMPARE(BandScopeExport::raw(record),
             QByteArray("service log \xc3\xbc\n\n--- DS RAW (original bytes) ---\n") +
                 scopeFrame(4));
}

void ExportTest::afterConfirmedCaptureWithReference()
{
    const ScopeRecord record = confirmedRecord();
    BandScopeHistory history;
    const ScopeHistoryKey key{4650000, 7, 1, 128};
    std::array<int, 1024> earlier = record.frame.codes;
    earlier[52] = 6;
    history.add(key, earlier, 1);
    history.setReference(16);
    history.add(key, record.frame.codes, 2);

    const QList<QByteArray> csv = lines(BandScopeExport::csv(record, history, 16));
    const QByteArray start = "2024-05-01T12:00:00.123Z,4650000,100000,2000,1,1,";
    QCOMPARE(csv[1], start + "0,4522000,0,1,1,out_of_range,1,1,0,,,,,");
    QCOMPARE(csv[53], start + "52,4626000,1,8,8,level,1,1,2,7.00000,1.00000,8,6.00000,2.00000");
    QCOMPARE(csv[61], start + "60,4642000,1,A,10,level,1,1,2,10.00000,0.00000,10,10.00000,"
                              "0.00000");
    QCOMPARE(csv[65], start + "64,4650000,1,7,7,level,1,1,2,7.00000,0.00000,7,7.00000,0.00000");
    QCOMPARE(csv[201], start + "200,4922000,0,,,not_transmitted,1,1,0,,,,,");
}

void ExportTest::partialFrame()
{
    ScopeRecord record;
    record.manual = true;
    record.frame.reset(0);
    record.frame.feed("?\r");
    BandScopeHistory history;
    const QList<QByteArray> csv = lines(BandScopeExport::csv(record, history, 16));
    // No DS time yet, rows unknown: every bin is missing, none "not transmitted".
    QCOMPARE(csv[501], QByteArray(",,,,,0,500,,,,,missing,0,,0,,,,,"));
}

void ExportTest::names()
{
    QCOMPARE(BandScopeExport::defaultFileName(QDateTime(QDate(2024, 5, 1), QTime(9, 8, 7, 6))),
             QStringLiteral("bandscope_20240501_090807_006.csv"));
    QCOMPARE(BandScopeExport::withCsvSuffix(QStringLiteral("/d/x")), QStringLiteral("/d/x.csv"));
    QCOMPARE(BandScopeExport::withCsvSuffix(QStringLiteral("/d/x.CSV")),
             QStringLiteral("/d/x.CSV"));
    QCOMPARE(BandScopeExport::withCsvSuffix(QStringLiteral("/d/x.txt")),
             QStringLiteral("/d/x.txt.csv"));
    QCOMPARE(BandScopeExport::rawPathFor(QStringLiteral("/d/x.csv")),
             QStringLiteral("/d/x_raw.txt"));
    QCOMPARE(ScopeHistoryRecorder::imagePathFor(QStringLiteral("/d/h.csv")),
             QStringLiteral("/d/h.png"));
    QCOMPARE(ScopeHistoryRecorder::imagePathFor(QStringLiteral("/d/h")),
             QStringLiteral("/d/h.png"));
}

void ExportTest::writesBothFilesOrNothing()
{
    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("a.csv"));
    const QString raw = folder.filePath(QStringLiteral("a_raw.txt"));
    QString error;
    QVERIFY(BandScopeExport::write(csv, "csv\n", raw, "raw", &error));
    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    QCOMPARE(csvFile.readAll(), QByteArray("csv\n"));

    // A raw file that cannot be written leaves the CSV as it was.
    const QString missing = folder.filePath(QStringLiteral("no/such/folder/a_raw.txt"));
    QVERIFY(!BandScopeExport::write(csv, "new csv\n", missing, "raw", &error));
    QVERIFY(!error.isEmpty());
    csvFile.seek(0);
    QCOMPARE(csvFile.readAll(), QByteArray("csv\n"));
}

void ExportTest::historyRecording()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.csv"));
    QString error;
    {
        ScopeHistoryRecorder recorder;
        QVERIFY2(recorder.start(path, &error), qPrintable(error));
        ScopeSweep sweep;
        sweep.codes.fill(-1);
        std::fill(sweep.codes.begin(), sweep.codes.begin() + 128, qint8(2));
        sweep.utcMs = dsTime.toMSecsSinceEpoch();
        QVERIFY(recorder.append({4650000, 7, -1, 128}, sweep, &error));
        sweep.codes[0] = 15;
        sweep.utcMs += 1000;
        QVERIFY(recorder.append({4650000, 7, 1, 128}, sweep, &error));
        QCOMPARE(recorder.sweepsRecorded(), 2);
        // The lines are on disk before the recording stops.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 3);
        QVERIFY(recorder.stop(&error));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> csv = lines(file.readAll());
    QCOMPARE(csv.size(), 3);
    QVERIFY(csv[0].startsWith("utc,center_hz,span_code,peak_hold,bins,bin_0,bin_1,"));
    QVERIFY(csv[0].endsWith(",bin_1023"));
    QCOMPARE(csv[0].count(','), 1028);
    QVERIFY(csv[1].startsWith("2024-05-01T12:00:00.123Z,4650000,7,,128,2,2,"));
    const QList<QByteArray> fields = csv[1].split(',');
    QCOMPARE(fields.size(), 1029);
    QCOMPARE(fields[5 + 127], QByteArray("2"));
    QVERIFY(fields[5 + 128].isEmpty());
    QVERIFY(csv[2].startsWith("2024-05-01T12:00:01.123Z,4650000,7,1,128,15,2,"));

    const QImage image(ScopeHistoryRecorder::imagePathFor(path));
    QCOMPARE(image.size(), QSize(1024, 2));
    QCOMPARE(image.pixel(0, 0), QColor::fromHsvF(0.0, 0.82, 1.0).rgb()); // newest on top: 15
    QCOMPARE(image.pixel(0, 1), QColor::fromHsvF(0.62, 0.82, 0.82).rgb());
    QCOMPARE(image.pixel(500, 0), QColor(QStringLiteral("#121a23")).rgb());
}

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
