// The exchange engine over a real pseudo-terminal: framing, line limits, rejections,
// retry with resynchronisation, link failures and the port itself.
#include "driverrig.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

using Result = Corvindriver::ExchangeResult;
using Policy = Corvindriver::RetryPolicy;

class ExchangeTest : public QObject
{
    Q_OBJECT

private slots:
    void lineLimits_data();
    void lineLimits();
    void transportNoiseTolerated_data();
    void transportNoiseTolerated();
    void rejections_data();
    void rejections();
    void rejectionDoesNotResynchroniseNextExchange();
    void emptyPrefixIgnoresContent();
    void retryOnceResynchronisesBeforeSecondWrite();
    void silenceIsSuccess_data();
    void silenceIsSuccess();
    void resynchronisationFailureEndsExchange();
    void hungUpLineFailsBothAttempts();
    void heldXoffStallsWriteUntilResynchronised();
    void placeholdersInCommandAreNotSubstituted();
    void openFailures_data();
    void openFailures();
    void plainNameIsOpenedUnderDev();
    void reopenResetsState();
};

void ExchangeTest::lineLimits_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("judged");
    QTest::newRow("255 bytes") << 255 << true;
    QTest::newRow("256 bytes") << 256 << true;
    QTest::newRow("257 bytes") << 257 << false;
    QTest::newRow("300 bytes") << 300 << false;
}

// The simulator sends the answer padded to `length` bytes, then the plain answer.
void ExchangeTest::lineLimits()
{
    QFETCH(int, length);
    QFETCH(bool, judged);
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.setLongLineLength(length);
    rig.sim.triggerFault(SimFault::LongLine, 1, "LM");
    QString reply;
    QString error;
    const Result result =
        rig.driver.exchange(QStringLiteral("LM"), "LM", &reply, &error, Policy::SingleTry);
    QCOMPARE(result, Result::Ok);
    QVERIFY(error.isEmpty());
    QVERIFY(reply.startsWith(QLatin1String("LM")));
    if (judged)
        QCOMPARE(reply.size(), length);
    else
        QVERIFY2(reply.size() < 8, qPrintable(reply));
    QVERIFY(rig.diagnostics.isEmpty());
}

void ExchangeTest::transportNoiseTolerated_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QString>("replyStart");
    const QList<QPair<SimFault, const char *>> faults = {{SimFault::EchoAndStray, "echo"},
                                                         {SimFault::Garbage, "garbage"},
                                                         {SimFault::FlowControl, "xonxoff"},
                                                         {SimFault::LongLine, "long line"}};
    for (const auto &fault : faults) {
        const int code = static_cast<int>(fault.first);
        QTest::addRow("%s before VR", fault.second)
            << code << "VR" << QByteArray("VR") << "VR RXSIM";
        QTest::addRow("%s before LM", fault.second) << code << "LM" << QByteArray("LM") << "LM";
        QTest::addRow("%s before RX", fault.second) << code << "RX" << QByteArray("RX") << "RX RF";
        QTest::addRow("%s before MD3 ack", fault.second)
            << code << "MD3" << QByteArray() << QString();
    }
}

// Echoes, stray status lines, junk lines, flow-control bytes and over-long lines before
// the answer are skipped on the first attempt.
void ExchangeTest::transportNoiseTolerated()
{
    QFETCH(int, fault);
    QFETCH(QString, command);
    QFETCH(QByteArray, prefix);
    QFETCH(QString, replyStart);
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(static_cast<SimFault>(fault), 1, command.toLatin1());
    QString reply;
    QString error;
    bool resynchronised = true;
    const Result result =
        rig.driver.exchange(command, prefix, &reply, &error, Policy::RetryOnce, &resynchronised);
    QCOMPARE(result, Result::Ok);
    QVERIFY(!resynchronised);
    QVERIFY2(reply.startsWith(replyStart), qPrintable(reply));
    if (replyStart.isEmpty())
        QVERIFY(reply.isEmpty());
    else
        QVERIFY(reply.size() < 40);
    QCOMPARE(rig.wire(), command.toLatin1() + '\r');
    QCOMPARE(rig.sim.faultCount(static_cast<SimFault>(fault)), 1);
}

void ExchangeTest::rejections_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<int>("policy");
    QTest::addColumn<Result>("expected");
    const int reject = static_cast<int>(SimFault::Reject);
    const int rejectThenReply = static_cast<int>(SimFault::RejectThenReply);
    QTest::newRow("? then silence")
        << reject << "LM" << QByteArray("LM") << int(Policy::SingleTry) << Result::Rejected;
    QTest::newRow("? is not retried")
        << reject << "MD3" << QByteArray() << int(Policy::RetryOnce) << Result::Rejected;
    QTest::newRow("? then a prefixed line")
        << rejectThenReply << "LM" << QByteArray("LM") << int(Policy::SingleTry) << Result::Ok;
    QTest::newRow("? then an RX status")
        << rejectThenReply << "RX" << QByteArray("RX") << int(Policy::SingleTry) << Result::Ok;
    QTest::newRow("? then an empty line")
        << rejectThenReply << "MD3" << QByteArray() << int(Policy::RetryOnce) << Result::Rejected;
}

void ExchangeTest::rejections()
{
    QFETCH(int, fault);
    QFETCH(QString, command);
    QFETCH(QByteArray, prefix);
    QFETCH(int, policy);
    QFETCH(Result, expected);
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(static_cast<SimFault>(fault), 1, command.toLatin1());
    QString reply;
    QString error;
    QElapsedTimer clock;
    clock.start();
    const Result result =
        rig.driver.exchange(command, prefix, &reply, &error, static_cast<Policy>(policy));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(result, expected);
    QCOMPARE(rig.wire(), command.toLatin1() + '\r');
    QVERIFY(!rig.driver.resyncPending());
    QVERIFY(rig.diagnostics.isEmpty());
    if (expected == Result::Rejected) {
        QCOMPARE(error, QStringLiteral("Receiver rejected %1 (?).").arg(command));
        QVERIFY(reply.isEmpty());
        // Ends at the first empty read after the "?", well inside the reply window.
        QVERIFY2(elapsed < Corvindriver::replyWindowMs, qPrintable(QString::number(elapsed)));
    } else {
        QVERIFY(error.isEmpty());
        QVERIFY(reply.startsWith(prefix));
    }
}

void ExchangeTest::rejectionDoesNotResynchroniseNextExchange()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::Reject, 1, "LM");
    QCOMPARE(rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, nullptr, Policy::SingleTry),
             Result::Rejected);
    QCOMPARE(rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, nullptr, Policy::SingleTry),
             Result::Ok);
    QCOMPARE(rig.wire(), QByteArray("LM\rLM\r"));
}

// With an empty prefix only an empty line is an answer: the AM status is ignored.
void ExchangeTest::emptyPrefixIgnoresContent()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QString reply;
    QString error;
    QCOMPARE(
        rig.driver.exchange(QStringLiteral("AM"), QByteArray(), &reply, &error, Policy::SingleTry),
        Result::NoReply);
    QCOMPARE(error, QStringLiteral("No complete receiver reply to AM within 300 ms."));
    QVERIFY(reply.isEmpty());
    QVERIFY(rig.driver.resyncPending());
    QVERIFY(rig.sim.sentBytes().startsWith("AM CF"));
}

void ExchangeTest::retryOnceResynchronisesBeforeSecondWrite()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::NoReply, 1, "MD3");
    QString error;
    bool resynchronised = false;
    const Result result = rig.driver.exchange(QStringLiteral("MD3"), QByteArray(), nullptr, &error,
                                              Policy::RetryOnce, &resynchronised);
    QCOMPARE(result, Result::Ok);
    QVERIFY(resynchronised);
    QVERIFY(error.isEmpty());
    QVERIFY(!rig.driver.resyncPending());
    QCOMPARE(rig.diagnosticTexts(),
             QStringList({QStringLiteral("No complete receiver reply to MD3 within 300 ms. "
                                         "Resynchronizing with CR and retrying."),
                          QStringLiteral("Receiver answered MD3 after a retry.")}));
    QCOMPARE(rig.wire(), QByteArray("MD3\r\rMD3\r"));

    // The lone CR follows the reply window; the second command follows the 100 ms drain. The
    // simulator stamps bytes when it reads them, so a late read of the CR on a busy machine
    // shortens the gap after it: the drain is checked from the first write.
    QVector<qint64> arrivals;
    for (const WireEvent &event : rig.sim.wireEvents()) {
        if (event.fromHost)
            arrivals << event.timeUs;
    }
    QCOMPARE(arrivals.size(), 3);
    QVERIFY2(arrivals[1] - arrivals[0] >= 290000,
             qPrintable(QString::number(arrivals[1] - arrivals[0])));
    QVERIFY2(arrivals[2] - arrivals[0] >= 390000,
             qPrintable(QString::number(arrivals[2] - arrivals[0])));
}

void ExchangeTest::silenceIsSuccess_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("dropReply");
    QTest::newRow("standby is silent") << "QP" << false;
    QTest::newRow("a lost acknowledgement") << "MD2" << true;
}

void ExchangeTest::silenceIsSuccess()
{
    QFETCH(QString, command);
    QFETCH(bool, dropReply);
    DriverRig rig;
    QVERIFY(rig.ready());
    if (dropReply)
        rig.sim.triggerFault(SimFault::NoReply, 1, command.toLatin1());
    QString error = QStringLiteral("stale");
    QCOMPARE(rig.driver.exchange(command, QByteArray(), nullptr, &error, Policy::SilenceIsSuccess),
             Result::Ok);
    QVERIFY(error.isEmpty());
    QVERIFY(!rig.driver.resyncPending());
    QVERIFY(rig.diagnostics.isEmpty());
    QCOMPARE(rig.wire(), command.toLatin1() + '\r');
}

void ExchangeTest::resynchronisationFailureEndsExchange()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::NoReply, 1, "LM");
    QCOMPARE(rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, nullptr, Policy::SingleTry),
             Result::NoReply);
    QVERIFY(rig.driver.resyncPending());
    rig.clear();
    rig.sim.hangUp();

    QString error;
    bool resynchronised = true;
    QCOMPARE(rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, &error, Policy::RetryOnce,
                                 &resynchronised),
             Result::LinkError);
    QVERIFY2(error.startsWith(QLatin1String("Could not resynchronize the receiver before LM (")),
             qPrintable(error));
    QVERIFY(error.endsWith(QLatin1String(").")));
    QVERIFY(!resynchronised);
    QVERIFY(rig.driver.resyncPending());
    QVERIFY(rig.diagnostics.isEmpty());
}

// A dead line fails the first attempt at the purge, and the second at the resynchronisation.
void ExchangeTest::hungUpLineFailsBothAttempts()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.hangUp();
    QString error;
    QCOMPARE(rig.driver.exchange(QStringLiteral("VR"), "VR", nullptr, &error, Policy::RetryOnce),
             Result::LinkError);
    QCOMPARE(rig.diagnostics.size(), 1);
    QVERIFY2(rig.diagnosticTexts().first().startsWith(
                 QLatin1String("Could not clear pending serial input before VR (")),
             qPrintable(rig.diagnosticTexts().first()));
    QVERIFY(error.startsWith(QLatin1String("Could not resynchronize the receiver before VR (")));
    QVERIFY(rig.driver.resyncPending());
    QVERIFY(rig.driver.isOpen());
}

// A receiver that sent XOFF and no XON holds the program's output: the write gives up after
// 150 ms, and the resynchronisation resumes output before its lone CR.
void ExchangeTest::heldXoffStallsWriteUntilResynchronised()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    rig.sim.triggerFault(SimFault::HeldXoff, 1, "VR");
    QCOMPARE(rig.driver.exchange(QStringLiteral("VR"), "VR", nullptr, nullptr, Policy::SingleTry),
             Result::Ok);
    rig.clear();

    QElapsedTimer clock;
    clock.start();
    QString error;
    bool resynchronised = false;
    const Result stalled = rig.driver.exchange(QStringLiteral("LM"), "LM", nullptr, &error,
                                               Policy::RetryOnce, &resynchronised);
    QCOMPARE(stalled, Result::Ok);
    QVERIFY(clock.elapsed() >= 150);
    QVERIFY(resynchronised);
    QCOMPARE(rig.diagnosticTexts().first(),
             QStringLiteral("Failed to write receiver command LM (write (0/3 bytes)). "
                            "Resynchronizing with CR and retrying."));
    QCOMPARE(rig.wire(), QByteArray("\rLM\r"));
}

void ExchangeTest::placeholdersInCommandAreNotSubstituted()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QString error;
    QCOMPARE(rig.driver.exchange(QStringLiteral("A%2"), "A", nullptr, &error, Policy::SingleTry),
             Result::Rejected);
    QCOMPARE(error, QStringLiteral("Receiver rejected A%2 (?)."));
    rig.sim.triggerFault(SimFault::NoReply, 1, "AM");
    QCOMPARE(rig.driver.exchange(QStringLiteral("AM%2"), "AM", nullptr, &error, Policy::SingleTry),
             Result::NoReply);
    QCOMPARE(error, QStringLiteral("No complete receiver reply to AM%2 within 300 ms."));
}

void ExchangeTest::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing device") << "corvin-no-such-port";
    QTest::newRow("missing path") << "/nonexistent/ttyS9";
    QTest::newRow("not a terminal") << "/dev/null";
}

void ExchangeTest::openFailures()
{
    QFETCH(QString, name);
    Corvindriver driver;
    QSignalSpy errors(&driver, &Corvindriver::errorOccurred);
    QVERIFY(!driver.openPort(name));
    QVERIFY(!driver.isOpen());
    QCOMPARE(DriverRig::texts(errors),
             QStringList(QStringLiteral("Unable to open serial port ") + name));
    QCOMPARE(driver.line().lastError(), QStringLiteral("Errore apertura porta: ") + name);

    // A closed port fails every operation with the closed-handle code.
    QString error;
    QCOMPARE(driver.exchange(QStringLiteral("LM"), "LM", nullptr, &error,
                             Corvindriver::RetryPolicy::SingleTry),
             Result::LinkError);
    QCOMPARE(error, QStringLiteral("Could not clear pending serial input before LM "
                                   "(tcflush RX (errno 9))."));
}

void ExchangeTest::plainNameIsOpenedUnderDev()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    const QString name = QStringLiteral("corvin-test-%1").arg(getpid());
    const QString devPath = QStringLiteral("/dev/") + name;
    if (!QFile::link(rig.sim.portPath(), devPath))
        QSKIP("/dev is not writable here");
    const bool opened = rig.driver.openPort(name);
    QFile::remove(devPath);
    QVERIFY(opened);
    QCOMPARE(rig.driver.exchange(QStringLiteral("VR"), "VR", nullptr, nullptr, Policy::SingleTry),
             Result::Ok);
}

void ExchangeTest::reopenResetsState()
{
    DriverRig rig;
    QVERIFY(rig.ready());
    QVERIFY(rig.driver.tune(7050000));
    QVERIFY(rig.driver.setMode(3));
    rig.states.clear();
    QVERIFY(rig.driver.openPort(rig.sim.portPath()));
    const Corvindriver::State &state = rig.driver.state();
    QCOMPARE(state.frequency, quint64(0));
    QCOMPARE(state.mode, 0);
    QCOMPARE(state.signalLevel, 0);
    QCOMPARE(state.effectiveMode, 9);
    QVERIFY(rig.states.isEmpty());
}

QTEST_GUILESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
