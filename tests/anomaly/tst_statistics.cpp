// The observation statistics: which logs count, the sums and their report lines, the context
// list, and the advisory calibration, each table-driven over small fixtures of logs and
// reviewed events.

#include "archivefixture.h"
#include "archivejson.h"
#include "observationreport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ArchiveFixture;

struct Fixture
{
    QVector<QJsonObject> logs;
    // The event's sidecar (empty: missing) and review.
    QVector<QPair<QJsonObject, QJsonObject>> events;
};
Q_DECLARE_METATYPE(Fixture)

using Lines = QMap<int, QString>; // 1-based report line -> text
Q_DECLARE_METATYPE(Lines)

class TestStatistics : public QObject
{
    Q_OBJECT

private slots:
    void acceptedLogs_data();
    void acceptedLogs();
    void report_data();
    void report();
    void calibration_data();
    void calibration();
    void contextsSortWithTheEmptyKeyFirst();
    void wholeReportFromFolders();
};

namespace {

QVector<ObservationLog> logsOf(const Fixture &fixture)
{
    QVector<ObservationLog> logs;
    for (const QJsonObject &object : fixture.logs) {
        ObservationLog log;
        if (ObservationStatistics::fromObject(object, &log))
            logs.append(log);
    }
    return logs;
}

QVector<ArchivedEvent> eventsOf(const Fixture &fixture)
{
    QVector<ArchivedEvent> events;
    for (const auto &pair : fixture.events) {
        ArchivedEvent event;
        event.event = pair.first;
        event.review = pair.second;
        event.context = ArchiveJson::contextKey(pair.first);
        events.append(event);
    }
    return events;
}

// Only the named metric's rule, enabled with that absolute threshold.
DecisionConfig onlyRule(const char *metric, double absolute)
{
    DecisionConfig config;
    for (MetricRule &rule : config.rules)
        rule.enabled = false;
    MetricRule &rule = config.rules[static_cast<std::size_t>(AnomalyMetrics::indexOf(metric))];
    rule.enabled = true;
    rule.absoluteThreshold = absolute;
    return config;
}

const QString key = QString::fromLatin1(ArchiveFixture::contextKey);

// n snapshots of autocorrelation from first, step apart, of the given label.
void addSnapshots(Fixture &fixture, const char *label, int n, double first, double step,
                  bool changed = true)
{
    for (int i = 0; i < n; ++i)
        fixture.events.append({snapshot(QStringLiteral("s"), i % 2 ? "CHANGE" : "NEW",
                                        "autocorrelation", first + i * step, changed, 0.8),
                               review(label)});
}

} // namespace

void TestStatistics::acceptedLogs_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<bool>("accepted");
    const QJsonObject good = log(QStringLiteral("a"), true, 48000, 1, 0);
    QTest::newRow("schema 1") << good << true;
    QTest::newRow("schema 2") << with(good, {{"schema_version", 2}}) << false;
    QTest::newRow("schema as text") << with(good, {{"schema_version", "1"}}) << false;
    QTest::newRow("no schema") << with(good, {{"schema_version", QJsonValue()}}) << false;
    QTest::newRow("pcm as text") << with(good, {{"pcm_samples", "48000"}}) << false;
    QTest::newRow("legacy context")
        << QJsonObject{{"schema_version", 1}, {"pcm_samples", 0}} << true;
}

void TestStatistics::acceptedLogs()
{
    QFETCH(QJsonObject, object);
    QFETCH(bool, accepted);
    ObservationLog log;
    QCOMPARE(ObservationStatistics::fromObject(object, &log), accepted);
}

void TestStatistics::report_data()
{
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<bool>("all");
    QTest::addColumn<Lines>("lines");

    // Two closed sessions (one hour and half an hour of exposure) and an open checkpoint.
    Fixture sums;
    sums.logs = {log("a", true, 48000.0 * 3600, 3600, 3), log("b", true, 48000.0 * 1800, 1800, 1),
                 log("c", false, 48000.0 * 900, 900, 5)};
    QTest::newRow("sums") << sums << false
                          << Lines{
                                 {1, "OBSERVATION SUMMARY"},
                                 {2, key},
                                 {3, "Closed sessions: 2 | Open checkpoints: 1"},
                                 {4, "Acquired PCM hours: 1.7500"},
                                 {5, "Analyzed hours: 1.7500"},
                                 {6, "Automatic decision exposure (hours): 1.7500"},
                                 {7, "Decisions NEW / CHANGE / END (including preview): 9 / 6 / 3"},
                                 {8, "Automatic starts / completed PCM / skipped: 6 / 9 / 3"},
                                 {9, "Manual completed PCM: 3"},
                                 {10, "Automatic PCM completions/hour (closed sessions): 2.67"},
                                 {13, "Closed automatic exposure (hours): 1.5000"}};

    Fixture noExposure;
    noExposure.logs = {log("a", true, 48000, 0, 2)};
    QTest::newRow("closed exposure 0")
        << noExposure << false
        << Lines{{10, "Automatic PCM completions/hour (closed sessions): --"},
                 {12, "Confirmed false-alarm captures/hour (lower bound, not false-positive "
                      "probability): --"},
                 {13, "Closed automatic exposure (hours): 0.0000"}};

    // A rate of 0 adds no acquired time (and makes a context of its own); a log of another
    // context is not counted.
    Fixture rates;
    rates.logs = {log("a", true, 48000.0 * 3600, 3600, 0),
                  with(log("z", true, 96000, 7200, 0), {{"sample_rate_hz", 0}}),
                  with(log("o", true, 48000.0 * 3600, 3600, 0), {{"mode", "AM"}})};
    QTest::newRow("rate 0 and other contexts")
        << rates << false
        << Lines{{3, "Closed sessions: 1 | Open checkpoints: 0"},
                 {4, "Acquired PCM hours: 1.0000"},
                 {6, "Automatic decision exposure (hours): 1.0000"}};
    QTest::newRow("all contexts add them")
        << rates << true
        << Lines{{2, "All contexts"},
                 {3, "Closed sessions: 3 | Open checkpoints: 0"},
                 {4, "Acquired PCM hours: 2.0000"},
                 {6, "Automatic decision exposure (hours): 4.0000"}};

    // Only closed sessions link their automatic captures; the open one counts in lines 4-9.
    Fixture links;
    links.logs = {log("closed", true, 48000.0 * 3600, 3600, 2),
                  log("open", false, 48000.0 * 3600, 7200, 9)};
    const QJsonObject mine =
        with(context(), {{"observation_id", "closed"}, {"total_samples", 96000}});
    links.events = {
        {with(mine, {{"trigger_type", "NEW"}}), review("FALSE_ALARM")},
        {with(mine, {{"trigger_type", "END"}}), review("KNOWN_SIGNAL")},
        {with(mine, {{"trigger_type", "CHANGE"}}), QJsonObject()},
        {with(mine, {{"trigger_type", "MANUAL_TEST"}}), review("FALSE_ALARM")},
        {with(mine, {{"trigger_type", "NEW"}, {"observation_id", "open"}}), review("FALSE_ALARM")}};
    QTest::newRow("open logs and links")
        << links << false
        << Lines{
               {5, "Analyzed hours: 2.0000"},
               {6, "Automatic decision exposure (hours): 3.0000"},
               {8, "Automatic starts / completed PCM / skipped: 4 / 11 / 2"},
               {10, "Automatic PCM completions/hour (closed sessions): 2.00"},
               {11, "Linked automatic WAV / reviewed / false alarms (closed sessions): 3 / 2 / 1"},
               {12, "Confirmed false-alarm captures/hour (lower bound, not false-positive "
                    "probability): 1.00"},
               {13, "Closed automatic exposure (hours): 1.0000"},
               {17, "WAV / missing JSON / declared seconds: 5 / 0 / 10.00"},
               {18, "Unreviewed / Interesting / False alarm / Known / Unknown: 1 / 0 / 3 / 1 / 0"}};

    // An event without sidecar adds no 0/0 to the declared seconds, a negative sample count adds
    // nothing; unknown labels are unreviewed; events without a complete context are legacy.
    Fixture legacy;
    legacy.events = {
        {QJsonObject(), review("MAYBE")},
        {QJsonObject{{"total_samples", 8000}, {"sample_rate_hz", 8000}}, QJsonObject()},
        {QJsonObject{{"total_samples", -8000}, {"sample_rate_hz", 8000}}, QJsonObject()},
        {QJsonObject{{"total_samples", "8000"}, {"sample_rate_hz", 8000}}, review("UNKNOWN")}};
    QTest::newRow("legacy events")
        << legacy << false
        << Lines{
               {2, "Legacy / incomplete context"},
               {17, "WAV / missing JSON / declared seconds: 4 / 1 / 1.00"},
               {18, "Unreviewed / Interesting / False alarm / Known / Unknown: 3 / 0 / 0 / 0 / 1"},
               {21, "Choose one complete RF / analysis context. Older events without band "
                    "metadata are excluded from advice."}};
    QTest::newRow("legacy events, all contexts")
        << legacy << true
        << Lines{{17, "WAV / missing JSON / declared seconds: 4 / 1 / 1.00"},
                 {21, "Choose one complete RF / analysis context. Older events without band "
                      "metadata are excluded from advice."}};
}

void TestStatistics::report()
{
    QFETCH(Fixture, fixture);
    QFETCH(bool, all);
    QFETCH(Lines, lines);
    const QVector<ArchivedEvent> events = eventsOf(fixture);
    const ContextChoice choice =
        all ? ContextChoice::allContexts()
            : ContextChoice::of(fixture.logs.isEmpty() && !events.isEmpty() ? events[0].context
                                                                            : key);
    const QStringList report =
        ObservationReport::build(logsOf(fixture), events, choice, DecisionConfig())
            .split(QLatin1Char('\n'));
    QVERIFY(report.size() >= 21);
    for (auto it = lines.begin(); it != lines.end(); ++it)
        QCOMPARE(report.value(it.key() - 1), it.value());
    // The fixed lines between the blocks.
    QCOMPARE(report[14], QString());
    QCOMPARE(report[15], QStringLiteral("EVENT ARCHIVE"));
    QCOMPARE(report[19], QStringLiteral("ADVISORY ABSOLUTE-THRESHOLD CALIBRATION"));
}

void TestStatistics::calibration_data()
{
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<QString>("metric");
    QTest::addColumn<double>("absolute");
    QTest::addColumn<QStringList>("block"); // lines 21 onwards, without the four closing lines

    const QString header = QStringLiteral(
        "Metric                 Positive   False   Min pos.    Max false   Current     Suggested");
    Fixture separated;
    addSnapshots(separated, "INTERESTING", 5, 0.95, 0.01);
    addSnapshots(separated, "FALSE_ALARM", 5, 0.81, 0.0175);
    QTest::newRow("separated classes")
        << separated << "autocorrelation" << 0.8
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header,
                       "autocorrelation               5       5        0.95        0.88        "
                       " 0.8       0.915"};

    Fixture fourFalse;
    addSnapshots(fourFalse, "INTERESTING", 5, 0.95, 0.01);
    addSnapshots(fourFalse, "FALSE_ALARM", 4, 0.81, 0.0175);
    QTest::newRow("four false")
        << fourFalse << "autocorrelation" << 0.8
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 4",
                       header,
                       "autocorrelation               5       4        0.95      0.8625        "
                       " 0.8          --"};

    Fixture unchanged;
    addSnapshots(unchanged, "INTERESTING", 5, 0.95, 0.01);
    addSnapshots(unchanged, "FALSE_ALARM", 5, 0.81, 0.0175, false);
    QTest::newRow("false values not attributable")
        << unchanged << "autocorrelation" << 0.8
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header,
                       "autocorrelation               5       5        0.95        0.88        "
                       " 0.8          --"};

    Fixture overlapping;
    addSnapshots(overlapping, "INTERESTING", 5, 0.85, 0.01);
    addSnapshots(overlapping, "FALSE_ALARM", 5, 0.81, 0.0175);
    QTest::newRow("overlapping classes")
        << overlapping << "autocorrelation" << 0.8
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header,
                       "autocorrelation               5       5        0.85        0.88        "
                       " 0.8          --"};

    QTest::newRow("absolute 0: no row")
        << separated << "autocorrelation" << 0.0
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header};
    QTest::newRow("another metric: no values")
        << separated << "comb_count" << 4.0
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header,
                       "comb_count                    0       0          --          --        "
                       "   4          --"};

    // Incomplete, manual, unreviewed, END and metric-less captures are not snapshots.
    Fixture notSnapshots = separated;
    const QJsonObject base = snapshot("s", "NEW", "autocorrelation", 0.5, true, 0.8);
    notSnapshots.events += {{with(base, {{"complete", false}}), review("INTERESTING")},
                            {with(base, {{"trigger_type", "END"}}), review("INTERESTING")},
                            {with(base, {{"trigger_type", "MANUAL_TEST"}}), review("FALSE_ALARM")},
                            {with(base, {{"metrics", QJsonObject()}}), review("INTERESTING")},
                            {base, review("KNOWN_SIGNAL")},
                            {base, QJsonObject()}};
    QTest::newRow("only complete reviewed NEW/CHANGE")
        << notSnapshots << "autocorrelation" << 0.8
        << QStringList{"Labelled automatic NEW/CHANGE snapshots (interesting / false): 5 / 5",
                       header,
                       "autocorrelation               5       5        0.95        0.88        "
                       " 0.8       0.915"};
}

void TestStatistics::calibration()
{
    QFETCH(Fixture, fixture);
    QFETCH(QString, metric);
    QFETCH(double, absolute);
    QFETCH(QStringList, block);
    const QStringList report =
        ObservationReport::build({}, eventsOf(fixture), ContextChoice::of(key),
                                 onlyRule(qPrintable(metric), absolute))
            .split(QLatin1Char('\n'));
    QCOMPARE(report.mid(20, report.size() - 24), block);
    QCOMPARE(report.last(),
             QStringLiteral("Test proposed settings against independent full WAVs using Replay; "
                            "no settings changed here."));
    // "All contexts" never calibrates.
    const QStringList all =
        ObservationReport::build({}, eventsOf(fixture), ContextChoice::allContexts(),
                                 onlyRule(qPrintable(metric), absolute))
            .split(QLatin1Char('\n'));
    QCOMPARE(all.size(), 21);
    QVERIFY(all.last().startsWith(QStringLiteral("Choose one complete")));
}

void TestStatistics::contextsSortWithTheEmptyKeyFirst()
{
    Fixture fixture;
    fixture.logs = {with(log("a", true, 1, 1, 0), {{"mode", "USB"}}), log("b", true, 1, 1, 0),
                    QJsonObject{{"schema_version", 1}, {"pcm_samples", 1}}};
    fixture.events = {{with(context(), {{"frequency_hz", 10000000}}), QJsonObject()},
                      {context(), QJsonObject()}};
    const QStringList contexts =
        ObservationStatistics::contexts(logsOf(fixture), eventsOf(fixture));
    QCOMPARE(
        contexts,
        QStringList({QString(), "10000000 Hz | NFM | 80-6000 Hz | Fs 48000 | ch 1 | Pulse monitor",
                     key, "145500000 Hz | USB | 80-6000 Hz | Fs 48000 | ch 1 | Pulse monitor"}));
    const QStringList entries = ObservationReport::contextEntries(contexts);
    QCOMPARE(entries.mid(0, 2), QStringList({"All contexts", "Legacy / incomplete context"}));
    for (const QString &entry : entries)
        QCOMPARE(ObservationReport::contextTitle(ObservationReport::choiceOf(entry)), entry);
    QVERIFY(ObservationReport::choiceOf(entries[0]).all);
    QCOMPARE(ObservationReport::choiceOf(entries[1]).key, QString());
}

void TestStatistics::wholeReportFromFolders()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("observations")));
    const QString observations = dir.filePath(QStringLiteral("observations"));
    QVERIFY(writeJson(observations + QStringLiteral("/a.json"),
                      log("a", true, 48000.0 * 7200, 7200, 2)));
    QVERIFY(writeJson(observations + QStringLiteral("/b.json"),
                      with(log("b", true, 1, 1, 1), {{"schema_version", 2}})));
    QVERIFY(writeBytes(observations + QStringLiteral("/c.json"), "{broken"));
    const QJsonObject event = with(
        context(), {{"observation_id", "a"}, {"trigger_type", "NEW"}, {"total_samples", 480000}});
    const QJsonObject label = review("FALSE_ALARM", "birdie");
    QVERIFY(writeEvent(dir.path(), "145.500000_a", &event, &label));
    QVERIFY(writeEvent(dir.path(), "145.500000_b", nullptr));

    const QString report = ObservationReport::build(
        ObservationStatistics::readLogs(observations), EventArchive::list(dir.path()),
        ContextChoice::of(key), onlyRule("autocorrelation", 0.8));
    QCOMPARE(
        report,
        QStringLiteral("OBSERVATION SUMMARY\n") + key +
            QStringLiteral(
                "\nClosed sessions: 1 | Open checkpoints: 0\n"
                "Acquired PCM hours: 2.0000\n"
                "Analyzed hours: 2.0000\n"
                "Automatic decision exposure (hours): 2.0000\n"
                "Decisions NEW / CHANGE / END (including preview): 3 / 2 / 1\n"
                "Automatic starts / completed PCM / skipped: 2 / 2 / 1\n"
                "Manual completed PCM: 1\n"
                "Automatic PCM completions/hour (closed sessions): 1.00\n"
                "Linked automatic WAV / reviewed / false alarms (closed sessions): 1 / 1 / 1\n"
                "Confirmed false-alarm captures/hour (lower bound, not false-positive "
                "probability): 0.50\n"
                "Closed automatic exposure (hours): 2.0000\n"
                "Open checkpoints may be incomplete (refresh after disarm). PCM completions do "
                "not certify disk writes.\n"
                "\n"
                "EVENT ARCHIVE\n"
                "WAV / missing JSON / declared seconds: 1 / 0 / 10.00\n"
                "Unreviewed / Interesting / False alarm / Known / Unknown: 0 / 0 / 1 / 0 / 0\n"
                "\n"
                "ADVISORY ABSOLUTE-THRESHOLD CALIBRATION\n"
                "Labelled automatic NEW/CHANGE snapshots (interesting / false): 0 / 0\n"
                "Metric                 Positive   False   Min pos.    Max false   Current     "
                "Suggested\n"
                "autocorrelation               0       0          --          --        "
                " 0.8          --\n"
                "Proposal only if >=5 finite samples per class, non-overlapping values, and an "
                "absolute false-trigger candidate.\n"
                "Midpoint of largest false value and smallest interesting value; raises "
                "existing threshold only.\n"
                "Snapshot advice is not a replay, does not account for relative rules, "
                "confirmation or missed events.\n"
                "Test proposed settings against independent full WAVs using Replay; no "
                "settings changed here."));
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
