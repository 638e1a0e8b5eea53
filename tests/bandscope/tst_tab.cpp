// The RX Band Scope page against the simulated receiver: which controls are enabled when, a
// capture on the normal connection and its restore, isolation without the normal disconnect,
// the service session, the exports with their questions, the shutdown step, and a station of the
// simulator's band plan drawn at its frequency. The tab's clock runs ten times faster than the
// wall clock.
#include "bandscopecolorcurve.h"
#include "bandscopespectrumview.h"
#include "bandscopetab.h"
#include "corvindriver.h"
#include "fakescope.h"
#include "rxsimulator.h"
#include "scopeservice.h"
#include "scopespan.h"
#include "settingskeys.h"
#include "testhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

namespace {

constexpr int speedUp = 10;

struct Rig
{
    explicit Rig(bool connect = true)
    {
        sim.setPaced(false);
        sim.setScopeTiming(0, 100);
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        host.receiverDriver = &driver;
        host.receiver.portName = sim.portPath();
        host.activities().registerActivity(Activity::RfSweep, &host, [this] { return sweeping; });
        if (connect)
            QVERIFY(driver.openPort(sim.portPath()));
        tab = std::make_unique<BandScopeTab>(host);
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        tab->setClock({[timer] { return timer->elapsed() * speedUp; },
                       [] { return QDateTime::currentDateTime(); }});
        BandScopeDialogs dialogs;
        dialogs.saveFile = [this](QWidget *, const QString &title, const QString &,
                                  const QString &filter, const QString &suffix) {
            asked << title + QLatin1Char('|') + filter + QLatin1Char('|') + suffix;
            return chosenFile;
        };
        dialogs.ask = [this](QWidget *, const QString &, const QString &text) {
            asked << text;
            return answer;
        };
        dialogs.warn = [this](QWidget *, const QString &, const QString &text) { warned << text; };
        tab->setDialogs(dialogs);
        tab->show();
    }

    template <typename T> T *find(const char *name) const
    {
        return tab->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QString status() const { return find<QLabel>("bandScopeStatus")->text(); }

    // Clicks a start button and waits for the capture to end.
    bool capture(const char *buttonName = "bandScopeStart")
    {
        button(buttonName)->click();
        QElapsedTimer clock;
        clock.start();
        while (tab->isCapturing() && clock.elapsed() < 20000)
            QTest::qWait(20);
        return !tab->isCapturing();
    }

    QList<QByteArray> commands() const { return withoutLoneCrs(sim.commands()); }

    RxSimulator sim;
    Corvindriver driver;
    TestHost host;
    std::unique_ptr<BandScopeTab> tab;
    bool sweeping = false;
    QString chosenFile;
    bool answer = false;
    QStringList asked;
    QStringList warned;
};

} // namespace

class TabTest : public QObject
{
    Q_OBJECT

private slots:
    void controlsFollowTheConnection();
    void storedSettings_data();
    void storedSettings();
    void captureOnTheNormalConnection();
    void stationShownAtItsFrequency_data();
    void stationShownAtItsFrequency();
    void failedCaptureIsolatesWithoutDisconnect();
    void serviceSession();
    void exportGuardsExistingFiles();
    void historyExport();
    void shutdownStopsTheCapture();
    void italianTexts();
};

void TabTest::controlsFollowTheConnection()
{
    Rig closed(false);
    QCOMPARE(closed.status(),
             QStringLiteral("Connect in Receiver or open Scope COM in Serial diagnostics."));
    QVERIFY(!closed.button("bandScopeStart")->isEnabled());
    QVERIFY(!closed.button("bandScopeRun")->isEnabled());
    QVERIFY(!closed.button("bandScopeStop")->isEnabled());
    QVERIFY(closed.button("scopeServiceOpen")->isEnabled());
    QCOMPARE(closed.button("scopeServiceOpen")->text(), QStringLiteral("Open Scope COM"));
    QVERIFY(!closed.find<QWidget>("scopeServiceCommands")->isEnabled());
    QVERIFY(!closed.button("bandScopeExport")->isEnabled());
    QVERIFY(!closed.button("bandScopeReference")->isEnabled());
    QVERIFY(!closed.find<QCheckBox>("bandScopeRawAxis")->isEnabled());
    QCOMPARE(closed.find<QLabel>("bandScopeHistoryTime")->text(),
             QStringLiteral("No sweeps recorded."));
    closed.host.receiver.portName.clear();
    closed.host.updateConnectionUi();
    QVERIFY(!closed.button("scopeServiceOpen")->isEnabled());

    Rig open;
    QVERIFY(open.button("bandScopeStart")->isEnabled());
    QVERIFY(!open.button("scopeServiceOpen")->isEnabled()); // the normal connection holds it
    open.sweeping = true;
    open.host.updateConnectionUi();
    QVERIFY(!open.button("bandScopeStart")->isEnabled());
    open.button("bandScopeStart")->click();
    QVERIFY(!open.tab->isCapturing()); // refused while another activity runs
}

void TabTest::storedSettings_data()
{
    QTest::addColumn<QVariant>("span");
    QTest::addColumn<int>("code");
    QTest::newRow("0 gives 1") << QVariant(0) << 1;
    QTest::newRow("9 gives 7") << QVariant(9) << 7;
    QTest::newRow("missing gives 7") << QVariant() << 7;
    QTest::newRow("4") << QVariant(4) << 4;
}

void TabTest::storedSettings()
{
    QFETCH(QVariant, span);
    QFETCH(int, code);
    TestHost host;
    Corvindriver driver;
    host.receiverDriver = &driver;
    if (span.isValid())
        host.settings().setValue(QLatin1String(SettingsKeys::bandScopeSpan), span);
    host.settings().setValue(QLatin1String(SettingsKeys::bandScopeHistoryDepth), 300);
    BandScopeTab tab(host);
    auto *combo = tab.findChild<QComboBox *>(QStringLiteral("bandScopeSpan"));
    QCOMPARE(combo->currentData().toInt(), code);
    QCOMPARE(combo->count(), 7);
    QCOMPARE(combo->itemText(0), QStringLiteral("100 kHz  (2 kHz)"));
    QCOMPARE(combo->itemData(6).toInt(), 1);
    QCOMPARE(tab.findChild<QDoubleSpinBox *>(QStringLiteral("bandScopeCenter"))->value(), 4.65);
    QCOMPARE(tab.findChild<QSpinBox *>(QStringLiteral("bandScopeHistoryDepth"))->value(), 256);
}

void TabTest::captureOnTheNormalConnection()
{
    Rig rig;
    QVERIFY(rig.driver.setMode(3) && rig.driver.tune(7050000));
    rig.host.receiver.frequency = 7050000;
    rig.host.receiver.mode = 3;
    rig.host.receiver.queuedTunes = {145000000};
    rig.find<QDoubleSpinBox>("bandScopeCenter")->setValue(4.649); // to the 2 kHz grid: 4.650
    rig.sim.clearWireLog();
    rig.button("bandScopeStart")->click();
    QVERIFY(rig.host.receiver.queuedTunes.isEmpty());
    QVERIFY(rig.host.activities().isRunning(Activity::BandScopeAcquisition));
    QVERIFY(!rig.button("bandScopeStart")->isEnabled());
    QVERIFY(rig.button("bandScopeStop")->isEnabled());
    QVERIFY(!rig.find<QWidget>("bandScopeCenter")->isEnabled());
    QVERIFY(rig.capture());

    QVERIFY2(rig.status().startsWith(QStringLiteral("Sweep complete. 4/4 rows; valid=")),
             qPrintable(rig.status()));
    QVERIFY(rig.host.logContains(QStringLiteral("RX Band Scope: Sweep complete. 4/4 rows;")));
    QCOMPARE(rig.commands().mid(rig.commands().size() - 4),
             (QList<QByteArray>{"VF", "RX", "MD3", "RF0007050000"}));
    QVERIFY(rig.commands().contains("CF0004650000"));
    QCOMPARE(rig.find<QDoubleSpinBox>("bandScopeCenter")->value(), 4.65);
    QCOMPARE(rig.host.settings().value(QLatin1String(SettingsKeys::bandScopeCenterMHz)).toDouble(),
             4.65);
    QCOMPARE(rig.host.settings().value(QLatin1String(SettingsKeys::bandScopeSpan)).toInt(), 7);
    QVERIFY(rig.driver.isOpen());
    QCOMPARE(rig.host.receiver.frequency, qint64(7050000));
    QVERIFY(rig.find<QCheckBox>("bandScopeRawAxis")->isEnabled());
    QVERIFY(rig.button("bandScopeReference")->isEnabled());
    QVERIFY(rig.button("bandScopeExport")->isEnabled());
    QVERIFY(rig.find<QLabel>("bandScopeStats")
                ->text()
                .startsWith(QStringLiteral("Sweeps: 1 | Window: 1 | Valid: ")));
    QVERIFY(rig.find<QLabel>("bandScopeHistoryTime")
                ->text()
                .endsWith(QStringLiteral("| 1/64 sweeps | Blue low - red high")));
    QVERIFY(rig.find<QPlainTextEdit>("bandScopeLog")
                ->toPlainText()
                .contains(QStringLiteral("\n--- DS RAW ---\nDS0127:")));
    QVERIFY(!rig.host.activities().isRunning(Activity::BandScopeAcquisition));
}

void TabTest::stationShownAtItsFrequency_data()
{
    QTest::addColumn<double>("centreMHz");
    QTest::addColumn<int>("spanCode");
    // How far from the station the strongest bin is looked for: the neighbouring stations of
    // the band plan (4.610 and 4.640 MHz) stay outside.
    QTest::addColumn<int>("searchHz");
    // The wide spans' 10 kHz grid never falls on a 3 kHz station centred between its points.
    QTest::newRow("default 4.65 MHz, 100 kHz") << 4.65 << 7 << 12000;
    QTest::newRow("4.62 MHz, 100 kHz") << 4.62 << 7 << 12000;
    QTest::newRow("below centre, 200 kHz") << 4.70 << 6 << 12000;
}

// The HF buzzer of the simulator's band plan (4.625 MHz, 3 kHz wide) after "Capture sweep",
// on the page's MHz axis: the strongest bin near it lies within one bin step of its frequency
// and stands well above the span's floor.
void TabTest::stationShownAtItsFrequency()
{
    QFETCH(double, centreMHz);
    QFETCH(int, spanCode);
    QFETCH(int, searchHz);
    const double buzzerMHz = 4.625;
    Rig rig;
    rig.find<QDoubleSpinBox>("bandScopeCenter")->setValue(centreMHz);
    auto *span = rig.find<QComboBox>("bandScopeSpan");
    span->setCurrentIndex(span->findData(spanCode));
    QVERIFY(rig.capture());
    QVERIFY2(rig.status().startsWith(QStringLiteral("Sweep complete.")), qPrintable(rig.status()));
    rig.find<QCheckBox>("bandScopeRawAxis")->setChecked(false);

    const QwtSeriesData<QPointF> *shown =
        rig.tab->findChild<BandScopeSpectrumView *>()->curve()->data();
    QVERIFY(shown->size() > 40);
    std::vector<double> levels;
    QPointF peak(0.0, -1.0);
    for (size_t i = 0; i < shown->size(); ++i) {
        const QPointF point = shown->sample(i);
        levels.push_back(point.y());
        if (qAbs(point.x() - buzzerMHz) * 1e6 <= searchHz && point.y() > peak.y())
            peak = point;
    }
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    const double floor = levels[levels.size() / 2];
    const double stepMHz = ScopeSpan::span(spanCode).stepHz / 1e6;
    QVERIFY2(
        qAbs(peak.x() - buzzerMHz) <= stepMHz + 1e-9,
        qPrintable(QStringLiteral("peak %1 at %2 MHz").arg(peak.y()).arg(peak.x(), 0, 'f', 6)));
    QVERIFY2(peak.y() >= floor + 4.0,
             qPrintable(QStringLiteral("peak %1, floor %2").arg(peak.y()).arg(floor)));
}

void TabTest::failedCaptureIsolatesWithoutDisconnect()
{
    Rig rig;
    rig.sim.triggerScopeFault(ScopeFault::DsReject);
    rig.host.receiver.shownLevel = 120;
    QVERIFY(rig.capture("bandScopeRun"));
    QVERIFY(rig.status().startsWith(QStringLiteral("Receiver rejected DS.")));
    QVERIFY(rig.status().endsWith(
        QStringLiteral(" Receiver disconnected; check RX mode and reconnect.")));
    QVERIFY(!rig.driver.isOpen());
    QVERIFY(rig.host.disconnects.isEmpty()); // no standby, no EX
    QCOMPARE(rig.host.receiver.shownLevel, -1);
    QVERIFY(rig.sim.receivedBytes().endsWith("DS\r"));
    QVERIFY(!rig.button("bandScopeStart")->isEnabled());
    QVERIFY(rig.button("bandScopeExport")->isEnabled()); // the partial data stays
}

void TabTest::serviceSession()
{
    Rig rig(false);
    rig.button("scopeServiceOpen")->click();
    QVERIFY(rig.tab->isSessionOpen());
    QVERIFY(rig.host.activities().isRunning(Activity::BandScopeService));
    QCOMPARE(rig.button("scopeServiceOpen")->text(), QStringLiteral("Close Scope COM"));
    QVERIFY(rig.find<QWidget>("scopeServiceCommands")->isEnabled());
    QVERIFY(rig.button("bandScopeStart")->isEnabled());
    rig.button("scopeServiceVr")->click();
    QVERIFY(!rig.find<QWidget>("scopeServiceCommands")->isEnabled());
    QVERIFY(!rig.button("bandScopeStart")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(rig.find<QPlainTextEdit>("bandScopeLog")
                                 ->toPlainText()
                                 .contains(QStringLiteral("RX: VR RXSIM 1.0<CR> | HEX")),
                             3000);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.tab->service().isCommandPending(), 5000);
    QVERIFY(rig.find<QPlainTextEdit>("bandScopeLog")
                ->toPlainText()
                .contains(QStringLiteral("TX: VR | HEX 56 52 0d")));

    // A capture inside the session keeps it.
    QVERIFY(rig.capture());
    QVERIFY(rig.status().endsWith(
        QStringLiteral(" Scope COM remains open. Use VF/EX in Serial diagnostics.")));
    QVERIFY(rig.tab->isSessionOpen());
    QVERIFY(!rig.commands().contains("VF"));

    rig.button("scopeServiceOpen")->click();
    QVERIFY(!rig.tab->isSessionOpen());
    QVERIFY(!rig.driver.isOpen());
    QCOMPARE(rig.status(),
             QStringLiteral("Service closed. Normal Connect will restore normal tuning."));
}

void TabTest::exportGuardsExistingFiles()
{
    Rig rig;
    QVERIFY(rig.capture());
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("scope.txt"));
    const QString csv = bare + QStringLiteral(".csv");
    const QString raw = bare + QStringLiteral("_raw.txt");
    QFile existing(csv);
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("keep") == 4);
    existing.close();

    // The dialog confirmed "scope.txt", not "scope.txt.csv": ask before replacing it.
    rig.chosenFile = bare;
    rig.answer = false;
    rig.button("bandScopeExport")->click();
    QCOMPARE(rig.asked, (QStringList{QStringLiteral("Export RX Band Scope|CSV (*.csv)|csv"),
                                     QStringLiteral("%1 already exists. Replace it?").arg(csv)}));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("keep"));
    existing.close();
    QVERIFY(!QFile::exists(raw));

    rig.answer = true;
    rig.asked.clear();
    const QString status = rig.status();
    rig.button("bandScopeExport")->click();
    QCOMPARE(rig.asked.size(), 2);
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().count('\n'), 1025); // the header and a line per bin
    QVERIFY(QFile::exists(raw));
    QVERIFY(rig.host.logContains(QStringLiteral("RX Band Scope export: %1 + %2").arg(csv, raw)));
    QCOMPARE(rig.status(), status + QStringLiteral(" Exported."));

    // Now the raw file exists: declining to replace it writes nothing.
    rig.answer = false;
    rig.asked.clear();
    rig.chosenFile = csv;
    rig.button("bandScopeExport")->click();
    QCOMPARE(rig.asked.last(), QStringLiteral("Replace existing raw file?"));

    rig.chosenFile = dir.filePath(QStringLiteral("missing/folder/x.csv"));
    rig.button("bandScopeExport")->click();
    QCOMPARE(rig.warned,
             QStringList{QStringLiteral("Could not save both files. Check destination.")});
}

void TabTest::historyExport()
{
    Rig rig;
    QVERIFY(rig.capture());
    QTemporaryDir dir;
    rig.chosenFile = dir.filePath(QStringLiteral("history.csv"));
    QPushButton *button = rig.button("bandScopeHistoryExport");
    button->click();
    QVERIFY(button->isChecked());
    QCOMPARE(button->text(), QStringLiteral("Stop history export"));
    QVERIFY(rig.capture());
    button->click();
    QVERIFY(!button->isChecked());
    QFile file(rig.chosenFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The sweep already in the history, then the new one.
    QCOMPARE(file.readAll().count('\n'), 3);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("history.png"))));
}

void TabTest::shutdownStopsTheCapture()
{
    Rig rig;
    rig.button("bandScopeRun")->click();
    QTest::qWait(100);
    QVERIFY(rig.tab->isCapturing());
    rig.host.activities().runShutdown();
    QVERIFY(!rig.tab->isCapturing());
    QVERIFY(rig.status().startsWith(QStringLiteral("Stopped on exit. ")));
    QVERIFY(rig.host.logContains(QStringLiteral("RX Band Scope: Stopped on exit.")));
    QVERIFY(!rig.driver.isOpen());
}

void TabTest::italianTexts()
{
    qApp->setProperty("language", QStringLiteral("it"));
    Rig rig(false);
    qApp->setProperty("language", QVariant());
    QCOMPARE(rig.button("bandScopeStop")->text(), QStringLiteral("Ferma"));
    QCOMPARE(rig.button("scopeServiceOpen")->text(), QStringLiteral("Apri COM Scope"));
    QCOMPARE(rig.find<QLabel>("bandScopeHistoryTime")->text(),
             QStringLiteral("Nessuna scansione registrata."));
    QVERIFY(rig.find<QLabel>("bandScopeStats")->text().startsWith(QStringLiteral("Scansioni: 0")));
}

QTEST_MAIN(TabTest)
#include "tst_tab.moc"
