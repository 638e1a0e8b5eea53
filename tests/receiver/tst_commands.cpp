// The receiver command set through the real driver and a simulated receiver: tuning with
// its confirmation, modes and AUTO, S-meter forms and the error latch, identification,
// standby, exit and the end of a band-scope stream.
#include "driverrig.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <QTest>

using Result = Corvindriver::ExchangeResult;
using Policy = Corvindriver::RetryPolicy;

namespace {

constexpr int autoMode = 9;

struct FaultSpec
{
    SimFault fault;
    int count;
    QByteArray command;
};
using FaultList = QVector<FaultSpec>;

} // namespace

Q_DECLARE_METATYPE(FaultList)

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void tuneRangeAndRounding_data();
    void tuneRangeAndRounding();
    void tuneConfirmation_data();
    void tuneConfirmation();
    void switchingIntoAndOutOfAuto();
    void tuneInAutoReadsEffectiveMode();
    void tuneInAutoReenablesAuto();
    void malformedAutoReplies_data();
    void malformedAutoReplies();
    void failedSwitchToAuto_data();
    void failedSwitchToAuto();
    void invalidModeSendsNothing();
    void levelReplyForms_data();
    void levelReplyForms();
    void invalidLevelReplies();
    void levelErrorLatchUnderPolling();
    void identifyAndReceiverOff();
    void identifyIgnoresMalformedReplies();
    void standbyAndExit();
    void stopScopeStreamDrainsAndConfirms();
    void stopScopeStreamGivesUp();

private:
    static QString planFile(const QTemporaryDir &dir);
};

void CommandsTest::tuneRangeAndRounding_data()
{
    QTest::addColumn<qint64>("request");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("below range") << qint64(99999) << QByteArray();
    QTest::newRow("above range") << qint64(3000000001LL) << QByteArray();
    QTest::newRow("negative") << qint64(-100000) << QByteArray();
    QTest::newRow("lowest") << qint64(100000) << QByteArray("RF0000100000\r");
    QTest::newRow("highest") << qint64(3000000000LL) << QByteArray("RF3000000000\r");
    QTest::newRow("rounded down") << qint64(7050050) << QByteArray("RF0007050000\r");
    QTest::newRow("89.1 MHz") << qint64(89100050) << QByteArray("RF0089100000\r");
}

void CommandsTest::tuneRangeAndRounding()
{
    QFETCH(qint64, request);
    QFETCH(QByteArray, sent);
    DriverRig rig;
    QVERIFY(rig.ready());
    const bool inRange = !sent.isEmpty();
    QCOMPARE(rig.driver.tune(request), inRange);
    QCOMPARE(rig.wire(), sent);
    if (!inRange) {
        QCOMPARE(rig.errorTexts(),
                 QStringList(QStringLiteral("Frequency out of range (100 kHz - 3 GHz)")));
        QCOMPARE(rig.driver.state().frequency, quint64(0));
        QVERIFY(rig.states.isEmpty());
        return;
    }
    QVERIFY(rig.errors.isEmpty());
    QVERIFY(rig.diagnostics.isEmpty());
    // The driver keeps the request; the receiver is on the 100 Hz step below it.
    QCOMPARE(rig.driver.state().frequency, quint64(request));
    QCOMPARE(rig.sim.frequency(), quint64(request / 100 * 100));
    QCOMPARE(rig.states.size(), 1);
    QCOMPARE(rig.states.first().at(0).value<Corvindriver::State>().frequency, quint64(request));
}

void CommandsTest::tuneConfirmation_data()
{
    QTest::addColumn<FaultList>("faults");
    QTest::addColumn<bool>("tuned");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<quint64>("frequency");
    QTest::addColumn<QStringList>("diagnostics");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("stateChanges");

    const QString resync = QStringLiteral(
        "No complete receiver reply to RF0007050000 within 300 ms. Resynchronizing with CR and "
        "retrying.");
    const QString noReply =
        QStringLiteral("No complete receiver reply to RF0007050000 within 300 ms.");
    const QString answered = QStringLiteral("Receiver answered RF0007050000 after a retry.");
    const QString confirmed = QStringLiteral("Receiver tuning confirmed by RX at 7050000 Hz.");

    QTest::newRow("acknowledged after a retry, RX agrees")
        << FaultList{{SimFault::NoReply, 1, "RF"}} << true
        << QByteArray("RF0007050000\r\rRF0007050000\rRX\r") << quint64(7050050)
        << QStringList{resync, answered, confirmed} << QStringList() << 1;
    QTest::newRow("never acknowledged, RX agrees")
        << FaultList{{SimFault::NoReply, 2, "RF"}} << true
        << QByteArray("RF0007050000\r\rRF0007050000\r\rRX\r") << quint64(7050050)
        << QStringList{resync, noReply, confirmed} << QStringList() << 1;
    QTest::newRow("RX reports another frequency")
        << FaultList{{SimFault::NoReply, 1, "RF"}, {SimFault::WrongFrequency, 1, "RX"}} << false
        << QByteArray("RF0007050000\r\rRF0007050000\rRX\r") << quint64(7055000)
        << QStringList{resync, answered}
        << QStringList{QStringLiteral("Receiver tuning could not be confirmed: requested 7050000 "
                                      "Hz, RX reported 7055000 Hz.")}
        << 1;
    QTest::newRow("RX silent")
        << FaultList{{SimFault::NoReply, 1, "RF"}, {SimFault::NoReply, 1, "RX"}} << false
        << QByteArray("RF0007050000\r\rRF0007050000\rRX\r") << quint64(0)
        << QStringList{resync, answered}
        << QStringList{QStringLiteral("No complete receiver reply to RX within 300 ms.")} << 0;
    QTest::newRow("rejected") << FaultList{{SimFault::Reject, 1, "RF"}} << false
                              << QByteArray("RF0007050000\r") << quint64(0) << QStringList()
                              << QStringList{QStringLiteral("Receiver rejected RF0007050000 (?).")}
                              << 0;
}

void CommandsTest::tuneConfirmation()
{
    QFETCH(FaultList, faults);
    QFETCH(bool, tuned);
    QFETCH(QByteArray, wire);
    QFETCH(quint64, frequency);
    QFETCH(QStringList, diagnostics);
    QFETCH(QStringList, errors);
    QFETCH(int, stateChanges);
    DriverRig rig;
    QVERIFY(rig.ready());
    for (const FaultSpec &spec : faults)
        rig.sim.triggerFault(spec.fault, spec.count, spec.command);
    QCOMPARE(rig.driver.tune(7050050), tuned);
    QCOMPARE(rig.wire(), wire);
    QCOMPARE(rig.driver.state().frequency, frequency);
    QCOMPARE(rig.diagnosticTexts(), diagnostics);
    QCOMPARE(rig.errorTexts(), errors);
    QCOMPARE(rig.states.size(), stateChanges);
}

void CommandsTest::switchingIntoAndOutOfAuto()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.tune(14200000));
    QVERIFY(rig.driver.setMode(3));
    rig.clear();

    QVERIFY(rig.driver.setMode(autoMode));
    QCOMPARE(rig.wire(), QByteArray("AU1\rAU\r"));
    QCOMPARE(rig.driver.state().mode, autoMode);
    QCOMPARE(rig.driver.state().effectiveMode, 3); // the band plan's USB at 14.2 MHz
    QCOMPARE(rig.states.size(), 1);
    rig.clear();

    QVERIFY(rig.driver.setMode(3));
    QCOMPARE(rig.wire(), QByteArray("AU0\rMD3\r"));
    QCOMPARE(rig.driver.state().mode, 3);
    QCOMPARE(rig.driver.state().effectiveMode, 3);
    rig.clear();

    // A manual mode is sent even when it is the current one.
    QVERIFY(rig.driver.setMode(3));
    QCOMPARE(rig.wire(), QByteArray("MD3\r"));
    QVERIFY(rig.errors.isEmpty());
}

void CommandsTest::tuneInAutoReadsEffectiveMode()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.setMode(autoMode));
    rig.clear();
    QVERIFY(rig.driver.tune(98000000));
    QCOMPARE(rig.wire(), QByteArray("RF0098000000\rAU\r"));
    QCOMPARE(rig.driver.state().effectiveMode, 0); // WFM broadcast band
    rig.clear();
    QVERIFY(rig.driver.tune(14200000));
    QCOMPARE(rig.driver.state().effectiveMode, 3); // "AU1 MD3"
    QCOMPARE(rig.states.size(), 1);
    QCOMPARE(rig.states.last().at(0).value<Corvindriver::State>().effectiveMode, 3);
}

// The receiver left AUTO behind the driver's back: the tune switches it on again.
void CommandsTest::tuneInAutoReenablesAuto()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.setMode(autoMode));
    QCOMPARE(rig.driver.exchange(QStringLiteral("MD3"), QByteArray(), nullptr, nullptr,
                                 Policy::RetryOnce),
             Result::Ok);
    rig.clear();
    QVERIFY(rig.driver.tune(14200000));
    QCOMPARE(rig.wire(), QByteArray("RF0014200000\rAU\rAU1\rAU\r"));
    QVERIFY(rig.sim.sentBytes().contains("AU0 MD3\r"));
    QCOMPARE(rig.driver.state().effectiveMode, 3);
    QVERIFY(rig.errors.isEmpty());
}

void CommandsTest::malformedAutoReplies_data()
{
    QTest::addColumn<int>("malformed");
    QTest::addColumn<bool>("tuned");
    QTest::addColumn<int>("effectiveMode");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("once") << 1 << true << 3 << 0;
    QTest::newRow("twice") << 2 << false << 9 << 1;
}

void CommandsTest::malformedAutoReplies()
{
    QFETCH(int, malformed);
    QFETCH(bool, tuned);
    QFETCH(int, effectiveMode);
    QFETCH(int, errorCount);
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.setMode(autoMode));
    rig.clear();
    rig.sim.triggerFault(SimFault::MalformedAuto, malformed, "AU");
    QCOMPARE(rig.driver.tune(14200000), tuned);
    QCOMPARE(rig.wire(), QByteArray("RF0014200000\rAU\rAU\r"));
    const QString invalid = QStringLiteral("Invalid receiver AUTO reply: AU1 MDX");
    QCOMPARE(rig.diagnosticTexts(),
             QStringList(invalid + QStringLiteral(" Retrying the AUTO query.")));
    QCOMPARE(rig.errors.size(), errorCount);
    if (errorCount)
        QCOMPARE(rig.errorTexts().first(), invalid);
    QCOMPARE(rig.driver.state().effectiveMode, effectiveMode);
    QCOMPARE(rig.driver.state().frequency, quint64(14200000));
    QCOMPARE(rig.states.size(), 1);
}

void CommandsTest::failedSwitchToAuto_data()
{
    QTest::addColumn<int>("startMode");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("stateChanges");
    QTest::newRow("from NFM: NFM is restored") << 1 << QByteArray("AU1\rMD1\r") << 0;
    QTest::newRow("already AUTO: mode unknown") << autoMode << QByteArray("AU1\r") << 1;
}

void CommandsTest::failedSwitchToAuto()
{
    QFETCH(int, startMode);
    QFETCH(QByteArray, wire);
    QFETCH(int, stateChanges);
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.setMode(startMode));
    rig.clear();
    rig.sim.triggerFault(SimFault::Reject, 1, "AU1");
    QVERIFY(!rig.driver.setMode(autoMode));
    QCOMPARE(rig.wire(), wire);
    QCOMPARE(rig.errorTexts(), QStringList(QStringLiteral("Receiver rejected AU1 (?).")));
    QCOMPARE(rig.driver.state().mode, startMode);
    QCOMPARE(rig.driver.state().effectiveMode, startMode);
    QCOMPARE(rig.states.size(), stateChanges);
}

void CommandsTest::invalidModeSendsNothing()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(!rig.driver.setMode(10));
    QVERIFY(!rig.driver.setMode(-1));
    QCOMPARE(rig.errors.size(), 2);
    QVERIFY(rig.wire().isEmpty());
}

QString CommandsTest::planFile(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("plan.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("# one test transmitter\n"
                   "band 100000 3000000001 AM\n"
                   "station 10000000 AM 6000 127 tone Test carrier\n");
    }
    return path;
}

void CommandsTest::levelReplyForms_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("replyLine");
    QTest::newRow("LM7F") << "hex" << QByteArray("LM7F\r");
    QTest::newRow("LM7F%") << "hex-percent" << QByteArray("LM7F%\r");
    QTest::newRow("LM 127") << "space-decimal" << QByteArray("LM 127\r");
    QTest::newRow("LM%7F") << "percent-hex" << QByteArray("LM%7F\r");
    QTest::newRow("LM 7F") << "space-hex" << QByteArray("LM 7F\r");
    QTest::newRow("lm 127") << "lower-decimal" << QByteArray("lm 127\r");
}

void CommandsTest::levelReplyForms()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, replyLine);
    QTemporaryDir dir;
    BandPlan plan;
    QString error;
    QVERIFY2(BandPlan::loadFile(planFile(dir), &plan, &error), qPrintable(error));
    ReceiverModel::LevelFormat levelFormat;
    QVERIFY(ReceiverModel::levelFormatFromName(format, &levelFormat));
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.setBandPlan(plan);
    rig.sim.setLevelFormat(levelFormat);
    QVERIFY(rig.driver.tune(10000000));
    rig.clear();
    int level = -1;
    QString errorText = QStringLiteral("stale");
    QVERIFY(rig.driver.readSignalLevel(&level, &errorText));
    QCOMPARE(level, 127);
    QVERIFY(errorText.isEmpty());
    QCOMPARE(rig.driver.state().signalLevel, 127);
    QCOMPARE(rig.sim.sentBytes(), replyLine);
    QCOMPARE(rig.states.size(), 1);
    QVERIFY(!rig.driver.levelErrorLatched());
}

// "LM 300", "LMZZ" and a bare "LM", in that order; the previous level stays in the output.
void CommandsTest::invalidLevelReplies()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    int level = -1;
    QVERIFY(rig.driver.readSignalLevel(&level));
    const int good = level;
    rig.sim.triggerFault(SimFault::MalformedLevel, 3, "LM");
    const QStringList expected = {
        QStringLiteral("Invalid receiver signal-level reply: LM 300"),
        QStringLiteral("Invalid receiver signal-level reply: LMZZ"),
        QStringLiteral("No complete receiver reply to LM within 300 ms.")};
    for (const QString &text : expected) {
        level = -1;
        QString errorText;
        QVERIFY(!rig.driver.readSignalLevel(&level, &errorText));
        QCOMPARE(errorText, text);
        QCOMPARE(level, good);
        QVERIFY(rig.driver.levelErrorLatched());
    }
    QVERIFY(rig.errors.isEmpty()); // errors went to the text output
    QVERIFY(!rig.driver.readSignalLevel(nullptr));
}

void CommandsTest::levelErrorLatchUnderPolling()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::DeadLine, 1, "LM");
    int level = 0;
    for (int poll = 0; poll < 4; ++poll) {
        QVERIFY(!rig.driver.readSignalLevel(&level));
        QTest::qWait(100);
    }
    QCOMPARE(rig.errorTexts(),
             QStringList(QStringLiteral("No complete receiver reply to LM within 300 ms.")));
    QVERIFY(rig.driver.levelErrorLatched());

    rig.sim.revive();
    QVERIFY(rig.driver.readSignalLevel(&level));
    QVERIFY(!rig.driver.levelErrorLatched());
    rig.sim.triggerFault(SimFault::NoReply, 2, "LM");
    QVERIFY(!rig.driver.readSignalLevel(&level));
    QVERIFY(!rig.driver.readSignalLevel(&level));
    QCOMPARE(rig.errors.size(), 2);
}

void CommandsTest::identifyAndReceiverOff()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QString reply;
    QVERIFY(rig.driver.identify(&reply));
    QCOMPARE(reply, QStringLiteral("VR RXSIM 1.0"));
    QVERIFY(rig.driver.standby());
    QVERIFY(rig.sim.standby());
    rig.clear();

    // Switched off: one resynchronising retry, then the no-reply error.
    QVERIFY(!rig.driver.identify(&reply));
    QCOMPARE(rig.wire(), QByteArray("VR\r\rVR\r"));
    QCOMPARE(rig.diagnostics.size(), 1);
    QCOMPARE(rig.errorTexts(),
             QStringList(QStringLiteral("No complete receiver reply to VR within 300 ms.")));
}

// A too short or lower-case identification line does not answer "VR": the exchange waits on,
// and the retry's proper answer counts. Two such lines in a row leave the receiver unidentified.
void CommandsTest::identifyIgnoresMalformedReplies()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::BadIdentity, 1, "VR");
    QString reply;
    QVERIFY(rig.driver.identify(&reply));
    QCOMPARE(reply, QStringLiteral("VR RXSIM 1.0"));
    QCOMPARE(rig.wire(), QByteArray("VR\r\rVR\r"));
    QCOMPARE(rig.diagnosticTexts(),
             QStringList({QStringLiteral("No complete receiver reply to VR within 300 ms. "
                                         "Resynchronizing with CR and retrying."),
                          QStringLiteral("Receiver answered VR after a retry.")}));
    QVERIFY(rig.errors.isEmpty());
    rig.clear();

    rig.sim.triggerFault(SimFault::BadIdentity, 2, "VR");
    QVERIFY(!rig.driver.identify(&reply));
    QVERIFY(reply.isEmpty());
    QCOMPARE(rig.errorTexts(),
             QStringList(QStringLiteral("No complete receiver reply to VR within 300 ms.")));
    QCOMPARE(rig.sim.faultCount(SimFault::BadIdentity), 3);
    QVERIFY(rig.sim.sentBytes().contains("VR1\r"));
    QVERIFY(rig.sim.sentBytes().contains("vr rxsim 1.0\r"));
}

void CommandsTest::standbyAndExit()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.standby());
    QVERIFY(rig.driver.standby()); // silence is an acknowledgement
    QVERIFY(!rig.driver.resyncPending());
    QVERIFY(rig.driver.sendExit());
    QCOMPARE(rig.wire(), QByteArray("QP\rQP\rEX\r"));
    QVERIFY(rig.errors.isEmpty());

    rig.sim.hangUp();
    QVERIFY(!rig.driver.sendExit());
    QCOMPARE(rig.errorTexts(), QStringList(QStringLiteral("Failed to write receiver command EX.")));
    QVERIFY(!rig.driver.standby());
    QCOMPARE(rig.errors.size(), 2);
}

void CommandsTest::stopScopeStreamDrainsAndConfirms()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.tune(98000000));
    rig.sim.triggerFault(SimFault::NoReply, 1, "LM");
    QCOMPARE(rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, nullptr, Policy::SingleTry),
             Result::NoReply);
    QVERIFY(rig.driver.resyncPending());
    rig.sim.setContinuousScope(true);
    {
        QMutexLocker lock(&rig.driver.lineLock());
        QVERIFY(rig.driver.line().write("DS\r"));
    }
    QTest::qWait(300);
    rig.clear();

    QString error = QStringLiteral("stale");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rig.driver.stopScopeStream(&error));
    const qint64 elapsed = clock.elapsed();
    QVERIFY(error.isEmpty());
    QVERIFY(elapsed >= 350);
    QVERIFY(!rig.driver.resyncPending());
    // Rows were still arriving after VF; the receiver's RX answer set the frequency.
    QCOMPARE(rig.wire(), QByteArray("VF\rRX\r"));
    QVERIFY(rig.sim.sentBytes().contains("DS"));
    QCOMPARE(rig.driver.state().frequency, quint64(98000000));
    QVERIFY(rig.states.isEmpty());
}

void CommandsTest::stopScopeStreamGivesUp()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.setContinuousScope(true);
    rig.sim.triggerFault(SimFault::StuckScope, 1, "VF");
    {
        QMutexLocker lock(&rig.driver.lineLock());
        QVERIFY(rig.driver.line().write("DS\r"));
    }
    QString error;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!rig.driver.stopScopeStream(&error));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(error, QStringLiteral("DS stream did not stop."));
    QVERIFY2(elapsed >= 2500 && elapsed < 4000, qPrintable(QString::number(elapsed)));
    QVERIFY(!rig.wire().contains("RX"));
    QVERIFY(rig.driver.sendExit()); // EX ends even a stuck stream

    rig.sim.hangUp();
    QVERIFY(!rig.driver.stopScopeStream(&error));
    QVERIFY2(error.startsWith(QLatin1String("write (errno")), qPrintable(error));
}

QTEST_GUILESS_MAIN(CommandsTest)
#include "tst_commands.moc"
