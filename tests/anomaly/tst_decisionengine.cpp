// The decision engine (scores, confirmation, release, references, masks) and the automatic
// trigger policy shared by live arming and replay.

#include "decisionengine.h"
#include "livefeaturebank.h"
#include "rankselect.h"
#include "triggerpolicy.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(std::vector<double>)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr int autocorrelation = static_cast<int>(AnomalyMetric::Autocorrelation);

FeatureUpdate updateWith(std::initializer_list<std::pair<AnomalyMetric, double>> values,
                         qint64 seconds = 0, int historyRows = 64)
{
    FeatureUpdate update;
    update.values.fill(notANumber);
    for (const auto &value : values)
        update.values[static_cast<std::size_t>(value.first)] = value.second;
    update.seconds = seconds;
    update.historyRows = historyRows;
    return update;
}

// Only the given metrics enabled, with an absolute threshold and Z 6.
DecisionConfig onlyRules(std::initializer_list<AnomalyMetric> metrics, double absolute, int confirm,
                         int release, int learn = 300)
{
    DecisionConfig config;
    for (MetricRule &rule : config.rules)
        rule.enabled = false;
    for (AnomalyMetric metric : metrics)
        config.rules[static_cast<std::size_t>(metric)] = {true, 0.001, absolute, 6.0};
    config.confirm = confirm;
    config.release = release;
    config.learn = learn;
    return config;
}

QString names(const std::vector<Decision> &decisions)
{
    QStringList list;
    for (Decision d : decisions)
        list << QString::fromLatin1(decisionName(d));
    return list.join(QLatin1Char(' '));
}

} // namespace

class TestDecisionEngine : public QObject
{
    Q_OBJECT

private slots:
    void confirmationAndRelease_data();
    void confirmationAndRelease();
    void nothingBeforeCompleteHistory();
    void masksAcrossMetrics();
    void referenceMedianAndScale();
    void referenceCapacity_data();
    void referenceCapacity();
    void candidatesAndActiveValuesAreNotLearned();
    void medians_data();
    void medians();
    void policyCooldownAndSkips();
    void policyEndAndPreview();
};

void TestDecisionEngine::confirmationAndRelease_data()
{
    QTest::addColumn<int>("confirm");
    QTest::addColumn<int>("release");
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<QString>("decisions");
    // Absolute threshold 10: the score is value / 10.
    QTest::newRow("exactly 1.0 confirms")
        << 3 << 8 << std::vector<double>{10, 10, 10} << "NONE NONE NEW";
    QTest::newRow("just below 1 does not")
        << 3 << 8 << std::vector<double>{9.999, 9.999, 9.999, 9.999} << "NONE NONE NONE NONE";
    QTest::newRow("a low score restarts confirmation")
        << 3 << 8 << std::vector<double>{10, 10, 5, 10, 10, 10} << "NONE NONE NONE NONE NONE NEW";
    QTest::newRow("NaN restarts confirmation")
        << 3 << 8 << std::vector<double>{10, 10, notANumber, 10, 10, 10}
        << "NONE NONE NONE NONE NONE NEW";
    QTest::newRow("exactly 0.7 does not release")
        << 1 << 2 << std::vector<double>{10, 7, 7, 7, 6.9, 6.9} << "NEW NONE NONE NONE NONE END";
    QTest::newRow("a high score restarts release")
        << 1 << 2 << std::vector<double>{10, 5, 8, 5, 5} << "NEW NONE NONE NONE END";
    QTest::newRow("NaN keeps the metric active and restarts release")
        << 1 << 2 << std::vector<double>{10, 5, notANumber, 5, 5} << "NEW NONE NONE NONE END";
    QTest::newRow("infinity counts as invalid")
        << 1 << 1 << std::vector<double>{HUGE_VAL, 10, HUGE_VAL, 1} << "NONE NEW NONE END";
}

void TestDecisionEngine::confirmationAndRelease()
{
    QFETCH(int, confirm);
    QFETCH(int, release);
    QFETCH(std::vector<double>, values);
    QFETCH(QString, decisions);
    DecisionEngine engine;
    engine.reset(onlyRules({AnomalyMetric::Autocorrelation}, 10.0, confirm, release));
    std::vector<Decision> seen;
    for (double v : values) {
        const DecisionResult result =
            engine.step(updateWith({{AnomalyMetric::Autocorrelation, v}}));
        seen.push_back(result.decision);
        if (std::isfinite(v))
            QCOMPARE(result.scores[autocorrelation], v / 10.0);
        else
            QCOMPARE(result.scores[autocorrelation], 0.0);
    }
    QCOMPARE(names(seen), decisions);
}

void TestDecisionEngine::nothingBeforeCompleteHistory()
{
    DecisionEngine engine;
    engine.reset(onlyRules({AnomalyMetric::Autocorrelation}, 0.8, 1, 8));
    for (int i = 0; i < 5; ++i) {
        const DecisionResult result =
            engine.step(updateWith({{AnomalyMetric::Autocorrelation, 0.95}}, i + 1, 63));
        QCOMPARE(result.decision, Decision::None);
        QCOMPARE(result.scores[autocorrelation], 0.0);
        QVERIFY(std::isnan(result.baselines[autocorrelation]));
        QCOMPARE(result.learned, 0);
    }
    QCOMPARE(engine.referenceSize(autocorrelation), 0);
    QCOMPARE(engine.step(updateWith({{AnomalyMetric::Autocorrelation, 0.95}})).decision,
             Decision::New);
    QCOMPARE(engine.learned(), 1);
}

void TestDecisionEngine::masksAcrossMetrics()
{
    DecisionConfig config = onlyRules(
        {AnomalyMetric::Kurtosis, AnomalyMetric::Flux, AnomalyMetric::NotchDepth}, 1.0, 1, 1);
    // Descriptive metrics never take part, even when a configuration enables them.
    config.rules[static_cast<std::size_t>(AnomalyMetric::EnvelopeHz)] = {true, 0.001, 1.0, 6.0};
    DecisionEngine engine;
    engine.reset(config);
    const quint32 kurtosis = AnomalyMetrics::bit(1);
    const quint32 flux = AnomalyMetrics::bit(4);
    const quint32 notch = AnomalyMetrics::bit(13);
    const auto step = [&engine](double k, double f, double n) {
        return engine.step(updateWith({{AnomalyMetric::Kurtosis, k},
                                       {AnomalyMetric::Flux, f},
                                       {AnomalyMetric::NotchDepth, n},
                                       {AnomalyMetric::EnvelopeHz, 5000}}));
    };
    DecisionResult r = step(2, 2, 0);
    QCOMPARE(r.decision, Decision::New);
    QCOMPARE(r.changedMask, kurtosis | flux);
    QCOMPARE(r.activeMask, kurtosis | flux);
    r = step(2, 2, 0);
    QCOMPARE(r.decision, Decision::None);
    QCOMPARE(r.changedMask, 0u);
    r = step(2, 2, 3);
    QCOMPARE(r.decision, Decision::Change);
    QCOMPARE(r.changedMask, notch);
    QCOMPARE(r.activeMask, kurtosis | flux | notch);
    r = step(0, 2, 3);
    QCOMPARE(r.decision, Decision::None);
    QCOMPARE(r.activeMask, flux | notch);
    r = step(0, 0, 0);
    QCOMPARE(r.decision, Decision::End);
    QCOMPARE(r.changedMask, flux | notch);
    QCOMPARE(r.activeMask, 0u);
}

void TestDecisionEngine::referenceMedianAndScale()
{
    DecisionConfig config = onlyRules({AnomalyMetric::Rms}, 0.0, 1, 1, 10);
    DecisionEngine engine;
    engine.reset(config);
    const int rms = static_cast<int>(AnomalyMetric::Rms);
    DecisionResult r = engine.step(updateWith({{AnomalyMetric::Rms, 1}}));
    QVERIFY(std::isnan(r.baselines[rms])); // an empty reference has no baseline
    for (double v : {2.0, 3.0, 4.0})
        r = engine.step(updateWith({{AnomalyMetric::Rms, v}}));
    // Reference {1, 2, 3}: median 2, deviations {1, 0, 1}: MAD 1.
    QCOMPARE(r.baselines[rms], 2.0);
    QCOMPARE(r.scales[rms], 1.4826);
    QCOMPARE(r.scores[rms], 0.0); // still learning: no relative score
    for (double v : {5.0, 6.0, 7.0, 8.0, 9.0, 10.0})
        r = engine.step(updateWith({{AnomalyMetric::Rms, v}}));
    QCOMPARE(engine.learned(), 10);
    // Reference 1 ... 10: the mean of the two middle values, 5.5; deviations' median 2.5.
    r = engine.step(updateWith({{AnomalyMetric::Rms, 100}}));
    QCOMPARE(r.baselines[rms], 5.5);
    QCOMPARE(r.scales[rms], 1.4826 * 2.5);
    QCOMPARE(r.scores[rms], (100 - 5.5) / (1.4826 * 2.5) / 6.0);
    QCOMPARE(r.decision, Decision::New);
    QCOMPARE(engine.learned(), 10);
}

void TestDecisionEngine::referenceCapacity_data()
{
    QTest::addColumn<int>("learn");
    QTest::addColumn<int>("capacity");
    QTest::newRow("learn 300 keeps 300") << 300 << 300;
    QTest::newRow("learn 60 keeps 180") << 60 << 180;
}

void TestDecisionEngine::referenceCapacity()
{
    QFETCH(int, learn);
    QFETCH(int, capacity);
    DecisionEngine engine;
    engine.reset(onlyRules({AnomalyMetric::Entropy}, 0.0, 3, 8, learn));
    const int entropy = static_cast<int>(AnomalyMetric::Entropy);
    for (int i = 0; i < 400; ++i)
        engine.step(updateWith({{AnomalyMetric::Entropy, 0.5 + 0.001 * (i % 7)}}));
    QCOMPARE(engine.referenceSize(entropy), capacity);
    QCOMPARE(engine.learned(), learn);
}

void TestDecisionEngine::candidatesAndActiveValuesAreNotLearned()
{
    DecisionEngine engine;
    engine.reset(onlyRules({AnomalyMetric::Autocorrelation}, 0.8, 2, 2));
    const auto step = [&engine](double v) {
        return engine.step(updateWith({{AnomalyMetric::Autocorrelation, v}}));
    };
    step(0.1);
    QCOMPARE(engine.referenceSize(autocorrelation), 1);
    step(0.9); // a candidate
    QCOMPARE(engine.referenceSize(autocorrelation), 1);
    QCOMPARE(step(0.9).decision, Decision::New);
    QCOMPARE(engine.referenceSize(autocorrelation), 1);
    step(0.2); // active: frozen
    QCOMPARE(engine.referenceSize(autocorrelation), 1);
    QCOMPARE(step(0.3).decision, Decision::End); // the releasing update is learned
    QCOMPARE(engine.referenceSize(autocorrelation), 2);
}

void TestDecisionEngine::medians_data()
{
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("mean");
    QTest::newRow("even: upper middle / mean of two")
        << std::vector<double>{4, 1, 3, 2} << 3.0 << 2.5;
    QTest::newRow("odd agree") << std::vector<double>{9, -1, 5} << 5.0 << 5.0;
    QTest::newRow("one value") << std::vector<double>{7} << 7.0 << 7.0;
    QTest::newRow("ties") << std::vector<double>{2, 2, 8, 8, 8, 2} << 8.0 << 5.0;
}

void TestDecisionEngine::medians()
{
    QFETCH(std::vector<double>, values);
    QFETCH(double, upper);
    QFETCH(double, mean);
    std::vector<double> a = values;
    QCOMPARE(RankSelect::upperMedian(a.data(), a.size()), upper);
    std::vector<double> b = values;
    QCOMPARE(RankSelect::meanMedian(b.data(), b.size()), mean);
    // Counting decides "median below" exactly as selecting does.
    for (double threshold : {upper - 0.5, upper, upper + 0.5}) {
        const bool below = RankSelect::countBelow(values.data(), values.size(), threshold) >=
                           values.size() / 2 + 1;
        QCOMPARE(below, upper < threshold);
    }
}

void TestDecisionEngine::policyCooldownAndSkips()
{
    DecisionConfig config = onlyRules({AnomalyMetric::Autocorrelation}, 0.8, 1, 1);
    config.automatic = true;
    config.cooldown = 30;
    TriggerPolicy policy;
    policy.reset(config, 5);
    const auto step = [&policy](double v, qint64 seconds, bool running = false) {
        return policy.step(updateWith({{AnomalyMetric::Autocorrelation, v}}, seconds), running);
    };
    TriggerPolicy::Step s = step(0.9, 20);
    QCOMPARE(s.capture, TriggerPolicy::Capture::Start);
    policy.captureStarted(20);
    QCOMPARE(policy.cooldownLimit(), qint64(20 + 5 + 30));
    QCOMPARE(step(0.1, 21).result.decision, Decision::End); // END capture off: not skipped
    s = step(0.9, 30);
    QCOMPARE(s.capture, TriggerPolicy::Capture::Skipped);
    QCOMPARE(TriggerPolicy::statusText(s), QStringLiteral("NEW / SKIPPED"));
    QCOMPARE(policy.skipped(), 1);
    step(0.1, 31);
    QCOMPARE(step(0.9, 54).capture, TriggerPolicy::Capture::Skipped);
    step(0.1, 55);
    // A capture still running skips too, whatever the cooldown says.
    QCOMPARE(step(0.9, 56, true).capture, TriggerPolicy::Capture::Skipped);
    step(0.1, 57);
    s = step(0.9, 58);
    QCOMPARE(s.capture, TriggerPolicy::Capture::Start);
    policy.captureFailed(s); // a capture that cannot start counts as skipped
    QCOMPARE(TriggerPolicy::statusText(s), QStringLiteral("NEW / SKIPPED"));
    QCOMPARE(policy.skipped(), 4);
    QCOMPARE(policy.autoStarted(), quint64(1));
    QCOMPARE(policy.newEvents(), quint64(5));
    QCOMPARE(policy.endEvents(), quint64(4));
    QCOMPARE(policy.eligibleAutoSeconds(), quint64(9));
}

void TestDecisionEngine::policyEndAndPreview()
{
    DecisionConfig config = onlyRules({AnomalyMetric::Autocorrelation}, 0.8, 1, 1);
    config.automatic = true;
    TriggerPolicy policy;
    policy.reset(config, 20);
    const auto step = [&policy](double v, int rows = 64) {
        return policy.step(updateWith({{AnomalyMetric::Autocorrelation, v}}, 10, rows), false);
    };
    step(0.9);
    TriggerPolicy::Step s = step(0.1);
    QCOMPARE(s.capture, TriggerPolicy::Capture::EndDisabled);
    QCOMPARE(TriggerPolicy::statusText(s), QStringLiteral("END"));
    QCOMPARE(policy.skipped(), 0);

    config.captureEnd = true;
    policy.reset(config, 20);
    step(0.9);
    QCOMPARE(step(0.1).capture, TriggerPolicy::Capture::Start);

    // Preview: the same decisions, counted, never a capture; no eligible automatic seconds.
    config.automatic = false;
    policy.reset(config, 20);
    s = step(0.9);
    QCOMPARE(s.result.decision, Decision::New);
    QCOMPARE(s.capture, TriggerPolicy::Capture::None);
    QCOMPARE(TriggerPolicy::statusText(step(0.1)), QStringLiteral("END"));
    step(0.9, 63);
    QCOMPARE(policy.newEvents(), quint64(1));
    QCOMPARE(policy.endEvents(), quint64(1));
    QCOMPARE(policy.eligibleAutoSeconds(), quint64(0));
}

QTEST_GUILESS_MAIN(TestDecisionEngine)
#include "tst_decisionengine.moc"
