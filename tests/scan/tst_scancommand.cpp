// corvin-rxctl's scan verb on corvin-rxsim, whose station audio reaches the private PulseAudio
// server's pipe source: usage errors, and Ctrl-C during an analysis leaving a closed archive.
#include "../audio/pulsetestserver.h"
#include "simulatorprocess.h"
#include "toolrun.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString program(const char *variable)
{
    return qEnvironmentVariable(variable);
}

QVector<QJsonObject> records(const QString &path)
{
    QFile file(path);
    QVector<QJsonObject> list;
    if (!file.open(QIODevice::ReadOnly))
        return list;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            list << QJsonDocument::fromJson(line).object();
    }
    return list;
}

} // namespace

class ScanCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void usageErrors_data();
    void usageErrors();
    void interruptDuringAnalysis();

private:
    std::unique_ptr<QTemporaryDir> m_data;
};

void ScanCommandTest::initTestCase()
{
    const QString reason = PulseTest::unavailableReason();
    if (!reason.isEmpty())
        QFAIL(qPrintable(reason));
}

void ScanCommandTest::init()
{
    m_data = std::make_unique<QTemporaryDir>();
}

void ScanCommandTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing step") << QStringList{"88", "108"} << "START_MHZ";
    QTest::newRow("end below start")
        << QStringList{"108", "88", "100"} << "Choose an end frequency at or above the start";
    QTest::newRow("threshold too high")
        << QStringList{"--threshold", "256", "88", "89", "100"} << "--threshold";
    QTest::newRow("analysis too short")
        << QStringList{"--analysis-ms", "400", "88", "89", "100"} << "--analysis-ms";
    QTest::newRow("unknown mode") << QStringList{"--mode", "FM", "88", "89", "100"}
                                  << "unknown mode FM";
    QTest::newRow("unknown input") << QStringList{"--input", "no such input", "88", "89", "100"}
                                   << "no audio input no such input (inputs: ";
}

void ScanCommandTest::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    SimulatorProcess sim({"--unpaced"});
    QVERIFY(!sim.port.isEmpty());
    QProcess rxctl;
    ToolRun::setDataFolder(rxctl, m_data->path());
    rxctl.start(program("CORVIN_RXCTL"), QStringList{"--port", sim.port, "scan"} + arguments);
    QVERIFY(rxctl.waitForFinished(20000));
    QCOMPARE(rxctl.exitCode(), 2);
    QVERIFY(rxctl.readAllStandardOutput().isEmpty());
    const QString err = QString::fromLocal8Bit(rxctl.readAllStandardError());
    QVERIFY2(err.contains(error), qPrintable(err));
    QVERIFY(!QFileInfo::exists(m_data->filePath(QStringLiteral("scans"))));
}

void ScanCommandTest::interruptDuringAnalysis()
{
    PulseTest::drainFifo(PulseTest::monoFifo());
    SimulatorProcess sim({"--audio-fifo", PulseTest::monoFifo()});
    QVERIFY(!sim.port.isEmpty());
    QProcess rxctl;
    ToolRun::setDataFolder(rxctl, m_data->path());
    // Threshold 0: every frequency is analysed.
    rxctl.start(program("CORVIN_RXCTL"),
                {"--port", sim.port, "scan", "--input", "corvin_in", "--threshold", "0",
                 "--analysis-ms", "5000", "98", "98.2", "100"});
    QByteArray err;
    QTRY_VERIFY2_WITH_TIMEOUT((err += rxctl.readAllStandardError()).contains("Analyzing 98.000000"),
                              err.constData(), 20000);
    ::kill(static_cast<pid_t>(rxctl.processId()), SIGINT);
    QVERIFY(rxctl.waitForFinished(20000));
    QCOMPARE(rxctl.exitStatus(), QProcess::NormalExit);
    err += rxctl.readAllStandardError();
    QCOMPARE(rxctl.exitCode(), 1);
    QVERIFY2(err.contains("Smart Scan stopped. Processed 0/3 frequencies."), err.constData());
    const QString archive = QString::fromLocal8Bit(rxctl.readAllStandardOutput()).trimmed();
    QVERIFY2(archive.startsWith(m_data->filePath(QStringLiteral("scans/scan_"))),
             qPrintable(archive));
    const QVector<QJsonObject> lines = records(archive);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].value("serial_port").toString(), sim.port);
    // The audio panel's caption of the device: the server's default input is corvin_in.
    QCOMPARE(lines[0].value("input").toString(), QStringLiteral("System default input"));
    QCOMPARE(lines[0].value("mode").toString(), QStringLiteral("WFM"));
    QCOMPARE(lines[1].value("outcome").toString(), QStringLiteral("incomplete"));
    QVERIFY(lines[1].contains("s_meter"));
    QCOMPARE(lines[2].value("type").toString(), QStringLiteral("scan_end"));
    QCOMPARE(lines[2].value("message").toString(), QStringLiteral("Smart Scan stopped."));
}

QTEST_GUILESS_MAIN(ScanCommandTest)
#include "tst_scancommand.moc"
