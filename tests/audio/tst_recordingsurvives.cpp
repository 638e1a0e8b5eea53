#include "pulsetestserver.h"
#include "wavfilewriter.h"
#include "wavreader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <vector>

namespace {

constexpr int kRate = 48000;
// The mono FIFO feeds 48 kHz 16-bit samples.
constexpr int kBytesPerSecond = kRate * 2;

// What a reader makes of a recording: the header's sizes and the samples it hands out.
struct Recovered
{
    qint64 fileBytes = 0;
    quint32 riffSize = 0;
    quint32 dataBytes = 0;
    std::vector<qint16> ours; // through the program's own WAV reader
    std::vector<qint16> sox;  // through sox
    QString soxError;
};

Recovered recover(const QString &path)
{
    Recovered r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return r;
    const QByteArray header = file.read(WavFileWriter::headerBytes);
    r.fileBytes = file.size();
    if (header.size() == WavFileWriter::headerBytes) {
        r.riffSize = qFromLittleEndian<quint32>(header.constData() + 4);
        r.dataBytes = qFromLittleEndian<quint32>(header.constData() + 40);
    }
    try {
        NativeWav::WavReader reader;
        reader.open(QFile::encodeName(path).toStdString());
        for (double v : reader.readChannel(0, reader.frameCount(), 0))
            r.ours.push_back(static_cast<qint16>(std::lround(v * 32768.0)));
    } catch (const std::exception &e) {
        r.ours.clear();
        r.soxError = QStringLiteral("our reader: ") + QString::fromUtf8(e.what());
        return r;
    }
    QProcess sox;
    sox.start(QStringLiteral("sox"),
              {QStringLiteral("-V1"), path, QStringLiteral("-t"), QStringLiteral("raw"),
               QStringLiteral("-e"), QStringLiteral("signed"), QStringLiteral("-b"),
               QStringLiteral("16"), QStringLiteral("-")});
    if (!sox.waitForFinished(20000) || sox.exitStatus() != QProcess::NormalExit ||
        sox.exitCode() != 0) {
        r.soxError = QStringLiteral("sox: ") + QString::fromLocal8Bit(sox.readAllStandardError());
        return r;
    }
    r.sox = PulseTest::bytesToSamples(sox.readAllStandardOutput());
    const QByteArray warnings = sox.readAllStandardError();
    if (!warnings.isEmpty())
        r.soxError = QStringLiteral("sox: ") + QString::fromLocal8Bit(warnings);
    return r;
}

bool isPrefixOf(const std::vector<qint16> &part, const std::vector<qint16> &whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

} // namespace

// Recordings made by the real audio engine in a separate process that then meets a full disk
// or is killed: what is left must be a WAV file that readers accept and whose samples are
// exactly the audio fed to the input.
class TestRecordingSurvives : public QObject
{
    Q_OBJECT

    std::vector<qint16> m_fed;
    QProcess m_child;

    // Starts the recording process; true once its file is open.
    bool startChild(const QStringList &arguments)
    {
        m_child.setProgram(qEnvironmentVariable("CORVIN_RECORDER_CHILD"));
        m_child.setArguments(arguments);
        m_child.setProcessChannelMode(QProcess::SeparateChannels);
        m_child.start();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000 && m_child.state() != QProcess::NotRunning) {
            m_child.waitForReadyRead(100);
            if (m_child.canReadLine())
                return m_child.readLine().trimmed() == "recording";
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_PULSE_SERVER();
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty(),
                 "sox is missing: scripts/install-deps installs it");
        QVERIFY(QFileInfo(qEnvironmentVariable("CORVIN_RECORDER_CHILD")).isExecutable());
        m_fed.resize(10 * kRate);
        for (size_t n = 0; n < m_fed.size(); ++n)
            m_fed[n] = PulseTest::pattern(int(n), 23);
    }

    void init()
    {
        // Left by a feeder that outlived its recording in another test.
        QVERIFY(PulseTest::drainFifo(PulseTest::monoFifo()) >= 0);
    }

    void cleanup()
    {
        if (m_child.state() != QProcess::NotRunning) {
            m_child.kill();
            m_child.waitForFinished(5000);
        }
        // The feeders here outlive their recordings.
        PulseTest::drainFifo(PulseTest::monoFifo());
    }

    void fullDiskLeavesCompleteBlocks()
    {
        // The file may hold the header and 100 000 bytes of audio (about 1.04 s).
        constexpr qint64 room = 100000;
        QTemporaryDir dir;
        const QString path = dir.filePath("full.wav");
        QVERIFY(startChild({path, QString::number(WavFileWriter::headerBytes + room)}));
        {
            PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), PulseTest::samplesToBytes(m_fed),
                                         kBytesPerSecond);
            QVERIFY(m_child.waitForFinished(15000));
            QVERIFY(!feeder.failed());
        }
        QCOMPARE(m_child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_child.exitCode(), 0);
        const QList<QByteArray> lines = m_child.readAllStandardOutput().trimmed().split('\n');
        // The user is told once; finalising succeeded, so there is no second message.
        QCOMPARE(lines,
                 (QList<QByteArray>{"error: WAV recording stopped because the file could not grow.",
                                    "stopped"}));

        const Recovered r = recover(path);
        QVERIFY2(r.soxError.isEmpty(), qPrintable(r.soxError));
        // Cut back to the last block that went in whole: the header describes exactly the file.
        QCOMPARE(r.fileBytes, qint64(WavFileWriter::headerBytes) + r.dataBytes);
        QCOMPARE(r.riffSize, r.dataBytes + 36);
        QVERIFY(r.dataBytes <= room);
        // The block that did not fit is at most one 80 ms input buffer.
        QVERIFY2(r.dataBytes > room - kBytesPerSecond / 10,
                 qPrintable(QString::number(r.dataBytes)));
        QCOMPARE(r.ours.size(), size_t(r.dataBytes / 2));
        QVERIFY(isPrefixOf(r.ours, m_fed));
        QVERIFY(r.sox == r.ours);
        qInfo("full disk: file limit %lld bytes, data %u bytes (%.3f s) kept, %lld bytes of "
              "room unused",
              qint64(WavFileWriter::headerBytes + room), r.dataBytes,
              double(r.dataBytes) / kBytesPerSecond, room - r.dataBytes);
    }

    void killLeavesPlayableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("killed.wav");
        QVERIFY(startChild({path}));
        qint64 killedAfterMs = 0;
        {
            PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), PulseTest::samplesToBytes(m_fed),
                                         kBytesPerSecond);
            QElapsedTimer clock;
            clock.start();
            QThread::msleep(3000);
            ::kill(pid_t(m_child.processId()), SIGKILL);
            killedAfterMs = clock.elapsed();
            QVERIFY(m_child.waitForFinished(5000));
            QVERIFY(!feeder.failed());
        }
        QCOMPARE(m_child.exitStatus(), QProcess::CrashExit);

        const Recovered r = recover(path);
        QVERIFY2(r.soxError.isEmpty(), qPrintable(r.soxError));
        QCOMPARE(r.riffSize, r.dataBytes + 36);
        // The header lags the file by less than a second of audio.
        const qint64 unlisted = r.fileBytes - WavFileWriter::headerBytes - r.dataBytes;
        QVERIFY2(unlisted >= 0 && unlisted < kBytesPerSecond,
                 qPrintable(QString::number(unlisted)));
        QVERIFY2(r.dataBytes >= 2 * kBytesPerSecond, qPrintable(QString::number(r.dataBytes)));
        QCOMPARE(r.ours.size(), size_t(r.dataBytes / 2));
        QVERIFY(isPrefixOf(r.ours, m_fed));
        QVERIFY(r.sox == r.ours);
        qInfo("kill -9 after %lld ms of feeding: file %lld bytes, header lists %u bytes "
              "(%.3f s), %lld bytes (%.3f s) written after the last refresh",
              killedAfterMs, r.fileBytes, r.dataBytes, double(r.dataBytes) / kBytesPerSecond,
              unlisted, double(unlisted) / kBytesPerSecond);
    }
};

QTEST_GUILESS_MAIN(TestRecordingSurvives)
#include "tst_recordingsurvives.moc"
