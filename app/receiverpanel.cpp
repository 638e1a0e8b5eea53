#include "receiverpanel.h"

#include "activityregistry.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "linkrecovery.h"
#include "quitonsignal.h"
#include "receiverreadout.h"
#include "rotaryencoder.h"
#include "settingskeys.h"
#include "smeter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>

#include <algorithm>

namespace {
constexpr int entryDecimals = 6;
}

ReceiverPanel::ReceiverPanel(CorvinHost *host, const ReceiverPanelUi &ui, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_ui(ui)
{
    m_pollTimer.setParent(this);
    m_pollTimer.setObjectName(QStringLiteral("pollTimer"));
    m_pollTimer.setInterval(pollIntervalMs);
    m_pollTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, &ReceiverPanel::pollTick);

    m_host->activities().registerActivity(Activity::PanelScan, this,
                                          [this] { return isScanRunning(); });
    m_recovery = new LinkRecovery(*driver(), this);
    connect(m_recovery, &LinkRecovery::progress, this, &ReceiverPanel::log);
    connect(m_recovery, &LinkRecovery::recovered, this, &ReceiverPanel::reconnected);
    connect(m_recovery, &LinkRecovery::gaveUp, this, [this] { m_host->updateConnectionUi(); });
}

QString ReceiverPanel::noSerialPortsText()
{
    return tr("No COM ports available");
}

Corvindriver *ReceiverPanel::driver() const
{
    return m_host->driver();
}

void ReceiverPanel::log(const QString &message) const
{
    m_host->appendLog(message);
}

bool ReceiverPanel::anomalyArmed() const
{
    return m_host->activities().isRunning(Activity::AnomalyCapture);
}

qint64 ReceiverPanel::stepHertz() const
{
    return ReceiverReadout::stepHertz(m_ui.stepCB->currentIndex());
}

void ReceiverPanel::restoreSettings()
{
    QSettings &settings = m_host->settings();

    m_ui.standbyOnDisconnect->setChecked(
        settings.value(QLatin1String(SettingsKeys::standbyOnDisconnect), false).toBool());
    connect(m_ui.standbyOnDisconnect, &QCheckBox::toggled, this, [this](bool checked) {
        m_host->settings().setValue(QLatin1String(SettingsKeys::standbyOnDisconnect), checked);
    });

    const QString port = settings.value(QLatin1String(SettingsKeys::serialPort)).toString();
    const int portIndex = m_ui.serialCB->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!port.isEmpty() && portIndex >= 0)
        m_ui.serialCB->setCurrentIndex(portIndex);

    m_ui.scanLevelSB->setValue(
        settings.value(QLatin1String(SettingsKeys::scanThreshold), defaultScanThreshold).toInt());

    m_queue.resetPollCountdown();
    m_queue.setPollEnabled(true);

    // A hand-edited or damaged value must not leave the readout outside the receiver's range.
    bool frequencyOk = false;
    const qint64 frequency =
        settings.value(QLatin1String(SettingsKeys::frequency), defaultFrequency)
            .toLongLong(&frequencyOk);
    m_currentFrequency =
        ReceiverReadout::clampFrequency(frequencyOk ? frequency : defaultFrequency);
    showFrequency();
    m_ui.modulationCB->setCurrentIndex(ReceiverReadout::clampIndex(
        settings.value(QLatin1String(SettingsKeys::modulation), 0).toInt(),
        m_ui.modulationCB->count()));
    m_ui.stepCB->setCurrentIndex(ReceiverReadout::clampIndex(
        settings.value(QLatin1String(SettingsKeys::step), 0).toInt(), m_ui.stepCB->count()));

    connect(m_ui.openPB, &QPushButton::clicked, this, &ReceiverPanel::init);
    connect(m_ui.fxPB, &QPushButton::clicked, this, &ReceiverPanel::setFrequency);
    connect(driver(), &Corvindriver::stateChanged, this, &ReceiverPanel::updateAutoLabel);
    // Queued: the operation that met the failure finishes first.
    connect(driver(), &Corvindriver::linkLost, this, &ReceiverPanel::linkLost,
            Qt::QueuedConnection);
    connect(m_ui.tuning, &RotaryEncoder::deltaChanged, this, &ReceiverPanel::deltaFrequency);
    connect(m_ui.modulationCB, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ReceiverPanel::modulationChanged);
    connect(m_ui.scanPB, &QPushButton::clicked, this, &ReceiverPanel::scanner);
    // A typed device path makes the connect button usable.
    connect(m_ui.serialCB, &QComboBox::currentTextChanged, this,
            &ReceiverPanel::updateConnectionUi);
}

void ReceiverPanel::storeSettings()
{
    QSettings &settings = m_host->settings();
    settings.setValue(QLatin1String(SettingsKeys::frequency), m_currentFrequency);
    settings.setValue(QLatin1String(SettingsKeys::modulation), m_ui.modulationCB->currentIndex());
    settings.setValue(QLatin1String(SettingsKeys::step), m_ui.stepCB->currentIndex());
    settings.setValue(QLatin1String(SettingsKeys::serialPort), m_ui.serialCB->currentText());
    settings.setValue(QLatin1String(SettingsKeys::scanThreshold), m_ui.scanLevelSB->value());
}

// --- connection --------------------------------------------------------------------------

void ReceiverPanel::init(bool ena)
{
    if (ena) {
        connectReceiver();
    } else if (isReconnecting()) {
        m_recovery->stop();
        log(tr("Stopped reconnecting to the receiver."));
    } else {
        m_host->disconnectReceiver(false);
    }
    m_host->updateConnectionUi();
}

bool ReceiverPanel::connectReceiver()
{
    m_queue.clear();
    Corvindriver *rx = driver();
    const QString port = m_ui.serialCB->currentText();
    bool present = false;
    if (rx->openPort(port)) {
        present = rx->identify();
        if (present)
            QThread::msleep(settleMs);
    }
    if (!present) {
        // The driver has already reported the cause.
        rx->closePort();
        log(tr("Could not connect to the receiver."));
        return false;
    }

    log(tr("Receiver connected on %1.").arg(port));
    startSession();
    emit receiverPageRequested();
    return true;
}

void ReceiverPanel::startSession()
{
    Corvindriver *rx = driver();
    if (!rx->tune(m_currentFrequency))
        log(tr("Initial receiver tuning could not be confirmed."));
    rx->setMode(m_ui.modulationCB->currentIndex());
    // Every connection starts the S-meter schedule afresh: first read on the fifth tick.
    m_queue.resetPollCountdown();
    m_pollTimer.start();
}

bool ReceiverPanel::isReconnecting() const
{
    return m_recovery->isActive();
}

void ReceiverPanel::linkLost()
{
    Corvindriver *rx = driver();
    if (!rx->isOpen() || isReconnecting())
        return;
    const QString port = m_ui.serialCB->currentText();
    log(tr("Receiver link lost on %1 (%2). Reconnecting every second.")
            .arg(port, rx->line().lastError()));
    // Every activity ends as it ends when the receiver stops answering.
    m_ui.scanPB->setChecked(false);
    m_host->activities().stopAll();
    m_pollTimer.stop();
    m_queue.clear();
    // The line is dead: no exit or standby command, just let go of the port.
    rx->closePort();
    m_recovery->start(port);
    m_host->updateConnectionUi();
}

void ReceiverPanel::reconnected()
{
    startSession();
    log(tr("Receiver reconnected on %1; frequency %2 MHz and mode %3 restored.")
            .arg(m_recovery->portName(), frequencyText(), modeText()));
    m_host->updateConnectionUi();
}

bool ReceiverPanel::disconnectReceiver(bool forceStandby)
{
    Corvindriver *rx = driver();
    m_recovery->stop();
    if (!rx->isOpen())
        return false;
    m_pollTimer.stop();
    m_queue.clear();

    bool standbySent = false;
    if (forceStandby || m_ui.standbyOnDisconnect->isChecked()) {
        standbySent = rx->standby();
        if (standbySent) {
            log(tr("Receiver standby command sent (QP)."));
        } else {
            log(tr("Standby request failed. Disconnecting from the receiver."));
            rx->sendExit();
        }
    } else {
        rx->sendExit();
    }

    rx->closePort();
    m_ui.level->setText(ReceiverReadout::levelText(0));
    m_ui.smeter->setValue(ReceiverReadout::meterValue(0));
    return standbySent;
}

bool ReceiverPanel::hasSerialPort() const
{
    const QString text = m_ui.serialCB->currentText().trimmed();
    return !text.isEmpty() && text != noSerialPortsText();
}

bool ReceiverPanel::isConnected() const
{
    return driver()->isOpen() && !m_host->activities().isRunning(Activity::BandScopeService);
}

void ReceiverPanel::updateConnectionUi()
{
    const bool reconnecting = isReconnecting();
    // While the port is being reopened, Disconnect ends the attempts.
    const bool open = isConnected() || reconnecting;
    const bool idle = m_host->isIdle();

    m_ui.openPB->setChecked(open);
    m_ui.openPB->setText(open ? tr("Disconnect") : tr("Connect"));
    m_ui.openPB->setEnabled(idle && (open || hasSerialPort()));
    // The band scope's service session holds the port too.
    m_ui.serialCB->setEnabled(!driver()->isOpen());
    // While the Scan runs its button is the only way to stop it.
    m_ui.scanPB->setEnabled(driver()->isOpen() && (idle || isScanRunning()));
    m_ui.tuning->setEnabled(idle);
    m_ui.fxPB->setEnabled(idle);
    m_ui.modulationCB->setEnabled(idle);
    m_ui.stepCB->setEnabled(idle);
    if (reconnecting)
        m_ui.receiverStatus->setText(tr("Receiver link lost, reconnecting…"));
    else
        m_ui.receiverStatus->setText(open ? tr("Connected (%1)").arg(m_ui.serialCB->currentText())
                                          : tr("Receiver disconnected"));
    updateAutoLabel();
}

// --- readout, dial, entry dialog, mode list -------------------------------------------------

void ReceiverPanel::showFrequency()
{
    m_ui.frequency->setText(ReceiverReadout::frequencyText(m_currentFrequency));
}

void ReceiverPanel::showSignalLevel(int level)
{
    m_ui.level->setText(ReceiverReadout::levelText(level));
    m_ui.smeter->setValue(ReceiverReadout::meterValue(level));
}

void ReceiverPanel::setCurrentFrequency(qint64 hertz)
{
    m_currentFrequency = hertz;
    showFrequency();
}

QString ReceiverPanel::frequencyText() const
{
    return ReceiverReadout::frequencyText(m_currentFrequency);
}

void ReceiverPanel::deltaFrequency(int dx)
{
    if (anomalyArmed())
        return;
    m_currentFrequency = ReceiverReadout::clampFrequency(m_currentFrequency + dx * stepHertz());
    showFrequency();
    queueIfOpen(ReceiverRequest::tune(m_currentFrequency));
}

void ReceiverPanel::setFrequency()
{
    if (anomalyArmed())
        return;
    QInputDialog dialog(m_ui.frequency->window());
    dialog.setObjectName(QStringLiteral("setFrequencyDialog"));
    dialog.setWindowTitle(tr("Set frequency"));
    dialog.setLabelText(tr("Frequency in MHz (0.100000 to 3000.000000)"));
    dialog.setInputMode(QInputDialog::DoubleInput);
    dialog.setDoubleDecimals(entryDecimals);
    dialog.setDoubleRange(ReceiverReadout::minimumFrequency / 1e6,
                          ReceiverReadout::maximumFrequency / 1e6);
    dialog.setDoubleValue(m_currentFrequency / 1e6);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_currentFrequency = ReceiverReadout::hertzFromMegahertz(dialog.doubleValue());
    showFrequency();
    queueIfOpen(ReceiverRequest::tune(m_currentFrequency));
}

void ReceiverPanel::modulationChanged(int idx)
{
    if (anomalyArmed())
        return;
    updateAutoLabel();
    queueIfOpen(ReceiverRequest::mode(idx));
}

void ReceiverPanel::updateAutoLabel()
{
    const Corvindriver *rx = driver();
    m_ui.effectiveMode->setVisible(isConnected() &&
                                   m_ui.modulationCB->currentIndex() == autoModeIndex);
    const Corvindriver::State &state = rx->state();
    if (state.mode == autoModeIndex && state.effectiveMode >= 0 &&
        state.effectiveMode < autoModeIndex)
        m_ui.effectiveMode->setText(
            tr("AUTO (%1)").arg(m_ui.modulationCB->itemText(state.effectiveMode)));
    else
        m_ui.effectiveMode->setText(tr("AUTO (mode unavailable)"));
}

int ReceiverPanel::modeIndex() const
{
    return m_ui.modulationCB->currentIndex();
}

QString ReceiverPanel::modeText() const
{
    return m_ui.modulationCB->currentText();
}

int ReceiverPanel::modeCount() const
{
    return m_ui.modulationCB->count();
}

QString ReceiverPanel::modeCaption(int index) const
{
    return m_ui.modulationCB->itemText(index);
}

void ReceiverPanel::setModeIndex(int index, bool notify)
{
    if (notify) {
        m_ui.modulationCB->setCurrentIndex(index);
        return;
    }
    {
        const QSignalBlocker blocker(m_ui.modulationCB);
        m_ui.modulationCB->setCurrentIndex(index);
    }
    updateAutoLabel();
}

QString ReceiverPanel::serialPortName() const
{
    return m_ui.serialCB->currentText();
}

// --- request queue and poll -----------------------------------------------------------------

void ReceiverPanel::queueIfOpen(const ReceiverRequest &request)
{
    if (driver()->isOpen())
        m_queue.append(request);
}

void ReceiverPanel::queueTune(qint64 hertz)
{
    m_queue.append(ReceiverRequest::tune(hertz));
}

bool ReceiverPanel::hasPendingTuning() const
{
    const QQueue<ReceiverRequest> &pending = m_queue.pending();
    return std::any_of(pending.cbegin(), pending.cend(), [](const ReceiverRequest &request) {
        return request.kind != ReceiverRequest::Kind::SignalLevel;
    });
}

bool ReceiverPanel::execute(const ReceiverRequest &request)
{
    Corvindriver *rx = driver();
    switch (request.kind) {
    case ReceiverRequest::Kind::Tune: {
        if (rx->tune(request.value))
            return true;
        // The receiver reported where it really is: follow it unless the user moved on.
        const auto reported = static_cast<qint64>(rx->state().frequency);
        if (request.value == m_currentFrequency && reported > 0 && reported != request.value)
            setCurrentFrequency(reported);
        return false;
    }
    case ReceiverRequest::Kind::SignalLevel: {
        int level = 0;
        const bool read = rx->readSignalLevel(&level);
        showSignalLevel(read ? level : -1);
        return read;
    }
    case ReceiverRequest::Kind::Mode:
        return rx->setMode(static_cast<int>(request.value));
    }
    return false;
}

// Serves the requests already waiting and then this one, at once.
bool ReceiverPanel::serveNow(const ReceiverRequest &request)
{
    if (!driver()->isOpen())
        return false;
    m_queue.append(request);
    bool result = false;
    while (m_queue.processNext([&](const ReceiverRequest &next) { result = execute(next); })) {
    }
    return result;
}

bool ReceiverPanel::tuneNow(qint64 hertz)
{
    if (!driver()->isOpen())
        return false;
    setCurrentFrequency(ReceiverReadout::clampFrequency(hertz));
    return serveNow(ReceiverRequest::tune(m_currentFrequency));
}

bool ReceiverPanel::setModeNow(int code)
{
    if (!driver()->isOpen())
        return false;
    setModeIndex(code, false);
    return serveNow(ReceiverRequest::mode(code));
}

bool ReceiverPanel::readSignalLevelNow(int *level)
{
    if (!serveNow(ReceiverRequest::signalLevel()))
        return false;
    *level = driver()->state().signalLevel;
    return true;
}

void ReceiverPanel::processAction()
{
    m_queue.processNext([this](const ReceiverRequest &request) { execute(request); });
}

void ReceiverPanel::pollTick()
{
    // The band scope may have closed the port after an error.
    if (!driver()->isOpen()) {
        m_pollTimer.stop();
        return;
    }
    const ActivityRegistry &activities = m_host->activities();
    m_queue.pollTick(!activities.isIdle(), activities.isRunning(Activity::AnomalyCapture),
                     [this](const ReceiverRequest &request) { execute(request); });
}

// --- activity end ---------------------------------------------------------------------------

void ReceiverPanel::restoreReceiver(qint64 frequency, int mode)
{
    Corvindriver *rx = driver();
    if (!rx->isOpen())
        return;
    if (mode == rx->state().mode || rx->setMode(mode))
        setModeIndex(mode, false);
    else
        log(tr("Could not restore the receiver mode after the scan."));
    if (rx->tune(frequency))
        setCurrentFrequency(frequency);
    else
        log(tr("Could not restore the frequency after the scan."));
}

// --- step-by-step Scan ----------------------------------------------------------------------

void ReceiverPanel::scanner(bool checked)
{
    if (!checked)
        return; // unchecking stops a running Scan at its next step
    if (isScanRunning() || !m_host->isIdle() || !driver()->isOpen()) {
        if (!isScanRunning())
            m_ui.scanPB->setChecked(false);
        return;
    }

    m_ui.tuning->setEnabled(false);
    m_ui.modulationCB->setEnabled(false);
    m_ui.openPB->setEnabled(false);
    m_queue.setPollEnabled(false);
    // The other activities' controls, among them "Add current frequency", follow the
    // activity state.
    m_host->activities().updateControls();

    runScan();

    m_ui.scanPB->setChecked(false);
    m_ui.tuning->setEnabled(true);
    m_ui.modulationCB->setEnabled(true);
    m_ui.openPB->setEnabled(true);
    m_queue.setPollEnabled(true);
    m_host->updateConnectionUi();
}

void ReceiverPanel::runScan()
{
    Corvindriver *rx = driver();
    for (;;) {
        const qint64 next = m_currentFrequency + stepHertz();
        if (next > ReceiverReadout::maximumFrequency || !rx->tune(next))
            return;
        setCurrentFrequency(next);
        QThread::msleep(settleMs);

        int level = 0;
        if (!rx->readSignalLevel(&level)) {
            showSignalLevel(-1);
            log(tr("Scan stopped because the receiver signal level is unavailable."));
            return;
        }
        // Lets the user uncheck the button (or change step and threshold) between steps.
        QCoreApplication::processEvents();

        // A window closed or a quit signal meanwhile ends the search too: the program can
        // only quit once this returns.
        if (m_currentFrequency >= ReceiverReadout::maximumFrequency ||
            level > m_ui.scanLevelSB->value() || !m_ui.scanPB->isChecked() ||
            !m_ui.scanPB->window()->isVisible() || QuitOnSignal::quitRequested())
            return;
    }
}
