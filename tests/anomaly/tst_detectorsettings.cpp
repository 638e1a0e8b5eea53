// Reading the detector settings from the settings store and from an observation log's
// configuration: clamping, defaults for damaged values, refusal of wrong JSON types.

#include "anomalyjson.h"
#include "detectorsettings.h"

#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

DetectorSettings::Lookup single(const QString &key, const QVariant &value)
{
    return [key, value](const QString &name) { return name == key ? value : QVariant(); };
}

const MetricRule &rule(const DecisionConfig &config, AnomalyMetric metric)
{
    return config.rules[static_cast<std::size_t>(metric)];
}

} // namespace

class TestDetectorSettings : public QObject
{
    Q_OBJECT

private slots:
    void storedValues_data();
    void storedValues();
    void defaultsAndStore();
    void jsonRoundTrip();
    void jsonDefaultsAndClamping();
    void jsonWrongTypes_data();
    void jsonWrongTypes();
};

void TestDetectorSettings::storedValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("expected");
    const auto row = [](const char *name, const char *key, const QVariant &stored,
                        const char *field, double expected) {
        QTest::newRow(name) << QString::fromLatin1(key) << stored << QString::fromLatin1(field)
                            << expected;
    };
    row("learn in range", "Anomaly/Decision/Learn", QVariant("120"), "learn", 120);
    row("learn below", "Anomaly/Decision/Learn", QVariant(-5), "learn", 10);
    row("learn above", "Anomaly/Decision/Learn", QVariant(1e9), "learn", 300);
    row("learn rounded", "Anomaly/Decision/Learn", QVariant("59.6"), "learn", 60);
    row("learn NaN text", "Anomaly/Decision/Learn", QVariant("nan"), "learn", 60);
    row("learn overflow", "Anomaly/Decision/Learn", QVariant("1e400"), "learn", 60);
    row("learn garbage", "Anomaly/Decision/Learn", QVariant("sixty"), "learn", 60);
    row("confirm", "Anomaly/Decision/Confirm", QVariant(50), "confirm", 20);
    row("release", "Anomaly/Decision/Release", QVariant(0), "release", 1);
    row("cooldown", "Anomaly/Decision/Cooldown", QVariant(" 45 "), "cooldown", 45);
    row("cooldown infinite", "Anomaly/Decision/Cooldown", QVariant("inf"), "cooldown", 30);
    row("capture END", "Anomaly/Decision/CaptureEnd", QVariant("true"), "captureEnd", 1);
    row("capture END garbage", "Anomaly/Decision/CaptureEnd", QVariant("maybe"), "captureEnd", 0);
    row("Z clamped", "Anomaly/Decision/rms/Z", QVariant(0.5), "rmsZ", 1);
    row("Z NaN", "Anomaly/Decision/rms/Z", QVariant(std::nan("")), "rmsZ", 6);
    row("floor clamped", "Anomaly/Decision/flux/Floor", QVariant(0), "fluxFloor", 0.001);
    row("absolute", "Anomaly/Decision/comb_count/Absolute", QVariant("7.5"), "combAbsolute", 7.5);
    row("absolute negative", "Anomaly/Decision/comb_count/Absolute", QVariant(-1), "combAbsolute",
        0);
    row("enabled off", "Anomaly/Decision/notch_depth/Enabled", QVariant("false"), "notchEnabled",
        0);
    row("descriptive metrics have no keys", "Anomaly/Decision/envelope_hz/Enabled", QVariant(true),
        "envelopeHzEnabled", 0);
    row("low", "Anomaly/LowHz", QVariant(-10), "low", 0);
    row("high", "Anomaly/HighHz", QVariant(50), "high", 100);
    row("pre", "Anomaly/Pre", QVariant(500), "pre", 120);
    row("post", "Anomaly/Post", QVariant("0"), "post", 1);
    row("channel", "Audio/WavChannel", QVariant(3), "channel", 1);
    row("monitor", "Anomaly/Monitor", QVariant("0"), "monitor", 0);
}

void TestDetectorSettings::storedValues()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, field);
    QFETCH(double, expected);
    const AnomalySettings s = DetectorSettings::read(single(key, stored));
    const DecisionConfig &c = s.decision;
    const QHash<QString, double> fields{
        {"learn", c.learn},
        {"confirm", c.confirm},
        {"release", c.release},
        {"cooldown", c.cooldown},
        {"captureEnd", c.captureEnd},
        {"rmsZ", rule(c, AnomalyMetric::Rms).z},
        {"fluxFloor", rule(c, AnomalyMetric::Flux).scaleFloor},
        {"combAbsolute", rule(c, AnomalyMetric::CombCount).absoluteThreshold},
        {"notchEnabled", rule(c, AnomalyMetric::NotchDepth).enabled},
        {"envelopeHzEnabled", rule(c, AnomalyMetric::EnvelopeHz).enabled},
        {"low", s.lowHz},
        {"high", s.highHz},
        {"pre", s.preSeconds},
        {"post", s.postSeconds},
        {"channel", s.channel},
        {"monitor", s.monitor},
    };
    QVERIFY(fields.contains(field));
    QCOMPARE(fields.value(field), expected);
    QVERIFY(!c.automatic);
}

void TestDetectorSettings::defaultsAndStore()
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("corvin.ini"), QSettings::IniFormat);
    store.setValue("Anomaly/Decision/autocorrelation/Absolute", 0.9);
    store.setValue("Anomaly/Pre", 30);
    const AnomalySettings s = DetectorSettings::read(DetectorSettings::lookupIn(store));
    QCOMPARE(s.preSeconds, 30);
    QCOMPARE(rule(s.decision, AnomalyMetric::Autocorrelation).absoluteThreshold, 0.9);
    // Everything else is the shipped default.
    const AnomalySettings defaults;
    QCOMPARE(s.postSeconds, defaults.postSeconds);
    QCOMPARE(s.monitor, true);
    QCOMPARE(s.decision.learn, 60);
    QCOMPARE(rule(s.decision, AnomalyMetric::EnvelopePeak).absoluteThreshold, 23.0);
    QCOMPARE(rule(s.decision, AnomalyMetric::DirectionCoherence).scaleFloor, 0.035);
    QCOMPARE(rule(s.decision, AnomalyMetric::DirectionSlope).enabled, false);
}

void TestDetectorSettings::jsonRoundTrip()
{
    // What an observation log records reads back as the same configuration.
    AnomalySettings original;
    original.lowHz = 300.5;
    original.highHz = 3000;
    original.preSeconds = 7;
    original.postSeconds = 9;
    original.channel = 1;
    original.decision.learn = 100;
    original.decision.captureEnd = true;
    original.decision.rules[static_cast<std::size_t>(AnomalyMetric::Kurtosis)] = {false, 0.5, 12.0,
                                                                                  4.5};
    QJsonObject log = QJsonObject{{"analysis_low_hz", original.lowHz},
                                  {"analysis_high_hz", original.highHz},
                                  {"pre_seconds_requested", original.preSeconds},
                                  {"post_seconds_requested", original.postSeconds},
                                  {"source_channel_index", original.channel},
                                  {"frequency_hz", 145500000.0},
                                  {"closed", true}};
    log.insert("decision_config", AnomalyJson::decisionConfig(original.decision, true));
    log.insert("rules", AnomalyJson::rules(original.decision));
    AnomalySettings read;
    QString error;
    QVERIFY(DetectorSettings::fromJson(log, &read, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(read.lowHz, original.lowHz);
    QCOMPARE(read.highHz, original.highHz);
    QCOMPARE(read.preSeconds, 7);
    QCOMPARE(read.postSeconds, 9);
    QCOMPARE(read.channel, 1);
    QCOMPARE(read.decision.learn, 100);
    QCOMPARE(read.decision.captureEnd, true);
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const MetricRule &a = read.decision.rules[static_cast<std::size_t>(i)];
        const MetricRule &b = original.decision.rules[static_cast<std::size_t>(i)];
        QCOMPARE(a.enabled, b.enabled);
        QCOMPARE(a.z, b.z);
        QCOMPARE(a.scaleFloor, b.scaleFloor);
        QCOMPARE(a.absoluteThreshold, b.absoluteThreshold);
    }
}

void TestDetectorSettings::jsonDefaultsAndClamping()
{
    AnomalySettings read;
    QString error;
    QVERIFY(DetectorSettings::fromJson(QJsonObject(), &read, &error));
    QCOMPARE(read.lowHz, 80.0);
    QCOMPARE(read.preSeconds, 15);
    QCOMPARE(read.decision.cooldown, 30);
    const QJsonObject wild = QJsonDocument::fromJson(R"({
        "analysis_high_hz": 99999, "pre_seconds_requested": 0.2, "source_channel_index": 5,
        "decision_config": {"release_seconds": 1000},
        "rules": {"flux": {"z_threshold": 0}, "envelope_hz": {"enabled": true}}
    })")
                                 .object();
    QVERIFY(DetectorSettings::fromJson(wild, &read, &error));
    QCOMPARE(read.highHz, 30000.0);
    QCOMPARE(read.preSeconds, 1);
    QCOMPARE(read.channel, 1);
    QCOMPARE(read.decision.release, 120);
    QCOMPARE(rule(read.decision, AnomalyMetric::Flux).z, 1.0);
    QCOMPARE(rule(read.decision, AnomalyMetric::EnvelopeHz).enabled, false);
}

void TestDetectorSettings::jsonWrongTypes_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    QTest::newRow("text for a number")
        << QByteArray(R"({"analysis_low_hz": "80"})") << "analysis_low_hz must be a number";
    QTest::newRow("number for an object")
        << QByteArray(R"({"decision_config": 3})") << "decision_config must be an object";
    QTest::newRow("number for a flag") << QByteArray(R"({"decision_config": {"capture_end": 1}})")
                                       << "decision_config.capture_end must be true or false";
    QTest::newRow("rule not an object")
        << QByteArray(R"({"rules": {"rms": []}})") << "rules.rms must be an object";
    QTest::newRow("rule field") << QByteArray(
                                       R"({"rules": {"notch_depth": {"scale_floor": null}}})")
                                << "rules.notch_depth.scale_floor must be a number";
}

void TestDetectorSettings::jsonWrongTypes()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    AnomalySettings read;
    read.preSeconds = 77;
    QString message;
    QVERIFY(!DetectorSettings::fromJson(QJsonDocument::fromJson(json).object(), &read, &message));
    QCOMPARE(message, error);
    QCOMPARE(read.preSeconds, 77); // untouched on failure
}

QTEST_GUILESS_MAIN(TestDetectorSettings)
#include "tst_detectorsettings.moc"
