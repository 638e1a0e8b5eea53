// The synthetic sweep's state machine on a simulated receiver with a scripted audio engine:
// the whole run, every way it ends (keeping the slices done), request ids that drop late
// results, and the checks before anything starts.

#include "simulatorrig.h"
#include "syntheticsweep.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// The audio engine as a script: what startInput answers, which captures it accepts; the test
// delivers the results.
class ScriptedAudio : public SyntheticAudio
{
public:
    bool startInput(int *sampleRate, int *channels, bool *opened) override
    {
        ++starts;
        *sampleRate = rate;
        *channels = channelCount;
        *opened = !alreadyRunning;
        return inputWorks;
    }
    bool requestCapture(int request, int captureMs, int binHz, int channel) override
    {
        requests.append({request, captureMs, binHz, channel});
        return acceptCaptures;
    }
    void cancelCapture() override { ++cancels; }
    void stopInput() override { ++stops; }

    bool inputWorks = true;
    bool alreadyRunning = false;
    bool acceptCaptures = true;
    int rate = 48000;
    int channelCount = 1;
    int starts = 0;
    int cancels = 0;
    int stops = 0;
    QVector<QVector<int>> requests;
};

SyntheticParameters twoSlices()
{
    SyntheticParameters p;
    p.startHz = 4600000;
    p.endHz = 4603000; // tunings 4 599 700 and 4 600 700
    p.settleMs = 200;
    p.captureMs = 200;
    return p;
}

QVector<double> flat(double value)
{
    return QVector<double>(4801, value);
}

} // namespace

class TestSyntheticSweep : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void completeSweep();
    void lateResultAfterStopIsIgnored();
    void audioTimeout();
    void failuresKeepTheSlicesDone_data();
    void failuresKeepTheSlicesDone();
    void usbFailureTakesNoTime();
    void tuningFailure();
    void nothingStarts_data();
    void nothingStarts();

private:
    // Waits until the sweep has asked for a capture (the settle time has passed).
    bool waitForRequest(int count);

    std::unique_ptr<SimulatorRig> m_rig;
    std::unique_ptr<ScriptedAudio> m_audio;
    std::unique_ptr<SyntheticSweep> m_sweep;
};

void TestSyntheticSweep::init()
{
    m_rig = std::make_unique<SimulatorRig>();
    QVERIFY(m_rig->ready);
    m_audio = std::make_unique<ScriptedAudio>();
    m_sweep = std::make_unique<SyntheticSweep>(m_rig->driver, *m_audio);
}

void TestSyntheticSweep::cleanup()
{
    m_sweep.reset();
    m_rig.reset();
}

bool TestSyntheticSweep::waitForRequest(int count)
{
    return QTest::qWaitFor([&] { return m_audio->requests.size() >= count; }, 3000);
}

void TestSyntheticSweep::completeSweep()
{
    QSignalSpy started(m_sweep.get(), &SyntheticSweep::started);
    QSignalSpy tuned(m_sweep.get(), &SyntheticSweep::tuned);
    QSignalSpy status(m_sweep.get(), &SyntheticSweep::statusChanged);
    QSignalSpy combined(m_sweep.get(), &SyntheticSweep::sliceCombined);
    QSignalSpy restore(m_sweep.get(), &SyntheticSweep::restoreRequested);
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    QString text;
    QVERIFY(m_sweep->start(twoSlices(), 145500000, 1, &text));
    QVERIFY(m_sweep->isRunning());
    QCOMPARE(started.takeFirst().at(0).toInt(), 2);
    QCOMPARE(m_rig->sim.audioScene().effectiveMode, SyntheticSweep::usbMode);
    QCOMPARE(tuned.takeFirst().at(0).toLongLong(), 4599700);
    QCOMPARE(m_rig->sim.frequency(), 4599700u);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Tuning 4.599700 MHz — slice 1/2"));
    QVERIFY(m_audio->requests.isEmpty()); // settling

    QVERIFY(waitForRequest(1));
    QCOMPARE(m_audio->requests[0], QVector<int>({1, 200, 5, 0}));
    QVERIFY(m_sweep->capturePending());
    m_sweep->onPsdReady(1, 5.0, flat(1e-6), 9, 0.02);
    QCOMPARE(combined.size(), 1);
    QCOMPARE(combined[0].at(0).toInt(), 1);
    QCOMPARE(combined[0].at(3).toDouble(), 2.0);
    QCOMPARE(tuned.takeFirst().at(0).toLongLong(), 4600700);
    // A repeated result of the first request changes nothing.
    m_sweep->onPsdReady(1, 5.0, flat(1.0), 9, 0.5);
    QCOMPARE(m_sweep->completedSlices(), 1);

    QVERIFY(waitForRequest(2));
    QCOMPARE(m_audio->requests[1][0], 2);
    m_sweep->onPsdReady(2, 5.0, flat(1e-6), 9, 0.01);
    QVERIFY(!m_sweep->isRunning());
    QCOMPARE(m_sweep->completedSlices(), 2);
    QCOMPARE(finished.size(), 1);
    QVERIFY2(finished[0].at(0).toString().startsWith("Sweep complete. 2/2 — clip max 2.00% — "),
             qPrintable(finished[0].at(0).toString()));
    QVERIFY(finished[0].at(0).toString().endsWith(" s"));
    QCOMPARE(restore.size(), 1);
    QCOMPARE(restore[0].at(0).toLongLong(), 145500000);
    QCOMPARE(restore[0].at(1).toInt(), 1);
    QCOMPARE(m_audio->stops, 1); // the sweep opened the input
    // Both slices are in the grid: 4 600 000 ... 4 603 000 covered without a gap.
    const SyntheticGrid &grid = m_sweep->grid();
    QCOMPARE(grid.size(), 601);
    for (int i = 0; i < grid.size(); ++i)
        QVERIFY2(grid.isCovered(i), qPrintable(QString::number(i)));
    QCOMPARE(grid.psdDb(300), -60.0);
}

void TestSyntheticSweep::lateResultAfterStopIsIgnored()
{
    QString text;
    m_audio->alreadyRunning = true;
    QVERIFY(m_sweep->start(twoSlices(), 7050000, 3, &text));
    QVERIFY(waitForRequest(1));
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    m_sweep->stop(SyntheticSweep::stoppedMessage());
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0].at(0).toString().startsWith(
        "Stopped; partial data retained. 0/2 — clip max 0.00% — "));
    QCOMPARE(m_audio->cancels, 1);
    QCOMPARE(m_audio->stops, 0); // the input ran before the sweep
    QVERIFY(!m_sweep->timerActive());
    m_sweep->onPsdReady(1, 5.0, flat(1e-6), 9, 0.0);
    QCOMPARE(m_sweep->completedSlices(), 0);
    QVERIFY(!m_sweep->grid().isCovered(100));
    m_sweep->stop(SyntheticSweep::stoppedMessage());
    QCOMPARE(finished.size(), 1);
}

void TestSyntheticSweep::audioTimeout()
{
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    QString text;
    QVERIFY(m_sweep->start(twoSlices(), 7050000, 3, &text));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(finished.wait(8000));
    // Settle, then the capture time and its 4 s margin.
    QVERIFY(clock.elapsed() >= 200 + 200 + SyntheticSweep::captureTimeoutMarginMs - 50);
    QVERIFY(finished[0].at(0).toString().startsWith("Audio timeout; partial data retained. 0/2"));
}

void TestSyntheticSweep::failuresKeepTheSlicesDone_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<int>("bins");
    QTest::addColumn<int>("windows");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("message");
    QTest::newRow("no windows") << 5.0 << 4801 << 0 << true << "PSD computation failed.";
    QTest::newRow("no spacing") << 0.0 << 4801 << 9 << true << "PSD computation failed.";
    QTest::newRow("no bins") << 5.0 << 0 << 9 << true << "PSD computation failed.";
    QTest::newRow("one bin") << 5.0 << 1 << 9 << true << "Invalid PSD segment.";
    QTest::newRow("capture refused") << 5.0 << 4801 << 9 << false << "Cannot capture audio.";
}

void TestSyntheticSweep::failuresKeepTheSlicesDone()
{
    QFETCH(double, spacing);
    QFETCH(int, bins);
    QFETCH(int, windows);
    QFETCH(bool, accept);
    QFETCH(QString, message);
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    QSignalSpy restore(m_sweep.get(), &SyntheticSweep::restoreRequested);
    QString text;
    QVERIFY(m_sweep->start(twoSlices(), 7050000, 3, &text));
    QVERIFY(waitForRequest(1));
    m_sweep->onPsdReady(1, 5.0, flat(1e-6), 9, 0.0);
    m_audio->acceptCaptures = accept;
    QVERIFY(waitForRequest(2));
    if (accept)
        m_sweep->onPsdReady(2, spacing, QVector<double>(bins, 1e-6), windows, 0.0);
    QCOMPARE(finished.size(), 1);
    QVERIFY2(finished[0].at(0).toString().startsWith(message + " 1/2"),
             qPrintable(finished[0].at(0).toString()));
    QCOMPARE(restore.size(), 1);
    QCOMPARE(m_sweep->completedSlices(), 1);
    QVERIFY(m_sweep->grid().isCovered(100)); // 4 600 500 Hz, from the first slice
}

void TestSyntheticSweep::usbFailureTakesNoTime()
{
    m_rig->sim.triggerFault(SimFault::Reject, 10, "MD");
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    QSignalSpy restore(m_sweep.get(), &SyntheticSweep::restoreRequested);
    QString text;
    QVERIFY(m_sweep->start(twoSlices(), 7050000, 3, &text));
    QVERIFY(!m_sweep->isRunning());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0].at(0).toString(),
             QStringLiteral("USB configuration failed. 0/2 — clip max 0.00% — 0.0 s"));
    QCOMPARE(restore.size(), 1);
    QVERIFY(m_audio->requests.isEmpty());
}

void TestSyntheticSweep::tuningFailure()
{
    m_rig->sim.triggerFault(SimFault::Reject, 10, "RF");
    QSignalSpy finished(m_sweep.get(), &SyntheticSweep::finished);
    QString text;
    QVERIFY(m_sweep->start(twoSlices(), 7050000, 3, &text));
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0].at(0).toString().startsWith("Tuning failed; partial data retained. 0/2"));
}

void TestSyntheticSweep::nothingStarts_data()
{
    QTest::addColumn<bool>("invalid");
    QTest::addColumn<bool>("inputWorks");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("stops");
    const QString unavailable = QStringLiteral("Audio input/channel or passband unavailable.");
    QTest::newRow("invalid") << true << true << 0 << 48000
                             << "Invalid range, step or FFT duration (max 2000 tunes / 500001 "
                                "bins)."
                             << 0;
    QTest::newRow("no input") << false << false << 0 << 48000 << unavailable << 0;
    QTest::newRow("right channel of a mono input")
        << false << true << 1 << 48000 << unavailable << 1;
    // 4600 / 2 = 2300: the passband must end below half the rate.
    QTest::newRow("passband at half the rate") << false << true << 0 << 4600 << unavailable << 1;
}

void TestSyntheticSweep::nothingStarts()
{
    QFETCH(bool, invalid);
    QFETCH(bool, inputWorks);
    QFETCH(int, channel);
    QFETCH(int, rate);
    QFETCH(QString, message);
    QFETCH(int, stops);
    SyntheticParameters p = twoSlices();
    p.channel = channel;
    if (invalid)
        p.stepHz = 150;
    m_audio->inputWorks = inputWorks;
    m_audio->rate = rate;
    QSignalSpy started(m_sweep.get(), &SyntheticSweep::started);
    QString text;
    QVERIFY(!m_sweep->start(p, 7050000, 3, &text));
    QCOMPARE(text, message);
    QVERIFY(!m_sweep->isRunning());
    QCOMPARE(started.size(), 0);
    QCOMPARE(m_audio->starts, invalid ? 0 : 1);
    QCOMPARE(m_audio->stops, stops);
    QVERIFY(m_rig->sim.commands().isEmpty());
}

QTEST_GUILESS_MAIN(TestSyntheticSweep)
#include "tst_syntheticsweep.moc"
