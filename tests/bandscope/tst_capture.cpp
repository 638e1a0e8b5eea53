// The capture sequencer on a scripted line with a hand-moved clock: the order and timing of
// the commands, every way a capture ends, continuous capture with its stop, and what the
// connection is asked to do at the end.
#include "bandscopehistory.h"
#include "fakescope.h"
#include "scopecapture.h"
#include "scoperecord.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr qint64 centre = 4650000;

struct Rig
{
    explicit Rig(bool italian = false)
        : capture(port, connection, record, history, italian)
    {
        capture.setClock(clock.clock());
        port.replies.insert("AM", amStatus(centre, 7, centre, 0));
        port.replies.insert("DS", scopeFrame(4));
    }

    ScopeRequest request(bool continuous = false) const
    {
        ScopeRequest r;
        r.centreHz = centre;
        r.spanCode = 7;
        r.continuous = continuous;
        return r;
    }

    // Ticks every 30 ms until the capture ends or `ms` more have passed.
    void run(qint64 ms)
    {
        const qint64 until = clock.ms + ms;
        while (capture.isRunning() && clock.ms < until) {
            clock.ms += ScopeCapture::tickMs;
            capture.tick();
        }
    }

    // The status text the capture ended with.
    QString summary() const
    {
        return finished.isEmpty() ? QString() : finished.last().at(0).toString();
    }

    FakePort port;
    FakeConnection connection;
    ScopeRecord record;
    BandScopeHistory history;
    ManualClock clock;
    ScopeCapture capture;
    QSignalSpy finished{&capture, &ScopeCapture::finished};
    QSignalSpy statuses{&capture, &ScopeCapture::statusChanged};
};

QStringList statusTexts(const QSignalSpy &spy)
{
    QStringList texts;
    for (const QList<QVariant> &call : spy)
        texts << call.at(0).toString();
    return texts;
}

} // namespace

class CaptureTest : public QObject
{
    Q_OBJECT

private slots:
    void singleCaptureOnTheNormalConnection();
    void setupCorrectionsWaitForTheReceiver();
    void endings_data();
    void endings();
    void continuousCaptureStopsAfterTheFrame();
    void stoppingTwiceAborts();
    void backToBackSkipsTheQuiet();
    void frameLimit();
    void failedRestoreIsolates();
    void sessionCapture();
    void historyFollowsTheKey();
    void summaryNotes();
    void italianMessages();
};

void CaptureTest::singleCaptureOnTheNormalConnection()
{
    Rig rig;
    qint64 amAt = -1;
    qint64 dsAt = -1;
    rig.port.onCommand = [&](const QByteArray &command) {
        (command == "AM" ? amAt : dsAt) = rig.clock.ms;
    };
    rig.capture.start(rig.request());
    QCOMPARE(statusTexts(rig.statuses).last(),
             QStringLiteral("Waiting for serial quiet before AM..."));
    rig.run(10000);

    QCOMPARE(rig.port.written, QByteArray("AM\rDS\r"));
    QVERIFY2(amAt >= 350 && amAt < 400, qPrintable(QString::number(amAt)));
    QVERIFY2(dsAt - amAt >= 3000 && dsAt - amAt < 3050, qPrintable(QString::number(dsAt)));
    QCOMPARE(rig.finished.size(), 1);
    QCOMPARE(rig.summary(), QStringLiteral("Sweep complete. 4/4 rows; valid=128, 0=0, 1=0, "
                                           "missing=0, omitted=896."));
    QCOMPARE(rig.finished.last().at(1).toBool(), true);
    QCOMPARE(rig.finished.last().at(2).toBool(), true);
    QCOMPARE(rig.connection.restores, 1);
    QCOMPARE(rig.connection.isolations, 0);

    QVERIFY(rig.record.setupVerified);
    QCOMPARE(rig.record.actualPeakHold, 0);
    QCOMPARE(rig.history.size(), 1);
    QCOMPARE(rig.history.key(), (ScopeHistoryKey{centre, 7, 0, 128}));
    QCOMPARE(rig.record.raw, scopeFrame(4));
    QCOMPARE(rig.record.lastDsDurationMs, 180); // until 150 ms of quiet after the frame
    QVERIFY(rig.record.captureLog.contains(
        QStringLiteral("] Verified AM: CF=4650000 SW=7 MF=4650000 PH=0\n")));
    QVERIFY(rig.record.captureLog.contains(QStringLiteral("] TX: AM | HEX 41 4d 0d\n")));
    QVERIFY(rig.record.captureLog.contains(
        QStringLiteral("] RX +30 ms: AM CF0004650000 SW7 MF0004650000 PH0<CR> | HEX 41 4d")));
    QVERIFY(rig.record.captureLog.endsWith(
        QStringLiteral("\n> VF; RX confirmed; tuning restored.\n\nResult: Sweep complete.\n")));
    QVERIFY(statusTexts(rig.statuses).contains(QStringLiteral("Waiting for DS...")));
}

void CaptureTest::setupCorrectionsWaitForTheReceiver()
{
    Rig rig;
    // A receiver on span 1 at 98 MHz that takes every setting.
    int span = 1;
    qint64 tuned = 98000000;
    qint64 marker = 98000000;
    QVector<qint64> times;
    rig.port.replies.remove("AM");
    rig.port.onCommand = [&](const QByteArray &command) {
        times << rig.clock.ms;
        if (command == "AM")
            rig.port.incoming += amStatus(tuned, span, marker, 1);
        else if (command.startsWith("SW"))
            span = command.mid(2).toInt();
        else if (command == "CF0004650000")
            tuned = centre;
        else if (command.startsWith("MF"))
            marker = command.mid(2).toLongLong();
    };
    ScopeRequest request = rig.request();
    request.peakHold = true;
    rig.capture.start(request);
    rig.run(60000);
    QCOMPARE(rig.port.written, QByteArray("AM\rSW7\rAM\rCF0004650000\rAM\rMF0004650000\rAM\rDS\r"));
    // Every command after the first waits 3 s for the receiver to settle.
    for (int i = 1; i < times.size(); ++i)
        QVERIFY2(times[i] - times[i - 1] >= 3000, qPrintable(QString::number(i)));
    QCOMPARE(rig.record.actualPeakHold, 1);
    QVERIFY(rig.summary().startsWith(QStringLiteral("Sweep complete.")));
}

// How captures end, by what the receiver does. The capture runs until it ends; "after" is
// the time from the start at which it ended (at least).
void CaptureTest::endings_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<qint64>("after");
    QTest::addColumn<qint64>("before");

    QTest::newRow("line never quiet")
        << "chatter"
        << "Serial never became quiet." << QByteArray() << qint64(5000) << qint64(5100);
    QTest::newRow("setup reply never settles")
        << "chatter after AM"
        << "Setup response never settled." << QByteArray("AM\r") << qint64(10350) << qint64(10450);
    QTest::newRow("setup line unfinished") << "AM without CR"
                                           << "Incomplete setup reply; DS not sent."
                                           << QByteArray("AM\r") << qint64(3350) << qint64(3450);
    QTest::newRow("no AM status") << "silent"
                                  << "No complete AM status; DS not sent"
                                  << QByteArray("AM\rAM\rAM\r") << qint64(9350) << qint64(9450);
    QTest::newRow("AM rejected") << "AM ?"
                                 << "AM status rejected" << QByteArray("AM\rAM\rAM\r")
                                 << qint64(9350) << qint64(9450);
    QTest::newRow("DS rejected") << "DS ?"
                                 << "Receiver rejected DS." << QByteArray("AM\rDS\r")
                                 << qint64(3350) << qint64(3450);
    QTest::newRow("malformed row") << "DS 31 digits"
                                   << "Invalid or duplicated DS row. Partial data retained."
                                   << QByteArray("AM\rDS\r") << qint64(3350) << qint64(3450);
    // Ignored lines, read 4096 bytes a tick: the 65 537th byte comes in the 17th read.
    QTest::newRow("stream too long")
        << "DS endless"
        << "Unexpected serial stream." << QByteArray("AM\rDS\r") << qint64(3850) << qint64(4000);
    QTest::newRow("frame stalls") << "DS half"
                                  << "DS timeout. Partial data retained." << QByteArray("AM\rDS\r")
                                  << qint64(63350) << qint64(63450);
    QTest::newRow("write fails") << "write fails"
                                 << "write (errno 5)" << QByteArray() << qint64(350) << qint64(450);
    QTest::newRow("read fails") << "read fails"
                                << "read (errno 5)" << QByteArray() << qint64(30) << qint64(60);
}

void CaptureTest::endings()
{
    QFETCH(QString, scenario);
    QFETCH(QString, message);
    QFETCH(QByteArray, written);
    QFETCH(qint64, after);
    QFETCH(qint64, before);

    Rig rig;
    bool chatter = scenario == QLatin1String("chatter");
    if (scenario == QLatin1String("chatter after AM"))
        rig.port.onCommand = [&](const QByteArray &) { chatter = true; };
    if (scenario == QLatin1String("AM without CR"))
        rig.port.replies.insert("AM", "AM CF0004650000");
    if (scenario == QLatin1String("silent"))
        rig.port.replies.remove("AM");
    if (scenario == QLatin1String("AM ?"))
        rig.port.replies.insert("AM", "?\r");
    if (scenario == QLatin1String("DS ?"))
        rig.port.replies.insert("DS", "?\r");
    if (scenario == QLatin1String("DS 31 digits"))
        rig.port.replies.insert("DS", "DS0127:" + QByteArray(31, '7') + '\r');
    if (scenario == QLatin1String("DS endless"))
        rig.port.replies.insert("DS", QByteArray());
    if (scenario == QLatin1String("DS half"))
        rig.port.replies.insert("DS", scopeFrame(4).left(80));
    rig.port.failWrite = scenario == QLatin1String("write fails");
    rig.port.failRead = scenario == QLatin1String("read fails");

    rig.capture.start(rig.request());
    while (rig.capture.isRunning() && rig.clock.ms < 120000) {
        rig.clock.ms += ScopeCapture::tickMs;
        if (chatter)
            rig.port.incoming += "*\r";
        if (scenario == QLatin1String("DS endless") && rig.port.written.endsWith("DS\r"))
            rig.port.incoming += (QByteArray(100, 'x') + '\r').repeated(50);
        rig.capture.tick();
    }
    QVERIFY(!rig.capture.isRunning());
    QCOMPARE(rig.port.written, written);
    QVERIFY2(rig.clock.ms >= after && rig.clock.ms < before,
             qPrintable(QString::number(rig.clock.ms)));
    QVERIFY2(rig.summary().startsWith(message + QLatin1Char(' ')), qPrintable(rig.summary()));
    QVERIFY(rig.summary().endsWith(
        QStringLiteral(" Receiver disconnected; check RX mode and reconnect.")));
    QCOMPARE(rig.connection.isolations, 1);
    QCOMPARE(rig.connection.restores, 0);
    QVERIFY(rig.record.captureLog.contains(
        QStringLiteral("\nCOM closed for isolation; check RX front panel. \n")));
    QVERIFY(rig.record.captureLog.endsWith(QStringLiteral("\nResult: ") + message + "\n"));
    QVERIFY(rig.record.raw.size() <= ScopeRecord::maxRawBytes);
    QCOMPARE(rig.history.size(), 0);
}

void CaptureTest::continuousCaptureStopsAfterTheFrame()
{
    Rig rig;
    QSignalSpy added(&rig.capture, &ScopeCapture::frameAdded);
    // Only the first DS is answered at once.
    rig.port.onCommand = [&](const QByteArray &command) {
        if (command == "DS")
            rig.port.replies.remove("DS");
    };
    rig.capture.start(rig.request(true));
    rig.run(3600);
    // The frame came at 3390 ms, the next DS after 150 ms of quiet.
    QCOMPARE(added.size(), 1);
    QCOMPARE(rig.port.written, QByteArray("AM\rDS\rDS\r"));
    QCOMPARE(statusTexts(rig.statuses).last(),
             QStringLiteral("DS: 0/? rows | 0.1 s | Approx. 0.1 s left (last sweep)"));
    rig.run(200);
    QCOMPARE(statusTexts(rig.statuses).last(),
             QStringLiteral("DS: 0/? rows | 0.3 s | Beyond last sweep duration"));

    rig.capture.stop();
    QVERIFY(rig.capture.isStopPending());
    QCOMPARE(statusTexts(rig.statuses).last(),
             QStringLiteral("Stopping after current DS; click again to abort and close COM."));
    rig.port.incoming += scopeFrame(4, 'F');
    rig.run(1000);
    QVERIFY(!rig.capture.isRunning());
    QCOMPARE(added.size(), 2);
    QCOMPARE(rig.port.written, QByteArray("AM\rDS\rDS\r"));
    QVERIFY(rig.summary().startsWith(QStringLiteral("Continuous capture stopped. 4/4 rows;")));
    QVERIFY(rig.summary().contains(QStringLiteral(" All valid levels saturated (F).")));
    QCOMPARE(rig.connection.restores, 1);
    QCOMPARE(rig.history.size(), 2);
    QCOMPARE(rig.history.framesSinceReset(), 2);
}

void CaptureTest::stoppingTwiceAborts()
{
    Rig rig;
    rig.port.onCommand = [&](const QByteArray &command) {
        if (command == "DS")
            rig.port.replies.insert("DS", scopeFrame(4).left(40));
    };
    rig.capture.start(rig.request(true));
    rig.run(3900);
    rig.capture.stop();
    rig.capture.tick();
    QVERIFY(statusTexts(rig.statuses).last().endsWith(QStringLiteral(" | Stop pending")));
    rig.capture.stop();
    QVERIFY(!rig.capture.isRunning());
    QVERIFY(rig.summary().startsWith(QStringLiteral("Stopped by user. 1/4 rows;")));
    QCOMPARE(rig.connection.isolations, 1);
    // A stop during the setup ends at once too.
    Rig setup;
    setup.capture.start(setup.request(true));
    setup.run(1000);
    setup.capture.stop();
    QVERIFY(!setup.capture.isRunning());
    QVERIFY(setup.summary().startsWith(QStringLiteral("Stopped by user. 0/? rows;")));
    QVERIFY(
        setup.summary().contains(QStringLiteral(" Center/span unconfirmed: raw indices only.")));
}

void CaptureTest::backToBackSkipsTheQuiet()
{
    for (const bool backToBack : {false, true}) {
        Rig rig;
        QVector<qint64> dsTimes;
        rig.port.onCommand = [&](const QByteArray &command) {
            if (command == "DS")
                dsTimes << rig.clock.ms;
        };
        ScopeRequest request = rig.request(true);
        request.backToBack = backToBack;
        rig.capture.start(request);
        rig.run(3500 + 5 * 200);
        QVERIFY(dsTimes.size() >= 4);
        const qint64 gap = dsTimes[2] - dsTimes[1];
        QCOMPARE(gap, backToBack ? qint64(30) : qint64(180));
        rig.capture.stop();
        rig.run(1000);
        // The last frame still waits for quiet before the connection is kept.
        QVERIFY(rig.summary().startsWith(QStringLiteral("Continuous capture stopped.")));
    }
}

void CaptureTest::frameLimit()
{
    Rig rig;
    qint64 lastDs = 0;
    rig.port.onCommand = [&](const QByteArray &command) {
        if (command == "DS")
            lastDs = rig.clock.ms;
    };
    ScopeRequest request = rig.request(true);
    request.backToBack = true;
    request.frameLimit = 3;
    rig.capture.start(request);
    rig.run(10000);
    QCOMPARE(rig.port.written, QByteArray("AM\rDS\rDS\rDS\r"));
    QCOMPARE(rig.history.size(), 3);
    QVERIFY(rig.summary().startsWith(QStringLiteral("Continuous capture stopped.")));
    // The last frame, read 30 ms after its DS, still waited 150 ms of quiet.
    QCOMPARE(rig.clock.ms - lastDs, qint64(180));
}

void CaptureTest::failedRestoreIsolates()
{
    Rig rig;
    rig.connection.restoreError = QStringLiteral("DS stream did not stop.");
    // The link fails while the tuning is put back: the window stops every activity.
    rig.connection.onRestore = [&rig] { rig.capture.stop(); };
    rig.capture.start(rig.request());
    rig.run(10000);
    QCOMPARE(rig.finished.size(), 1);
    QCOMPARE(rig.connection.restores, 1);
    QCOMPARE(rig.connection.isolations, 1);
    QCOMPARE(rig.finished.last().at(1).toBool(), true);
    QCOMPARE(rig.finished.last().at(2).toBool(), false);
    QVERIFY(rig.record.captureLog.contains(
        QStringLiteral("\nCOM closed for isolation; check RX front panel. DS stream did not "
                       "stop.\n")));
    QVERIFY(rig.summary().startsWith(QStringLiteral("Sweep complete. 4/4 rows;")));
    QVERIFY(rig.summary().endsWith(QStringLiteral(" Receiver disconnected; check RX mode and "
                                                  "reconnect.")));
    QCOMPARE(rig.history.size(), 1);
}

void CaptureTest::sessionCapture()
{
    Rig rig;
    ScopeRequest request = rig.request();
    request.session = true;
    rig.capture.start(request);
    rig.run(10000);
    QCOMPARE(rig.connection.restores, 0);
    QCOMPARE(rig.connection.isolations, 0);
    QVERIFY(rig.summary().endsWith(
        QStringLiteral(" Scope COM remains open. Use VF/EX in Serial diagnostics.")));
    QVERIFY(rig.record.captureLog.contains(
        QStringLiteral("\nService session retained; RX still in Band Scope. VF/EX are manual.\n")));

    rig.port.replies.insert("DS", "?\r");
    rig.capture.start(request);
    rig.run(10000);
    QCOMPARE(rig.connection.isolations, 1);
    QVERIFY(!rig.summary().contains(QStringLiteral("Scope COM remains open")));
}

void CaptureTest::historyFollowsTheKey()
{
    Rig rig;
    rig.capture.start(rig.request());
    rig.run(10000);
    rig.capture.start(rig.request());
    rig.run(10000);
    QCOMPARE(rig.history.size(), 2);
    // The receiver now reports peak hold on: a new history.
    rig.port.replies.insert("AM", amStatus(centre, 7, centre, 1));
    rig.capture.start(rig.request());
    rig.run(10000);
    QCOMPARE(rig.history.size(), 1);
    QCOMPARE(rig.history.key().peakHold, 1);
    // Another centre clears it at the start.
    ScopeRequest moved = rig.request();
    moved.centreHz = 4652000;
    rig.capture.start(moved);
    QVERIFY(rig.history.isEmpty());
    rig.capture.stop();
}

void CaptureTest::summaryNotes()
{
    Rig rig;
    QByteArray frame = scopeFrame(4, '2');
    frame.replace(7, 3, "001"); // bins 127-125: 0, 0, 1
    rig.port.replies.insert("DS", frame);
    rig.capture.start(rig.request());
    rig.run(10000);
    QCOMPARE(rig.summary(), QStringLiteral("Sweep complete. 4/4 rows; valid=125, 0=2, 1=1, "
                                           "missing=0, omitted=896."));
}

void CaptureTest::italianMessages()
{
    Rig rig(true);
    rig.port.replies.insert("DS", "?\r");
    rig.capture.start(rig.request());
    QCOMPARE(statusTexts(rig.statuses).last(),
             QStringLiteral("Attesa seriale libera prima di AM..."));
    rig.run(10000);
    QCOMPARE(rig.summary(),
             QStringLiteral("Il ricevitore ha rifiutato DS. 0/? righe; validi=0, 0=0, 1=0, "
                            "mancanti=1024, non trasmessi=0. Ricevitore disconnesso; verifica la "
                            "modalità RX e riconnetti."));
    QCOMPARE(rig.capture.text("Stopped on exit.", "Arrestato in chiusura."),
             QStringLiteral("Arrestato in chiusura."));
}

QTEST_GUILESS_MAIN(CaptureTest)
#include "tst_capture.moc"
