#include "receiverreadout.h"
#include "receiverrequestqueue.h"

#include <QtTest>

// The poll schedule and the panel's value conversions, without a receiver.
class TestReceiverRequestQueue : public QObject
{
    Q_OBJECT

private slots:
    void firstLevelReadOnFifthTick();
    void burstServedOneRequestPerTickInOrder();
    void pollGate_data();
    void pollGate();
    void megahertzRounding_data();
    void megahertzRounding();
    void readoutTexts();
    void meterMapping_data();
    void meterMapping();
    void listIndexClamping();
};

namespace {
struct Recorder
{
    QVector<QVector<ReceiverRequest>> ticks{{}};
    ReceiverRequestQueue::Executor executor()
    {
        return [this](const ReceiverRequest &request) { ticks.last().append(request); };
    }
    void nextTick() { ticks.append(QVector<ReceiverRequest>()); }
};
} // namespace

void TestReceiverRequestQueue::firstLevelReadOnFifthTick()
{
    ReceiverRequestQueue queue;
    Recorder recorder;
    for (int tick = 1; tick <= 10; ++tick) {
        QVERIFY(queue.pollTick(false, false, recorder.executor()));
        recorder.nextTick();
    }
    // Ticks 5 and 10 read the S-meter; all others send nothing.
    for (int tick = 1; tick <= 10; ++tick) {
        const QVector<ReceiverRequest> &sent = recorder.ticks.at(tick - 1);
        if (tick % 5 == 0) {
            QCOMPARE(sent.size(), 1);
            QVERIFY(sent.first() == ReceiverRequest::signalLevel());
        } else {
            QVERIFY2(sent.isEmpty(), qPrintable(QStringLiteral("tick %1").arg(tick)));
        }
    }
    QCOMPARE(queue.pollCountdown(), ReceiverRequestQueue::levelInterval);
}

void TestReceiverRequestQueue::burstServedOneRequestPerTickInOrder()
{
    ReceiverRequestQueue queue;
    Recorder recorder;
    const QVector<ReceiverRequest> burst = {
        ReceiverRequest::tune(7000000), ReceiverRequest::tune(7000100),
        ReceiverRequest::mode(3),       ReceiverRequest::tune(7000200),
        ReceiverRequest::tune(7000300), ReceiverRequest::tune(7000400),
    };
    for (const ReceiverRequest &request : burst)
        queue.append(request);

    for (int tick = 1; tick <= 6; ++tick) {
        queue.pollTick(false, false, recorder.executor());
        recorder.nextTick();
    }
    // Ticks 1-4 serve one request each; tick 5 serves the fifth, queues a level read
    // behind the sixth and serves the sixth; tick 6 serves the level read.
    QCOMPARE(recorder.ticks.at(0), QVector<ReceiverRequest>{burst.at(0)});
    QCOMPARE(recorder.ticks.at(3), QVector<ReceiverRequest>{burst.at(3)});
    QCOMPARE(recorder.ticks.at(4), (QVector<ReceiverRequest>{burst.at(4), burst.at(5)}));
    QCOMPARE(recorder.ticks.at(5), QVector<ReceiverRequest>{ReceiverRequest::signalLevel()});
    QVERIFY(queue.isEmpty());
}

void TestReceiverRequestQueue::pollGate_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("otherActivity");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("runs");

    QTest::newRow("idle") << true << false << false << true;
    QTest::newRow("sweep running") << true << true << false << false;
    QTest::newRow("armed, nothing else") << true << false << true << true;
    QTest::newRow("armed counts as activity") << true << true << true << true;
    QTest::newRow("panel scan") << false << false << false << false;
    QTest::newRow("panel scan while armed") << false << true << true << false;
}

void TestReceiverRequestQueue::pollGate()
{
    QFETCH(bool, enabled);
    QFETCH(bool, otherActivity);
    QFETCH(bool, armed);
    QFETCH(bool, runs);

    ReceiverRequestQueue queue;
    queue.setPollEnabled(enabled);
    queue.append(ReceiverRequest::tune(1000000));
    int executed = 0;
    const auto count = [&executed](const ReceiverRequest &) { ++executed; };
    for (int tick = 0; tick < 5; ++tick)
        QCOMPARE(queue.pollTick(otherActivity, armed, count), runs);
    // A silent poll neither serves the queue nor advances the S-meter countdown.
    QCOMPARE(executed, runs ? 2 : 0);
    QCOMPARE(queue.pollCountdown(), ReceiverRequestQueue::levelInterval);
    QCOMPARE(queue.isEmpty(), runs);
}

void TestReceiverRequestQueue::megahertzRounding_data()
{
    QTest::addColumn<double>("megahertz");
    QTest::addColumn<qint64>("hertz");

    QTest::newRow("below half") << 145.12345649 << qint64(145123456);
    QTest::newRow("half rounds up") << 0.1000005 << qint64(100001);
    QTest::newRow("six decimals") << 145.123456 << qint64(145123456);
    QTest::newRow("lowest") << 0.1 << qint64(100000);
    QTest::newRow("highest") << 3000.0 << qint64(3000000000);
    QTest::newRow("negative half away from zero") << -0.0000005 << qint64(-1);
}

void TestReceiverRequestQueue::megahertzRounding()
{
    QFETCH(double, megahertz);
    QFETCH(qint64, hertz);
    QCOMPARE(ReceiverReadout::hertzFromMegahertz(megahertz), hertz);
}

void TestReceiverRequestQueue::readoutTexts()
{
    QCOMPARE(ReceiverReadout::frequencyText(89100000), QStringLiteral("89.100000"));
    QCOMPARE(ReceiverReadout::frequencyText(100000), QStringLiteral("0.100000"));
    QCOMPARE(ReceiverReadout::frequencyText(3000000000), QStringLiteral("3000.000000"));
    QCOMPARE(ReceiverReadout::frequencyText(145123456), QStringLiteral("145.123456"));
    QCOMPARE(ReceiverReadout::levelText(0), QStringLiteral("000"));
    QCOMPARE(ReceiverReadout::levelText(7), QStringLiteral("007"));
    QCOMPARE(ReceiverReadout::levelText(255), QStringLiteral("255"));
    QCOMPARE(ReceiverReadout::levelText(-1), QStringLiteral("---"));
}

void TestReceiverRequestQueue::meterMapping_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("value");

    QTest::newRow("unknown") << -1 << 1.0;
    QTest::newRow("zero") << 0 << 1.0;
    QTest::newRow("middle") << 51 << 3.8;
    QTest::newRow("full") << 255 << 15.0;
    QTest::newRow("beyond full") << 400 << 15.0;
}

void TestReceiverRequestQueue::meterMapping()
{
    QFETCH(int, level);
    QFETCH(double, value);
    QVERIFY(qAbs(ReceiverReadout::meterValue(level) - value) < 1e-9);
}

void TestReceiverRequestQueue::listIndexClamping()
{
    QCOMPARE(ReceiverReadout::clampIndex(12, 10), 9);
    QCOMPARE(ReceiverReadout::clampIndex(-3, 19), 0);
    QCOMPARE(ReceiverReadout::clampIndex(4, 19), 4);
    QCOMPARE(ReceiverReadout::stepHertz(0), qint64(1));
    QCOMPARE(ReceiverReadout::stepHertz(11), qint64(8330));
    QCOMPARE(ReceiverReadout::stepHertz(18), qint64(500000));
    QCOMPARE(ReceiverReadout::clampFrequency(99999), qint64(100000));
    QCOMPARE(ReceiverReadout::clampFrequency(3000000001), qint64(3000000000));
}

QTEST_GUILESS_MAIN(TestReceiverRequestQueue)
#include "tst_receiverrequestqueue.moc"
