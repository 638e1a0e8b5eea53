#include "wavfilewriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

namespace {

quint32 u32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 u16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

class TestWavFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void headerFields()
    {
        const QByteArray h = WavFileWriter::header(144000, 48000);
        QCOMPARE(h.size(), 44);
        QCOMPARE(h.left(4), QByteArray("RIFF"));
        QCOMPARE(u32(h, 4), 144036u);
        QCOMPARE(h.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u32(h, 16), 16u);
        QCOMPARE(u16(h, 20), quint16(1));
        QCOMPARE(u16(h, 22), quint16(1));
        QCOMPARE(u32(h, 24), 48000u);
        QCOMPARE(u32(h, 28), 96000u);
        QCOMPARE(u16(h, 32), quint16(2));
        QCOMPARE(u16(h, 34), quint16(16));
        QCOMPARE(h.mid(36, 4), QByteArray("data"));
        QCOMPARE(u32(h, 40), 144000u);
        QCOMPARE(u32(WavFileWriter::header(WavFileWriter::maxDataBytes, 8000), 4), 0xFFFFFFFFu);
    }

    void writesSelectedChannelAndFinalSizes_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("channel");
        QTest::newRow("mono") << 1 << 0;
        QTest::newRow("stereo left") << 2 << 0;
        QTest::newRow("stereo right") << 2 << 1;
    }
    void writesSelectedChannelAndFinalSizes()
    {
        QFETCH(int, channels);
        QFETCH(int, channel);
        QTemporaryDir dir;
        const QString path = dir.filePath("take.wav");
        std::vector<qint16> block(static_cast<size_t>(1000 * channels));
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<qint16>(int(i % 2 ? -1 : 1) * int(i));
        }
        WavFileWriter w;
        QVERIFY(w.open(path, 48000));
        for (int k = 0; k < 72; ++k) {
            QVERIFY(w.write(block.data(), 1000, channels, channel) ==
                    WavFileWriter::WriteResult::Written);
        }
        QCOMPARE(w.dataBytes(), 144000u);
        QCOMPARE(w.seconds(), qint64(1));
        QVERIFY(w.finalize());
        QVERIFY(!w.isOpen());

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 144044);
        QCOMPARE(bytes.left(44), WavFileWriter::header(144000, 48000));
        for (int i = 0; i < 1000; i += 37) {
            const qint16 expected = block[static_cast<size_t>(i * channels + channel)];
            QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 44 + 2 * i), expected);
        }
    }

    void growthLimitStopsWithValidFile()
    {
        // The same size check as the 32-bit limit, with a limit small enough for a test.
        QTemporaryDir dir;
        const QString path = dir.filePath("limit.wav");
        WavFileWriter w(5000);
        QVERIFY(w.open(path, 8000));
        const std::vector<qint16> block(2 * 1000, 123);
        QVERIFY(w.write(block.data(), 1000, 2, 1) == WavFileWriter::WriteResult::Written);
        QVERIFY(w.write(block.data(), 1000, 2, 1) == WavFileWriter::WriteResult::Written);
        QVERIFY(w.write(block.data(), 1000, 2, 1) == WavFileWriter::WriteResult::LimitReached);
        QVERIFY(!w.isOpen());
        QCOMPARE(w.dataBytes(), 4000u);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), 4044);
        QCOMPARE(u32(bytes, 4), 4036u);
        QCOMPARE(u32(bytes, 40), 4000u);
    }

    void exactLimitIsAccepted()
    {
        QTemporaryDir dir;
        WavFileWriter w(4000);
        QVERIFY(w.open(dir.filePath("exact.wav"), 8000));
        const std::vector<qint16> block(2000, 1);
        QVERIFY(w.write(block.data(), 2000, 1, 0) == WavFileWriter::WriteResult::Written);
        QVERIFY(w.write(block.data(), 1, 1, 0) == WavFileWriter::WriteResult::LimitReached);
        QCOMPARE(w.dataBytes(), 4000u);
    }

    void unwritablePathFailsAndLeavesNothing()
    {
        QTemporaryDir dir;
        WavFileWriter w;
        QVERIFY(!w.open(dir.filePath("missing/folder/take.wav"), 48000));
        QVERIFY(!w.isOpen());
        QVERIFY(w.finalize());
    }
};

QTEST_APPLESS_MAIN(TestWavFileWriter)
#include "tst_wavfilewriter.moc"
