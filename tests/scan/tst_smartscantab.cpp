// The Smart Scan page on a simulated receiver with a scripted measurement: a scan's rows and
// summary and the same after reopening its archive, Hide Quality 0, importing into Favorites
// twice, listening to a result, the enabling rules, a lost input, the standby countdown and the
// favourite measurement following the page's boxes.
#include "activityregistry.h"
#include "audioanalysisresult.h"
#include "favoritemeasurement.h"
#include "favoritestab.h"
#include "favoritestable.h"
#include "powerbackend.h"
#include "scanstandby.h"
#include "settingskeys.h"
#include "simulatorrig.h"
#include "smartscanresults.h"
#include "smartscantab.h"
#include "testhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class QuietPower : public PowerBackend
{
public:
    bool acquireKeepAwake() override { return held = true; }
    bool releaseKeepAwake() override
    {
        held = false;
        return true;
    }
    int requestSleep() override { return 0; }
    bool held = false;
};

// Answers each measurement from the event loop with the next class of the script (quality 50).
class ScriptedAudio : public SmartScanAudio
{
public:
    bool startAnalysis(int request, int, double) override
    {
        const int code = script.isEmpty() ? -1 : script.takeFirst();
        if (code >= 0) {
            AudioAnalysisResult result;
            result.classification = code;
            result.quality = code == int(SignalClass::Quiet) ? 0 : 50;
            result.dbfs_rms = -40.25;
            result.dbfs_peak = -31.0;
            result.fft_windows = 3;
            // The tab's engine is its child.
            SmartScan *target = tab->findChild<SmartScan *>();
            QTimer::singleShot(
                0, target, [target, request, result] { target->analysisReady(request, result); });
        }
        return true;
    }
    void cancelAnalysis() override {}

    QList<int> script;
    SmartScanTab *tab = nullptr;
};

struct Page
{
    explicit Page(QList<int> classes = {})
    {
        qputenv("CORVIN_DATA_DIR", data.path().toUtf8());
        host.receiverDriver = &rig.driver;
        host.receiver.frequency = 7050000;
        host.receiver.mode = 3; // USB
        host.receiver.portName = QStringLiteral("/dev/ttyUSB0");
        host.audioInputStartable = true;
        host.standby = new ScanStandby(host, power, &host);
        host.standby->registerWith(host.activities());
        favorites = new FavoritesTab(host);
        favorites->loadFavorites(data.filePath(QStringLiteral("favorites.xml")));
        audio.script = std::move(classes);
        tab = new SmartScanTab(host, *favorites, &audio);
        audio.tab = tab;
        tab->setFileChooser([this](const QString &start) {
            dialogStarts << start;
            return chosen;
        });
        tab->show();
    }
    ~Page()
    {
        delete tab;
        delete favorites;
    }

    template <typename T> T *find(const char *name) const
    {
        return tab->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QString status() const { return find<QLabel>("smartStatus")->text(); }
    QString summary() const { return find<QLabel>("smartResultSummary")->text(); }
    void setRange(double start, double end)
    {
        find<QDoubleSpinBox>("smartStartMHz")->setValue(start);
        find<QDoubleSpinBox>("smartEndMHz")->setValue(end);
        find<QComboBox>("smartModeCB")->setCurrentIndex(1); // NFM
    }
    bool scan(double start, double end)
    {
        setRange(start, end);
        button("smartStartPB")->click();
        return tab->isRunning() && QTest::qWaitFor([this] { return !tab->isRunning(); }, 20000);
    }
    // Every cell of every row, and the hidden flags, as text.
    QStringList rows() const
    {
        QStringList lines;
        const SmartScanResults *table = tab->results();
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            cells << (table->isDetected(row) ? "detected" : "-")
                  << (table->isRowHidden(row) ? "hidden" : "shown");
            lines << cells.join('|');
        }
        return lines;
    }

    QTemporaryDir data;
    SimulatorRig rig{{"station 88000000 NFM 15000 200 speech One",
                      "station 88100000 NFM 15000 190 speech Two",
                      "station 88300000 NFM 15000 180 speech Three"}};
    TestHost host;
    std::shared_ptr<QuietPower> power = std::make_shared<QuietPower>();
    ScriptedAudio audio;
    FavoritesTab *favorites = nullptr;
    SmartScanTab *tab = nullptr;
    QString chosen;
    QStringList dialogStarts;
};

} // namespace

class SmartScanTabTest : public QObject
{
    Q_OBJECT

private slots:
    void scanThenReopen();
    void importTwice();
    void listenSelected();
    void enablingRules_data();
    void enablingRules();
    void inputLostStopsTheScan();
    void favouriteMeasurementFollowsTheBoxes();
};

void SmartScanTabTest::scanThenReopen()
{
    Page page({int(SignalClass::Tone), int(SignalClass::Quiet), int(SignalClass::Modulated)});
    QVERIFY(page.scan(88.0, 88.3));
    QCOMPARE(page.status(), QStringLiteral("Smart Scan complete."));
    // The receiver panel is put back; keep-awake was held and is released.
    QCOMPARE(page.host.restores.size(), 1);
    QCOMPARE(page.host.restores[0], qMakePair(qint64(7050000), 3));
    QVERIFY(!page.power->held);
    QCOMPARE(page.find<QLabel>("smartInput")->text(), QStringLiteral("Input: Line In"));
    const QStringList live = page.rows();
    QCOMPARE(live.size(), 3);
    QCOMPARE(live[0],
             QStringLiteral("88.000000|NFM|200|-40.3|-31.0|56|Tonal audio|VHF|detected|shown"));
    QCOMPARE(live[1],
             QStringLiteral("88.100000|NFM|190|-40.3|-31.0|0|Quiet / unmodulated|VHF|-|shown"));
    QCOMPARE(page.summary(), QStringLiteral("2 detected | 1 quiet | 0 noise | 0 unreadable"));
    QCOMPARE(page.find<QProgressBar>("smartProgress")->value(), 4);
    const QString archive = page.tab->scan().archivePath();
    QCOMPARE(page.host.settings().value(SettingsKeys::smartScanLastArchive).toString(), archive);

    // Hide Quality 0 hides the quiet row and is stored at once.
    page.find<QCheckBox>("smartHideZeroQuality")->setChecked(true);
    QVERIFY(page.rows()[1].endsWith("hidden"));
    QVERIFY(page.host.settings().value(SettingsKeys::smartScanHideZeroQuality).toBool());

    // Reopening rebuilds the same rows (the quiet one hidden) and summary; the dialog starts at
    // the last archive.
    page.tab->results()->setRowCount(0);
    page.chosen = archive;
    page.button("smartOpenScanPB")->click();
    QCOMPARE(page.dialogStarts, QStringList{archive});
    QStringList reopened = page.rows();
    QVERIFY(reopened[1].endsWith("hidden"));
    reopened[1].replace("hidden", "shown");
    QCOMPARE(reopened, live);
    QCOMPARE(page.summary(), QStringLiteral("2 detected | 1 quiet | 0 noise | 0 unreadable"));
    QVERIFY(page.status().startsWith("Saved scan: "));
    QVERIFY(page.status().endsWith("(88.0000 MHz to 88.3000 MHz)"));

    // A foreign file keeps the table and says why.
    QFile foreign(page.data.filePath("foreign.jsonl"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("{\"type\":\"scan_start\",\"schema\":2}\n");
    foreign.close();
    page.tab->openArchive(foreign.fileName());
    QCOMPARE(page.rows().size(), 3);
    QVERIFY(page.host.logContains("Unsupported scan archive: " + foreign.fileName()));
}

void SmartScanTabTest::importTwice()
{
    Page page({int(SignalClass::Tone), int(SignalClass::Quiet), int(SignalClass::Modulated)});
    QVERIFY(page.scan(88.0, 88.3));
    const QString path = page.favorites->favoritesPath();
    // Without a selection only the detected rows come in.
    page.button("smartToFavoritesPB")->click();
    QCOMPARE(page.status(), QStringLiteral("Favorites: 2 added, 0 updated."));
    FavoritesTable *table = page.favorites->table();
    QCOMPARE(table->rowCount(), 2);
    const Favorite first = table->favoriteAt(0);
    QCOMPARE(first.frequency, qint64(88000000));
    QCOMPARE(first.name, QStringLiteral("Smart Scan"));
    QCOMPARE(first.mode, QStringLiteral("NFM"));
    QCOMPARE(first.attributes.value("classification").toString(), QStringLiteral("Tonal audio"));
    QVERIFY(QFile::exists(path));

    // The second time the merge changes nothing and no file is written.
    QVERIFY(QFile::remove(path));
    page.button("smartToFavoritesPB")->click();
    QCOMPARE(page.status(), QStringLiteral("Favorites: 0 added, 0 updated."));
    QVERIFY(page.host.logContains("Favorites: 0 added, 0 updated."));
    QVERIFY(!QFile::exists(path));

    // A selected quiet row is imported although it is not detected.
    page.tab->results()->selectRow(1);
    page.button("smartToFavoritesPB")->click();
    QCOMPARE(page.status(), QStringLiteral("Favorites: 1 added, 0 updated."));
    QCOMPARE(table->rowCount(), 3);
}

void SmartScanTabTest::listenSelected()
{
    Page page({int(SignalClass::Tone)});
    QVERIFY(page.scan(88.0, 88.0));
    QPushButton *listen = page.button("smartListenPB");
    QVERIFY(!listen->isEnabled());
    page.tab->results()->selectRow(0);
    QVERIFY(listen->isEnabled());
    listen->click();
    QCOMPARE(page.host.receiver.immediateModes, QVector<int>{1});
    QCOMPARE(page.host.receiver.immediateTunes, QVector<qint64>{88000000});
    QCOMPARE(page.host.listenRequests, 1);
    QCOMPARE(page.status(), QStringLiteral("Listening to scan result %1 MHz (NFM).")
                                .arg(page.host.receiver.frequencyText()));

    // A row whose mode is not in the list is refused.
    page.tab->results()->item(0, SmartScanResults::Mode)->setText("XYZ");
    listen->click();
    QVERIFY(page.host.logContains(
        "The selected scan result has an invalid frequency or receiver mode."));
    QCOMPARE(page.host.receiver.immediateTunes.size(), 1);
}

void SmartScanTabTest::enablingRules_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("input");
    QTest::addColumn<bool>("output");
    QTest::addColumn<bool>("otherActivity");
    QTest::addColumn<bool>("selected");
    // start, listen, to favorites, open, start tooltip shown
    QTest::addColumn<QString>("enabled");

    QTest::newRow("ready, a row selected")
        << true << true << true << false << true << "start listen favorites open";
    QTest::newRow("ready, nothing selected")
        << true << true << true << false << false << "start favorites open";
    QTest::newRow("no output") << true << true << false << false << true << "start favorites open";
    QTest::newRow("no input") << true << false << true << false << true << "favorites open tooltip";
    QTest::newRow("disconnected") << false << true << true << false << true
                                  << "favorites open tooltip";
    QTest::newRow("another activity")
        << true << true << true << true << true << "favorites open tooltip";
}

void SmartScanTabTest::enablingRules()
{
    QFETCH(bool, connected);
    QFETCH(bool, input);
    QFETCH(bool, output);
    QFETCH(bool, otherActivity);
    QFETCH(bool, selected);
    QFETCH(QString, enabled);
    Page page({int(SignalClass::Tone)});
    QVERIFY(page.scan(88.0, 88.0));
    if (!connected)
        page.rig.driver.closePort();
    page.host.audioInputPresent = input;
    page.host.audioOutputPresent = output;
    page.host.activities().registerActivity(Activity::RfSweep, &page.host,
                                            [otherActivity] { return otherActivity; });
    if (selected)
        page.tab->results()->selectRow(0);
    page.tab->updateScanControls();
    QStringList seen;
    if (page.button("smartStartPB")->isEnabled())
        seen << "start";
    if (page.button("smartListenPB")->isEnabled())
        seen << "listen";
    if (page.button("smartToFavoritesPB")->isEnabled())
        seen << "favorites";
    if (page.button("smartOpenScanPB")->isEnabled())
        seen << "open";
    if (!page.button("smartStartPB")->toolTip().isEmpty())
        seen << "tooltip";
    QCOMPARE(seen.join(' '), enabled);
    QVERIFY(!page.button("smartStopPB")->isEnabled());
}

void SmartScanTabTest::inputLostStopsTheScan()
{
    Page page; // the measurement never answers
    page.setRange(88.0, 88.5);
    page.button("smartStartPB")->click();
    QVERIFY(page.tab->isRunning());
    QVERIFY(page.host.activities().isRunning(Activity::SmartScan));
    QVERIFY(page.power->held);
    QVERIFY(!page.button("smartStartPB")->isEnabled());
    QVERIFY(page.button("smartStopPB")->isEnabled());
    QVERIFY(QTest::qWaitFor([&page] { return page.status().startsWith("Analyzing"); }, 5000));
    page.host.loseAudioInput();
    QVERIFY(!page.tab->isRunning());
    QCOMPARE(page.status(), QStringLiteral("Smart Scan stopped because the audio input was lost."));
    QVERIFY(!page.power->held);
    QVERIFY(page.button("smartStartPB")->isEnabled());
}

void SmartScanTabTest::favouriteMeasurementFollowsTheBoxes()
{
    Page page;
    page.find<QSpinBox>("smartDurationMs")->setValue(2300);
    page.find<QSpinBox>("smartAudioLevel")->setValue(-70);
    const SmartAudioSettings settings = page.favorites->measurement().audioSettings();
    QCOMPARE(settings.durationMs, 2300);
    QCOMPARE(settings.thresholdDbfs, -70);
}

QTEST_MAIN(SmartScanTabTest)
#include "tst_smartscantab.moc"
