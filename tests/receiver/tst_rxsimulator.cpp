// The simulated receiver itself: band plan files, command interpreter, band-scope frames,
// line pacing, a terminal that vanishes and comes back, audio synthesis and the audio FIFO.
#include "audiofifowriter.h"
#include "audiosynth.h"
#include "driverrig.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray replyText(const QVector<SimReply> &replies)
{
    QByteArray text;
    for (const SimReply &reply : replies)
        text += reply.bytes;
    return text;
}

// Frequency of a tone from its rising zero crossings.
double toneFrequency(const std::vector<float> &samples, int rate)
{
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f)
            ++crossings;
    }
    return crossings * double(rate) / double(samples.size());
}

double rms(const std::vector<float> &samples)
{
    double sum = 0.0;
    for (float s : samples)
        sum += double(s) * double(s);
    return std::sqrt(sum / double(samples.size()));
}

} // namespace

class RxSimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    void bandPlanFile_data();
    void bandPlanFile();
    void interpreter_data();
    void interpreter();
    void autoFollowsBandPlan();
    void scopeFrames_data();
    void scopeFrames();
    void pacedLineTakesWireTime();
    void terminalVanishes_data();
    void terminalVanishes();
    void synthesisedAudio();
    void audioFifoRunsInRealTime();
};

void RxSimulatorTest::bandPlanFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error"); // empty: loads
    QTest::newRow("valid") << QByteArray("band 100000 30000000 USB\n# comment\n"
                                         "station 7100000 LSB 2700 90 speech 40 m net\n"
                                         "station 9420000 2 9000 190 tone\n")
                           << QString();
    QTest::newRow("unknown kind") << QByteArray("station 7100000 LSB 2700 90 music\n") << ":1:";
    QTest::newRow("level above 255")
        << QByteArray("\nstation 7100000 LSB 2700 300 tone\n") << ":2:";
    QTest::newRow("mode AUTO") << QByteArray("band 100000 200000 AUTO\n") << ":1:";
    QTest::newRow("empty band") << QByteArray("band 200000 100000 AM\n") << ":1:";
    QTest::newRow("unknown keyword") << QByteArray("transmitter 1 2 3\n") << ":1:";
}

void RxSimulatorTest::bandPlanFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    BandPlan plan;
    QString message;
    QCOMPARE(BandPlan::loadFile(path, &plan, &message), error.isEmpty());
    if (!error.isEmpty()) {
        QVERIFY2(message.contains(error), qPrintable(message));
        return;
    }
    QCOMPARE(plan.stations().size(), 2);
    QCOMPARE(plan.stations().first().name, QStringLiteral("40 m net"));
    QCOMPARE(plan.modeAt(5000000), 3);
    QCOMPARE(plan.levelAt(9420000), 190);
    QCOMPARE(plan.levelAt(20000000), BandPlan::noiseFloor);
    QVERIFY(!BandPlan::loadFile(dir.filePath(QStringLiteral("missing")), &plan, &message));
}

void RxSimulatorTest::interpreter_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("tune") << QByteArray("RF0007050000") << QByteArray("\r");
    QTest::newRow("tune, 9 digits") << QByteArray("RF007050000") << QByteArray("?\r");
    QTest::newRow("tune below range") << QByteArray("RF0000099900") << QByteArray("?\r");
    QTest::newRow("mode") << QByteArray("MD8") << QByteArray("\r");
    QTest::newRow("mode 9") << QByteArray("MD9") << QByteArray("?\r");
    QTest::newRow("identify") << QByteArray("VR") << QByteArray("VR RXSIM 1.0\r");
    QTest::newRow("standby is silent") << QByteArray("QP") << QByteArray();
    QTest::newRow("scope span") << QByteArray("SW3") << QByteArray();
    QTest::newRow("scope span 8") << QByteArray("SW8") << QByteArray("?\r");
    QTest::newRow("centre in MHz") << QByteArray("CF98.000") << QByteArray();
    QTest::newRow("centre, bad form") << QByteArray("CF98") << QByteArray("?\r");
    QTest::newRow("unknown") << QByteArray("ZZ") << QByteArray("?\r");
}

void RxSimulatorTest::interpreter()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    ReceiverModel model;
    QCOMPARE(replyText(model.handle(command)), reply);
}

void RxSimulatorTest::autoFollowsBandPlan()
{
    ReceiverModel model;
    model.handle("MD2");
    model.handle("RF0098000000");
    QCOMPARE(replyText(model.handle("AU")), QByteArray("AU0 MD2\r"));
    model.handle("AU1");
    QCOMPARE(replyText(model.handle("AU")), QByteArray("AU1 MD0\r"));
    model.handle("RF0014200000");
    QCOMPARE(replyText(model.handle("AU")), QByteArray("AU1 MD3\r"));
    QVERIFY(replyText(model.handle("RX")).startsWith("RX RF0014200000 ST"));
    model.handle("CF0014200000");
    model.handle("MF0014250000");
    model.handle("PH1");
    model.handle("SW5");
    QCOMPARE(replyText(model.handle("AM")), QByteArray("AM CF0014200000 SW5 MF0014250000 PH1\r"));
    model.handle("QP");
    QVERIFY(model.standby());
    QVERIFY(model.handle("VR").isEmpty()); // deaf in standby
}

void RxSimulatorTest::scopeFrames_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("rows");
    QTest::newRow("wide span") << 1 << 32;
    QTest::newRow("narrow span") << 7 << 4;
}

void RxSimulatorTest::scopeFrames()
{
    QFETCH(int, span);
    QFETCH(int, rows);
    ReceiverModel model;
    model.handle("CF0098000000");
    model.handle("SW" + QByteArray::number(span));
    const QVector<SimReply> frame = model.handle("DS");
    QCOMPARE(frame.size(), rows);
    const QRegularExpression row(QStringLiteral("^DS(\\d{4}):([0-9A-F]{32})\\r$"));
    QString codes;
    for (int i = 0; i < rows; ++i) {
        const QRegularExpressionMatch match = row.match(QString::fromLatin1(frame[i].bytes));
        QVERIFY2(match.hasMatch(), frame[i].bytes.constData());
        QCOMPARE(match.captured(1).toInt(), (rows - i) * 32 - 1);
        QVERIFY(frame[i].scope);
        codes += match.captured(2);
    }
    // Bins run from the highest down; the 98 MHz broadcast station sits in the centre bin.
    const int centreBin = rows == 32 ? 512 : 64;
    const int centre = QString(codes[rows * 32 - 1 - centreBin]).toInt(nullptr, 16);
    const int edge = QString(codes[0]).toInt(nullptr, 16);
    QVERIFY2(centre >= 10 && edge + 4 <= centre, qPrintable(codes));
    QVERIFY(!model.scopeStreaming());
}

// 19200 baud 8N2: "VR\r" and "VR RXSIM 1.0\r" take 16 byte times of about 0.57 ms.
void RxSimulatorTest::pacedLineTakesWireTime()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(rig.driver.exchange(QStringLiteral("VR"), "VR", nullptr, nullptr,
                                 Corvindriver::RetryPolicy::SingleTry),
             Corvindriver::ExchangeResult::Ok);
    const qint64 elapsedUs = clock.nsecsElapsed() / 1000;
    QVERIFY2(elapsedUs >= 16 * RxSimulator::byteTimeNs / 1000,
             qPrintable(QString::number(elapsedUs)));
}

void RxSimulatorTest::terminalVanishes_data()
{
    QTest::addColumn<bool>("byFault");     // a Vanish fault on RF, else vanish()
    QTest::addColumn<bool>("linkBlocked"); // a file sits at the link path for a while
    QTest::newRow("vanish()") << false << false;
    QTest::newRow("fault on RF") << true << false;
    QTest::newRow("link path taken") << false << true;
}

// Like a USB adapter pulled out and put back: the terminal and its link go, whatever was on
// the wire is lost, the receiver keeps its state, and a new terminal appears at the link path.
void RxSimulatorTest::terminalVanishes()
{
    QFETCH(bool, byFault);
    QFETCH(bool, linkBlocked);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("receiver"));
    // Long enough for the test to take the link path before the terminal comes back.
    const int awayMs = linkBlocked ? 1000 : 400;
    RxSimulator sim;
    sim.setPaced(false);
    sim.setVanishMs(awayMs);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    QVERIFY2(sim.linkPort(link, &error), qPrintable(error));
    const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const auto send = [fd](const QByteArray &bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    };
    QVERIFY(send("RF0007050000\r"));
    QTRY_COMPARE(sim.frequency(), quint64(7050000));

    if (byFault) {
        sim.triggerFault(SimFault::Vanish, 1, "RF");
        // One block: the receiver takes both lines at once and vanishes on the first.
        QVERIFY(send("RF0007060000\rRF0007070000\rVR\r"));
        QTRY_VERIFY(sim.vanished());
        QCOMPARE(sim.faultCount(SimFault::Vanish), qint64(1));
    } else {
        sim.vanish(awayMs);
        QVERIFY(sim.vanished());
    }
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!send("VR\r")); // the old terminal hung up
    ::close(fd);
    if (linkBlocked) {
        QFile blocker(link);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QTest::qWait(awayMs + 500);
        QVERIFY(sim.vanished()); // it keeps trying while the path is taken
        QVERIFY(blocker.remove());
    }
    const qsizetype sent = sim.sentBytes().size();
    QTRY_VERIFY_WITH_TIMEOUT(!sim.vanished(), 5000);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portPath());
    // Nothing left over from before reaches the new terminal.
    QTest::qWait(100);
    QCOMPARE(sim.sentBytes().size(), sent);

    Corvindriver driver;
    QVERIFY(driver.openPort(link));
    QVERIFY(driver.identify());
    QCOMPARE(sim.frequency(), quint64(7050000));
    QVERIFY(!sim.commands().contains("RF0007070000"));
    QVERIFY(driver.tune(7080000));
    QCOMPARE(sim.frequency(), quint64(7080000));
}

void RxSimulatorTest::synthesisedAudio()
{
    const int rate = 48000;
    std::vector<float> samples(rate);
    AudioScene scene;
    scene.hasStation = true;
    scene.strength = 1.0;
    scene.station.kind = AudioKind::Tone;
    scene.station.level = 200;
    scene.effectiveMode = 3; // USB: tuning 200 Hz low raises the pitch by 200 Hz
    scene.offsetHz = -200;
    AudioSynth synth(rate);
    synth.render(scene, samples.data(), rate);
    QVERIFY(qAbs(toneFrequency(samples, rate) - 1200.0) < 15.0);
    const double toneLevel = rms(samples);
    QVERIFY(toneLevel > 0.3);

    scene.hasStation = false;
    synth.render(scene, samples.data(), rate);
    const double noiseLevel = rms(samples);
    QVERIFY2(noiseLevel > 0.005 && noiseLevel < 0.1, qPrintable(QString::number(noiseLevel)));

    scene.standby = true;
    synth.render(scene, samples.data(), rate);
    QCOMPARE(rms(samples), 0.0);
}

void RxSimulatorTest::audioFifoRunsInRealTime()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("audio.fifo"));
    AudioScene scene;
    scene.hasStation = true;
    scene.strength = 1.0;
    scene.station.kind = AudioKind::Tone;
    AudioFifoWriter writer([scene] { return scene; }, path, 48000, 2);
    QString error;
    QVERIFY2(writer.start(&error), qPrintable(error));
    QTest::qWait(200); // nobody reads yet: blocks are dropped, the writer keeps time
    QVERIFY(writer.framesDropped() > 0);

    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    QByteArray data;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        char buffer[8192];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            data.append(buffer, int(n));
        QTest::qWait(10);
    }
    const qint64 elapsed = clock.elapsed();
    ::close(fd);
    writer.stop();

    QCOMPARE(data.size() % 4, 0);
    const double seconds = data.size() / 4.0 / 48000.0;
    QVERIFY2(seconds > 0.5 * elapsed / 1000.0 && seconds < 1.5 * elapsed / 1000.0 + 0.1,
             qPrintable(QString::number(seconds)));
    // Stereo frames carry the same sample twice, and the tone is loud.
    int loud = 0;
    for (int i = 0; i + 3 < data.size(); i += 4) {
        const auto left = qint16(uchar(data[i]) | (uchar(data[i + 1]) << 8));
        const auto right = qint16(uchar(data[i + 2]) | (uchar(data[i + 3]) << 8));
        QCOMPARE(left, right);
        loud += qAbs(left) > 8000 ? 1 : 0;
    }
    QVERIFY(loud > data.size() / 40);
    QVERIFY(writer.framesWritten() >= data.size() / 4);
}

QTEST_GUILESS_MAIN(RxSimulatorTest)
#include "tst_rxsimulator.moc"
