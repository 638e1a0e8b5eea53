// The replay dialog driving the replay runner on generated recordings: speeds and button rules,
// the decisions and simulated captures it lists, the 5000-row event table, the finished line
// with its tail, and its CSV export, which equals `corvin-dsp replay` on the same recording.

#include "anomalysignals.h"
#include "replaydialog.h"
#include "replayrunner.h"
#include "testwav.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace AnomalySignals;

namespace {

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("missing %s", name);
    return widget;
}

// Quiet noise with ten full-scale clicks in each listed second (1-based, as the replay counts
// them): the kurtosis of a clicked second is far above 5, that of the others near 0.
std::vector<qint16> clickAudio(int rate, double seconds, const QVector<int> &clicked)
{
    std::vector<qint16> pcm = noise(rate, seconds, 1000, 5);
    for (int second : clicked) {
        for (int k = 0; k < 10; ++k)
            pcm[static_cast<std::size_t>((second - 1) * rate + k * rate / 10 + 17)] = 30000;
    }
    return pcm;
}

// Only the kurtosis decides, by its absolute threshold 5; one second confirms, one releases.
AnomalySettings clickSettings(int pre, int post, int cooldown)
{
    AnomalySettings settings;
    settings.preSeconds = pre;
    settings.postSeconds = post;
    settings.decision.cooldown = cooldown;
    settings.decision.confirm = 1;
    settings.decision.release = 1;
    for (int i = 0; i < AnomalyMetrics::count; ++i)
        settings.decision.rules[static_cast<std::size_t>(i)].enabled = false;
    MetricRule &kurtosis = settings.decision.rules[1];
    kurtosis.enabled = true;
    kurtosis.absoluteThreshold = 5;
    kurtosis.z = 100;
    return settings;
}

// The configuration file `corvin-dsp replay --config` takes for these settings.
QByteArray configJson(const AnomalySettings &settings)
{
    QJsonObject rules;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const MetricRule &rule = settings.decision.rules[static_cast<std::size_t>(i)];
        rules.insert(AnomalyMetrics::key(i),
                     QJsonObject{{"enabled", rule.enabled},
                                 {"absolute_threshold", rule.absoluteThreshold},
                                 {"z_threshold", rule.z},
                                 {"scale_floor", rule.scaleFloor}});
    }
    const DecisionConfig &d = settings.decision;
    return QJsonDocument(
               QJsonObject{{"analysis_low_hz", settings.lowHz},
                           {"analysis_high_hz", settings.highHz},
                           {"pre_seconds_requested", settings.preSeconds},
                           {"post_seconds_requested", settings.postSeconds},
                           {"source_channel_index", settings.channel},
                           {"decision_config", QJsonObject{{"learning_seconds", d.learn},
                                                           {"confirmation_seconds", d.confirm},
                                                           {"release_seconds", d.release},
                                                           {"cooldown_seconds", d.cooldown},
                                                           {"capture_end", d.captureEnd}}},
                           {"rules", rules}})
        .toJson();
}

QStringList eventRows(QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        rows << cells.join(" | ");
    }
    return rows;
}

} // namespace

class TestReplayDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeWav(const QString &name, int rate, int channels, const std::vector<qint16> &pcm)
    {
        const QString path = m_dir.filePath(name);
        return TestWav::write(path, rate, channels, 16, false, TestWav::bytesOf(pcm)) ? path
                                                                                      : QString();
    }

    std::unique_ptr<ReplayDialog> dialogFor(const QString &wav, const AnomalySettings &settings)
    {
        auto runner = std::make_unique<ReplayRunner>();
        runner->open(wav);
        return std::make_unique<ReplayDialog>(std::move(runner), wav, settings);
    }

    static bool runToEnd(ReplayDialog &dialog)
    {
        child<QComboBox>(&dialog, "replaySpeed")->setCurrentIndex(ReplayDialog::SpeedMaximum);
        dialog.start();
        return QTest::qWaitFor([&dialog] { return dialog.hasEnded(); }, 120000);
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void finishesWithTail();
    void decisionsAndCaptures_data();
    void decisionsAndCaptures();
    void buttonsAndSpeeds();
    void bandTooNarrow();
    void eventTableKeepsTheNewest5000();
    void exportMatchesTheCommandLine();
    void exportRefusals_data();
    void exportRefusals();
};

void TestReplayDialog::finishesWithTail()
{
    // 30.6 s at 48 kHz: 30 seconds replayed, 28 800 samples left over.
    const QString wav = writeWav("tail.wav", 48000, 1, noise(48000, 30.6, 1000, 8));
    auto dialog = dialogFor(wav, AnomalySettings());
    QCOMPARE(child<QLabel>(dialog.get(), "replayInfo")->text(),
             QStringLiteral("tail.wav | 48000 Hz | 1 ch | 30.60 s"));
    QCOMPARE(dialog->statusText(), QStringLiteral("Ready"));
    QVERIFY(runToEnd(*dialog));
    QCOMPARE(dialog->statusText(),
             QStringLiteral("Finished | started 0 | complete 0 | skipped 0 | unfinished 0 | "
                            "tail 28800 samples (no full DSP update)"));
    QCOMPARE(child<QProgressBar>(dialog.get(), "replayProgress")->value(), 1000);
    auto *metrics = child<QTableWidget>(dialog.get(), "replayMetrics");
    QCOMPARE(metrics->rowCount(), 14);
    QCOMPARE(metrics->item(0, 0)->text(), QStringLiteral("rms"));
    QVERIFY(metrics->item(0, 1)->text().startsWith("-3"));       // about -30.3 dBFS
    QCOMPARE(metrics->item(9, 1)->text(), QStringLiteral("--")); // no comb in noise
    QCOMPARE(metrics->item(0, 4)->text(), QStringLiteral("--"));
}

void TestReplayDialog::decisionsAndCaptures_data()
{
    QTest::addColumn<int>("pre");
    QTest::addColumn<int>("post");
    QTest::addColumn<int>("cooldown");
    QTest::addColumn<bool>("captureEnd");
    QTest::addColumn<QVector<int>>("clicked");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("finished");

    // Clicks from second 9, history complete from 8: nothing is judged before the pre seconds.
    QTest::newRow("warm-up of 15 s")
        << 15 << 5 << 0 << false << QVector<int>{9, 10, 11, 12, 13, 14, 15, 16} << 20.0
        << QStringList{"15 | NEW | kurtosis | START | 0 - 20", "17 | END | kurtosis | "
                                                               "END_DISABLED | --"}
        << "started 1 | complete 1 | skipped 0 | unfinished 0 | tail 0 samples";
    // END is shown, neither captured nor skipped; with capture END on it starts a capture.
    QTest::newRow("END without capture")
        << 10 << 3 << 0 << false << QVector<int>{12} << 16.0
        << QStringList{"12 | NEW | kurtosis | START | 2 - 15",
                       "13 | END | kurtosis | END_DISABLED | --"}
        << "started 1 | complete 1 | skipped 0 | unfinished 0 | tail 0";
    QTest::newRow("END captured")
        << 10 << 3 << 0 << true << QVector<int>{12} << 16.0
        << QStringList{"12 | NEW | kurtosis | START | 2 - 15", "13 | END | kurtosis | SKIPPED | --"}
        << "started 1 | complete 1 | skipped 1 | unfinished 0 | tail 0 samples";
    // START at 40, post 20, cooldown 30: complete on 60, the next START from 90.
    QTest::newRow("cooldown")
        << 10 << 20 << 30 << false << QVector<int>{40, 60, 88, 90} << 95.5
        << QStringList{"40 | NEW | kurtosis | START | 30 - 60",
                       "41 | END | kurtosis | END_DISABLED | --",
                       "60 | NEW | kurtosis | SKIPPED | --",
                       "61 | END | kurtosis | END_DISABLED | --",
                       "88 | NEW | kurtosis | SKIPPED | --",
                       "89 | END | kurtosis | END_DISABLED | --",
                       "90 | NEW | kurtosis | START | 80 - 110",
                       "91 | END | kurtosis | END_DISABLED | --"}
        << "started 2 | complete 1 | skipped 2 | unfinished 1 | tail 4000 samples";
}

void TestReplayDialog::decisionsAndCaptures()
{
    QFETCH(int, pre);
    QFETCH(int, post);
    QFETCH(int, cooldown);
    QFETCH(bool, captureEnd);
    QFETCH(QVector<int>, clicked);
    QFETCH(double, seconds);
    QFETCH(QStringList, rows);
    QFETCH(QString, finished);
    const int rate = 8000;
    AnomalySettings settings = clickSettings(pre, post, cooldown);
    settings.decision.captureEnd = captureEnd;
    auto dialog =
        dialogFor(writeWav("clicks.wav", rate, 1, clickAudio(rate, seconds, clicked)), settings);
    QVERIFY(runToEnd(*dialog));
    QCOMPARE(eventRows(child<QTableWidget>(dialog.get(), "replayEvents")), rows);
    QVERIFY2(dialog->statusText().contains(finished), qPrintable(dialog->statusText()));

    // Every second has a CSV row; none is judged before the pre seconds.
    const QString csv = m_dir.filePath("clicks.csv");
    QCOMPARE(dialog->exportTo(csv), QString());
    const QList<QByteArray> lines = readAll(csv).split('\n');
    QCOMPARE(lines.size(), int(seconds) + 2);
    for (int s = 1; s < pre; ++s)
        QVERIFY(lines.at(s).startsWith(QByteArray::number(s) + ",") &&
                lines.at(s).contains(",NONE,0,0,NONE,"));
    if (QTest::currentDataTag() == QLatin1String("cooldown")) {
        // The capture of 40 completes on the row of 60.
        QVERIFY(lines.at(60).startsWith("60,64,NEW,2,2,SKIPPED,1,"));
        QVERIFY(lines.at(90).startsWith("90,64,NEW,2,2,START,0,"));
    }
}

void TestReplayDialog::buttonsAndSpeeds()
{
    const QString wav = writeWav("buttons.wav", 8000, 2, noise(8000, 2 * 12.5, 1000, 3));
    AnomalySettings settings;
    settings.channel = 1;
    auto dialog = dialogFor(wav, settings);
    auto *start = child<QPushButton>(dialog.get(), "replayStart");
    auto *pause = child<QPushButton>(dialog.get(), "replayPause");
    auto *reset = child<QPushButton>(dialog.get(), "replayReset");
    auto *exportButton = child<QPushButton>(dialog.get(), "replayExport");
    auto *channel = child<QSpinBox>(dialog.get(), "replayChannel");
    auto *speed = child<QComboBox>(dialog.get(), "replaySpeed");
    auto *timer = dialog->findChild<QTimer *>();
    const auto states = [&] {
        return QString("%1%2%3%4")
            .arg(start->isEnabled())
            .arg(pause->isEnabled())
            .arg(channel->isEnabled())
            .arg(exportButton->isEnabled());
    };
    QCOMPARE(channel->value(), 2);
    QCOMPARE(channel->maximum(), 2);
    QCOMPARE(speed->currentText(), QStringLiteral("10x"));
    QCOMPARE(states(), QStringLiteral("1010"));

    speed->setCurrentIndex(ReplayDialog::Speed1x);
    start->click();
    QCOMPARE(states(), QStringLiteral("0100"));
    QCOMPARE(timer->interval(), 1000);
    for (const auto &[index, interval] :
         {std::pair{ReplayDialog::Speed5x, 200}, std::pair{ReplayDialog::Speed10x, 100},
          std::pair{ReplayDialog::SpeedMaximum, 0}, std::pair{ReplayDialog::Speed10x, 100}}) {
        speed->setCurrentIndex(index);
        QCOMPARE(timer->interval(), interval);
        QVERIFY(timer->isActive());
    }
    speed->setCurrentIndex(ReplayDialog::Speed1x);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->statusText().startsWith("1 s | history 1/8 s"), 10000);
    pause->click();
    QCOMPARE(states(), QStringLiteral("1001"));
    const QString paused = dialog->statusText();
    QTest::qWait(300);
    QCOMPARE(dialog->statusText(), paused);

    reset->click();
    QCOMPARE(dialog->statusText(), QStringLiteral("Ready"));
    QCOMPARE(states(), QStringLiteral("1010"));
    QCOMPARE(child<QProgressBar>(dialog.get(), "replayProgress")->value(), 0);
    QCOMPARE(child<QTableWidget>(dialog.get(), "replayMetrics")->item(0, 1)->text(),
             QStringLiteral("--"));

    QVERIFY(runToEnd(*dialog));
    QCOMPARE(states(), QStringLiteral("0001"));
    QVERIFY(reset->isEnabled());
    QVERIFY(dialog->statusText().endsWith("tail 4000 samples (no full DSP update)"));
    reset->click();
    QCOMPARE(states(), QStringLiteral("1010"));
}

void TestReplayDialog::bandTooNarrow()
{
    // 5000-5099 Hz: narrower than 100 Hz after the clamp below Nyquist at 16 kHz (7984 Hz).
    AnomalySettings settings;
    settings.lowHz = 5000;
    settings.highHz = 5099;
    auto dialog = dialogFor(writeWav("narrow.wav", 16000, 1, noise(16000, 3, 1000, 4)), settings);
    dialog->start();
    QCOMPARE(dialog->statusText(), QStringLiteral("Live band too narrow"));
    QVERIFY(!dialog->isRunning());
    QVERIFY(child<QPushButton>(dialog.get(), "replayStart")->isEnabled());
    QVERIFY(child<QSpinBox>(dialog.get(), "replayChannel")->isEnabled());
    QVERIFY(!child<QPushButton>(dialog.get(), "replayExport")->isEnabled());
}

void TestReplayDialog::eventTableKeepsTheNewest5000()
{
    // A click every other second from 9 on: a NEW and an END every two seconds, 5010 in all.
    const int rate = 8000;
    const int decisions = ReplayDialog::eventRowLimit + 10;
    QVector<int> clicked;
    for (int s = 9; clicked.size() < decisions / 2; s += 2)
        clicked << s;
    const double seconds = clicked.last() + 1.5;
    auto dialog = dialogFor(writeWav("many.wav", rate, 1, clickAudio(rate, seconds, clicked)),
                            clickSettings(1, 1, 0));
    QVERIFY(runToEnd(*dialog));
    auto *events = child<QTableWidget>(dialog.get(), "replayEvents");
    QCOMPARE(events->rowCount(), ReplayDialog::eventRowLimit);
    // The first ten (9 NEW ... 13 END) are gone.
    QCOMPARE(events->item(0, 0)->text(), QString::number(clicked.at(5)));
    QCOMPARE(events->item(0, 1)->text(), QStringLiteral("NEW"));
    QCOMPARE(events->item(events->rowCount() - 1, 0)->text(), QString::number(clicked.last() + 1));
    QCOMPARE(events->item(events->rowCount() - 1, 1)->text(), QStringLiteral("END"));
}

void TestReplayDialog::exportMatchesTheCommandLine()
{
    // The right channel of a stereo recording, with settings far from the defaults.
    const int rate = 16000;
    const std::vector<qint16> left = noise(rate, 40.5, 1500, 11);
    const std::vector<qint16> right = clickAudio(rate, 40.5, {14, 15, 25, 31});
    std::vector<qint16> stereo(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        stereo[2 * i] = left[i];
        stereo[2 * i + 1] = right[i];
    }
    const QString wav = writeWav("145.500000_20240501_102030_123_ab.wav", rate, 2, stereo);
    AnomalySettings settings = clickSettings(6, 4, 5);
    settings.channel = 1;
    settings.lowHz = 150.5;
    settings.highHz = 7000;
    settings.decision.learn = 12;
    settings.decision.captureEnd = true;
    settings.decision.rules[0].enabled = true; // rms, relative only
    settings.decision.rules[0].z = 2.5;
    settings.decision.rules[0].scaleFloor = 0.125;

    auto dialog = dialogFor(wav, settings);
    dialog->start();
    int pausedAt = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            pausedAt = dialog->statusText().section(' ', 0, 0).toInt();
            return pausedAt >= 12;
        },
        60000));
    dialog->pause();
    pausedAt = dialog->statusText().section(' ', 0, 0).toInt();
    QVERIFY(pausedAt < 40);
    const QString partPath = m_dir.filePath("part.CSV");
    QCOMPARE(dialog->exportTo(partPath), QString());
    const QByteArray part = readAll(partPath);
    QCOMPARE(part.count('\n'), pausedAt + 1); // the header and each second, lines complete
    QVERIFY(part.endsWith('\n'));

    child<QComboBox>(dialog.get(), "replaySpeed")->setCurrentIndex(ReplayDialog::SpeedMaximum);
    dialog->start();
    QVERIFY(QTest::qWaitFor([&dialog] { return dialog->hasEnded(); }, 60000));
    const QString wholePath = m_dir.filePath("whole.csv");
    QCOMPARE(dialog->exportTo(wholePath), QString());
    const QByteArray whole = readAll(wholePath);
    QCOMPARE(whole.count('\n'), 41);
    QVERIFY(whole.startsWith(part));
    QVERIFY(whole.contains(",START,"));

    QFile config(m_dir.filePath("config.json"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(configJson(settings));
    config.close();
    QProcess tool;
    tool.start(qEnvironmentVariable("CORVIN_DSP_TOOL"),
               {"replay", wav, "--config", config.fileName(), "--out", m_dir.filePath("cli")});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()).trimmed(), dialog->statusText());
    const QByteArray cli =
        readAll(m_dir.filePath("cli/145.500000_20240501_102030_123_ab_replay.csv"));
    QCOMPARE(cli.size(), whole.size());
    QVERIFY(cli == whole);
}

void TestReplayDialog::exportRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("warning");
    QTest::newRow("upper-case suffix") << "rows.CSV"
                                       << "";
    QTest::newRow("not .csv") << "rows.txt"
                              << "Choose a .csv filename";
    QTest::newRow("no suffix") << "rows"
                               << "Choose a .csv filename";
    QTest::newRow("folder missing") << "missing/rows.csv"
                                    << "CSV export failed";
}

void TestReplayDialog::exportRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, warning);
    auto dialog =
        dialogFor(writeWav("export.wav", 8000, 1, noise(8000, 3, 1000, 6)), AnomalySettings());
    QVERIFY(runToEnd(*dialog));
    const QString path = m_dir.filePath(name);
    QCOMPARE(dialog->exportTo(path), warning);
    QCOMPARE(QFile::exists(path), warning.isEmpty());
    if (warning.isEmpty())
        QCOMPARE(readAll(path).count('\n'), 4);
}

QTEST_MAIN(TestReplayDialog)
#include "tst_replaydialog.moc"
