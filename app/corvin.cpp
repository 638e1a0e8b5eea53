#include "corvin.h"

#include "activityregistry.h"
#include "anomalypanel.h"
#include "applanguage.h"
#include "audioengine.h"
#include "audiopanel.h"
#include "audiopeakmeter.h"
#include "audiorecorder.h"
#include "bandscopetab.h"
#include "corvindriver.h"
#include "corvinversion.h"
#include "datafolders.h"
#include "documentviewer.h"
#include "dsptab.h"
#include "favoritestab.h"
#include "greypanel.h"
#include "helpdocuments.h"
#include "helppanel.h"
#include "listeninglocationpanel.h"
#include "logindpowerbackend.h"
#include "persistentlog.h"
#include "propagationtab.h"
#include "radiopanelview.h"
#include "receiverpanel.h"
#include "receiversharing.h"
#include "rfsweeptab.h"
#include "scanstandby.h"
#include "screenfit.h"
#include "serialportlist.h"
#include "settingskeys.h"
#include "settingspage.h"
#include "spectrumtab.h"
#include "synthetictab.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

Corvin::Corvin(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CorvinClass"));
    setWindowTitle(tr("Corvin Remote"));
    setWindowIcon(QIcon(QStringLiteral(":/Corvin/images/sdr.png")));
    m_activities = new ActivityRegistry(this);
    m_log = new PersistentLog(this);
    buildUi();

    m_driver = new Corvindriver(this);
    m_settings = new QSettings(QString::fromLatin1(SettingsKeys::organization),
                               QString::fromLatin1(SettingsKeys::application), this);
    SerialPortList::fill(m_panelUi.serialCB, SerialPortList::portNames());

    connect(m_log, &PersistentLog::screenLine, m_settingsPage, &SettingsPage::appendLogLine);
    m_log->open(DataFolders::dataFolder());
    appendLog(tr("Corvin %1 started; data folder: %2")
                  .arg(QStringLiteral(CORVIN_VERSION),
                       QDir::toNativeSeparators(DataFolders::dataFolder())));

    m_panel = new ReceiverPanel(this, m_panelUi, this);
    connect(m_panel, &ReceiverPanel::receiverPageRequested, this,
            [this] { showPage(QStringLiteral("Main")); });
    m_panel->restoreSettings();
    setUpFeatures();

    connect(m_driver, &Corvindriver::errorOccurred, this, &Corvin::errorOccurred);
    connect(m_driver, &Corvindriver::serialDiagnostic, this, &Corvin::appendLog);
    connect(m_settingsPage, &SettingsPage::openDataFolderRequested, this, &Corvin::openDataFolder);
    registerOwnShutdownSteps();

    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &Corvin::updateClocks);
    updateClocks();
    m_clockTimer->start();
    updateConnectionUi();

    m_favorites->loadFavorites(QString::fromLatin1(DataFolders::favoritesFile));
    fitWindowToScreen(this, QSize(initialWidth, initialHeight));
}

Corvin::~Corvin()
{
    m_clockTimer->stop();
    m_activities->runShutdown();
    // Features may still reach the window's services while they are destroyed: they go
    // first, the registry, the settings store and the log last.
    QList<QPointer<QObject>> features;
    for (QObject *child : children()) {
        if (child != m_activities && child != m_settings && child != m_log)
            features.append(child);
    }
    for (const QPointer<QObject> &feature : features)
        delete feature.data();
    m_log->close();
}

void Corvin::setUpFeatures()
{
    m_audio = new AudioEngine(this);
    connect(m_audio, &AudioEngine::errorOccurred, this, &Corvin::appendLog);
    m_audioPanel = new AudioPanel(*this, this);
    // The PC audio panel sits between the radio panel and the inner tabs.
    pageLayout(QStringLiteral("Main"))->insertWidget(1, m_audioPanel);
    connect(m_audioPanel, &AudioPanel::spectrumPageRequested, this,
            [this] { showPage(QStringLiteral("Spectrum")); });
    // The input peak meter sits in the radio panel beside its caption; peaks come from the
    // audio thread.
    auto *peakMeter = new AudioPeakMeter(this);
    peakMeter->setObjectName(QStringLiteral("audioPeakMeter"));
    m_peakMeterSlot->addWidget(peakMeter);
    connect(m_audio->recorder(), &AudioRecorder::inputPeakChanged, peakMeter,
            &AudioPeakMeter::setPeak, Qt::QueuedConnection);
    m_standby = new ScanStandby(*this, std::make_shared<LogindPowerBackend>(), this);
    m_standby->registerWith(*m_activities);

    m_dspTab = new DspTab(*this, this);
    pageLayout(QStringLiteral("Dsp"))->addWidget(m_dspTab);
    // The anomaly capture panel fills the DSP tab's lower part; "Analyze last WAV" hands the
    // event to the analyzer above it (an event WAV is mono: its first channel).
    m_anomalyPanel = new AnomalyPanel(*this, *m_audioPanel);
    m_dspTab->setAnomalyPanel(m_anomalyPanel);
    m_anomalyPanel->setCurrentWavSource([this] { return m_dspTab->wavPath(); });
    connect(m_anomalyPanel, &AnomalyPanel::analyzeWavRequested, m_dspTab,
            [this](const QString &path) { m_dspTab->setWavFile(path, true); });
    m_settingsPage->addSharingPanel((new ReceiverSharing(*this, m_settingsPage))->panel());

    auto *help = new HelpPanel(*m_settings, m_settingsPage);
    connect(help, &HelpPanel::errorOccurred, this, &Corvin::appendLog);
    m_settingsPage->addLanguagePanel(help);

    auto *spectrum = new SpectrumTab(*this);
    pageLayout(QStringLiteral("Spectrum"))->addWidget(spectrum);
    m_settingsPage->addWaterfallPanel(spectrum->settingsPanel());
    connect(m_audioPanel, &AudioPanel::audioStateRefreshed, spectrum,
            &SpectrumTab::followAudioState);
    pageLayout(QStringLiteral("RfSynthetic"))->addWidget(new SyntheticTab(*this));

    m_audio->start();
    spectrum->start();
    m_audioPanel->start();
    m_anomalyPanel->start();

    pageLayout(QStringLiteral("RfSpectrum"))->addWidget(new RfSweepTab(*this, this));
    m_favorites = new FavoritesTab(*this, this);
    pageLayout(QStringLiteral("Favorites"))->addWidget(m_favorites);
    auto *propagation = new PropagationTab(*this, nullptr, this);
    pageLayout(QStringLiteral("Propagation"))->addWidget(propagation);
    auto *location = new ListeningLocationPanel(*m_settings, m_settingsPage);
    m_settingsPage->addLocationPanel(location);
    connect(location, &ListeningLocationPanel::locationChanged, propagation,
            &PropagationTab::rebuildReport);
    pageLayout(QStringLiteral("RxBandScope"))->addWidget(new BandScopeTab(*this, this));

    // The Greyline page follows the Propagation page; the listening location is read afresh
    // at every update.
    GreyPanel::addPage(
        *m_mainTab, *m_settings, [this] { return loadListeningLocation(*m_settings); },
        runningLanguage() == QLatin1String("it"));
}

void Corvin::showPage(const QString &pageName)
{
    QWidget *page = m_pages.value(pageName).page;
    if (!page)
        return;
    // A page of the Receiver page's inner tabs shows the Receiver page first.
    if (m_controls->indexOf(page) >= 0) {
        m_mainTab->setCurrentWidget(m_pages.value(QStringLiteral("Main")).page);
        m_controls->setCurrentWidget(page);
    } else {
        m_mainTab->setCurrentWidget(page);
    }
}

void Corvin::registerOwnShutdownSteps()
{
    m_activities->registerShutdownStep(ShutdownStep::Audio, this, [this] { m_audio->shutdown(); });
    m_activities->registerShutdownStep(ShutdownStep::StoreSettings, this,
                                       [this] { m_panel->storeSettings(); });
    m_activities->registerShutdownStep(ShutdownStep::Disconnect, this,
                                       [this] { disconnectReceiver(false); });
}

void Corvin::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(buildHeader());
    m_mainTab = new QTabWidget(this);
    m_mainTab->setObjectName(QStringLiteral("mainTab"));
    layout->addWidget(m_mainTab, 1);
    buildPages();
}

QWidget *Corvin::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    const auto label = [header](const char *name, const QString &text) {
        auto *result = new QLabel(text, header);
        result->setObjectName(QString::fromLatin1(name));
        return result;
    };
    row->addWidget(label("appTitle", QStringLiteral("Corvin")));
    m_panelUi.receiverStatus = label("receiverStatus", tr("Receiver disconnected"));
    row->addWidget(m_panelUi.receiverStatus);
    row->addStretch(1);
    row->addWidget(label("localTimeCaption", tr("Local")));
    m_localTime = label("localTime", QStringLiteral("--:--:--"));
    row->addWidget(m_localTime);
    row->addSpacing(12);
    row->addWidget(label("universalTimeCaption", tr("UTC")));
    m_universalTime = label("universalTime", QStringLiteral("--:--:--"));
    row->addWidget(m_universalTime);
    return header;
}

QVBoxLayout *Corvin::addPage(QTabWidget *tabs, const QString &name, const QString &caption,
                             bool scrolling)
{
    auto *page = new QWidget(tabs);
    page->setObjectName(name);
    tabs->addTab(page, caption);
    auto *pageLayout = new QVBoxLayout(page);
    if (!scrolling) {
        m_pages.insert(name, {page, pageLayout});
        return pageLayout;
    }
    // The page keeps only a zero-margin layout holding a frameless scroll area; its own
    // layout lives inside the scroll area's content.
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(page);
    scroll->setObjectName(name + QStringLiteral("Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    pageLayout->addWidget(scroll);
    auto *content = new QWidget(scroll);
    content->setObjectName(name + QStringLiteral("Content"));
    scroll->setWidget(content);
    auto *contentLayout = new QVBoxLayout(content);
    m_pages.insert(name, {page, contentLayout});
    return contentLayout;
}

void Corvin::buildPages()
{
    QVBoxLayout *receiver = addPage(m_mainTab, QStringLiteral("Main"), tr("Receiver"), true);
    receiver->addWidget(buildRadioPanel(this, m_panelUi, &m_peakMeterSlot));
    m_controls = new QTabWidget(this);
    m_controls->setObjectName(QStringLiteral("controls"));
    receiver->addWidget(m_controls, 1);
    addPage(m_controls, QStringLiteral("Favorites"), tr("Favorites"), false);
    addPage(m_controls, QStringLiteral("Spectrum"), tr("Audio Spectrum"), true);
    addPage(m_controls, QStringLiteral("SmartScan"), tr("Smart Scan"), true);

    addPage(m_mainTab, QStringLiteral("RxBandScope"), QStringLiteral("RX Band Scope"), false);
    addPage(m_mainTab, QStringLiteral("RfSynthetic"), QStringLiteral("RF Synthetic Spectrum"),
            false);
    addPage(m_mainTab, QStringLiteral("RfSpectrum"), tr("Frequency Spectrum Analyzer"), true);
    addPage(m_mainTab, QStringLiteral("Dsp"), tr("DSP"), true);
    addPage(m_mainTab, QStringLiteral("Propagation"), tr("Propagation"), false);

    QVBoxLayout *settings = addPage(m_mainTab, QStringLiteral("Settings"), tr("Settings"), true);
    m_settingsPage = new SettingsPage(this);
    settings->setContentsMargins(0, 0, 0, 0);
    settings->addWidget(m_settingsPage);
    m_settingsPage->fillPanelUi(m_panelUi);
}

QVBoxLayout *Corvin::pageLayout(const QString &pageName) const
{
    return m_pages.value(pageName).content;
}

void Corvin::updateClocks()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_localTime->setText(now.toString(QStringLiteral("HH:mm:ss")));
    m_universalTime->setText(now.toUTC().toString(QStringLiteral("HH:mm:ss")));
}

void Corvin::appendLog(const QString &message)
{
    m_log->append(message);
}

void Corvin::errorOccurred(const QString &message)
{
    appendLog(message);
}

void Corvin::openDataFolder()
{
    const QString folder = DataFolders::ensure();
    if (folder.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
        appendLog(tr("Could not open the data folder: %1")
                      .arg(QDir::toNativeSeparators(folder.isEmpty() ? DataFolders::dataFolder()
                                                                     : folder)));
    }
}

bool Corvin::isIdle() const
{
    return m_activities->isIdle();
}

void Corvin::restoreReceiver(qint64 frequency, int mode)
{
    m_panel->restoreReceiver(frequency, mode);
}

void Corvin::updateConnectionUi()
{
    m_panel->updateConnectionUi();
    m_activities->updateControls();
}

bool Corvin::disconnectReceiver(bool forceStandby)
{
    if (!m_driver->isOpen())
        return false;
    m_activities->stop(Activity::AnomalyCapture);
    return m_panel->disconnectReceiver(forceStandby);
}

AudioRecorder *Corvin::audioRecorder() const
{
    return m_audio->recorder();
}

bool Corvin::isAudioInputHeld() const
{
    // Activities that measure or capture the input keep it open whatever the audio controls
    // say.
    for (Activity activity : {Activity::SyntheticSweep, Activity::SmartScan,
                              Activity::FavoriteMeasurement, Activity::AnomalyCapture}) {
        if (m_activities->isRunning(activity))
            return true;
    }
    return false;
}

QString Corvin::recordingNameStem() const
{
    return m_panel->frequencyText() + QLatin1Char('_') + m_panel->modeText();
}

void Corvin::stopAllAudio()
{
    m_audio->stopAll();
    m_audioPanel->refreshAudioStatus();
    updateConnectionUi();
}

void Corvin::flushSettings()
{
    m_settings->sync();
}

bool Corvin::startAudioInput()
{
    return m_audioPanel->startSelectedInput();
}

void Corvin::refreshAudioStatus()
{
    m_audioPanel->refreshAudioStatus();
}

void Corvin::onAudioInputLost(QObject *context, std::function<void()> handler)
{
    connect(m_audioPanel, &AudioPanel::inputLost, context, std::move(handler));
}

bool Corvin::hasAudioInput() const
{
    return m_audioPanel->hasInputDevices();
}

void Corvin::showDspHelp()
{
    DocumentViewer::showDocument(this, HelpDocuments::dspHelpPath(), HelpDocuments::dspHelpTitle(),
                                 *this);
}

ReceiverControl &Corvin::receiverControl()
{
    return *m_panel;
}
