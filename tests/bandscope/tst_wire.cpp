// Captures through the real driver and a pseudo-terminal against the simulated receiver, one
// band-scope fault or reply variant at a time: the exact commands on the wire, isolation with
// nothing written after the failure, and the restore after a complete frame. The capture's
// clock runs ten times faster than the wall clock, so its 3 s settling and 60 s frame limits
// pass in a tenth of the time; the simulator runs unpaced.
#include "bandscopehistory.h"
#include "corvindriver.h"
#include "fakescope.h"
#include "rxsimulator.h"
#include "scopecapture.h"
#include "scopeport.h"
#include "scoperecord.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr qint64 tunedHz = 7050000;
constexpr int tunedMode = 3; // USB
constexpr int speedUp = 10;

class Connection : public ScopeConnection
{
public:
    explicit Connection(DriverScopePort &port)
        : m_port(port)
    {}
    bool restore(QString *error) override
    {
        return m_port.restoreTuning(tunedHz, tunedMode, QStringLiteral("restore failed"), error);
    }
    void isolate() override { m_port.close(); }

private:
    DriverScopePort &m_port;
};

struct Rig
{
    Rig()
    {
        sim.setPaced(false);
        sim.setScopeTiming(0, 100);
        QString error;
        ready = sim.start(&error) && driver.openPort(sim.portPath());
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        capture.setClock({[timer] { return timer->elapsed() * speedUp; },
                          [] { return QDateTime::currentDateTime(); }});
    }

    // Runs a capture to its end; false when it did not end within the wall-clock limit.
    bool run(const ScopeRequest &request, int limitMs = 20000)
    {
        QEventLoop loop;
        QObject::connect(&capture, &ScopeCapture::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
        capture.start(request);
        loop.exec();
        return !capture.isRunning();
    }

    // The commands the receiver took, without lone CRs.
    QList<QByteArray> commands() const { return withoutLoneCrs(sim.commands()); }

    RxSimulator sim;
    Corvindriver driver;
    DriverScopePort port{driver};
    Connection connection{port};
    ScopeRecord record;
    BandScopeHistory history;
    ScopeCapture capture{port, connection, record, history, false};
    QSignalSpy finished{&capture, &ScopeCapture::finished};
    bool ready = false;
};

ScopeRequest narrowRequest()
{
    ScopeRequest request;
    request.centreHz = 4650000;
    request.spanCode = 7;
    return request;
}

const QList<QByteArray> setUp = {"AM", "SW7", "AM", "CF0004650000", "AM", "MF0004650000", "AM"};
const QList<QByteArray> restored = {"VF", "RX", "MD3", "RF0007050000"};

} // namespace

class WireTest : public QObject
{
    Q_OBJECT

private slots:
    void readsNeverWait();
    void faults_data();
    void faults();
    void streamingReceiverIsolatesBackToBack();
};

void WireTest::readsNeverWait()
{
    Rig rig;
    QVERIFY(rig.ready);
    QElapsedTimer clock;
    clock.start();
    bool ok = false;
    QString error;
    for (int i = 0; i < 20; ++i)
        QVERIFY(rig.port.read(4096, &ok, &error).isEmpty() && ok);
    QVERIFY2(clock.elapsed() < 20, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(rig.port.descriptor() >= 0);
}

void WireTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("kept");

    const QList<QByteArray> complete = setUp + QList<QByteArray>{"DS"} + restored;
    const QList<QByteArray> isolatedAtDs = setUp + QList<QByteArray>{"DS"};
    const QString invalid = QStringLiteral("Invalid or duplicated DS row. Partial data retained.");

    QTest::newRow("none") << "" << complete << "Sweep complete." << true;
    QTest::newRow("garbage line between rows")
        << "ds-garbage" << complete << "Sweep complete." << true;
    QTest::newRow("31 digits") << "ds-31-digits" << isolatedAtDs << invalid << false;
    QTest::newRow("33 digits") << "ds-33-digits" << isolatedAtDs << invalid << false;
    QTest::newRow("bad row number") << "ds-bad-row" << isolatedAtDs << invalid << false;
    QTest::newRow("rows out of order") << "ds-out-of-order" << isolatedAtDs << invalid << false;
    QTest::newRow("row repeated") << "ds-repeat" << isolatedAtDs << invalid << false;
    QTest::newRow("300-byte line") << "ds-long-line" << isolatedAtDs << invalid << false;
    QTest::newRow("DS rejected") << "ds-reject" << isolatedAtDs << "Receiver rejected DS." << false;
    QTest::newRow("frame stalls") << "ds-stall" << isolatedAtDs
                                  << "DS timeout. Partial data retained." << false;
    QTest::newRow("AM rejected") << "reject AM" << QList<QByteArray>{"AM", "AM", "AM"}
                                 << "AM status rejected" << false;
    QTest::newRow("AM without MF") << "am-no-marker" << QList<QByteArray>{"AM", "AM", "AM"}
                                   << "No complete AM status; DS not sent" << false;
    QTest::newRow("SW ignored") << "sw-ignored" << QList<QByteArray>{"AM", "SW7", "AM", "SW7", "AM"}
                                << "Span not confirmed; DS not sent" << false;
    QTest::newRow("CF only as MHz")
        << "cf-mhz-only"
        << QList<QByteArray>{"AM",      "SW7", "AM",           "CF0004650000", "AM",
                             "CF4.650", "AM",  "MF0004650000", "AM",           "DS"} +
               restored
        << "Sweep complete." << true;
    QTest::newRow("PH1 ignored") << "ph-ignored"
                                 << setUp + QList<QByteArray>{"PH1", "AM", "PH1", "AM"}
                                 << "Requested Peak Hold not confirmed; DS not sent" << false;
    QTest::newRow("endless chatter")
        << "chatter" << QList<QByteArray>{} << "Serial never became quiet." << false;
    QTest::newRow("VF ignored by a streaming scope")
        << "stuck-scope" << setUp + QList<QByteArray>{"DS", "VF"} << "Sweep complete." << false;
    QTest::newRow("over-long AM line before the reply")
        << "long-line AM" << complete << "Sweep complete." << true;
    QTest::newRow("garbage before the AM reply")
        << "garbage AM" << complete << "Sweep complete." << true;
    QTest::newRow("CR LF, lower case, blanks, echo")
        << "variants" << complete << "Sweep complete." << true;
    QTest::newRow("narrow span in 32 rows") << "32 rows" << complete << "Sweep complete." << true;
}

void WireTest::faults()
{
    QFETCH(QString, fault);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QString, message);
    QFETCH(bool, kept);

    Rig rig;
    QVERIFY(rig.ready);
    QVERIFY(rig.driver.setMode(tunedMode) && rig.driver.tune(tunedHz));
    ScopeRequest request = narrowRequest();
    ScopeFault scopeFault;
    if (ScopeFaultPlan::fromName(fault, &scopeFault)) {
        rig.sim.triggerScopeFault(scopeFault, 3);
        if (scopeFault == ScopeFault::Chatter) {
            // At the wall clock's pace: a busy machine may pause the chatter for longer than
            // a tenth of the 350 ms quiet.
            rig.capture.setClock(ScopeClock::system());
            QVERIFY(rig.driver.identify());
        }
        request.peakHold = scopeFault == ScopeFault::PhIgnored;
    } else if (fault == QLatin1String("reject AM")) {
        rig.sim.triggerFault(SimFault::Reject, 3, "AM");
    } else if (fault == QLatin1String("long-line AM")) {
        rig.sim.triggerFault(SimFault::LongLine, 1, "AM");
    } else if (fault == QLatin1String("garbage AM")) {
        rig.sim.triggerFault(SimFault::Garbage, 1, "AM");
    } else if (fault == QLatin1String("stuck-scope")) {
        rig.sim.setContinuousScope(true);
        rig.sim.triggerFault(SimFault::StuckScope, 1);
    } else if (fault == QLatin1String("variants")) {
        ScopeVariants variants;
        QVERIFY(ScopeVariants::parse(QStringLiteral("crlf,lower,blanks,echo"), &variants));
        rig.sim.setScopeVariants(variants);
    } else if (fault == QLatin1String("32 rows")) {
        rig.sim.setScopeNarrowRows(32);
    }
    QTest::qWait(50);
    rig.sim.clearWireLog();

    QVERIFY(rig.run(request));
    QCOMPARE(rig.commands(), commands);
    const QString summary = rig.finished.last().at(0).toString();
    QVERIFY2(summary.startsWith(message + QLatin1Char(' ')), qPrintable(summary));
    QCOMPARE(rig.finished.last().at(2).toBool(), kept);
    QCOMPARE(rig.driver.isOpen(), kept);
    if (!kept) {
        // The port is closed: nothing follows the last command on the wire.
        const QByteArray wire = rig.sim.receivedBytes();
        QVERIFY(commands.isEmpty() ? wire.isEmpty() : wire.endsWith(commands.last() + '\r'));
        QCOMPARE(rig.history.size(), rig.record.frame.isComplete() ? 1 : 0);
    } else {
        QCOMPARE(rig.history.size(), 1);
        QCOMPARE(rig.sim.frequency(), quint64(tunedHz));
    }
    if (fault == QLatin1String("32 rows"))
        QCOMPARE(rig.record.frame.binCount(), 1024);
    else if (kept)
        QCOMPARE(rig.record.frame.binCount(), 128);
}

void WireTest::streamingReceiverIsolatesBackToBack()
{
    Rig rig;
    QVERIFY(rig.ready);
    QVERIFY(rig.driver.setMode(tunedMode) && rig.driver.tune(tunedHz));
    rig.sim.setContinuousScope(true);
    rig.sim.setScopeTiming(0, 0);
    ScopeRequest request = narrowRequest();
    request.continuous = true;
    request.backToBack = true;
    QVERIFY(rig.run(request));
    const QString summary = rig.finished.last().at(0).toString();
    QVERIFY2(
        summary.startsWith(QStringLiteral("Invalid or duplicated DS row. Partial data retained.")),
        qPrintable(summary));
    QVERIFY(!rig.driver.isOpen());
}

QTEST_GUILESS_MAIN(WireTest)
#include "tst_wire.moc"
