// corvin-rxctl's sweep verb on corvin-rxsim with a fault zone: output, exit codes, the files it
// leaves, and Ctrl-C as Stop.
#include "simulatorprocess.h"
#include "toolrun.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString program(const char *variable)
{
    return qEnvironmentVariable(variable);
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class SweepCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void usageErrors_data();
    void usageErrors();
    void sweepWithFaultZone();
    void interruptStopsWithReport();

private:
    std::unique_ptr<QTemporaryDir> m_data;
};

void SweepCommandTest::init()
{
    m_data = std::make_unique<QTemporaryDir>();
}

void SweepCommandTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("missing step") << QStringList{"88", "108"};
    QTest::newRow("end below start") << QStringList{"108", "88", "100"};
    QTest::newRow("step too small") << QStringList{"88", "108", "0.05"};
    QTest::newRow("settle too long") << QStringList{"--settle", "5000", "88", "108", "100"};
    QTest::newRow("not a number") << QStringList{"88", "x", "100"};
}

void SweepCommandTest::usageErrors()
{
    QFETCH(QStringList, arguments);
    SimulatorProcess sim({"--unpaced"});
    QVERIFY(!sim.port.isEmpty());
    QProcess rxctl;
    ToolRun::setDataFolder(rxctl, m_data->path());
    rxctl.start(program("CORVIN_RXCTL"), QStringList{"--port", sim.port, "sweep"} + arguments);
    QVERIFY(rxctl.waitForFinished(20000));
    QCOMPARE(rxctl.exitCode(), 2);
    QVERIFY(rxctl.readAllStandardOutput().isEmpty());
    QVERIFY(rxctl.readAllStandardError().contains("usage: corvin-rxctl sweep"));
    QVERIFY(!QFileInfo::exists(m_data->filePath(QStringLiteral("rf"))));
}

void SweepCommandTest::sweepWithFaultZone()
{
    SimulatorProcess sim({"--unpaced", "--fault-zone", "88100000-88100000:bad-lm:1"});
    QVERIFY(!sim.port.isEmpty());
    QProcess rxctl;
    ToolRun::setDataFolder(rxctl, m_data->path());
    rxctl.start(program("CORVIN_RXCTL"),
                {"--port", sim.port, "mode", "AM", "sweep", "--settle", "50", "88", "88.2", "100"});
    QVERIFY(rxctl.waitForFinished(30000));
    const QString err = QString::fromLocal8Bit(rxctl.readAllStandardError());
    QCOMPARE(rxctl.exitCode(), 0);
    // The mode command's line, then the report's path.
    const QStringList out =
        QString::fromLocal8Bit(rxctl.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(out.size(), 2);
    QCOMPARE(out.first(), QStringLiteral("mode AM"));
    const QString report = out.last();
    QVERIFY2(report.startsWith(m_data->filePath(QStringLiteral("rf/sweep_"))), qPrintable(report));
    QVERIFY(report.endsWith(QLatin1String(".html")));
    QVERIFY(QFileInfo::exists(report));
    QVERIFY(err.contains(QLatin1String("RF sweep 88.1000 MHz: S-meter recovered on attempt 2")));
    QVERIFY(err.contains(QLatin1String("Frequency spectrum sweep completed. 3/3 sampled")));
    QString csv = report;
    csv.replace(QLatin1String(".html"), QLatin1String(".csv"));
    const QStringList rows = lines(csv);
    QCOMPARE(rows.size(), 4);
    QVERIFY2(rows[2].startsWith(QLatin1String("88100000,")) &&
                 rows[2].endsWith(QLatin1String(",2,measured,VHF,AM")),
             qPrintable(rows[2]));

    QProcess badZone;
    badZone.start(program("CORVIN_RXSIM"), {"--fault-zone", "88-80:bad-lm"});
    QVERIFY(badZone.waitForFinished(5000));
    QCOMPARE(badZone.exitCode(), 2);
}

void SweepCommandTest::interruptStopsWithReport()
{
    SimulatorProcess sim({"--unpaced"});
    QVERIFY(!sim.port.isEmpty());
    QProcess rxctl;
    ToolRun::setDataFolder(rxctl, m_data->path());
    rxctl.start(program("CORVIN_RXCTL"),
                {"--port", sim.port, "sweep", "--settle", "2000", "88", "90", "100"});
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += rxctl.readAllStandardError()).contains("RF sweep started"),
                             10000);
    QTest::qWait(200);
    ::kill(static_cast<pid_t>(rxctl.processId()), SIGINT);
    QVERIFY(rxctl.waitForFinished(10000));
    QCOMPARE(rxctl.exitStatus(), QProcess::NormalExit);
    QCOMPARE(rxctl.exitCode(), 1);
    err += rxctl.readAllStandardError();
    QVERIFY(err.contains("Frequency spectrum sweep stopped by user."));
    const QString report = QString::fromLocal8Bit(rxctl.readAllStandardOutput()).trimmed();
    QVERIFY(QFileInfo::exists(report));
    QString csv = report;
    csv.replace(QLatin1String(".html"), QLatin1String(".csv"));
    QCOMPARE(lines(csv).last(), QStringLiteral("88000000,,0,interrupted,VHF,"));
}

QTEST_GUILESS_MAIN(SweepCommandTest)
#include "tst_sweepcommand.moc"
