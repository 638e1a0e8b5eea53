#include "screenshottour.h"

#include "anomalymetric.h"
#include "anomalypanel.h"
#include "archivejson.h"
#include "bandscopetab.h"
#include "corvin.h"
#include "datafolders.h"
#include "detectorsettingsdialog.h"
#include "dspshowcase.h"
#include "eventarchive.h"
#include "eventarchivedialog.h"
#include "favoritemeasurement.h"
#include "favoritestab.h"
#include "featurebankgroup.h"
#include "metricgrid.h"
#include "modalanswer.h"
#include "observationstatsdialog.h"
#include "receivercontrol.h"
#include "rfsweeptab.h"
#include "smartscantab.h"
#include "spectrumtab.h"
#include "syntheticsweep.h"
#include "synthetictab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

namespace {
constexpr int startDelayMs = 800;
constexpr int settleMs = 4000; // several poll ticks: the tune and at least one S-meter read
constexpr int pageMs = 600;
constexpr int scopeCheckMs = 500;
constexpr int scopeChecks = 240; // two minutes at most
constexpr int scopeSweeps = 24;  // waterfall rows before the capture is stopped
constexpr int readyMs = 17000;   // the 15 s pre-trigger buffer filled
constexpr int pollMs = 1000;
constexpr int maximumWaits = 90; // for the event: detection, 20 s post-trigger, writing
constexpr int modalCheckMs = 50;

// The feature bank while the detector marks a metric active (styled bold orange).
bool showsActiveMetric(const MetricGrid &metrics)
{
    for (int metric = 0; metric < AnomalyMetrics::count; ++metric) {
        if (!metrics.valueLabel(metric)->styleSheet().isEmpty())
            return true;
    }
    return false;
}
} // namespace

ScreenshotTour::ScreenshotTour(Corvin *window, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_folder(folder)
{}

void ScreenshotTour::start()
{
    m_folder.mkpath(QStringLiteral("."));
    planShots();
    DspShowcase::start(*m_window->dspTab());
    QTimer::singleShot(startDelayMs, this, &ScreenshotTour::connectAndSweep);
}

void ScreenshotTour::connectAndSweep()
{
    auto *openPB = m_window->findChild<QPushButton *>(QStringLiteral("openPB"));
    if (openPB && openPB->isEnabled() && !openPB->isChecked())
        openPB->click();
    auto *sweep = m_window->findChild<RfSweepTab *>();
    if (!sweep) {
        addFavorites();
        return;
    }
    const auto set = [this](const char *name, double value) {
        if (auto *box = m_window->findChild<QDoubleSpinBox *>(QLatin1String(name)))
            box->setValue(value);
    };
    set("rfStartMHz", 88.0);
    set("rfEndMHz", 108.0);
    set("rfStepKHz", 100.0);
    if (auto *settle = m_window->findChild<QSpinBox *>(QStringLiteral("rfSettleMs")))
        settle->setValue(50);
    // The report stays in the data folder instead of opening in a browser.
    sweep->setReportOpener([](const QString &) { return true; });
    sweep->startSweep();
    auto *wait = new QTimer(this);
    connect(wait, &QTimer::timeout, this, [this, sweep, wait] {
        if (sweep->isRunning())
            return;
        wait->deleteLater();
        addFavorites();
    });
    wait->start(pageMs);
}

void ScreenshotTour::addFavorites()
{
    ++m_favorites;
    if (m_favorites == 1)
        addFavorite(stationHertz, QStringLiteral("AM broadcast"));
    else if (m_favorites == 2)
        addFavorite(98000000, QStringLiteral("FM broadcast"));
    else
        smartScan();
}

void ScreenshotTour::smartScan()
{
    auto *tab = m_window->findChild<SmartScanTab *>();
    if (!tab) {
        syntheticSweep();
        return;
    }
    const auto set = [this](const char *name, double value) {
        if (auto *box = m_window->findChild<QDoubleSpinBox *>(QLatin1String(name)))
            box->setValue(value);
    };
    set("smartStartMHz", smartScanStartMHz);
    set("smartEndMHz", smartScanEndMHz);
    set("smartStepKHz", 100.0);
    tab->startSmartScan();
    if (!tab->isRunning()) {
        QTextStream(stderr) << "the Smart Scan did not start\n";
        syntheticSweep();
        return;
    }
    auto *wait = new QTimer(this);
    connect(wait, &QTimer::timeout, this, [this, tab, wait] {
        if (tab->isRunning())
            return;
        wait->deleteLater();
        // The detected results join the favourites photographed later.
        tab->importToFavorites();
        syntheticSweep();
    });
    wait->start(pageMs);
}

void ScreenshotTour::addFavorite(qint64 hertz, const QString &name)
{
    auto *favorites = m_window->findChild<FavoritesTab *>();
    if (!favorites) {
        syntheticSweep();
        return;
    }
    ReceiverControl &receiver = m_window->receiverControl();
    receiver.setModeIndex(hertz == stationHertz ? stationMode : 0, false);
    receiver.setCurrentFrequency(hertz);
    FavoriteMeasurement &measurement = favorites->measurement();
    measurement.begin(name);
    auto *wait = new QTimer(this);
    connect(wait, &QTimer::timeout, this, [this, favorites, &measurement, wait] {
        if (measurement.isPending())
            return;
        wait->deleteLater();
        if (m_favorites == 2) {
            favorites->setReportOpener([](const QString &) { return true; });
            favorites->writeFavoritesReport();
        }
        addFavorites();
    });
    wait->start(pageMs);
}

void ScreenshotTour::syntheticSweep()
{
    auto *tab = m_window->findChild<SyntheticTab *>();
    if (!tab) {
        tuneToStation();
        return;
    }
    tab->startSweep();
    if (!tab->sweep().isRunning()) {
        QTextStream(stderr) << "the RF synthetic sweep did not start\n";
        tuneToStation();
        return;
    }
    auto *wait = new QTimer(this);
    connect(wait, &QTimer::timeout, this, [this, tab, wait] {
        if (tab->sweep().isRunning())
            return;
        wait->deleteLater();
        if (m_folder.mkpath(QStringLiteral("files")))
            tab->exportCsv(m_folder.filePath(QStringLiteral("files/synthetic.csv")));
        tuneToStation();
    });
    wait->start(pageMs);
}

void ScreenshotTour::setAudioSpectrum(bool on)
{
    auto *spectrum = m_window->findChild<QPushButton *>(QStringLiteral("grabPB"));
    if (spectrum && spectrum->isEnabled() && spectrum->isChecked() != on)
        spectrum->click();
}

void ScreenshotTour::tuneToStation()
{
    setAudioSpectrum(true);
    ReceiverControl &receiver = m_window->receiverControl();
    receiver.setModeIndex(stationMode, true);
    receiver.setCurrentFrequency(stationHertz);
    receiver.queueTune(stationHertz);
    // The Propagation page shows a report (scripts/screenshots serves the data).
    if (auto *refresh = m_window->findChild<QPushButton *>(QStringLiteral("propagationRefresh")))
        refresh->click();
    QTimer::singleShot(settleMs, this, &ScreenshotTour::captureBandScope);
}

void ScreenshotTour::captureBandScope()
{
    auto *run = m_window->findChild<QPushButton *>(QStringLiteral("bandScopeRun"));
    if (!run || !run->isEnabled()) {
        nextShot();
        return;
    }
    m_window->mainTab()->setCurrentWidget(
        m_window->findChild<QWidget *>(QStringLiteral("RxBandScope")));
    run->click();
    QTimer::singleShot(scopeCheckMs, this, &ScreenshotTour::watchBandScope);
}

// Stops the continuous capture once the waterfall has enough rows (Stop ends it after the
// current frame), then goes on when it has ended.
void ScreenshotTour::watchBandScope()
{
    auto *tab = m_window->findChild<BandScopeTab *>();
    if (!tab->isCapturing() || ++m_scopeChecks > scopeChecks) {
        tab->capture().finish(QStringLiteral("Stopped by user."));
        nextShot();
        return;
    }
    if (tab->history().size() >= scopeSweeps && !tab->capture().isStopPending())
        tab->stopCapture();
    QTimer::singleShot(scopeCheckMs, this, &ScreenshotTour::watchBandScope);
}

void ScreenshotTour::planShots()
{
    // Every main page (the band scope with its spectrum and its serial diagnostics), then the
    // Receiver page with each inner page.
    QTabWidget *mainTab = m_window->mainTab();
    QTabWidget *controls = m_window->controlsTab();
    auto *scopeViews = m_window->findChild<QTabWidget *>(QStringLiteral("bandScopeViews"));
    for (int i = 0; i < mainTab->count(); ++i) {
        const QString name = mainTab->widget(i)->objectName();
        const auto showPage = [mainTab, i] { mainTab->setCurrentIndex(i); };
        if (name == QLatin1String("RxBandScope") && scopeViews) {
            const auto showView = [showPage, scopeViews](int view) {
                return [showPage, scopeViews, view] {
                    showPage();
                    scopeViews->setCurrentIndex(view);
                };
            };
            m_shots.append({name, showView(0)});
            m_shots.append({name + QStringLiteral("-SerialDiagnostics"), showView(1)});
            continue;
        }
        if (name != QLatin1String("Dsp")) {
            m_shots.append({name, showPage});
            continue;
        }
        for (const DspShowcase::Scene &scene : DspShowcase::scenes(*m_window->dspTab())) {
            m_shots.append({scene.name.isEmpty() ? name : name + QLatin1Char('-') + scene.name,
                            [showPage, setUp = scene.setUp] {
                                showPage();
                                setUp();
                            }});
        }
    }
    for (int i = 0; i < controls->count(); ++i) {
        m_shots.append(
            {QStringLiteral("Main-") + controls->widget(i)->objectName(), [mainTab, controls, i] {
                 mainTab->setCurrentIndex(0);
                 controls->setCurrentIndex(i);
             }});
    }
}

void ScreenshotTour::nextShot()
{
    if (m_shot > 0)
        save(m_shots[m_shot - 1].name);
    if (m_shot == m_shots.size()) {
        if (auto *spectrum = m_window->findChild<SpectrumTab *>())
            spectrum->saveSpectrumSnapshot();
        setAudioSpectrum(false);
        if (qEnvironmentVariableIsEmpty("CORVIN_RXSIM_CONTROL"))
            finish();
        else
            armAnomalyCapture();
        return;
    }
    m_shots[m_shot].setUp();
    ++m_shot;
    QTimer::singleShot(pageMs, this, &ScreenshotTour::nextShot);
}

void ScreenshotTour::armAnomalyCapture()
{
    AnomalyPanel *panel = m_window->anomalyPanel();
    QTabWidget *tabs = m_window->mainTab();
    for (int page = 0; page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(panel))
            tabs->setCurrentIndex(page);
    }
    if (auto *automatic = panel->findChild<QCheckBox *>(QStringLiteral("anomalyAutomaticCB")))
        automatic->setChecked(true);
    panel->armButton()->click();
    QTimer::singleShot(readyMs, this, &ScreenshotTour::provokeAnomaly);
}

void ScreenshotTour::provokeAnomaly()
{
    save(QStringLiteral("Dsp-AnomalyReady"));
    QFile control(qEnvironmentVariable("CORVIN_RXSIM_CONTROL"));
    if (!control.open(QIODevice::WriteOnly | QIODevice::Append) ||
        control.write("pulses 1000 200 10\n") < 0)
        QTextStream(stderr) << "could not provoke an anomaly through " << control.fileName()
                            << '\n';
    control.close();
    QTimer::singleShot(pollMs, this, &ScreenshotTour::waitForSavedEvent);
}

void ScreenshotTour::waitForSavedEvent()
{
    AnomalyPanel *panel = m_window->anomalyPanel();
    if (!m_featureBankSaved && showsActiveMetric(*panel->featureBank()->metricGrid())) {
        save(QStringLiteral("Dsp-FeatureBank"), panel->featureBank());
        m_featureBankSaved = true;
    }
    if (panel->lastEventWav().isEmpty() && ++m_waits < maximumWaits) {
        QTimer::singleShot(pollMs, this, &ScreenshotTour::waitForSavedEvent);
        return;
    }
    // The saved event handed to the analyzer's file field, as "Analyze last WAV" does.
    if (!panel->lastEventWav().isEmpty())
        panel->findChild<QPushButton *>(QStringLiteral("anomalyAnalyzeLast"))->click();
    save(QStringLiteral("Dsp-AnomalySaved"));
    panel->armButton()->click();
    showAnomalyTools();
}

void ScreenshotTour::showAnomalyTools()
{
    AnomalyPanel *panel = m_window->anomalyPanel();
    DetectorSettingsDialog settings(panel->featureBank()->decisionConfig(), m_window);
    settings.show();
    save(QStringLiteral("Dsp-DetectorSettings"), &settings);
    settings.reject();
    if (panel->lastEventWav().isEmpty()) {
        finish();
        return;
    }
    panel->openReplay(panel->lastEventWav());
    ReplayDialog *replay = panel->replayDialog();
    if (!replay) {
        finish();
        return;
    }
    replay->findChild<QComboBox *>(QStringLiteral("replaySpeed"))
        ->setCurrentIndex(ReplayDialog::SpeedMaximum);
    replay->start();
    m_waits = 0;
    QTimer::singleShot(pollMs, this, &ScreenshotTour::waitForReplay);
}

void ScreenshotTour::waitForReplay()
{
    ReplayDialog *replay = m_window->anomalyPanel()->replayDialog();
    if (replay && !replay->hasEnded() && ++m_waits < maximumWaits) {
        QTimer::singleShot(pollMs, this, &ScreenshotTour::waitForReplay);
        return;
    }
    if (replay) {
        save(QStringLiteral("Dsp-Replay"), replay);
        replay->close();
    }
    reviewSavedEvent();
}

// Labels the saved event a false alarm through the archive's own review dialogs, as a listener
// would after hearing it, and photographs the archive with the event selected.
void ScreenshotTour::reviewSavedEvent()
{
    EventArchiveDialog archive(DataFolders::path(QLatin1String(DataFolders::anomaly)), m_window);
    archive.show();
    QTableWidget *events = archive.table();
    const QString event = QFileInfo(m_window->anomalyPanel()->lastEventWav()).fileName();
    for (int row = 0; row < events->rowCount(); ++row) {
        if (events->item(row, events->columnCount() - 1)->text() == event)
            events->selectRow(row);
    }
    answerNextModal(
        [this](QWidget *labelDialog) {
            auto *label = qobject_cast<QInputDialog *>(labelDialog);
            if (auto *labels = label ? label->findChild<QComboBox *>() : nullptr)
                labels->setCurrentIndex(static_cast<int>(ReviewLabel::FalseAlarm));
            answerNextModal(
                [](QWidget *notesDialog) {
                    if (auto *notes = qobject_cast<QInputDialog *>(notesDialog)) {
                        notes->setTextValue(
                            QStringLiteral("Simulator pulse burst, not a real signal"));
                        notes->accept();
                    }
                },
                modalCheckMs, this);
            if (label)
                label->accept();
        },
        modalCheckMs, this);
    archive.review();
    save(QStringLiteral("Dsp-EventArchive"), &archive);
    archive.close();
    showStatistics();
}

// The statistics of the reviewed event's context: the closed session and its one false alarm.
void ScreenshotTour::showStatistics()
{
    AnomalyPanel *panel = m_window->anomalyPanel();
    ObservationStatsDialog statistics(DataFolders::path(QLatin1String(DataFolders::anomaly)),
                                      panel->featureBank()->decisionConfig(), m_window);
    statistics.show();
    const QString context = ArchiveJson::contextKey(
        ArchiveJson::readObject(ArchiveJson::sidecarPath(panel->lastEventWav())));
    QComboBox *contexts = statistics.contextBox();
    for (int entry = 0; entry < contexts->count(); ++entry) {
        if (contexts->itemText(entry) == context)
            contexts->setCurrentIndex(entry);
    }
    save(QStringLiteral("Dsp-ObservationStatistics"), &statistics);
    statistics.close();
    finish();
}

void ScreenshotTour::finish()
{
    QTextStream(stdout) << m_saved << " screenshots in " << m_folder.absolutePath() << '\n';
    QApplication::quit();
}

void ScreenshotTour::save(const QString &name, QWidget *widget)
{
    const QString file = m_folder.filePath(
        QStringLiteral("%1-%2.png").arg(m_saved + 1, 2, 10, QLatin1Char('0')).arg(name));
    if ((widget ? widget : m_window)->grab().save(file))
        ++m_saved;
    else
        QTextStream(stderr) << "could not write " << file << '\n';
}
