// The RF Synthetic Spectrum page with a stand-in window: its controls and settings, when it may
// start, the readout, the zoom, the CSV export, and one whole sweep end to end: the simulated
// receiver's carriers through the private PulseAudio server into the real audio engine, found
// in the synthetic spectrum within one bin.

#include "activityregistry.h"
#include "audiofifowriter.h"
#include "audiorecorder.h"
#include "audiothreadcall.h"
#include "bandplan.h"
#include "corvindriver.h"
#include "powerbackend.h"
#include "pulsetestserver.h"
#include "rxsimulator.h"
#include "scanstandby.h"
#include "simulatorrig.h"
#include "syntheticfrequencyscaledraw.h"
#include "syntheticplot.h"
#include "syntheticspectrumzoomer.h"
#include "synthetictab.h"
#include "testhost.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <qwt_plot_panner.h>
#include <qwt_scale_div.h>

#include <memory>

namespace {

// Keep-awake as the system would hold it, counted.
class CountingPower : public PowerBackend
{
public:
    bool acquireKeepAwake() override
    {
        held = true;
        ++acquired;
        return true;
    }
    bool releaseKeepAwake() override
    {
        held = false;
        return true;
    }
    int requestSleep() override { return 0; }

    bool held = false;
    int acquired = 0;
};

// The window as the tab sees it, with a real audio engine on its own thread reading the
// audio server's 48 kHz mono pipe source.
class AudioHost : public TestHost
{
public:
    AudioHost()
        : m_standby(*this, power)
    {
        standby = &m_standby;
        recorder = new AudioRecorder;
        recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, recorder, &QObject::deleteLater);
        m_thread.start();
    }
    ~AudioHost() override
    {
        callOnAudioThread(recorder, [r = recorder] { r->stopAll(); });
        m_thread.quit();
        m_thread.wait();
    }
    bool startAudioInput() override
    {
        ++audioInputStarts;
        const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in");
        AudioRecorder *r = recorder;
        return callOnAudioThread(r, [r, input] { return r->startInput(input); });
    }
    void refreshAudioStatus() override
    {
        ++audioStatusRefreshes;
        AudioRecorder *r = recorder;
        const bool held = activities().isRunning(Activity::SyntheticSweep);
        callOnAudioThread(r, [r, held] { r->queryState(held); });
    }

    const std::shared_ptr<CountingPower> power = std::make_shared<CountingPower>();

private:
    ScanStandby m_standby;
    QThread m_thread;
};

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("missing %s", name);
    return widget;
}

} // namespace

class TestSyntheticTab : public QObject
{
    Q_OBJECT

private slots:
    void controlsAndSettings();
    void whenItMayStart();
    void refusalsShowInTheStatusLine();
    void frequencyLabels_data();
    void frequencyLabels();
    void readoutAndZoom();
    void sweepEndToEnd();
};

void TestSyntheticTab::controlsAndSettings()
{
    Corvindriver driver; // the window's driver, not connected
    TestHost host;
    host.receiverDriver = &driver;
    host.settings().setValue("Synthetic/Start", 7.0);
    host.settings().setValue("Synthetic/Bin", 10);
    SyntheticTab tab(host);
    QCOMPARE(child<QGroupBox>(&tab, "syntheticTuning")->title(), QStringLiteral("RF tuning"));
    QCOMPARE(child<QGroupBox>(&tab, "syntheticAudio")->title(), QStringLiteral("Audio and FFT"));
    QCOMPARE(child<QDoubleSpinBox>(&tab, "syntheticStartMHz")->value(), 7.0);
    QCOMPARE(child<QDoubleSpinBox>(&tab, "syntheticEndMHz")->value(), 4.7);
    QCOMPARE(child<QDoubleSpinBox>(&tab, "syntheticEndMHz")->decimals(), 6);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticStep")->value(), 1000);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticLow")->value(), 300);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticHigh")->value(), 2300);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticBin")->value(), 10);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticDuration")->value(), 1000);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticSettle")->value(), 350);
    QCOMPARE(child<QSpinBox>(&tab, "syntheticSettle")->singleStep(), 50);
    QCOMPARE(child<QComboBox>(&tab, "syntheticChannel")->count(), 2);
    QCOMPARE(child<QLabel>(&tab, "syntheticStatus")->text(),
             QStringLiteral("Connect and select the audio input in Receiver."));
    QCOMPARE(child<QLabel>(&tab, "syntheticCursorReadout")->text(),
             QStringLiteral("Point at the spectrum to read a bin"));
    const SyntheticParameters p = tab.parameters();
    QCOMPARE(p.startHz, 7000000);
    QCOMPARE(p.endHz, 4700000);
    QCOMPARE(p.binHz, 10);
    // Disconnected: nothing can start; no sweep, nothing to export.
    QVERIFY(!child<QPushButton>(&tab, "syntheticStart")->isEnabled());
    QVERIFY(!child<QPushButton>(&tab, "syntheticStop")->isEnabled());
    QVERIFY(!child<QPushButton>(&tab, "syntheticExport")->isEnabled());
    // The plot shows the From/To range until there is a grid.
    QCOMPARE(tab.plot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -140.0);
}

void TestSyntheticTab::whenItMayStart()
{
    RxSimulator sim;
    sim.setPaced(false);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    Corvindriver driver;
    TestHost host;
    host.receiverDriver = &driver;
    SyntheticTab tab(host);
    auto *start = child<QPushButton>(&tab, "syntheticStart");
    QVERIFY(!start->isEnabled());
    QVERIFY(driver.openPort(sim.portPath()));
    host.updateConnectionUi();
    QVERIFY(start->isEnabled());
    host.audioInputPresent = false;
    host.updateConnectionUi();
    QVERIFY(!start->isEnabled());
    host.audioInputPresent = true;
    bool other = true;
    QObject owner;
    host.activities().registerActivity(Activity::RfSweep, &owner, [&other] { return other; });
    host.updateConnectionUi();
    QVERIFY(!start->isEnabled());
    other = false;
    host.updateConnectionUi();
    QVERIFY(start->isEnabled());
    QVERIFY(!host.activities().isRunning(Activity::SyntheticSweep));
}

void TestSyntheticTab::refusalsShowInTheStatusLine()
{
    SimulatorRig rig;
    QVERIFY(rig.ready);
    TestHost host;
    host.receiverDriver = &rig.driver;
    SyntheticTab tab(host);
    auto *status = child<QLabel>(&tab, "syntheticStatus");
    child<QSpinBox>(&tab, "syntheticStep")->setValue(150);
    tab.startSweep();
    QCOMPARE(status->text(), QStringLiteral("Invalid range, step or FFT duration (max 2000 tunes "
                                            "/ 500001 bins)."));
    child<QSpinBox>(&tab, "syntheticStep")->setValue(1000);
    tab.startSweep(); // the stand-in window has no audio engine
    QCOMPARE(status->text(), QStringLiteral("Audio input/channel or passband unavailable."));
    QVERIFY(!tab.sweep().isRunning());
    QVERIFY(rig.sim.commands().isEmpty());
    // Nothing was stored: settings are written when a sweep starts.
    QVERIFY(!host.settings().contains("Synthetic/Step"));
}

void TestSyntheticTab::frequencyLabels_data()
{
    QTest::addColumn<double>("megahertz");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 5.0 << "5";
    QTest::newRow("tenths") << 4.6 << "4.6";
    QTest::newRow("four decimals") << 4.6125 << "4.6125";
    QTest::newRow("hertz") << 4.600001 << "4.600001";
    QTest::newRow("rounded to hertz") << 4.6000004 << "4.6";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestSyntheticTab::frequencyLabels()
{
    QFETCH(double, megahertz);
    QFETCH(QString, text);
    QCOMPARE(SyntheticFrequencyScaleDraw::text(megahertz), text);
}

void TestSyntheticTab::readoutAndZoom()
{
    Corvindriver driver;
    TestHost host;
    host.receiverDriver = &driver;
    SyntheticTab tab(host);
    tab.resize(900, 700);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    SyntheticGrid grid(4600000, 4610000, 5);
    QVERIFY(grid.combine(4599700, 5.0, QVector<double>(1000, 1e-6), 300, 2300));
    SyntheticPlot *plot = tab.plot();
    plot->showGrid(&grid);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 4.6);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 4.61);

    auto *readout = child<QLabel>(&tab, "syntheticCursorReadout");
    emit plot->pointed(QPointF(4.6005012, -80.0));
    QCOMPARE(readout->text(), QStringLiteral("4.600500 MHz  ·  -60.0 dBFS/Hz"));
    emit plot->pointed(QPointF(4.6071234, -80.0));
    QCOMPARE(readout->text(), QStringLiteral("4.607123 MHz  ·  No data"));
    emit plot->left();
    QCOMPARE(readout->text(), QStringLiteral("Point at the spectrum to read a bin"));

    // Zooming enables "Full view" and the panner; back at the base both are off again.
    auto *fullView = child<QPushButton>(&tab, "syntheticFullView");
    QVERIFY(!fullView->isEnabled());
    plot->zoomer()->zoom(QRectF(4.601, -70.0, 0.002, 20.0));
    QVERIFY(plot->isZoomed());
    QVERIFY(fullView->isEnabled());
    QVERIFY(plot->panner()->isEnabled());
    // A new slice keeps the zoom.
    plot->showGrid(&grid);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 4.601);
    // Right click goes back one step, here to the base.
    const QPoint centre = plot->canvas()->rect().center();
    QTest::mouseClick(plot->canvas(), Qt::RightButton, Qt::NoModifier, centre);
    QVERIFY(!plot->isZoomed());
    QVERIFY(!fullView->isEnabled());
    QVERIFY(!plot->panner()->isEnabled());
    // The wheel turned forward zooms in around the cursor by 0.8.
    QWheelEvent wheel(QPointF(centre), QPointF(plot->canvas()->mapToGlobal(centre)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot->canvas(), &wheel);
    QVERIFY(plot->isZoomed());
    const QwtScaleDiv x = plot->axisScaleDiv(QwtPlot::xBottom);
    QVERIFY2(qAbs(x.range() - 0.8 * 0.01) < 1e-9, qPrintable(QString::number(x.range())));
    fullView->click();
    QVERIFY(!fullView->isEnabled());
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).range(), 0.01);
}

void TestSyntheticTab::sweepEndToEnd()
{
    REQUIRE_PULSE_SERVER();
    // Two carriers 1200 Hz apart. Tunings 4 608 200, 4 609 200 and 4 610 200 Hz cover
    // 4 608 500 ... 4 612 500 Hz.
    SimulatorRig rig({"station 4610000 CW 200 120 carrier", "station 4611200 CW 200 100 carrier"});
    QVERIFY(rig.ready);
    RxSimulator &sim = rig.sim;
    QString error;
    AudioFifoWriter audio([&sim] { return sim.audioScene(); }, PulseTest::monoFifo(), 48000, 1);
    QVERIFY2(audio.start(&error), qPrintable(error));

    AudioHost host;
    host.receiverDriver = &rig.driver;
    host.receiver.frequency = 7050000;
    host.receiver.mode = 2;
    SyntheticTab tab(host);
    child<QDoubleSpinBox>(&tab, "syntheticStartMHz")->setValue(4.6085);
    child<QDoubleSpinBox>(&tab, "syntheticEndMHz")->setValue(4.6125);
    child<QSpinBox>(&tab, "syntheticDuration")->setValue(500);
    QSignalSpy finished(&tab.sweep(), &SyntheticSweep::finished);
    auto *start = child<QPushButton>(&tab, "syntheticStart");
    QVERIFY(start->isEnabled());
    start->click();
    QVERIFY(tab.sweep().isRunning());
    QVERIFY(host.activities().isRunning(Activity::SyntheticSweep));
    QVERIFY(!start->isEnabled());
    QVERIFY(child<QPushButton>(&tab, "syntheticStop")->isEnabled());
    QCOMPARE(host.settings().value("Synthetic/Duration").toInt(), 500);
    QVERIFY(host.power->held);
    QVERIFY(finished.wait(20000));
    QVERIFY(!host.power->held);
    QCOMPARE(host.power->acquired, 1);
    audio.stop();
    QVERIFY2(finished[0].at(0).toString().startsWith("Sweep complete. 3/3"),
             qPrintable(finished[0].at(0).toString()));
    // The receiver is back where it was, the input closed.
    QCOMPARE(host.restores.size(), 1);
    QCOMPARE(host.restores[0], qMakePair(qint64(7050000), 2));
    QVERIFY(!callOnAudioThread(host.recorder,
                               [r = host.recorder] { return r->inputFormat().isValid(); }));

    // Each carrier is the strongest bin within 200 Hz of it, at most one bin off, far above
    // the floor between them.
    const SyntheticGrid &grid = tab.sweep().grid();
    const auto peakNear = [&](qint64 hertz) {
        int best = -1;
        for (int i = 0; i < grid.size(); ++i) {
            if (std::llabs(grid.frequencyOf(i) - hertz) <= 200 && grid.isCovered(i) &&
                (best < 0 || grid.psdDb(i) > grid.psdDb(best))) {
                best = i;
            }
        }
        return best;
    };
    for (qint64 carrier : {4610000LL, 4611200LL}) {
        const int peak = peakNear(carrier);
        QVERIFY(peak >= 0);
        QVERIFY2(std::llabs(grid.frequencyOf(peak) - carrier) <= grid.binHz(),
                 qPrintable(QString::number(grid.frequencyOf(peak))));
        const int between = (4610600 - 4608500) / 5; // half way between the carriers
        QVERIFY2(
            grid.psdDb(peak) > grid.psdDb(between) + 30.0,
            qPrintable(QStringLiteral("%1 %2").arg(grid.psdDb(peak)).arg(grid.psdDb(between))));
    }
    QVERIFY(child<QPushButton>(&tab, "syntheticExport")->isEnabled());
    QTemporaryDir dir;
    const QString csv = dir.filePath("rf.csv");
    QVERIFY(tab.exportCsv(csv));
    QCOMPARE(child<QLabel>(&tab, "syntheticStatus")->text(),
             QStringLiteral("CSV saved: ") + QDir::toNativeSeparators(csv));
    QVERIFY(host.logContains(QStringLiteral("CSV saved: ")));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\n'), 1 + grid.size());
}

QTEST_MAIN(TestSyntheticTab)
#include "tst_synthetictab.moc"
