// The WAV reader on files built byte by byte: every container and sample format, the header
// walk's corner cases, every refusal, what is not a regular file, file names, block reads and
// 64-bit offsets.

#include "wavimage.h"
#include "wavreader.h"

#include <QtTest>

#include <QTemporaryDir>

#include <cmath>
#include <future>
#include <limits>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using WavFixture::Bytes;
using WavFixture::WavImage;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::vector<double>)

class TestWavReader : public QObject
{
    Q_OBJECT

public:
    // Writes the image to a fresh file and returns its path.
    std::string store(const Bytes &bytes)
    {
        const QString path = m_dir.filePath(QString("file%1.wav").arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    // The reader's message for the image, or an empty string when it opens.
    QString openError(const Bytes &bytes)
    {
        NativeWav::WavReader reader;
        try {
            reader.open(store(bytes));
        } catch (const std::runtime_error &error) {
            return error.what();
        }
        return {};
    }

private:
    QTemporaryDir m_dir;
    int m_files = 0;

private slots:
    void samples_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("validBits");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<std::vector<double>>("expected");

        QTest::newRow("8-bit unsigned")
            << WavImage().format(1, 1, 8000, 8).data({0x00, 0xFF, 0x80, 0x7F}).bytes() << 8 << 8
            << false << false << std::vector<double>{-1.0, 0.9921875, 0.0, -1.0 / 128};
        QTest::newRow("16-bit RIFF")
            << WavImage().format(1, 1, 8000, 16).data({0x00, 0x80, 0xFF, 0x7F}).bytes() << 16 << 16
            << false << false << std::vector<double>{-1.0, 32767.0 / 32768};
        QTest::newRow("16-bit RIFX")
            << WavImage("RIFX").format(1, 1, 8000, 16).data({0x80, 0x00, 0x7F, 0xFF}).bytes() << 16
            << 16 << false << true << std::vector<double>{-1.0, 32767.0 / 32768};
        QTest::newRow("24-bit RIFF")
            << WavImage().format(1, 1, 8000, 24).data({0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F}).bytes()
            << 24 << 24 << false << false << std::vector<double>{-1.0, 8388607.0 / 8388608};
        QTest::newRow("24-bit RIFX")
            << WavImage("RIFX").format(1, 1, 8000, 24).data({0xFF, 0xFF, 0xFF, 0x40, 0, 0}).bytes()
            << 24 << 24 << false << true << std::vector<double>{-1.0 / 8388608, 0.5};
        QTest::newRow("32-bit RIFF")
            << WavImage().format(1, 1, 8000, 32).data({0, 0, 0, 0x80, 0, 0, 0, 0xC0}).bytes() << 32
            << 32 << false << false << std::vector<double>{-1.0, -0.5};
        QTest::newRow("32-bit RIFX")
            << WavImage("RIFX")
                   .format(1, 1, 8000, 32)
                   .data({0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1})
                   .bytes()
            << 32 << 32 << false << true
            << std::vector<double>{2147483647.0 / 2147483648.0, 1.0 / 2147483648.0};
        QTest::newRow("float 32 RIFF")
            << WavImage().format(3, 1, 8000, 32).data({0, 0, 0, 0x3F, 0, 0, 0x80, 0xBE}).bytes()
            << 32 << 32 << true << false << std::vector<double>{0.5, -0.25};
        QTest::newRow("float 32 RIFX, beyond full scale")
            << WavImage("RIFX")
                   .format(3, 1, 8000, 32)
                   .data({0x40, 0, 0, 0, 0xBF, 0x80, 0, 0})
                   .bytes()
            << 32 << 32 << true << true << std::vector<double>{2.0, -1.0};
        QTest::newRow("float 64 RIFF")
            << WavImage()
                   .format(3, 1, 8000, 64)
                   .data({0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0, 0, 0, 0, 0, 0, 0xF0, 0xBF})
                   .bytes()
            << 64 << 64 << true << false << std::vector<double>{0.5, -1.0};
        QTest::newRow("float 64 RIFX")
            << WavImage("RIFX")
                   .format(3, 1, 8000, 64)
                   .data({0x3F, 0xD0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                   .bytes()
            << 64 << 64 << true << true << std::vector<double>{0.25, 0.0};
        QTest::newRow("extensible 24-bit with 20 valid bits")
            << WavImage()
                   .extensible(1, 8000, 24, 20, 1)
                   .data({0x00, 0x00, 0x80, 0x10, 0, 0})
                   .bytes()
            << 24 << 20 << false << false << std::vector<double>{-1.0, 16.0 / 8388608};
        QTest::newRow("extensible valid bits 0 means full width")
            << WavImage().extensible(1, 8000, 16, 0, 1).data({0x00, 0x40, 0x00, 0xC0}).bytes() << 16
            << 16 << false << false << std::vector<double>{0.5, -0.5};
        QTest::newRow("extensible float RIFX")
            << WavImage("RIFX")
                   .extensible(1, 8000, 32, 32, 3)
                   .data({0x3F, 0x80, 0, 0, 0, 0, 0, 0})
                   .bytes()
            << 32 << 32 << true << true << std::vector<double>{1.0, 0.0};
        QTest::newRow("RF64 with ds64")
            << WavImage("RF64")
                   .ds64(4)
                   .format(1, 1, 8000, 16)
                   .chunk("data", {0x00, 0x40, 0x00, 0xC0}, 0xFFFFFFFF, true)
                   .bytes()
            << 16 << 16 << false << false << std::vector<double>{0.5, -0.5};
        QTest::newRow("RF64 with a true 32-bit size")
            << WavImage("RF64").format(1, 1, 8000, 16).data({0x00, 0x40, 0x00, 0xC0}).bytes() << 16
            << 16 << false << false << std::vector<double>{0.5, -0.5};
        QTest::newRow("data before fmt, no whole-frame check")
            << WavImage().data({0x00, 0x40, 0x00, 0xC0, 0x11}).format(1, 1, 8000, 16).bytes() << 16
            << 16 << false << false << std::vector<double>{0.5, -0.5};
        QTest::newRow("odd unknown chunk and short ds64 skipped")
            << WavImage()
                   .chunk("LIST", {1, 2, 3})
                   .chunk("ds64", {9, 9})
                   .format(1, 1, 8000, 16)
                   .data({0x00, 0x40, 0x00, 0xC0})
                   .bytes()
            << 16 << 16 << false << false << std::vector<double>{0.5, -0.5};
        for (std::size_t size : {18u, 65536u}) {
            WavImage image;
            Bytes body = image.formatBody(1, 1, 8000, 2, 16);
            body.resize(size, 0);
            QTest::addRow("fmt of %d bytes", int(size))
                << image.chunk("fmt ", body).data({0x00, 0x40, 0x00, 0xC0}).bytes() << 16 << 16
                << false << false << std::vector<double>{0.5, -0.5};
        }
    }
    void samples()
    {
        QFETCH(Bytes, file);
        QFETCH(int, bits);
        QFETCH(int, validBits);
        QFETCH(bool, isFloat);
        QFETCH(bool, bigEndian);
        QFETCH(std::vector<double>, expected);
        NativeWav::WavReader reader;
        reader.open(store(file));
        QCOMPARE(reader.bitsPerSample(), bits);
        QCOMPARE(reader.validBits(), validBits);
        QCOMPARE(reader.isFloat(), isFloat);
        QCOMPARE(reader.bigEndian(), bigEndian);
        QCOMPARE(reader.sampleRate(), 8000);
        QCOMPARE(reader.channels(), std::uint16_t(1));
        QCOMPARE(reader.frameCount(), static_cast<std::uint64_t>(expected.size()));
        QCOMPARE(reader.fullScale(), std::ldexp(1.0, bits - 1));
        QCOMPARE(reader.clipLevel(), isFloat ? 1.0 : 1.0 - 1.0 / reader.fullScale());
        QCOMPARE(reader.readInterleaved(0, 100), expected);
    }

    void refusals_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<QString>("message");
        const Bytes two16 = {0, 0, 0, 0};
        WavImage riff;
        QTest::newRow("empty file") << Bytes{} << "Invalid WAV header";
        QTest::newRow("eleven bytes")
            << Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'} << "Invalid WAV header";
        QTest::newRow("FORM container")
            << WavImage("FORM").format(1, 1, 8000, 16).data(two16).bytes()
            << "Only RIFF, RIFX and RF64 WAV are supported";
        QTest::newRow("not WAVE") << Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}
                                  << "Not a WAVE file";
        QTest::newRow("no chunks") << WavImage().bytes() << "WAV fmt/data chunks missing";
        QTest::newRow("no data") << WavImage().format(1, 1, 8000, 16).bytes()
                                 << "WAV fmt/data chunks missing";
        QTest::newRow("no fmt") << WavImage().data(two16).bytes() << "WAV fmt/data chunks missing";
        QTest::newRow("cut ds64") << WavImage("RF64").chunk("ds64", Bytes(20, 0), 28, false).bytes()
                                  << "Bad RF64 ds64 chunk";
        QTest::newRow("fmt of 15 bytes")
            << WavImage().chunk("fmt ", Bytes(15, 0)).data(two16).bytes()
            << "Unsupported WAV fmt chunk";
        QTest::newRow("fmt of 65537 bytes")
            << WavImage().chunk("fmt ", Bytes(65537, 0)).data(two16).bytes()
            << "Unsupported WAV fmt chunk";
        QTest::newRow("cut fmt") << WavImage().chunk("fmt ", Bytes(10, 0), 16, false).bytes()
                                 << "Truncated WAV fmt chunk";
        QTest::newRow("short extensible")
            << WavImage().chunk("fmt ", riff.formatBody(0xFFFE, 1, 8000, 2, 16)).data(two16).bytes()
            << "Truncated extensible WAV format";
        QTest::newRow("valid bits above width")
            << WavImage().extensible(1, 8000, 16, 17, 1).data(two16).bytes()
            << "Invalid WAV extensible valid bits";
        QTest::newRow("ADPCM tag") << WavImage().format(2, 1, 8000, 16).data(two16).bytes()
                                   << "WAV codec is not PCM/IEEE float";
        QTest::newRow("A-law sub-format")
            << WavImage().extensible(1, 8000, 16, 16, 6).data(two16).bytes()
            << "WAV codec is not PCM/IEEE float";
        QTest::newRow("padded float")
            << WavImage().extensible(1, 8000, 32, 24, 3).data(Bytes(8, 0)).bytes()
            << "Unsupported padded float WAV";
        QTest::newRow("no channels")
            << WavImage().chunk("fmt ", riff.formatBody(1, 0, 8000, 2, 16)).data(two16).bytes()
            << "Invalid WAV channels/sample rate";
        QTest::newRow("65 channels")
            << WavImage().format(1, 65, 8000, 16).data(Bytes(260, 0)).bytes()
            << "Invalid WAV channels/sample rate";
        QTest::newRow("rate 0") << WavImage().format(1, 1, 0, 16).data(two16).bytes()
                                << "Invalid WAV channels/sample rate";
        QTest::newRow("rate 1000001") << WavImage().format(1, 1, 1000001, 16).data(two16).bytes()
                                      << "Invalid WAV channels/sample rate";
        QTest::newRow("PCM 12 bits") << WavImage().format(1, 1, 8000, 12).data(two16).bytes()
                                     << "Unsupported PCM sample precision";
        QTest::newRow("PCM 64 bits") << WavImage().format(1, 1, 8000, 64).data(Bytes(16, 0)).bytes()
                                     << "Unsupported PCM sample precision";
        QTest::newRow("float 16 bits") << WavImage().format(3, 1, 8000, 16).data(two16).bytes()
                                       << "Unsupported PCM sample precision";
        QTest::newRow("block align")
            << WavImage().chunk("fmt ", riff.formatBody(1, 2, 8000, 2, 16)).data(two16).bytes()
            << "Unsupported WAV block alignment";
        QTest::newRow("data past the end")
            << WavImage().format(1, 1, 8000, 16).chunk("data", Bytes(8, 0), 10, false).bytes()
            << "Truncated WAV data";
        QTest::newRow("RF64 placeholder without ds64")
            << WavImage("RF64")
                   .format(1, 1, 8000, 16)
                   .chunk("data", two16, 0xFFFFFFFF, false)
                   .bytes()
            << "Truncated WAV data";
        QTest::newRow("half a frame")
            << WavImage().format(1, 2, 8000, 16).data(Bytes(10, 0)).bytes()
            << "Incomplete WAV frame";
        QTest::newRow("chunk past the end") << WavImage()
                                                   .chunk("LIST", Bytes(4, 0), 400, false)
                                                   .format(1, 1, 8000, 16)
                                                   .data(two16)
                                                   .bytes()
                                            << "Invalid WAV chunk size";
        QTest::newRow("odd last chunk without its pad byte")
            << WavImage().format(1, 1, 8000, 16).chunk("junk", {1}, 1, false).bytes()
            << "Invalid WAV chunk size";
        QTest::newRow("one frame")
            << WavImage().format(1, 1, 8000, 16).data({0, 0}).bytes() << "WAV has too few samples";
    }
    void refusals()
    {
        QFETCH(Bytes, file);
        QFETCH(QString, message);
        QCOMPARE(openError(file), message);
    }

    // Only a regular file opens. A named pipe fails at once instead of waiting for a writer;
    // should it wait, a writer is attached so the test ends, and the wait is the failure.
    void onlyRegularFilesOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        const QString refused = "Cannot open WAV file";
        QTest::newRow("missing file") << m_dir.filePath("absent.wav") << refused;
        QTest::newRow("directory") << m_dir.path() << refused;
        QTest::newRow("named pipe") << m_dir.filePath("pipe.wav") << refused;
        QTest::newRow("character device") << "/dev/null" << refused;
        QTest::newRow("link to a recording") << m_dir.filePath("link.wav") << QString();
    }
    void onlyRegularFilesOpen()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        const std::string pipe = m_dir.filePath("pipe.wav").toStdString();
        if (!QFileInfo::exists(QString::fromStdString(pipe)))
            QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
        const QString link = m_dir.filePath("link.wav");
        if (!QFileInfo(link).isSymLink())
            QVERIFY(QFile::link(QString::fromStdString(store(
                                    WavImage().format(1, 1, 8000, 16).data({0, 0, 0, 0}).bytes())),
                                link));

        std::future<QString> opened = std::async(std::launch::async, [path] {
            NativeWav::WavReader reader;
            try {
                reader.open(path.toStdString());
            } catch (const std::runtime_error &error) {
                return QString(error.what());
            }
            return QString();
        });
        if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            ::close(writer);
            opened.wait();
            QFAIL("the reader waited for a writer");
        }
        QCOMPARE(opened.get(), message);
    }

    // Names are bytes: one that is not valid UTF-8 opens as well as any other.
    void namesInAnyEncodingOpen_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("UTF-8") << QByteArray("registrazione \xc3\xa8 \xd0\xb6.wav");
        QTest::newRow("Latin-1") << QByteArray("registrazione \xe8.wav");
        QTest::newRow("stray bytes") << QByteArray("rec-\xff\xfe\x80.wav");
    }
    void namesInAnyEncodingOpen()
    {
        QFETCH(QByteArray, name);
        const std::string path =
            QFile::encodeName(m_dir.path()).toStdString() + '/' + name.toStdString();
        QVERIFY(WavImage().format(1, 1, 8000, 16).data({0, 0x40, 0, 0}).writeTo(path));
        NativeWav::WavReader reader;
        reader.open(path);
        QCOMPARE(reader.readChannel(0, 2, 0), (std::vector<double>{0.5, 0.0}));
    }

    void blockReads()
    {
        // Three channels of 16-bit samples valued frame * 10 + channel.
        Bytes samples;
        WavImage image;
        for (int frame = 0; frame < 5; ++frame)
            for (int channel = 0; channel < 3; ++channel)
                image.put16(samples, static_cast<std::uint16_t>(frame * 10 + channel));
        NativeWav::WavReader reader;
        reader.open(store(image.format(1, 3, 22050, 16).data(samples).bytes()));
        QCOMPARE(reader.blockAlign(), 6u);
        QCOMPARE(reader.dataOffset(), std::int64_t(44));
        const double s = 1.0 / 32768;
        QCOMPARE(reader.readInterleaved(3, 1), (std::vector<double>{30 * s, 31 * s, 32 * s}));
        QCOMPARE(reader.readInterleaved(4, 9).size(), std::size_t(3)); // clipped to the file
        QVERIFY(reader.readInterleaved(5, 1).empty());
        QVERIFY(reader.readInterleaved(1, 0).empty());
        QCOMPARE(reader.readChannel(1, 3, 2), (std::vector<double>{12 * s, 22 * s, 32 * s}));
        QCOMPARE(reader.readChannel(0, 99, 0).size(), std::size_t(5));
        for (int channel : {-1, 3}) {
            try {
                reader.readChannel(0, 1, channel);
                QFAIL("accepted");
            } catch (const std::runtime_error &error) {
                QCOMPARE(QString(error.what()), QString("Invalid WAV channel"));
            }
        }
        try {
            reader.readInterleaved(0, std::numeric_limits<std::uint64_t>::max() / 6 + 1);
            QFAIL("accepted");
        } catch (const std::runtime_error &error) {
            QCOMPARE(QString(error.what()), QString("WAV read too large"));
        }
    }

    // One channel of a wide file is read through a bounded buffer, a piece at a time: the
    // samples come out as the interleaved read has them, across the pieces' seams.
    void channelOfManyReadsPieceByPiece()
    {
        const int channels = 64;
        const int frames = 20000; // 2.4 MiB of 16-bit frames
        Bytes samples;
        WavImage image;
        for (int frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel)
                image.put16(samples, static_cast<std::uint16_t>(frame * 3 + channel * 7));
        NativeWav::WavReader reader;
        reader.open(store(image.format(1, channels, 48000, 16).data(samples).bytes()));
        const std::vector<double> all = reader.readInterleaved(0, frames);
        for (int channel : {0, 37, 63}) {
            const std::vector<double> one = reader.readChannel(5, frames, channel);
            QCOMPARE(one.size(), std::size_t(frames - 5));
            for (std::size_t i = 0; i < one.size(); ++i)
                QCOMPARE(one[i], all[(i + 5) * channels + static_cast<std::size_t>(channel)]);
        }
    }

    void nonFiniteFloatsReadAsZeroAndAreCounted()
    {
        // NaN, +inf, 1.0, -inf as little-endian float 32 in two channels.
        const Bytes samples = {0, 0, 0xC0, 0x7F, 0, 0, 0x80, 0x7F,
                               0, 0, 0x80, 0x3F, 0, 0, 0x80, 0xFF};
        NativeWav::WavReader reader;
        reader.open(store(WavImage().format(3, 2, 8000, 32).data(samples).bytes()));
        std::uint64_t nonFinite = 5;
        QCOMPARE(reader.readInterleaved(0, 2, &nonFinite), (std::vector<double>{0, 0, 1, 0}));
        QCOMPARE(nonFinite, std::uint64_t(8));
        QCOMPARE(reader.readChannel(0, 2, 1), (std::vector<double>{0, 0}));
    }

    void fileShortenedAfterOpenIsAReadError()
    {
        const std::string path =
            store(WavImage().format(1, 1, 8000, 16).data(Bytes(200, 0)).bytes());
        NativeWav::WavReader reader;
        reader.open(path);
        QVERIFY(QFile::resize(QString::fromStdString(path), 100));
        try {
            reader.readInterleaved(0, 100);
            QFAIL("accepted");
        } catch (const std::runtime_error &error) {
            QCOMPARE(QString(error.what()), QString("WAV read error"));
        }
    }

    // An RF64 file of 5 GiB (sparse) whose last frames lie beyond every 32-bit offset.
    void sixtyFourBitOffsets()
    {
        const std::uint64_t dataBytes = 5ull << 30;
        const Bytes header = WavImage("RF64")
                                 .ds64(dataBytes)
                                 .format(1, 2, 48000, 16)
                                 .chunk("data", {}, 0xFFFFFFFF, false)
                                 .bytes();
        const QString path = QString::fromStdString(store(header));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 end = static_cast<qint64>(header.size() + dataBytes);
        if (!file.resize(end))
            QSKIP("the temporary folder cannot hold a sparse 5 GiB file");
        QVERIFY(file.seek(end - 4));
        QCOMPARE(file.write("\x00\x40\x00\xC0", 4), qint64(4));
        file.close();

        NativeWav::WavReader reader;
        reader.open(path.toStdString());
        QCOMPARE(reader.frameCount(), dataBytes / 4);
        QCOMPARE(reader.readInterleaved(reader.frameCount() - 1, 5),
                 (std::vector<double>{0.5, -0.5}));
        QCOMPARE(reader.readChannel(reader.frameCount() - 2, 2, 1),
                 (std::vector<double>{0.0, -0.5}));
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestWavReader)
#include "tst_wavreader.moc"
