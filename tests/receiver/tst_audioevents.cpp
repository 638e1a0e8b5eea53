// The simulator's anomalies on demand: the event commands, their start at an exact sample of the
// audio stream (scheduled) or at the next sample rendered (injected), what they sound like, and
// the control FIFO that takes them one a line.

#include "audioevents.h"
#include "controlreader.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

class TestAudioEvents : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void scheduledEventStartsAtItsSample();
    void injectedEventStartsAtTheNextSample();
    void sounds_data();
    void sounds();
    void controlFifoTakesOneCommandALine();
};

void TestAudioEvents::parse_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("error"); // a part of the message, empty for a good command
    QTest::newRow("burst") << "burst 2 -20"
                           << "";
    QTest::newRow("tone, extra spaces, capitals") << "  Tone  1000 5   -6 "
                                                  << "";
    QTest::newRow("pulses") << "pulses 1000 200 10"
                            << "";
    QTest::newRow("sweep") << "sweep 500 3000 8.5"
                           << "";
    QTest::newRow("silence") << "silence 3"
                             << "";
    QTest::newRow("unknown") << "chirp 3"
                             << "unknown audio event";
    QTest::newRow("too few numbers") << "tone 1000 5"
                                     << "expected tone HZ S DBFS";
    QTest::newRow("too many numbers") << "silence 3 4"
                                      << "expected silence S";
    QTest::newRow("not a number") << "burst two -20"
                                  << "expected burst S DB";
    QTest::newRow("zero seconds") << "silence 0"
                                  << "positive seconds";
    QTest::newRow("zero period") << "pulses 1000 0 10"
                                 << "expected pulses HZ MS S";
    QTest::newRow("infinite") << "tone inf 1 -6"
                              << "expected tone";
    QTest::newRow("empty") << ""
                           << "unknown audio event";
}

void TestAudioEvents::parse()
{
    QFETCH(QString, command);
    QFETCH(QString, error);
    AudioEvents::Event event;
    QString message;
    QCOMPARE(AudioEvents::parse(command, &event, &message), error.isEmpty());
    QVERIFY2(message.contains(error), qPrintable(message));
    if (error.isEmpty())
        QCOMPARE(event.command, command.simplified());
}

void TestAudioEvents::scheduledEventStartsAtItsSample()
{
    QStringList log;
    AudioEvents events(8000, [&log](const QString &line) { log << line; });
    AudioEvents::Event tone;
    QVERIFY(AudioEvents::parse("tone 2000 0.01 0", &tone, nullptr));
    events.schedule(tone, 1234); // inside the second block
    std::vector<float> audio(3 * 1000, 0.0f);
    for (int block = 0; block < 3; ++block)
        events.mix(audio.data() + block * 1000, 1000, block * 1000);
    // 2 kHz at 8 kHz: 0, 1, 0, -1, ... from sample 1234 for 80 samples.
    QCOMPARE(audio[1233], 0.0f);
    QVERIFY(std::abs(audio[1235] - 1.0f) < 1e-6f);
    QVERIFY(std::abs(audio[1237] + 1.0f) < 1e-6f);
    QVERIFY(std::abs(audio[1234 + 79] + 1.0f) < 1e-6f);
    QCOMPARE(audio[1234 + 81], 0.0f);
    QCOMPARE(log, QStringList{"audio event \"tone 2000 0.01 0\" starts at sample 1234 (0.154 s)"});
}

void TestAudioEvents::injectedEventStartsAtTheNextSample()
{
    QStringList log;
    AudioEvents events(8000, [&log](const QString &line) { log << line; });
    std::vector<float> audio(1000, 0.5f);
    events.mix(audio.data(), 500, 0);
    AudioEvents::Event silence;
    QVERIFY(AudioEvents::parse("silence 0.02", &silence, nullptr));
    events.inject(silence);
    events.mix(audio.data() + 500, 500, 500);
    QCOMPARE(audio[499], 0.5f);
    QCOMPARE(audio[500], 0.0f);
    QCOMPARE(audio[659], 0.0f);
    QCOMPARE(audio[660], 0.5f);
    QCOMPARE(log.size(), 1);
    QVERIFY(log.first().endsWith("starts at sample 500 (0.063 s)"));
}

void TestAudioEvents::sounds_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<double>("rms");       // over the event, full scale 1
    QTest::addColumn<double>("keyedPart"); // share of samples above 1e-3
    QTest::newRow("noise burst at -20 dBFS") << "burst 1 -20" << 0.1 << 1.0;
    QTest::newRow("tone at -6 dBFS") << "tone 1000 1 -6" << 0.5012 / std::sqrt(2.0) << 1.0;
    QTest::newRow("pulses keyed half the time") << "pulses 1000 200 1" << 0.2512 / 2.0 << 0.5;
    QTest::newRow("sweep at -12 dBFS") << "sweep 300 3000 1" << 0.2512 / std::sqrt(2.0) << 1.0;
}

void TestAudioEvents::sounds()
{
    QFETCH(QString, command);
    QFETCH(double, rms);
    QFETCH(double, keyedPart);
    const int rate = 48000;
    AudioEvents events(rate, [](const QString &) {});
    AudioEvents::Event event;
    QVERIFY(AudioEvents::parse(command, &event, nullptr));
    events.schedule(event, 0);
    std::vector<float> audio(rate, 0.0f);
    events.mix(audio.data(), rate, 0);
    double energy = 0.0;
    int keyed = 0;
    for (float s : audio) {
        energy += double(s) * double(s);
        keyed += std::abs(s) > 1e-3f ? 1 : 0;
    }
    QVERIFY2(std::abs(std::sqrt(energy / rate) - rms) < 0.02 * rms,
             qPrintable(QString::number(std::sqrt(energy / rate))));
    // Zero crossings of the tones count as silent samples: a few per cent.
    QVERIFY2(std::abs(double(keyed) / rate - keyedPart) < 0.05, qPrintable(QString::number(keyed)));
}

void TestAudioEvents::controlFifoTakesOneCommandALine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("control");
    QStringList lines;
    ControlReader reader(path, [&lines](const QString &line) { lines << line; });
    QString error;
    QVERIFY2(reader.start(&error), qPrintable(error));
    // Two writers one after the other, a line split across writes, a blank line.
    for (const QByteArray &piece : {QByteArray("tone 1000 5 -6\n\nsil"), QByteArray("ence 2\n")}) {
        const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, piece.constData(), static_cast<size_t>(piece.size())),
                 ssize_t(piece.size()));
        ::close(fd);
        QTest::qWait(150);
    }
    QTRY_COMPARE(lines, (QStringList{"tone 1000 5 -6", "silence 2"}));
    reader.stop();

    // Something that is not a FIFO is refused.
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    ControlReader refused(plain.fileName(), [](const QString &) {});
    QVERIFY(!refused.start(&error));
    QVERIFY(error.contains("is not a FIFO"));
}

QTEST_GUILESS_MAIN(TestAudioEvents)
#include "tst_audioevents.moc"
