#include "smartscantab.h"

#include "activityregistry.h"
#include "audioanalysisresult.h"
#include "audiorecorder.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "favoriteattributes.h"
#include "favoritemeasurement.h"
#include "favoritestab.h"
#include "favoritestable.h"
#include "parametergrid.h"
#include "receivercontrol.h"
#include "scanstandby.h"
#include "settingskeys.h"
#include "smartaudiosettings.h"
#include "smartscanresults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

QString key(const QString &objectName)
{
    return QLatin1String(SettingsKeys::smartScanPrefix) + objectName;
}

QSpinBox *integerBox(QWidget *parent, const char *name, int low, int high, int step,
                     const QString &suffix)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    return box;
}

} // namespace

SmartScanTab::SmartScanTab(CorvinHost &host, FavoritesTab &favorites, SmartScanAudio *audio,
                           QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_favorites(favorites)
    , m_receiver(*host.driver())
{
    setObjectName(QStringLiteral("smartScanTab"));
    const QStringList modes = m_host.receiverControl().modeCaptions();
    m_scan = new SmartScan(m_receiver, audio ? *audio : m_recorderAudio, m_favorites.requests(),
                           modes, this);
    m_chooseFile = [this](const QString &start) {
        return QFileDialog::getOpenFileName(this, tr("Open saved scan"), start,
                                            tr("Scan archives (*.jsonl)"));
    };

    buildUi();
    restoreSettings();
    connectScan();
    // The favourite measurement listens as long and as loud as the boxes say now; once the
    // page is gone (the window closes its tabs in turn), as the settings say.
    const QPointer<SmartScanTab> page(this);
    CorvinHost *services = &m_host;
    m_favorites.measurement().setAudioSettingsSource([page, services] {
        if (!page)
            return SmartAudioSettings::read(services->settings());
        SmartAudioSettings settings;
        settings.durationMs = page->m_duration->value();
        settings.thresholdDbfs = page->m_audioLevel->value();
        return settings;
    });

    ActivityRegistry &activities = m_host.activities();
    activities.registerActivity(Activity::SmartScan, this, [this] { return isRunning(); });
    activities.registerControlUpdate(this, [this] { updateScanControls(); });
    activities.registerShutdownStep(ShutdownStep::SmartScan, this,
                                    [this] { m_scan->stop(SmartScan::stoppedMessage()); });
    activities.registerShutdownStep(ShutdownStep::StoreSettings, this, [this] { storeSettings(); });
    m_host.onAudioInputLost(this, [this] {
        if (isRunning())
            m_scan->stop(SmartScan::inputLostMessage());
    });
    updateScanControls();
}

void SmartScanTab::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildParameters());
    layout->addWidget(buildResults(), 1);
}

QWidget *SmartScanTab::buildParameters()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("smartScanPanel"));
    ParameterGrid fields(panel);
    QGridLayout *grid = fields.layout();
    const ParameterGrid::FrequencyRange range =
        fields.addFrequencyRange(0, QStringLiteral("smart"));
    m_start = range.start;
    m_end = range.end;
    m_step = range.step;
    m_mode = new QComboBox(panel);
    m_mode->setObjectName(QStringLiteral("smartModeCB"));
    m_mode->setToolTip(tr("In AUTO, the receiver selects the mode for each frequency. The scan "
                          "keeps the configured frequency step."));
    m_mode->addItems(m_host.receiverControl().modeCaptions());
    m_signalLevel = integerBox(panel, "smartSignalLevel", 0, 255, 1, QString());
    m_signalLevel->setToolTip(
        tr("Analyze frequencies with a receiver level at or above this value."));
    m_audioLevel = integerBox(panel, "smartAudioLevel", -95, 0, 1, QStringLiteral(" dBFS"));
    m_audioLevel->setToolTip(tr("Minimum RMS audio level in the analysis band. Lower this for a "
                                "quiet Line In."));
    m_duration = integerBox(panel, "smartDurationMs", 500, 5000, 100, QStringLiteral(" ms"));
    m_duration->setToolTip(tr("Time spent listening for modulation at each candidate frequency."));

    fields.addField(1, 0, tr("Receiver mode"), m_mode);
    fields.addField(1, 2, tr("S-meter threshold"), m_signalLevel);
    fields.addField(1, 4, tr("Minimum audio"), m_audioLevel);
    fields.addField(2, 0, tr("Audio analysis"), m_duration);

    m_standbyAfter = new QCheckBox(tr("Put radio and PC in standby when the scan finishes"), panel);
    m_standbyAfter->setObjectName(QStringLiteral("smartStandbyAfter"));
    m_standbyAfter->setToolTip(tr("Applies to this run only. After the scan completes and saves "
                                  "its results, you have 15 seconds to cancel standby."));
    grid->addWidget(m_standbyAfter, 2, 2, 1, 4);

    m_startButton = new QPushButton(tr("Start scan"), panel);
    m_startButton->setObjectName(QStringLiteral("smartStartPB"));
    m_stopButton = new QPushButton(tr("Stop"), panel);
    m_stopButton->setObjectName(QStringLiteral("smartStopPB"));
    grid->addWidget(m_startButton, 3, 4);
    grid->addWidget(m_stopButton, 3, 5);
    m_input = new QLabel(tr("Input: -"), panel);
    m_input->setObjectName(QStringLiteral("smartInput"));
    grid->addWidget(m_input, 3, 0, 1, 4);

    m_progress = new QProgressBar(panel);
    m_progress->setObjectName(QStringLiteral("smartProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    grid->addWidget(m_progress, 4, 0, 1, 6);
    m_status =
        new QLabel(tr("Set the frequency range and thresholds, then start the scan."), panel);
    m_status->setObjectName(QStringLiteral("smartStatus"));
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 5, 0, 1, 6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    connect(m_startButton, &QPushButton::clicked, this, &SmartScanTab::startSmartScan);
    connect(m_stopButton, &QPushButton::clicked, this, &SmartScanTab::stopButton);
    return panel;
}

QWidget *SmartScanTab::buildResults()
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_results = new SmartScanResults(panel);
    layout->addWidget(m_results, 1);

    auto *actions = new QHBoxLayout;
    m_summary = new QLabel(tr("0 kept"), panel);
    m_summary->setObjectName(QStringLiteral("smartResultSummary"));
    actions->addWidget(m_summary, 1);
    m_hideZero = new QCheckBox(tr("Hide Quality 0"), panel);
    m_hideZero->setObjectName(QStringLiteral("smartHideZeroQuality"));
    actions->addWidget(m_hideZero);
    m_openButton = new QPushButton(tr("Open saved scan"), panel);
    m_openButton->setObjectName(QStringLiteral("smartOpenScanPB"));
    actions->addWidget(m_openButton);
    m_listenButton = new QPushButton(tr("Listen selected"), panel);
    m_listenButton->setObjectName(QStringLiteral("smartListenPB"));
    m_listenButton->setToolTip(
        tr("Tune to the selected result and play it through the selected PC output."));
    actions->addWidget(m_listenButton);
    m_toFavoritesButton = new QPushButton(tr("Add to Favorites"), panel);
    m_toFavoritesButton->setObjectName(QStringLiteral("smartToFavoritesPB"));
    m_toFavoritesButton->setToolTip(
        tr("Imports selected rows. With no selection, imports the detected signals."));
    actions->addWidget(m_toFavoritesButton);
    layout->addLayout(actions);

    connect(m_openButton, &QPushButton::clicked, this, &SmartScanTab::openSavedScan);
    connect(m_listenButton, &QPushButton::clicked, this, &SmartScanTab::listenSelected);
    connect(m_toFavoritesButton, &QPushButton::clicked, this, &SmartScanTab::importToFavorites);
    connect(m_results, &QTableWidget::itemSelectionChanged, this,
            &SmartScanTab::updateScanControls);
    connect(m_hideZero, &QCheckBox::toggled, this, [this](bool hide) {
        m_results->hideZeroQuality(hide);
        updateScanControls();
        storeSettings();
        m_host.flushSettings();
    });
    return panel;
}

void SmartScanTab::restoreSettings()
{
    QSettings &settings = m_host.settings();
    m_start->setValue(settings.value(key(m_start->objectName()), 88.0).toDouble());
    m_end->setValue(settings.value(key(m_end->objectName()), 108.0).toDouble());
    m_step->setValue(settings.value(key(m_step->objectName()), 100.0).toDouble());
    m_signalLevel->setValue(settings.value(key(m_signalLevel->objectName()), 125).toInt());
    const SmartAudioSettings audio = SmartAudioSettings::read(settings);
    m_audioLevel->setValue(audio.thresholdDbfs);
    m_duration->setValue(audio.durationMs);
    m_mode->setCurrentIndex(
        std::clamp(settings.value(QLatin1String(SettingsKeys::smartScanMode), 0).toInt(), 0,
                   m_mode->count() - 1));
    const bool showRejected =
        settings.value(QLatin1String(SettingsKeys::smartScanShowRejected), true).toBool();
    const QSignalBlocker blocker(m_hideZero);
    m_hideZero->setChecked(
        settings.value(QLatin1String(SettingsKeys::smartScanHideZeroQuality), !showRejected)
            .toBool());
    m_lastArchive = settings.value(QLatin1String(SettingsKeys::smartScanLastArchive)).toString();
}

void SmartScanTab::storeSettings()
{
    QSettings &settings = m_host.settings();
    for (QDoubleSpinBox *box : {m_start, m_end, m_step})
        settings.setValue(key(box->objectName()), box->value());
    for (QSpinBox *box : {m_signalLevel, m_audioLevel, m_duration})
        settings.setValue(key(box->objectName()), box->value());
    settings.setValue(QLatin1String(SettingsKeys::smartScanMode), m_mode->currentIndex());
    settings.setValue(QLatin1String(SettingsKeys::smartScanHideZeroQuality),
                      m_hideZero->isChecked());
    settings.setValue(QLatin1String(SettingsKeys::smartScanLastArchive), m_lastArchive);
}

void SmartScanTab::connectScan()
{
    ReceiverControl &receiver = m_host.receiverControl();
    connect(m_scan, &SmartScan::logMessage, this,
            [this](const QString &m) { m_host.appendLog(m); });
    connect(m_scan, &SmartScan::statusChanged, m_status, &QLabel::setText);
    connect(m_scan, &SmartScan::preparing, this, [this, &receiver] {
        m_lastArchive = m_scan->archivePath();
        m_savedFrequency = receiver.currentFrequency();
        m_savedMode = receiver.modeIndex();
        // The scan owns the receiver now: no queued manual request may follow it.
        receiver.clearRequestQueue();
    });
    connect(m_scan, &SmartScan::started, this, &SmartScanTab::onStarted);
    connect(m_scan, &SmartScan::tuned, this,
            [&receiver](qint64 frequency) { receiver.setCurrentFrequency(frequency); });
    connect(m_scan, &SmartScan::levelShown, this,
            [&receiver](int level) { receiver.showSignalLevel(level); });
    connect(m_scan, &SmartScan::progressed, m_progress, &QProgressBar::setValue);
    connect(m_scan, &SmartScan::resultRecorded, this, [this](const QJsonObject &record) {
        m_counters.countResult(record.value(QStringLiteral("outcome")).toString());
        m_results->addResult(record, m_fallbackMode, m_hideZero->isChecked());
    });
    connect(m_scan, &SmartScan::countersChanged, this, [this] {
        m_counters = m_scan->counters();
        refreshSummary();
    });
    connect(m_scan, &SmartScan::restoreRequested, this, [this, &receiver] {
        m_host.restoreReceiver(m_savedFrequency, m_savedMode);
        receiver.showSignalLevel(-1);
    });
    connect(m_scan, &SmartScan::finished, this, &SmartScanTab::onFinished);
}

bool SmartScanTab::startPossible() const
{
    const Corvindriver *driver = m_host.driver();
    return driver && driver->isOpen() && m_host.hasAudioInput() && !isRunning() &&
           m_host.isIdle() && !m_host.scanStandby().isCountingDown();
}

void SmartScanTab::startSmartScan()
{
    if (!startPossible())
        return;
    SmartScanPlan plan;
    plan.startHz = SmartScanPlan::hertz(m_start->value(), 1e6);
    plan.endHz = SmartScanPlan::hertz(m_end->value(), 1e6);
    plan.stepHz = SmartScanPlan::hertz(m_step->value(), 1e3);
    if (!plan.isValid()) {
        m_status->setText(SmartScan::invalidRangeMessage());
        return;
    }
    plan.mode = m_mode->currentIndex();
    plan.modeText = m_mode->currentText();
    plan.serialPort = m_host.receiverControl().serialPortName();
    plan.input = m_host.audioInputName();
    plan.threshold = m_signalLevel->value();
    plan.minimumAudioDbfs = m_audioLevel->value();
    plan.analysisMs = m_duration->value();
    if (!m_host.startAudioInput()) {
        m_status->setText(SmartScan::inputFailedMessage());
        return;
    }
    AudioRecorder *recorder = m_host.audioRecorder();
    m_recorderAudio.setRecorder(recorder);
    if (recorder) {
        connect(recorder, &AudioRecorder::signalAnalysisReady, m_scan, &SmartScan::analysisReady,
                Qt::UniqueConnection);
    }
    QString status;
    if (!m_scan->start(plan, &status)) {
        m_status->setText(status);
        m_host.refreshAudioStatus();
    }
}

void SmartScanTab::onStarted()
{
    const SmartScanPlan &plan = m_scan->plan();
    m_host.receiverControl().setModeIndex(plan.mode, false);
    m_host.scanStandby().setKeepAwake(true);
    m_fallbackMode = plan.modeText;
    m_counters = SmartScanCounters();
    m_results->setRowCount(0);
    refreshSummary();
    m_progress->setRange(0, static_cast<int>(std::min<qint64>(plan.points(), INT_MAX)));
    m_progress->setValue(0);
    storeSettings();
    m_host.flushSettings();
    m_host.updateConnectionUi();
    m_host.refreshAudioStatus();
}

void SmartScanTab::onFinished(const QString &message, bool, bool standbyEligible)
{
    m_status->setText(message);
    m_host.scanStandby().finishScanStandby(m_standbyAfter, m_status, standbyEligible);
    m_host.updateConnectionUi();
    m_host.refreshAudioStatus();
}

void SmartScanTab::stopButton()
{
    if (m_host.scanStandby().cancelStandby(m_status))
        return;
    m_scan->stop(SmartScan::stoppedMessage());
}

void SmartScanTab::refreshSummary()
{
    m_summary->setText(m_counters.summary());
}

void SmartScanTab::openSavedScan()
{
    if (isRunning())
        return;
    const QString start = m_lastArchive.isEmpty()
                              ? DataFolders::path(QString::fromLatin1(DataFolders::scans))
                              : m_lastArchive;
    const QString path = m_chooseFile(start);
    if (!path.isEmpty())
        openArchive(path);
}

void SmartScanTab::openArchive(const QString &path)
{
    if (isRunning())
        return;
    SmartScanArchiveContents contents;
    QString error;
    switch (SmartScanArchive::read(path, &contents, &error)) {
    case SmartScanArchive::ReadStatus::CannotOpen:
        m_host.appendLog(tr("Could not read the scan archive %1: %2")
                             .arg(QDir::toNativeSeparators(path), error));
        return;
    case SmartScanArchive::ReadStatus::Unsupported:
        m_host.appendLog(tr("Unsupported scan archive: %1").arg(QDir::toNativeSeparators(path)));
        return;
    case SmartScanArchive::ReadStatus::Ok:
        break;
    }
    m_counters = contents.counters;
    m_fallbackMode = contents.start.value(QStringLiteral("mode")).toString();
    m_results->setResults(contents.results, m_fallbackMode, m_hideZero->isChecked());

    m_lastArchive = path;
    storeSettings();
    m_host.flushSettings();
    const int points = contents.start.value(QStringLiteral("points")).toInt();
    m_progress->setRange(0, std::max({points, contents.processed, 1}));
    m_progress->setValue(contents.processed);
    m_status->setText(
        tr("Saved scan: %1 (%2 MHz to %3 MHz)")
            .arg(QFileInfo(path).fileName(),
                 QString::number(contents.start.value(QStringLiteral("start_hz")).toDouble() / 1e6,
                                 'f', 4),
                 QString::number(contents.start.value(QStringLiteral("end_hz")).toDouble() / 1e6,
                                 'f', 4)));
    if (contents.skipped > 0) {
        m_host.appendLog(tr("Skipped %1 incomplete or invalid line(s) in %2.")
                             .arg(contents.skipped)
                             .arg(QDir::toNativeSeparators(path)));
    }
    refreshSummary();
    updateScanControls();
}

void SmartScanTab::showMessage(const QString &message)
{
    m_status->setText(message);
    m_host.appendLog(message);
}

void SmartScanTab::listenSelected()
{
    const QList<int> rows = m_results->visibleSelectedRows();
    if (isRunning() || !startPossible() || !m_host.hasAudioOutput() || rows.size() != 1)
        return;
    const double megahertz = m_results->megahertzAt(rows.first());
    const QString modeText = m_results->modeAt(rows.first());
    const int mode = m_mode->findText(modeText, Qt::MatchExactly);
    if (!(megahertz >= 0.1 && megahertz <= 3000.0) || mode < 0) {
        m_host.appendLog(tr("The selected scan result has an invalid frequency or receiver mode."));
        return;
    }
    ReceiverControl &receiver = m_host.receiverControl();
    receiver.clearRequestQueue();
    receiver.setModeNow(mode);
    if (!receiver.tuneNow(SmartScanPlan::hertz(megahertz, 1e6)))
        return;
    const QString readout = receiver.frequencyText();
    if (m_host.listenOnPc())
        showMessage(tr("Listening to scan result %1 MHz (%2).").arg(readout, modeText));
    else
        showMessage(tr("Tuned to scan result %1 MHz (%2). Check the audio status and the log in "
                       "Settings.")
                        .arg(readout, modeText));
}

void SmartScanTab::importToFavorites()
{
    if (isRunning())
        return;
    FavoritesTable &favorites = *m_favorites.table();
    const ReceiverControl &receiver = m_host.receiverControl();
    const auto favoriteKey = [](qint64 hertz, const QString &mode) {
        return QString::number(hertz) + QLatin1Char('/') + mode;
    };
    QHash<QString, int> index;
    for (int row = 0; row < favorites.rowCount(); ++row) {
        const Favorite favorite = favorites.favoriteAt(row);
        bool number = false;
        const int code = favorite.mode.toInt(&number);
        const QString mode = number && code >= 0 && code < receiver.modeCount()
                                 ? receiver.modeCaption(code)
                                 : favorite.mode;
        index.insert(favoriteKey(favorite.frequency, mode), row);
    }

    QList<int> rows = m_results->visibleSelectedRows();
    if (rows.isEmpty()) {
        for (int row = 0; row < m_results->rowCount(); ++row) {
            if (m_results->isDetected(row))
                rows << row;
        }
    }
    int added = 0;
    int updated = 0;
    for (int row : qAsConst(rows)) {
        const qint64 hertz = SmartScanPlan::hertz(m_results->megahertzAt(row), 1e6);
        const QString mode = m_results->modeAt(row);
        const QJsonObject attributes = m_results->attributesAt(row);
        const QString rowKey = favoriteKey(hertz, mode);
        const auto existing = index.constFind(rowKey);
        if (existing != index.constEnd()) {
            const QJsonObject stored = favorites.attributesAt(*existing);
            const QJsonObject merged =
                FavoriteAttributes::mergeFavoriteAttributes(stored, attributes);
            if (merged != stored) {
                favorites.setRowAttributes(*existing, merged);
                ++updated;
            }
            continue;
        }
        index.insert(rowKey, favorites.addFavoriteRow(hertz, QStringLiteral("Smart Scan"), mode,
                                                      attributes));
        ++added;
    }

    QString message = tr("Favorites: %1 added, %2 updated.").arg(added).arg(updated);
    if ((added > 0 || updated > 0) && !m_favorites.saveFavorites(m_favorites.favoritesPath()))
        message += QLatin1Char(' ') + tr("Could not save the Favorites file.");
    m_favorites.updateFavoriteButtons();
    showMessage(message);
}

void SmartScanTab::updateScanControls()
{
    const bool running = isRunning();
    const ScanStandby &standby = m_host.scanStandby();
    const bool counting = standby.isCountingDown();
    const bool ownCountdown = standby.countdownRunsOn(m_status);
    const bool possible = startPossible();
    m_startButton->setEnabled(possible);
    m_startButton->setToolTip(
        !running && !possible ? tr("Connect the receiver in Settings and select a PC audio input.")
                              : QString());
    m_stopButton->setText(ownCountdown ? tr("Cancel standby") : tr("Stop"));
    m_stopButton->setEnabled(ownCountdown || running);
    m_standbyAfter->setEnabled(!counting);
    m_toFavoritesButton->setEnabled(!running && m_results->rowCount() > 0);
    m_openButton->setEnabled(!running && !counting);
    m_hideZero->setEnabled(!running);
    for (QWidget *parameter :
         {static_cast<QWidget *>(m_start), static_cast<QWidget *>(m_end),
          static_cast<QWidget *>(m_step), static_cast<QWidget *>(m_mode),
          static_cast<QWidget *>(m_signalLevel), static_cast<QWidget *>(m_audioLevel),
          static_cast<QWidget *>(m_duration)})
        parameter->setEnabled(!running);
    m_listenButton->setEnabled(!running && possible && m_host.hasAudioOutput() &&
                               m_results->visibleSelectedRows().size() == 1);
    m_input->setText(tr("Input: %1").arg(m_host.audioInputName()));
}
