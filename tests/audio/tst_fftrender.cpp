// corvin-dsp fft-render as a user runs it on a live FFT archive: the picture's columns are the
// bins in range, its rows the frames (merged by per-bin maximum when there are too many), its
// colours the waterfall's; the JSON summary describes the archive; exit codes 0, 1 and 2.

#include "fftarchive.h"
#include "waterfallmap.h"

#include <QtTest>

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Nine bins of 100 Hz from 0 Hz; frame f has bin b at -100 + 10 (b + f) dBFS, capped at 0.
constexpr int binCount = 9;
double level(int frame, int bin)
{
    return std::min(0.0, -100.0 + 10.0 * (bin + frame));
}

QByteArray archive(int frames, bool withEnd)
{
    const QDateTime start(QDate(2026, 3, 5), QTime(20, 0), Qt::UTC);
    QByteArray text = FftArchive::startLine(binCount, 0.0, 100.0, start);
    for (int f = 0; f < frames; ++f) {
        QVector<double> magnitudes(binCount);
        for (int b = 0; b < binCount; ++b)
            magnitudes[b] = level(f, b);
        text += FftArchive::frameLine(FftArchive::encodeFrame(magnitudes), 4625000,
                                      start.addMSecs(85 * f));
    }
    text += "not a record\n";
    if (withEnd)
        text += FftArchive::endLine(frames, start.addSecs(60));
    return text;
}

} // namespace

class TestFftRender : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QJsonObject summary;
        QByteArray err;
    };

    Run run(const QStringList &arguments)
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("CORVIN_DSP_TOOL"), QStringList{"fft-render"} + arguments);
        if (!tool.waitForFinished(60000))
            return {};
        return {tool.exitCode(), QJsonDocument::fromJson(tool.readAllStandardOutput()).object(),
                tool.readAllStandardError()};
    }

    QString write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    QTemporaryDir m_dir;

private slots:
    void picture_data();
    void picture();
    void withoutFramesExitsOne();
    void wrongCommandLines_data();
    void wrongCommandLines();
};

void TestFftRender::picture_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("firstBin");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("framesPerRow");
    QTest::addColumn<int>("floor");
    QTest::addColumn<int>("ceiling");
    QTest::addColumn<int>("palette");
    QTest::newRow("defaults") << QStringList{} << 0 << 9 << 1 << -90 << -20 << 0;
    QTest::newRow("range by bin centres")
        << QStringList{"--low", "150", "--high", "600"} << 2 << 5 << 1 << -90 << -20 << 0;
    QTest::newRow("merged rows, levels, palette")
        << QStringList{"--max-rows", "3", "--floor", "-80", "--ceiling", "-30", "--palette", "3"}
        << 0 << 9 << 4 << -80 << -30 << 3;
    QTest::newRow("palette clamped")
        << QStringList{"--palette", "9"} << 0 << 9 << 1 << -90 << -20 << 4;
}

void TestFftRender::picture()
{
    QFETCH(QStringList, options);
    QFETCH(int, firstBin);
    QFETCH(int, columns);
    QFETCH(int, framesPerRow);
    QFETCH(int, floor);
    QFETCH(int, ceiling);
    QFETCH(int, palette);
    constexpr int frames = 10;
    const QString path = write("session.jsonl", archive(frames, true));
    const QString png = m_dir.filePath("session.png");
    QFile::remove(png);
    const Run result = run(QStringList{path, "--png", png} + options);
    QVERIFY2(result.exitCode == 0, result.err.constData());

    QCOMPARE(result.summary.value("frames").toInt(), frames);
    QCOMPARE(result.summary.value("skipped_lines").toInt(), 1);
    QCOMPARE(result.summary.value("bins").toInt(), binCount);
    QCOMPARE(result.summary.value("bin_width_hz").toDouble(), 100.0);
    QCOMPARE(result.summary.value("first_utc").toString(),
             QStringLiteral("2026-03-05T20:00:00.000Z"));
    QCOMPARE(result.summary.value("last_utc").toString(),
             QStringLiteral("2026-03-05T20:00:00.765Z"));
    QCOMPARE(result.summary.value("fft_end_seen").toBool(), true);
    QCOMPARE(result.summary.value("low_hz").toDouble(), 100.0 * firstBin);

    QImage image(png);
    QCOMPARE(image.width(), columns);
    const int rows = (frames + framesPerRow - 1) / framesPerRow;
    QCOMPARE(image.height(), rows);
    const WaterfallMap::Lookup lookup = WaterfallMap::lookup(palette);
    for (int row = 0; row < rows; ++row) {
        // Levels rise with the frame, so a merged row shows its last frame.
        const int frame = std::min(frames, (row + 1) * framesPerRow) - 1;
        for (int c = 0; c < columns; ++c) {
            const int index = WaterfallMap::colourIndex(level(frame, firstBin + c), floor, ceiling);
            QVERIFY2(image.pixel(c, row) == lookup[size_t(index)],
                     qPrintable(QStringLiteral("row %1 column %2").arg(row).arg(c)));
        }
    }
}

void TestFftRender::withoutFramesExitsOne()
{
    const QString path = write("empty.jsonl", archive(0, false));
    const QString png = m_dir.filePath("empty.png");
    const Run result = run({path, "--png", png});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.summary.value("frames").toInt(-1), 0);
    QCOMPARE(result.summary.value("fft_end_seen").toBool(true), false);
    QVERIFY(result.err.startsWith("error: "));
    QVERIFY(!QFile::exists(png));
    QCOMPARE(run({m_dir.filePath("absent.jsonl"), "--png", png}).exitCode, 1);
}

void TestFftRender::wrongCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no picture") << QStringList{"a.jsonl"};
    QTest::newRow("no archive") << QStringList{"--png", "a.png"};
    QTest::newRow("two archives") << QStringList{"a.jsonl", "b.jsonl", "--png", "a.png"};
    QTest::newRow("floor at ceiling")
        << QStringList{"a.jsonl", "--png", "a.png", "--floor", "-20", "--ceiling", "-20"};
    QTest::newRow("low above high")
        << QStringList{"a.jsonl", "--png", "a.png", "--low", "500", "--high", "100"};
    QTest::newRow("no rows") << QStringList{"a.jsonl", "--png", "a.png", "--max-rows", "0"};
    QTest::newRow("not a number") << QStringList{"a.jsonl", "--png", "a.png", "--low", "x"};
    QTest::newRow("unknown option") << QStringList{"a.jsonl", "--png", "a.png", "--gain", "3"};
    QTest::newRow("missing value") << QStringList{"a.jsonl", "--png"};
}

void TestFftRender::wrongCommandLines()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.err.contains("fft-render"));
}

QTEST_MAIN(TestFftRender)
#include "tst_fftrender.moc"
