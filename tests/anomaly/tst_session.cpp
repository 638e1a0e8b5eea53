// The armed session: exact pre- and post-trigger samples across ring wraps and block
// boundaries, refusals, disarming, observation checkpoints, the metadata of events and logs,
// and the event files.

#include "anomalysession.h"
#include "anomalysignals.h"
#include "eventfiles.h"
#include "testwav.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <stdexcept>

using namespace AnomalySignals;
using TestWav::samplesOf;

namespace {

// Feeds interleaved PCM in blocks of random sizes (1 ... maxFrames frames).
void feed(AnomalySession &session, const std::vector<qint16> &interleaved, int channels,
          quint32 seed, int maxFrames = 3000)
{
    QRandomGenerator random(seed);
    const int frames = static_cast<int>(interleaved.size()) / channels;
    int at = 0;
    while (at < frames) {
        const int n = std::min(frames - at, 1 + static_cast<int>(random.bounded(maxFrames)));
        session.processBlock(interleaved.data() + static_cast<std::size_t>(at) * channels, n);
        at += n;
    }
}

// Distinct, recognisable samples: a ramp that wraps.
std::vector<qint16> ramp(std::size_t count, int offset)
{
    std::vector<qint16> pcm(count);
    for (std::size_t i = 0; i < count; ++i)
        pcm[i] = static_cast<qint16>(
            static_cast<int>((i + static_cast<std::size_t>(offset)) % 60000) - 30000);
    return pcm;
}

QStringList sortedKeys(const QJsonObject &object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

const QStringList baseKeys = {
    "analysis_high_hz",
    "analysis_low_hz",
    "audio_device",
    "automatic",
    "bits_per_sample",
    "frequency_hz",
    "mode",
    "monitor_enabled",
    "observation_id",
    "output_channels",
    "post_seconds_requested",
    "pre_seconds_requested",
    "processing",
    "sample_rate_hz",
    "source_channel_index",
    "source_channels",
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exactSamplesAcrossTheRing_data();
    void exactSamplesAcrossTheRing();
    void automaticCaptureEndsWithTheDecidingSecond();
    void armRefusals_data();
    void armRefusals();
    void triggerRefusals();
    void disarmDuringPostTrigger();
    void checkpointEveryMinuteOfAudio();
    void manualEventFilesAndKeys();
    void progressOnlyOnChange();
    void analysisFailureDuringCapture();

private:
    AnomalyArmRequest request(int pre, int post, bool monitor) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSession::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

AnomalyArmRequest TestSession::request(int pre, int post, bool monitor) const
{
    AnomalyArmRequest r;
    r.preSeconds = pre;
    r.postSeconds = post;
    r.monitor = monitor;
    r.session = 7;
    r.baseMetadata = QJsonObject{
        {"frequency_hz", 145500000.0},
        {"mode", "NFM"},
        {"audio_device", "Test input"},
        {"observation_id", "0123456789abcdef0123456789abcdef"},
        {"observation_path", m_dir->filePath("observation.json")},
    };
    return r;
}

void TestSession::exactSamplesAcrossTheRing_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("triggerAfter"); // samples received before the trigger
    // One second of ring at 8 kHz: the write index at 0, in the middle, at the end.
    QTest::newRow("write index 0") << 1 << 0 << 16000;
    QTest::newRow("write index in the middle") << 1 << 0 << 12000;
    QTest::newRow("write index at the end") << 1 << 0 << 15999;
    QTest::newRow("right channel of stereo") << 2 << 1 << 12345;
    QTest::newRow("left channel of stereo") << 2 << 0 << 8000;
}

void TestSession::exactSamplesAcrossTheRing()
{
    QFETCH(int, channels);
    QFETCH(int, channel);
    QFETCH(int, triggerAfter);
    const int rate = 8000;
    AnomalySession session;
    AnomalyArmRequest r = request(1, 1, false);
    r.channel = channel;
    QVERIFY(session.arm(r, rate, channels));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);

    const std::size_t total = static_cast<std::size_t>(triggerAfter) + 2 * rate;
    std::vector<std::vector<qint16>> lanes{ramp(total, 0), ramp(total, 777)};
    std::vector<qint16> interleaved(total * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < total; ++i) {
        for (int c = 0; c < channels; ++c)
            interleaved[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                lanes[static_cast<std::size_t>(c)][i];
    }
    const auto split = interleaved.begin() + static_cast<std::ptrdiff_t>(triggerAfter) * channels;
    feed(session, std::vector<qint16>(interleaved.begin(), split), channels, 1);
    QVERIFY(session.manualTrigger());
    feed(session, std::vector<qint16>(split, interleaved.end()), channels, 2);

    QCOMPARE(events.count(), 1);
    const std::vector<qint16> event = samplesOf(events.at(0).at(0).toByteArray());
    const std::vector<qint16> &lane = lanes[static_cast<std::size_t>(channel)];
    const std::vector<qint16> expected(lane.begin() + triggerAfter - rate,
                                       lane.begin() + triggerAfter + rate);
    QVERIFY(event == expected);
    const QJsonObject metadata = events.at(0).at(1).toJsonObject();
    QCOMPARE(metadata.value("pre_samples").toDouble(), double(rate));
    QCOMPARE(metadata.value("post_samples").toDouble(), double(rate));
    QCOMPARE(metadata.value("source_channel_index").toInt(), channel);
    QCOMPARE(metadata.value("source_channels").toInt(), channels);
}

void TestSession::automaticCaptureEndsWithTheDecidingSecond()
{
    const int rate = 8000;
    AnomalySession session;
    AnomalyArmRequest r = request(2, 1, true);
    r.lowHz = 80;
    r.highHz = 3000;
    for (MetricRule &rule : r.config.rules)
        rule.enabled = false;
    r.config.rules[static_cast<std::size_t>(AnomalyMetric::Autocorrelation)] = {true, 0.04, 0.8, 6};
    r.config.confirm = 1;
    r.config.automatic = true;
    QVERIFY(session.arm(r, rate, 1));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    QSignalSpy decisions(&session, &AnomalySession::anomalyDecisionReady);
    QSignalSpy features(&session, &AnomalySession::anomalyFeaturesReady);

    // Noise, then from second 13 on a steady tone: autocorrelation jumps above 0.8.
    const std::vector<qint16> pcm =
        concat(noise(rate, 12, 3000, 4), mix(tones(rate, 3, {1000}, 8000), noise(rate, 3, 300, 5)));
    feed(session, pcm, 1, 3, 5000);

    QCOMPARE(features.count(), 15);
    QCOMPARE(features.at(0).at(0).toInt(), 7); // the session id
    // Decisions only once the 2 s ring is full.
    QCOMPARE(decisions.count(), 14);
    QStringList statuses;
    for (const QList<QVariant> &d : decisions)
        statuses << d.at(1).toString();
    QStringList expectedStatuses;
    for (int second = 2; second <= 15; ++second)
        expectedStatuses << (second == 13 ? QStringLiteral("NEW") : QStringLiteral("NONE"));
    QCOMPARE(statuses, expectedStatuses);
    QCOMPARE(decisions.at(11).at(4).toInt(), int(AnomalyMetrics::bit(5)));

    QCOMPARE(events.count(), 1);
    const std::vector<qint16> event = samplesOf(events.at(0).at(0).toByteArray());
    const std::vector<qint16> expected(pcm.begin() + 11 * rate, pcm.begin() + 14 * rate);
    QVERIFY(event == expected);
    const QJsonObject metadata = events.at(0).at(1).toJsonObject();
    QCOMPARE(metadata.value("trigger_type").toString(), QStringLiteral("NEW"));
    QCOMPARE(metadata.value("trigger_elapsed_seconds").toInt(), 13);
    QCOMPARE(metadata.value("changed_mask").toInt(), 32);
    QCOMPARE(metadata.value("automatic").toBool(), true);
    QCOMPARE(sortedKeys(metadata.value("decision_config").toObject()),
             (QStringList{"confirmation_seconds", "cooldown_seconds", "learning_seconds",
                          "release_seconds"}));
    const QJsonObject metrics = metadata.value("metrics").toObject();
    QCOMPARE(metrics.size(), AnomalyMetrics::count);
    const QStringList ruleKeys{
        "absolute_threshold", "changed", "enabled", "scale_floor", "score", "value", "z_threshold"};
    const QJsonObject autocorrelation = metrics.value("autocorrelation").toObject();
    QCOMPARE(sortedKeys(autocorrelation),
             (QStringList{"absolute_threshold", "baseline", "changed", "enabled", "scale",
                          "scale_floor", "score", "value", "z_threshold"}));
    QVERIFY(autocorrelation.value("changed").toBool());
    QVERIFY(autocorrelation.value("score").toDouble() >= 1.0);
    // A disabled metric has no baseline; a metric without a value this second writes null.
    QCOMPARE(sortedKeys(metrics.value("rms").toObject()), ruleKeys);
    QVERIFY(metrics.value("rms").toObject().value("value").isDouble());
    QCOMPARE(metrics.value("comb_spacing").toObject().value("value").type(), QJsonValue::Null);
}

void TestSession::armRefusals_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("pre");
    QTest::addColumn<int>("post");
    QTest::addColumn<bool>("monitor");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("armed");
    QTest::newRow("accepted") << 48000 << 2 << 1 << 1 << 300 << true << 6000.0 << true;
    QTest::newRow("channel outside") << 48000 << 1 << 1 << 15 << 20 << true << 6000.0 << false;
    QTest::newRow("negative channel") << 48000 << 2 << -1 << 15 << 20 << true << 6000.0 << false;
    QTest::newRow("pre 0") << 48000 << 1 << 0 << 0 << 20 << true << 6000.0 << false;
    QTest::newRow("pre 121") << 48000 << 1 << 0 << 121 << 20 << true << 6000.0 << false;
    QTest::newRow("post 0") << 48000 << 1 << 0 << 15 << 0 << true << 6000.0 << false;
    QTest::newRow("post 301") << 48000 << 1 << 0 << 15 << 301 << true << 6000.0 << false;
    QTest::newRow("rate 0") << 0 << 1 << 0 << 15 << 20 << false << 6000.0 << false;
    QTest::newRow("rate above 192 kHz") << 192001 << 1 << 0 << 1 << 1 << false << 6000.0 << false;
    QTest::newRow("narrow band with analysis")
        << 48000 << 1 << 0 << 15 << 20 << true << 150.0 << false;
    QTest::newRow("narrow band without analysis")
        << 48000 << 1 << 0 << 15 << 20 << false << 150.0 << true;
    QTest::newRow("low rate without analysis")
        << 4000 << 1 << 0 << 15 << 20 << false << 6000.0 << true;
}

void TestSession::armRefusals()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, channel);
    QFETCH(int, pre);
    QFETCH(int, post);
    QFETCH(bool, monitor);
    QFETCH(double, high);
    QFETCH(bool, armed);
    AnomalySession session;
    AnomalyArmRequest r = request(pre, post, monitor);
    r.channel = channel;
    r.highHz = high;
    QCOMPARE(session.arm(r, rate, channels), armed);
    QCOMPARE(session.isArmed(), armed);
    session.waitForObservationWrites();
    QCOMPARE(QFile::exists(m_dir->filePath("observation.json")), armed);
    if (armed) {
        QVERIFY(!session.arm(r, rate, channels)); // already armed
        QVERIFY(session.isArmed());
    }
}

void TestSession::triggerRefusals()
{
    AnomalySession session;
    QVERIFY(!session.manualTrigger()); // not armed
    QVERIFY(session.arm(request(1, 1, false), 8000, 1));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    const std::vector<qint16> pcm = ramp(8000, 0);
    session.processBlock(pcm.data(), 7999);
    QVERIFY(!session.manualTrigger()); // ring one sample short
    session.processBlock(pcm.data(), 1);
    QVERIFY(session.manualTrigger());
    QVERIFY(!session.manualTrigger()); // a capture runs
    session.processBlock(pcm.data(), 7999);
    QVERIFY(!session.manualTrigger());
    session.processBlock(pcm.data(), 1);
    QCOMPARE(events.count(), 1);
    QVERIFY(session.manualTrigger());
}

void TestSession::disarmDuringPostTrigger()
{
    AnomalySession session;
    QVERIFY(session.arm(request(1, 2, false), 8000, 1));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    QSignalSpy stopped(&session, &AnomalySession::anomalyStopped);
    const std::vector<qint16> pcm = ramp(16000, 0);
    session.processBlock(pcm.data(), 8000);
    QVERIFY(session.manualTrigger());
    session.processBlock(pcm.data(), 8000);
    session.disarm();
    session.disarm();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!session.isArmed());
    session.processBlock(pcm.data(), 16000);
    QCOMPARE(events.count(), 0);
    session.waitForObservationWrites();
    const QJsonObject log = readJson(m_dir->filePath("observation.json"));
    QCOMPARE(log.value("closed").toBool(), true);
    QCOMPARE(log.value("pending_capture").toBool(), true);
    QCOMPARE(log.value("manual_started").toInt(), 1);
    QCOMPARE(log.value("manual_completed_pcm").toInt(), 0);
    QCOMPARE(log.value("pcm_samples").toInt(), 16000);
}

void TestSession::checkpointEveryMinuteOfAudio()
{
    const int rate = 48000;
    AnomalySession session;
    QVERIFY(session.arm(request(15, 20, false), rate, 1));
    const QString path = m_dir->filePath("observation.json");
    const auto logged = [&session, &path](const char *key) {
        session.waitForObservationWrites();
        return readJson(path).value(QLatin1String(key));
    };
    QCOMPARE(logged("closed").toBool(), false);
    QCOMPARE(logged("pcm_samples").toDouble(), 0.0);
    QVERIFY(!logged("start_utc").toString().isEmpty());

    const std::vector<qint16> block(rate / 10, 100);
    const auto seconds = [&session, &block](int tenths) {
        for (int i = 0; i < tenths; ++i)
            session.processBlock(block.data(), static_cast<int>(block.size()));
    };
    seconds(599);
    QCOMPARE(logged("pcm_samples").toDouble(), 0.0);
    seconds(1);
    QCOMPARE(logged("pcm_samples").toDouble(), 60.0 * rate);
    seconds(300);
    QCOMPARE(logged("pcm_samples").toDouble(), 60.0 * rate);
    session.disarm();
    QCOMPARE(logged("pcm_samples").toDouble(), 90.0 * rate);
    QCOMPARE(logged("closed").toBool(), true);

    const QJsonObject log = readJson(path);
    QStringList expected = baseKeys;
    expected << "auto_completed_pcm"
             << "auto_started"
             << "change_events"
             << "checkpoint_utc"
             << "closed"
             << "decision_config"
             << "eligible_auto_seconds"
             << "end_events"
             << "manual_completed_pcm"
             << "manual_started"
             << "monitored_seconds"
             << "new_events"
             << "pcm_samples"
             << "pending_capture"
             << "rules"
             << "schema_version"
             << "skipped"
             << "start_utc";
    expected.sort();
    QCOMPARE(sortedKeys(log), expected);
    QCOMPARE(log.value("schema_version").toInt(), 1);
    QCOMPARE(log.value("rules").toObject().size(), AnomalyMetrics::count);
    QCOMPARE(sortedKeys(log.value("decision_config").toObject()),
             (QStringList{"capture_end", "confirmation_seconds", "cooldown_seconds",
                          "learning_seconds", "release_seconds"}));
}

void TestSession::manualEventFilesAndKeys()
{
    const int rate = 48000;
    AnomalySession session;
    QVERIFY(session.arm(request(15, 20, false), rate, 1));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    const std::vector<qint16> second(rate, -5);
    for (int s = 0; s < 15; ++s)
        session.processBlock(second.data(), rate);
    QVERIFY(session.manualTrigger());
    for (int s = 0; s < 20; ++s)
        session.processBlock(second.data(), rate);
    QCOMPARE(events.count(), 1);
    const QByteArray pcm = events.at(0).at(0).toByteArray();
    const QJsonObject metadata = events.at(0).at(1).toJsonObject();
    QCOMPARE(metadata.value("pre_samples").toDouble(), 720000.0);
    QCOMPARE(metadata.value("post_samples").toDouble(), 960000.0);
    QCOMPARE(metadata.value("total_samples").toDouble(), 1680000.0);
    QStringList expected = baseKeys;
    expected << "complete"
             << "post_samples"
             << "pre_samples"
             << "total_samples"
             << "trigger_type"
             << "trigger_utc";
    expected.sort();
    QCOMPARE(sortedKeys(metadata), expected); // no metrics, masks or decision_config
    QCOMPARE(metadata.value("trigger_type").toString(), QStringLiteral("MANUAL_TEST"));

    const EventFiles::Result written = EventFiles::write(m_dir->path(), pcm, metadata);
    QVERIFY(written.wavWritten);
    QVERIFY(written.jsonWritten);
    QVERIFY(QFileInfo(written.wavPath).fileName().startsWith("145.500000_"));
    QFile wav(written.wavPath);
    QVERIFY(wav.open(QIODevice::ReadOnly));
    const QByteArray bytes = wav.readAll();
    QCOMPARE(bytes.size(), 3360044);
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 3360036u);
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 22), quint16(1));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), quint32(rate));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 40), 3360000u);
    QCOMPARE(bytes.mid(44), pcm);
    const QJsonObject sidecar = readJson(written.jsonPath);
    QCOMPARE(sidecar.value("wav_file").toString(), QFileInfo(written.wavPath).fileName());
    QCOMPARE(sidecar.value("total_samples").toDouble(), 1680000.0);

    // Unusable events write nothing.
    QJsonObject noRate = metadata;
    noRate.insert("sample_rate_hz", 0);
    QVERIFY(!EventFiles::write(m_dir->path(), pcm, noRate).wavWritten);
    QVERIFY(!EventFiles::write(m_dir->path(), pcm.left(3), metadata).wavWritten);
    QVERIFY(!EventFiles::write(m_dir->filePath("missing/folder"), pcm, metadata).wavWritten);
    QCOMPARE(QDir(m_dir->path()).entryList({"*.wav"}).size(), 1);
}

void TestSession::progressOnlyOnChange()
{
    AnomalySession session;
    QVERIFY(session.arm(request(2, 1, false), 8000, 1));
    QSignalSpy progress(&session, &AnomalySession::anomalyProgress);
    const std::vector<qint16> block(1000, 1);
    for (int i = 0; i < 20; ++i)
        session.processBlock(block.data(), 1000);
    // Buffered seconds 0, 1, 2 while filling, then steady.
    QCOMPARE(progress.count(), 3);
    QCOMPARE(progress.at(2), (QList<QVariant>{2, 0, false}));
    QVERIFY(session.manualTrigger());
    session.processBlock(block.data(), 1000);
    session.processBlock(block.data(), 1000);
    QCOMPARE(progress.count(), 4);
    QCOMPARE(progress.at(3), (QList<QVariant>{2, 1, true}));
    for (int i = 0; i < 6; ++i)
        session.processBlock(block.data(), 1000);
    QCOMPARE(progress.count(), 5);
    QCOMPARE(progress.at(4), (QList<QVariant>{2, 0, false}));
}

void TestSession::analysisFailureDuringCapture()
{
    const int rate = 8000;
    AnomalySession session;
    QVERIFY(session.arm(request(1, 3, true), rate, 1));
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    QSignalSpy errors(&session, &AnomalySession::anomalyFeaturesError);
    QSignalSpy features(&session, &AnomalySession::anomalyFeaturesReady);
    // The second second's work fails (as memory exhaustion would) while a capture runs.
    connect(&session, &AnomalySession::anomalyFeaturesReady, this, [](int, int seconds) {
        if (seconds == 2)
            throw std::runtime_error("injected failure");
    });
    const std::vector<qint16> pcm = noise(rate, 6, 2000, 12);
    session.processBlock(pcm.data(), rate);
    QVERIFY(session.manualTrigger());
    session.processBlock(pcm.data() + rate, 5 * rate);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0), (QList<QVariant>{7, QStringLiteral("injected failure")}));
    QCOMPARE(features.count(), 2); // no analysis after the failure
    QVERIFY(session.isArmed());
    QCOMPARE(events.count(), 1);
    const std::vector<qint16> expected(pcm.begin(), pcm.begin() + 4 * rate);
    QVERIFY(samplesOf(events.at(0).at(0).toByteArray()) == expected);
    QVERIFY(session.manualTrigger()); // capture stays available
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
