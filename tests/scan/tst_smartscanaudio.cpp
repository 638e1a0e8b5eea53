// Smart Scan end to end on the real audio path: the simulated receiver's stations of every
// signal class reach the audio engine through the private PulseAudio server, and a scan with the
// page's defaults (S-meter 125, -55 dBFS, 1500 ms) archives each with its class; in AUTO a result
// carries the mode the receiver chose.
#include "audiorecorder.h"
#include "driverscanreceiver.h"
#include "measurementrequests.h"
#include "pulsetestserver.h"
#include "receivermode.h"
#include "recorderscanaudio.h"
#include "simaudiopath.h"
#include "smartscan.h"

#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class SmartScanAudioTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void scanMeetsEveryClass_data();
    void scanMeetsEveryClass();

private:
    std::unique_ptr<SimAudioPath> m_path;
};

void SmartScanAudioTest::initTestCase()
{
    qRegisterMetaType<AudioAnalysisResult>();
    REQUIRE_PULSE_SERVER();
    m_path = std::make_unique<SimAudioPath>();
    QString error;
    QVERIFY2(m_path->start(&error), qPrintable(error));
}

void SmartScanAudioTest::cleanupTestCase()
{
    m_path.reset();
}

void SmartScanAudioTest::scanMeetsEveryClass_data()
{
    QTest::addColumn<double>("startMHz");
    QTest::addColumn<double>("endMHz");
    QTest::addColumn<int>("mode");
    // "MHz=outcome/mode" of the analysed frequencies that must be in the archive.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("every class, WFM")
        << 90.8 << 96.3 << int(ReceiverMode::Wfm)
        << QStringList{"91.000000=quiet/WFM", "91.100000=possible/WFM", "92.500000=tone/WFM",
                       "94.500000=modulated/WFM", "96.300000=noise/WFM"};
    QTest::newRow("speech in AUTO")
        << 94.5 << 94.5 << int(ReceiverMode::Auto) << QStringList{"94.500000=modulated/WFM"};
}

void SmartScanAudioTest::scanMeetsEveryClass()
{
    QFETCH(double, startMHz);
    QFETCH(double, endMHz);
    QFETCH(int, mode);
    QFETCH(QStringList, expected);
    QTemporaryDir folder;
    DriverScanReceiver receiver(m_path->driver());
    RecorderScanAudio audio(m_path->recorder());
    MeasurementRequests requests;
    QStringList modeNames;
    for (int code = 0; code < receiverModeCount; ++code)
        modeNames << receiverModeName(code);
    SmartScan scan(receiver, audio, requests, modeNames);
    scan.setOutputFolder(folder.path());
    connect(m_path->recorder(), &AudioRecorder::signalAnalysisReady, &scan,
            &SmartScan::analysisReady);
    QHash<QString, QString> seen;
    QString analysed;
    connect(&scan, &SmartScan::resultRecorded, this, [&](const QJsonObject &record) {
        const QString megahertz =
            QString::number(record.value("frequency_hz").toDouble() / 1e6, 'f', 6);
        seen.insert(megahertz,
                    record.value("outcome").toString() + '/' + record.value("mode").toString());
        analysed += megahertz + '=' + seen.value(megahertz) + ' ';
        QCOMPARE(record.value("fft_windows").toInt(), 18);
    });
    bool completed = false;
    bool finished = false;
    connect(&scan, &SmartScan::finished, this, [&](const QString &, bool done) {
        completed = done;
        finished = true;
    });
    SmartScanPlan plan;
    plan.startHz = SmartScanPlan::hertz(startMHz, 1e6);
    plan.endHz = SmartScanPlan::hertz(endMHz, 1e6);
    plan.mode = mode;
    plan.modeText = receiverModeName(mode);
    QString status;
    QVERIFY2(scan.start(plan, &status), qPrintable(status));
    QVERIFY(QTest::qWaitFor([&finished] { return finished; }, 90000));
    QVERIFY(completed);
    for (const QString &entry : expected) {
        const QString megahertz = entry.section('=', 0, 0);
        QVERIFY2(seen.value(megahertz) == entry.section('=', 1), qPrintable(analysed));
    }
}

QTEST_GUILESS_MAIN(SmartScanAudioTest)
#include "tst_smartscanaudio.moc"
