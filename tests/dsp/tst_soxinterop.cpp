// Files written by SoX read back to the samples SoX was given: the reader agrees with another
// program's writer for every format SoX produces (plain and extensible, RIFF and RIFX, with
// the extra chunks SoX adds).

#include "wavreader.h"

#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <random>

class TestSoxInterop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QProcess probe;
        probe.start("sox", {"--version"});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("sox is not installed");
            QSKIP("sox is not installed");
        }
        QVERIFY(m_dir.isValid());
    }

    void readsWhatSoxWrote_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QStringList>("outputOptions");
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("unsigned 8") << "unsigned-integer" << 8 << 1 << QStringList{} << false;
        QTest::newRow("signed 16 stereo") << "signed-integer" << 16 << 2 << QStringList{} << false;
        QTest::newRow("signed 16 RIFX") << "signed-integer" << 16 << 2 << QStringList{"-B"} << true;
        QTest::newRow("signed 16, 3 channels")
            << "signed-integer" << 16 << 3 << QStringList{} << false;
        QTest::newRow("signed 24 extensible")
            << "signed-integer" << 24 << 2 << QStringList{} << false;
        QTest::newRow("signed 24 plain")
            << "signed-integer" << 24 << 1 << QStringList{"-t", "wavpcm"} << false;
        QTest::newRow("signed 24 RIFX") << "signed-integer" << 24 << 1 << QStringList{"-B"} << true;
        QTest::newRow("signed 32") << "signed-integer" << 32 << 2 << QStringList{} << false;
        QTest::newRow("float 32") << "floating-point" << 32 << 2 << QStringList{} << false;
        QTest::newRow("float 32 RIFX") << "floating-point" << 32 << 1 << QStringList{"-B"} << true;
        QTest::newRow("float 64") << "floating-point" << 64 << 1 << QStringList{} << false;
    }
    void readsWhatSoxWrote()
    {
        QFETCH(QString, encoding);
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(QStringList, outputOptions);
        QFETCH(bool, bigEndian);

        // Raw little-endian samples in the output's own encoding, so SoX converts nothing.
        const int frames = 3001;
        const int bytes = bits / 8;
        std::mt19937 generator(static_cast<unsigned>(bits * 10 + channels));
        std::vector<double> expected;
        QByteArray raw;
        for (int i = 0; i < frames * channels; ++i) {
            std::uint64_t word = 0;
            if (encoding == "floating-point") {
                // SoX carries samples as 32-bit integers: multiples of 2^-23 in -1 ... 1 pass
                // through it exactly.
                const double value = std::ldexp(
                    std::uniform_int_distribution<int>(-(1 << 23), (1 << 23) - 1)(generator), -23);
                if (bits == 32) {
                    const float single = static_cast<float>(value);
                    std::uint32_t b;
                    std::memcpy(&b, &single, 4);
                    word = b;
                    expected.push_back(static_cast<double>(single));
                } else {
                    std::memcpy(&word, &value, 8);
                    expected.push_back(value);
                }
            } else {
                const std::int64_t full = std::int64_t(1) << (bits - 1);
                // Include both extremes of the range.
                std::int64_t value =
                    i == 0 ? -full
                    : i == 1
                        ? full - 1
                        : std::uniform_int_distribution<std::int64_t>(-full, full - 1)(generator);
                expected.push_back(static_cast<double>(value) / static_cast<double>(full));
                if (bits == 8)
                    value += 128; // unsigned
                word = static_cast<std::uint64_t>(value);
            }
            for (int b = 0; b < bytes; ++b)
                raw.append(static_cast<char>(word >> (8 * b)));
        }
        const QString rawPath = m_dir.filePath(QString("%1.raw").arg(QTest::currentDataTag()));
        const QString wavPath = m_dir.filePath(QString("%1.wav").arg(QTest::currentDataTag()));
        QFile rawFile(rawPath);
        QVERIFY(rawFile.open(QIODevice::WriteOnly));
        rawFile.write(raw);
        rawFile.close();

        const QStringList format = {"-e", encoding, "-b", QString::number(bits)};
        QStringList arguments =
            QStringList{"-t", "raw", "-r", "11025", "-c", QString::number(channels)} + format +
            QStringList{"-L", rawPath} + outputOptions + format + QStringList{wavPath};
        QProcess sox;
        sox.start("sox", arguments);
        QVERIFY(sox.waitForFinished(60000));
        QVERIFY2(sox.exitCode() == 0, sox.readAllStandardError().constData());

        NativeWav::WavReader reader;
        reader.open(wavPath.toStdString());
        QCOMPARE(reader.sampleRate(), 11025);
        QCOMPARE(int(reader.channels()), channels);
        QCOMPARE(reader.bitsPerSample(), bits);
        QCOMPARE(reader.isFloat(), encoding == "floating-point");
        QCOMPARE(reader.bigEndian(), bigEndian);
        QCOMPARE(reader.frameCount(), std::uint64_t(frames));
        QCOMPARE(reader.readInterleaved(0, frames), expected);
        std::vector<double> last;
        for (int c = 0; c < channels; ++c)
            last.push_back(reader.readChannel(frames - 1, 1, c).at(0));
        QCOMPARE(last, std::vector<double>(expected.end() - channels, expected.end()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSoxInterop)
#include "tst_soxinterop.moc"
