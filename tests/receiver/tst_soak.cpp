// Thousands of driver operations against an unpaced simulated receiver that misbehaves
// at random: nothing hangs or crashes, every call ends within its time budget, and a
// tune reported as done left the receiver on the requested frequency.
#include "driverrig.h"

#include <QElapsedTimer>
#include <QTest>

#include <array>
#include <random>

namespace {

enum Operation { Level, Tune, Mode, Identify, Query, OperationCount };

const std::array<const char *, OperationCount> operationNames = {"level", "tune", "mode",
                                                                 "identify", "queryAuto"};

// Worst case of each operation (exchanges of at most 100 ms drain + 25 ms read,
// 150 ms write and 325 ms reply window each), with half as much again for a loaded machine.
const std::array<qint64, OperationCount> budgetMs = {900, 8100, 5400, 1800, 1800};

constexpr qint64 soakLimitMs = 55000;
constexpr int maxOperations = 5000;

} // namespace

class SoakTest : public QObject
{
    Q_OBJECT

private slots:
    void mixedFaults();
};

void SoakTest::mixedFaults()
{
    DriverRig rig(false);
    QVERIFY(rig.ready());
    rig.sim.setWireLogKept(false);
    rig.sim.setLevelJitter(2);
    rig.sim.setFaultSeed(7);
    rig.sim.setDeadLineMs(500);
    const QList<QPair<SimFault, double>> rates = {
        {SimFault::NoReply, 0.006},       {SimFault::LateReply, 0.006},
        {SimFault::Reject, 0.01},         {SimFault::RejectThenReply, 0.02},
        {SimFault::EchoAndStray, 0.03},   {SimFault::LongLine, 0.02},
        {SimFault::Garbage, 0.02},        {SimFault::FlowControl, 0.03},
        {SimFault::WrongFrequency, 0.3},  {SimFault::MalformedAuto, 0.02},
        {SimFault::MalformedLevel, 0.02}, {SimFault::DeadLine, 0.0005},
        {SimFault::HeldXoff, 0.004}};
    for (const auto &rate : rates)
        rig.sim.setFaultRate(rate.first, rate.second);

    std::mt19937 random(11u);
    std::discrete_distribution<int> pick({45, 30, 12, 6, 7});
    std::uniform_int_distribution<qint64> frequency(100000, 3000000000LL);
    std::uniform_int_distribution<int> mode(0, 9);
    std::array<int, OperationCount> calls{};
    std::array<int, OperationCount> failures{};
    std::array<qint64, OperationCount> longest{};
    int staleTunes = 0;

    QElapsedTimer soak;
    soak.start();
    int operations = 0;
    while (operations < maxOperations && soak.elapsed() < soakLimitMs) {
        const auto operation = static_cast<Operation>(pick(random));
        QElapsedTimer call;
        call.start();
        bool ok = false;
        qint64 requested = 0;
        int requestedMode = 0;
        switch (operation) {
        case Level: {
            int level = -1;
            ok = rig.driver.readSignalLevel(&level);
            QVERIFY(level >= 0 && level <= 255);
            break;
        }
        case Tune:
            requested = frequency(random);
            ok = rig.driver.tune(requested);
            break;
        case Mode:
            requestedMode = mode(random);
            ok = rig.driver.setMode(requestedMode);
            break;
        case Identify:
            ok = rig.driver.identify();
            break;
        case Query: {
            bool autoOn = false;
            int code = -1;
            ok = rig.driver.queryAuto(&autoOn, &code);
            QVERIFY(!ok || (code >= 0 && code <= 8));
            break;
        }
        case OperationCount:
            break;
        }
        const qint64 elapsed = call.elapsed();
        QVERIFY2(elapsed <= budgetMs[operation],
                 qPrintable(
                     QStringLiteral("%1 took %2 ms").arg(operationNames[operation]).arg(elapsed)));
        ++calls[operation];
        failures[operation] += ok ? 0 : 1;
        longest[operation] = std::max(longest[operation], elapsed);
        ++operations;

        if (operation == Tune && ok) {
            QCOMPARE(rig.driver.state().frequency, quint64(requested));
            // The receiver took the command before its acknowledgement could arrive; allow
            // for a stale acknowledgement overtaking it on the wire.
            const quint64 expected = quint64(requested / 100 * 100);
            if (rig.sim.frequency() != expected) {
                ++staleTunes;
                QTRY_COMPARE_WITH_TIMEOUT(rig.sim.frequency(), expected, 500);
            }
        }
        if (operation == Mode && ok) {
            QCOMPARE(rig.driver.state().mode, requestedMode);
            QVERIFY(rig.driver.state().effectiveMode >= 0 && rig.driver.state().effectiveMode <= 9);
        }
    }

    const qint64 exchanges = rig.sim.commandCount();
    qInfo("soak: %d operations, %lld commands on the wire, %lld faults injected in %lld ms",
          operations, exchanges, rig.sim.totalFaults(), soak.elapsed());
    for (int i = 0; i < OperationCount; ++i)
        qInfo("  %-9s calls %5d failed %4d longest %5lld ms (budget %lld ms)", operationNames[i],
              calls[i], failures[i], longest[i], budgetMs[i]);
    QString faults;
    for (int i = 0; i < simFaultCount; ++i)
        faults += QStringLiteral(" %1=%2")
                      .arg(FaultPlan::name(SimFault(i)))
                      .arg(rig.sim.faultCount(SimFault(i)));
    qInfo("  faults:%s; acknowledgements overtaken on the wire: %d", qPrintable(faults),
          staleTunes);

    QVERIFY2(exchanges >= 3000, "the soak ran too few exchanges");
    QVERIFY(rig.sim.totalFaults() >= 100);
    QVERIFY(rig.sim.faultCount(SimFault::NoReply) > 0);
    QVERIFY(rig.sim.faultCount(SimFault::DeadLine) > 0);
    QVERIFY(rig.sim.faultCount(SimFault::HeldXoff) > 0);
    // Most operations succeed despite the faults: retries and resynchronisation work.
    int totalFailures = 0;
    for (int f : failures)
        totalFailures += f;
    QVERIFY2(totalFailures * 5 < operations, "too many failed operations");
}

QTEST_GUILESS_MAIN(SoakTest)
#include "tst_soak.moc"
