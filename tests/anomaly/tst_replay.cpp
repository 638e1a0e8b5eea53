// The offline replay: it decides and captures exactly as the armed session does on the same
// audio, writes its CSV as documented, and refuses recordings it cannot replay.

#include "anomalysession.h"
#include "anomalysignals.h"
#include "replaycsv.h"
#include "replayrunner.h"
#include "testwav.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <stdexcept>

using namespace AnomalySignals;
using TestWav::bytesOf;
using TestWav::samplesOf;

namespace {

// A minute and a half of noise with keyed tones, pulse bursts and a level jump.
std::vector<qint16> eventfulAudio(int rate)
{
    std::vector<qint16> pcm = noise(rate, 30, 2000, 21);
    pcm = concat(pcm, mix(noise(rate, 12, 2000, 22), tones(rate, 12, {700, 1400}, 6000)));
    pcm = concat(pcm, noise(rate, 20, 2000, 23));
    std::vector<qint16> pulses = noise(rate, 10, 2000, 24);
    for (std::size_t i = 0; i < pulses.size(); ++i) {
        if ((i % static_cast<std::size_t>(rate / 5)) < static_cast<std::size_t>(rate / 50))
            pulses[i] = toPcm(pulses[i] * 6.0);
    }
    pcm = concat(pcm, pulses);
    pcm = concat(pcm, noise(rate, 10, 9000, 25));
    return concat(pcm, noise(rate, 8.5, 2000, 26));
}

AnomalySettings replaySettings()
{
    AnomalySettings settings;
    settings.lowHz = 100;
    settings.highHz = 3500;
    settings.preSeconds = 4;
    settings.postSeconds = 6;
    settings.decision.learn = 10;
    settings.decision.confirm = 2;
    settings.decision.release = 3;
    settings.decision.cooldown = 5;
    settings.decision.captureEnd = true;
    return settings;
}

struct LiveDecision
{
    QString status;
    QVector<double> scores;
    int learned;
    int active;
};

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void liveSessionAndReplayAgree();
    void csvLayoutAndTail();
    void refusals_data();
    void refusals();
    void channelSelection();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestReplay::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestReplay::liveSessionAndReplayAgree()
{
    const int rate = 16000;
    const std::vector<qint16> pcm = eventfulAudio(rate);
    const AnomalySettings settings = replaySettings();

    // Live: the session fed blocks of random sizes, automatic capture on.
    AnomalySession session;
    AnomalyArmRequest request;
    request.preSeconds = settings.preSeconds;
    request.postSeconds = settings.postSeconds;
    request.lowHz = settings.lowHz;
    request.highHz = settings.highHz;
    request.config = settings.decision;
    request.config.automatic = true;
    request.baseMetadata.insert("observation_path", m_dir->filePath("log.json"));
    QVERIFY(session.arm(request, rate, 1));
    std::vector<LiveDecision> live;
    connect(&session, &AnomalySession::anomalyDecisionReady,
            [&live](int, const QString &status, const QVector<double> &scores, int learned,
                    int active, int, int) {
                live.push_back({status, scores, learned, active});
            });
    QSignalSpy events(&session, &AnomalySession::anomalyEventReady);
    QRandomGenerator random(99);
    for (std::size_t at = 0; at < pcm.size();) {
        const std::size_t n = std::min<std::size_t>(pcm.size() - at, 1 + random.bounded(9000));
        session.processBlock(pcm.data() + at, static_cast<int>(n));
        at += n;
    }

    // Replay: the same audio as a WAV file.
    const QString wav = m_dir->filePath("eventful.wav");
    QVERIFY(TestWav::write(wav, rate, 1, 16, false, bytesOf(pcm)));
    ReplayRunner replay;
    replay.open(wav);
    QBuffer csv;
    QVERIFY(csv.open(QIODevice::WriteOnly));
    replay.start(settings, 0, &csv);
    std::vector<ReplayRunner::Step> steps;
    ReplayRunner::Step step;
    while (replay.step(&step))
        steps.push_back(step);
    QVERIFY(replay.isFinished());
    QCOMPARE(steps.size(), std::size_t(90));
    QCOMPARE(replay.tailSamples(), quint64(rate / 2));

    // Decisions from the pre-trigger seconds on, one per second, identical to the last bit.
    QCOMPARE(live.size(), steps.size() - settings.preSeconds + 1);
    int starts = 0;
    int skips = 0;
    QVector<qint64> startSeconds;
    for (std::size_t i = 0; i < live.size(); ++i) {
        const ReplayRunner::Step &s = steps[i + settings.preSeconds - 1];
        QCOMPARE(s.update.seconds, qint64(i) + settings.preSeconds);
        const DecisionResult &r = s.decision.result;
        QCOMPARE(live[i].status, TriggerPolicy::statusText(s.decision));
        QCOMPARE(live[i].active, int(r.activeMask));
        QCOMPARE(live[i].learned, r.learned);
        for (int m = 0; m < AnomalyMetrics::count; ++m)
            QCOMPARE(live[i].scores[m], r.scores[static_cast<std::size_t>(m)]);
        if (s.decision.capture == TriggerPolicy::Capture::Start) {
            ++starts;
            startSeconds << s.update.seconds;
        }
        skips += s.decision.skipped ? 1 : 0;
    }
    QVERIFY2(starts >= 3, "the audio should provoke several captures");
    QVERIFY2(skips >= 1, "and at least one skip");
    QCOMPARE(replay.capturesStarted(), starts);
    QCOMPARE(replay.skipped(), skips);

    // Captures: the same seconds, and the live event is exactly the replay's window.
    QVERIFY(events.count() >= 2);
    QCOMPARE(events.count(), replay.capturesCompleted());
    for (int e = 0; e < events.count(); ++e) {
        const QJsonObject metadata = events.at(e).at(1).toJsonObject();
        const qint64 second = metadata.value("trigger_elapsed_seconds").toInt();
        QCOMPARE(second, startSeconds[e]);
        const ReplayRunner::Step &s = steps[static_cast<std::size_t>(second - 1)];
        QCOMPARE(metadata.value("changed_mask").toInt(), int(s.decision.result.changedMask));
        QCOMPARE(metadata.value("trigger_type").toString(),
                 QString::fromLatin1(decisionName(s.decision.result.decision)));
        const std::vector<qint16> expected(pcm.begin() + s.windowStart * rate,
                                           pcm.begin() + s.windowEnd * rate);
        QVERIFY(samplesOf(events.at(e).at(0).toByteArray()) == expected);
        QVERIFY(steps[static_cast<std::size_t>(s.windowEnd - 1)].completed);
    }
}

void TestReplay::csvLayoutAndTail()
{
    // 30.6 s at 48 kHz: 30 rows and a tail of 28 800 samples.
    const int rate = 48000;
    const QString wav = m_dir->filePath("short.wav");
    QVERIFY(TestWav::write(wav, rate, 1, 16, false, bytesOf(noise(rate, 30.6, 1000, 8))));
    ReplayRunner replay;
    replay.open(wav);
    QBuffer csv;
    QVERIFY(csv.open(QIODevice::WriteOnly));
    AnomalySettings settings;
    settings.lowHz = 80.5;
    replay.start(settings, 0, &csv);
    ReplayRunner::Step step;
    int rows = 0;
    while (replay.step(&step))
        ++rows;
    QCOMPARE(rows, 30);
    QVERIFY(!replay.step(&step));
    QCOMPARE(replay.finishedLine(),
             QStringLiteral("Finished | started 0 | complete 0 | skipped 0 | unfinished 0 | "
                            "tail 28800 samples (no full DSP update)"));

    const QList<QByteArray> lines = csv.data().split('\n');
    QCOMPARE(lines.size(), 32); // header, 30 rows, nothing after the last line feed
    QVERIFY(lines.last().isEmpty());
    const QList<QByteArray> header = lines.first().split(',');
    QCOMPARE(header.size(), 18 + 14 * 8);
    QCOMPARE(header.at(18), QByteArray("rms"));
    QCOMPARE(header.at(25), QByteArray("rms_floor"));
    QCOMPARE(header.last(), QByteArray("notch_depth_floor"));
    const QList<QByteArray> first = lines.at(1).split(',');
    QCOMPARE(first.size(), header.size());
    QCOMPARE(first.mid(0, 18),
             (QList<QByteArray>{"1", "8", "NONE", "0", "0", "NONE", "0", "1", "48000", "80.5",
                                "6000", "15", "20", "60", "3", "8", "30", "0"}));
    // Before the warm-up: score 0, baseline and scale empty; rule columns as configured.
    QCOMPARE(first.mid(18 + 1, 7), (QList<QByteArray>{"0", "", "", "1", "6", "0", "1"}));
    QCOMPARE(first.mid(18 + 9 * 8, 8), (QList<QByteArray>{"", "0", "", "", "0", "0", "0", "0"}));
    const QList<QByteArray> last = lines.at(30).split(',');
    QCOMPARE(last.at(0), QByteArray("30"));
    QCOMPARE(last.at(1), QByteArray("64"));
    QVERIFY(!last.at(18 + 2 * 8 + 2).isEmpty()); // entropy has a baseline by now
}

void TestReplay::refusals_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("isFloat");
    QTest::addColumn<double>("high");
    QTest::addColumn<QString>("error");
    QTest::newRow("8-bit PCM") << 8 << false << 6000.0 << "Replay requires PCM16 WAV";
    QTest::newRow("24-bit PCM") << 24 << false << 6000.0 << "Replay requires PCM16 WAV";
    QTest::newRow("float") << 32 << true << 6000.0 << "Replay requires PCM16 WAV";
    QTest::newRow("band too narrow") << 16 << false << 150.0 << "Live band too narrow";
    QTest::newRow("no file") << 0 << false << 6000.0 << "Cannot open WAV file";
}

void TestReplay::refusals()
{
    QFETCH(int, bits);
    QFETCH(bool, isFloat);
    QFETCH(double, high);
    QFETCH(QString, error);
    const QString wav = m_dir->filePath("refused.wav");
    if (bits > 0)
        QVERIFY(TestWav::write(wav, 8000, 1, bits, isFloat, QByteArray(8000 * bits / 8 * 2, '\0')));
    ReplayRunner replay;
    QString thrown;
    try {
        replay.open(wav);
        AnomalySettings settings;
        settings.highHz = high;
        replay.start(settings, 0, nullptr);
    } catch (const std::exception &e) {
        thrown = QString::fromUtf8(e.what());
    }
    QCOMPARE(thrown, error);
    QVERIFY(!replay.isStarted());
}

void TestReplay::channelSelection()
{
    const int rate = 8000;
    std::vector<qint16> stereo(static_cast<std::size_t>(rate) * 2 * 2, 0);
    const std::vector<qint16> right = noise(rate, 2, 3000, 2);
    for (std::size_t i = 0; i < right.size(); ++i)
        stereo[2 * i + 1] = right[i];
    const QString wav = m_dir->filePath("stereo.wav");
    QVERIFY(TestWav::write(wav, rate, 2, 16, false, bytesOf(stereo)));
    ReplayRunner replay;
    replay.open(wav);
    QCOMPARE(replay.channels(), 2);
    ReplayRunner::Step step;
    replay.start(AnomalySettings(), 0, nullptr);
    QVERIFY(replay.step(&step));
    QCOMPARE(step.update.values[0], -200.0); // the silent left channel
    replay.start(AnomalySettings(), 1, nullptr);
    QVERIFY(replay.step(&step));
    QVERIFY(step.update.values[0] > -30.0);
    QVERIFY_EXCEPTION_THROWN(replay.start(AnomalySettings(), 2, nullptr), std::invalid_argument);
}

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
