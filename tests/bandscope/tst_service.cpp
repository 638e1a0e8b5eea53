// The service session on a scripted line: opening without a command, manual commands and
// their observation windows, the manual DS frame, and what ends a session.
#include "bandscopehistory.h"
#include "fakescope.h"
#include "scoperecord.h"
#include "scopeservice.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Rig
{
    Rig()
        : service(port, record, history, false)
    {
        port.isOpenNow = false;
        service.setClock(clock.clock());
        port.replies.insert("VR", "VR RXSIM 1.0\r");
        port.replies.insert("DS", scopeFrame(4));
    }

    void run(qint64 ms)
    {
        const qint64 until = clock.ms + ms;
        while (clock.ms < until) {
            clock.ms += ScopeService::tickMs;
            service.tick();
        }
    }

    QString status() const
    {
        return statuses.isEmpty() ? QString() : statuses.last().at(0).toString();
    }

    FakePort port;
    ScopeRecord record;
    BandScopeHistory history;
    ManualClock clock;
    ScopeService service;
    QSignalSpy statuses{&service, &ScopeService::statusChanged};
};

} // namespace

class ServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void openSendsNothing();
    void commands_data();
    void commands();
    void manualDs();
    void manualDsEndsOnTrouble_data();
    void manualDsEndsOnTrouble();
    void closeAndFailures();
};

void ServiceTest::openSendsNothing()
{
    Rig rig;
    rig.port.failOpen = true;
    QVERIFY(!rig.service.open(QStringLiteral("ttyX")));
    QCOMPARE(rig.status(), QStringLiteral("Cannot open service COM."));
    QVERIFY(!rig.service.isOpen());

    rig.port.failOpen = false;
    rig.clock.ms = 1000;
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    QVERIFY(rig.service.isOpen());
    QCOMPARE(rig.status(),
             QStringLiteral("Scope COM ready. Capture a sweep or start continuous acquisition."));
    const QString localTime =
        rig.clock.start.addMSecs(1000).toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    QCOMPARE(rig.service.serviceLog(),
             QStringLiteral("[%1 +0 ms] COM opened: ttyX; no automatic TX\n").arg(localTime));
    rig.run(3000);
    QVERIFY(rig.port.written.isEmpty());
}

// A command and what ends its observation (timeout 3 s).
void ServiceTest::commands_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<qint64>("endsAfter");

    QTest::newRow("VR answered") << " vr " << QByteArray("VR\r") << "TX: VR | HEX 56 52 0d"
                                 << qint64(3000);
    QTest::newRow("empty command is a CR")
        << "" << QByteArray("\r") << "TX: <CR> | HEX 0d" << qint64(3000);
    QTest::newRow("non-ASCII ignored")
        << QString::fromUtf8("CF98.000\xc2\xb0") << QByteArray() << QString() << qint64(-1);
    QTest::newRow("control character ignored")
        << "VR\tX" << QByteArray() << QString() << qint64(-1);
}

void ServiceTest::commands()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    QFETCH(QString, logged);
    QFETCH(qint64, endsAfter);

    Rig rig;
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.service.sendCommand(typed);
    QCOMPARE(rig.port.written, written);
    if (endsAfter < 0) {
        QVERIFY(!rig.service.isCommandPending());
        return;
    }
    QVERIFY(rig.service.serviceLog().contains(logged));
    QVERIFY(rig.service.isCommandPending());
    QCOMPARE(rig.status(), QStringLiteral("Observing raw serial response..."));
    // A second command waits for the first.
    rig.service.sendCommand(QStringLiteral("EX"));
    QCOMPARE(rig.port.written, written);
    rig.run(endsAfter - 30);
    QVERIFY(rig.service.isCommandPending());
    rig.run(30);
    QVERIFY(!rig.service.isCommandPending());
    QCOMPARE(rig.status(), QStringLiteral("Observation window ended (not an ACK verdict)."));
    if (typed.trimmed() == QLatin1String("vr"))
        QVERIFY(rig.service.serviceLog().contains(
            QStringLiteral("] RX: VR RXSIM 1.0<CR> | HEX 56 52 20")));
}

void ServiceTest::manualDs()
{
    Rig rig;
    rig.history.add({4650000, 7, 0, 128}, std::array<int, 1024>{}, 1);
    rig.record.setupVerified = true;
    QSignalSpy prepared(&rig.service, &ScopeService::manualFramePrepared);
    QSignalSpy ended(&rig.service, &ScopeService::manualFrameEnded);
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.service.sendCommand(QStringLiteral("ds"));
    QCOMPARE(prepared.size(), 1);
    QVERIFY(rig.history.isEmpty());
    QVERIFY(!rig.record.setupVerified);
    QVERIFY(rig.record.manual);
    QVERIFY(rig.service.isDsPending());
    rig.run(150);
    QVERIFY(rig.service.isDsPending()); // complete, but not yet quiet for 150 ms
    rig.run(30);
    QVERIFY(!rig.service.isDsPending());
    QCOMPARE(ended.size(), 1);
    QCOMPARE(rig.status(), QStringLiteral("DS: 4/4 rows; malformed=0; rejected=0"));
    QVERIFY(rig.record.frame.isComplete());
    QCOMPARE(rig.record.raw, scopeFrame(4));
    // The service log becomes the capture log, for the export.
    QCOMPARE(rig.record.captureLog, rig.service.serviceLog());
    QVERIFY(rig.history.isEmpty());
}

void ServiceTest::manualDsEndsOnTrouble_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    QTest::addColumn<qint64>("endsAfter");

    QTest::newRow("rejected") << QByteArray("?\r") << "DS: 0/? rows; malformed=0; rejected=1"
                              << qint64(30);
    QTest::newRow("malformed") << QByteArray("DS0127:77\r")
                               << "DS: 0/? rows; malformed=1; "
                                  "rejected=0"
                               << qint64(30);
    QTest::newRow("stalled") << scopeFrame(4).left(80) << "DS timeout; partial frame retained."
                             << qint64(60000);
}

void ServiceTest::manualDsEndsOnTrouble()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    QFETCH(qint64, endsAfter);

    Rig rig;
    rig.port.replies.insert("DS", reply);
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.service.sendCommand(QStringLiteral("DS"));
    rig.run(endsAfter - 30);
    QVERIFY(rig.service.isDsPending());
    rig.run(30);
    QVERIFY(!rig.service.isDsPending());
    QCOMPARE(rig.status(), message);
    QVERIFY(rig.service.serviceLog().endsWith(message + QLatin1Char('\n')));
}

void ServiceTest::closeAndFailures()
{
    Rig rig;
    QSignalSpy closed(&rig.service, &ScopeService::closed);
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.port.replies.remove("DS");
    rig.service.sendCommand(QStringLiteral("DS"));
    rig.service.close();
    QVERIFY(!rig.service.isOpen());
    QCOMPARE(rig.port.closes, 1);
    QCOMPARE(closed.size(), 1);
    QVERIFY(rig.service.serviceLog().contains(
        QStringLiteral("] Service closed; partial response retained.\n")));
    QVERIFY(rig.service.serviceLog().endsWith(
        QStringLiteral("] COM closed; no automatic TX. Use EX before closing to release remote "
                       "mode.\n")));
    QCOMPARE(rig.status(),
             QStringLiteral("Service closed. Normal Connect will restore normal tuning."));

    // A failed write closes the session; a failed read too.
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.port.failWrite = true;
    rig.service.sendCommand(QStringLiteral("DS"));
    QVERIFY(!rig.service.isOpen());
    QVERIFY(rig.record.captureLog.contains(QStringLiteral("] TX ERROR: write (errno 5)\n")));
    rig.port.failWrite = false;
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.port.failRead = true;
    rig.run(30);
    QVERIFY(!rig.service.isOpen());
    QVERIFY(rig.service.serviceLog().contains(QStringLiteral("] RX ERROR: read (errno 5)\n")));

    // While a capture holds the session, commands wait.
    rig.port.failRead = false;
    QVERIFY(rig.service.open(QStringLiteral("ttyX")));
    rig.service.pause();
    rig.service.sendCommand(QStringLiteral("VR"));
    QVERIFY(!rig.service.isCommandPending());
    rig.service.resume();
    rig.service.sendCommand(QStringLiteral("VR"));
    QVERIFY(rig.service.isCommandPending());
}

QTEST_GUILESS_MAIN(ServiceTest)
#include "tst_service.moc"
