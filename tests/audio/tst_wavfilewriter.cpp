#include "wavfilewriter.h"
#include "wavreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Result = WavFileWriter::WriteResult;

// Runs body in a child process that may not grow any file beyond limit bytes. SIGXFSZ is
// ignored there, so a write past the limit fails with EFBIG, part-way through when it
// straddles the limit, just as a write meets a full disk. Returns body's result, or -1 when
// the child did not exit normally.
template <typename F> int inChildWithFileLimit(rlim_t limit, F body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{limit, limit};
        _exit(::setrlimit(RLIMIT_FSIZE, &fileSize) == 0 ? body() : 99);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void lowerFileLimit(rlim_t limit)
{
    const rlimit fileSize{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
        QVERIFY(w.write(block.data(), 1000, 2, 1) == WavFileWriter::WriteResult::Stopped);
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
        QVERIFY(w.write(block.data(), 1, 1, 0) == WavFileWriter::WriteResult::Stopped);
        QCOMPARE(w.dataBytes(), 4000u);
    }

    void fullDiskCutsBackToLastWholeBlock_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("channel");
        // Blocks of 1000 frames are 2000 bytes; the third block does not fit.
        QTest::newRow("third block half written") << 5000 << 1 << 0;
        QTest::newRow("third block refused whole") << 4000 << 1 << 0;
        QTest::newRow("right channel of stereo") << 5998 << 2 << 1;
    }
    void fullDiskCutsBackToLastWholeBlock()
    {
        QFETCH(int, room);
        QFETCH(int, channels);
        QFETCH(int, channel);
        QTemporaryDir dir;
        const QString path = dir.filePath("full.wav");
        std::vector<qint16> block(static_cast<size_t>(1000 * channels));
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<qint16>(i * 31 + 7);
        const int status = inChildWithFileLimit(WavFileWriter::headerBytes + room, [&] {
            WavFileWriter w;
            if (!w.open(path, 48000))
                return 1;
            for (int k = 0; k < 2; ++k) {
                if (w.write(block.data(), 1000, channels, channel) != Result::Written)
                    return 2;
            }
            if (w.write(block.data(), 1000, channels, channel) != Result::Stopped)
                return 3;
            return w.isOpen() || w.dataBytes() != 4000 ? 4 : 0;
        });
        QCOMPARE(status, 0);

        const QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), WavFileWriter::headerBytes + 4000);
        QCOMPARE(bytes.left(44), WavFileWriter::header(4000, 48000));
        for (int i = 0; i < 2000; ++i) {
            const qint16 expected = block[static_cast<size_t>((i % 1000) * channels + channel)];
            QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 44 + 2 * i), expected);
        }
    }

    void finalizeFailureIsReported_data()
    {
        QTest::addColumn<bool>("byWrite");
        QTest::newRow("stopped by a failed write") << true;
        QTest::newRow("stopped by the user") << false;
    }
    void finalizeFailureIsReported()
    {
        // Once the file may not even keep its own size, neither the cut nor the header
        // rewrite can succeed.
        QFETCH(bool, byWrite);
        QTemporaryDir dir;
        const QString path = dir.filePath("broken.wav");
        const std::vector<qint16> block(1000, 5);
        const int status = inChildWithFileLimit(RLIM_INFINITY, [&] {
            WavFileWriter w;
            if (!w.open(path, 48000) || w.write(block.data(), 1000, 1, 0) != Result::Written)
                return 1;
            lowerFileLimit(10);
            if (byWrite)
                return w.write(block.data(), 1000, 1, 0) == Result::StoppedUnfinalized ? 0 : 2;
            return !w.finalize() && !w.isOpen() ? 0 : 3;
        });
        QCOMPARE(status, 0);
    }

    void sizesReachTheDiskWhileRecording()
    {
        // At 8000 Hz the sizes are refreshed every 8000 bytes (half a second); a file left
        // unfinalised, as by a crash, reads as what the last refresh listed.
        QTemporaryDir dir;
        const QString path = dir.filePath("live.wav");
        const std::vector<qint16> block(1000, -3);
        WavFileWriter w;
        QVERIFY(w.open(path, 8000));
        const QList<quint32> listedAfterBlock{0, 0, 0, 8000, 8000, 8000, 8000, 16000};
        for (quint32 listed : listedAfterBlock) {
            QVERIFY(w.write(block.data(), 1000, 1, 0) == Result::Written);
            const QByteArray bytes = fileBytes(path);
            QCOMPARE(bytes.size(), int(44 + w.dataBytes()));
            QCOMPARE(u32(bytes, 40), listed);
            QCOMPARE(u32(bytes, 4), listed + 36);
        }
        w.write(block.data(), 1000, 1, 0);
        NativeWav::WavReader reader;
        reader.open(QFile::encodeName(path).toStdString());
        QCOMPARE(reader.frameCount(), std::uint64_t(8000));
        QVERIFY(w.finalize());
        QCOMPARE(fileBytes(path).left(44), WavFileWriter::header(18000, 8000));
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
