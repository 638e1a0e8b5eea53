#include "screenshottour.h"

#include "anomalypanel.h"
#include "bandscopetab.h"
#include "corvin.h"
#include "detectorsettingsdialog.h"
#include "dspshowcase.h"
#include "favoritemeasurement.h"
#include "favoritestab.h"
#include "featurebankgroup.h"
#include "receivercontrol.h"
#include "rfsweeptab.h"
#include "spectrumtab.h"
#include "syntheticsweep.h"
#include "synthetictab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
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
        syntheticSweep();
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
