#include "scanstandby.h"

#include "activityregistry.h"
#include "corvinhost.h"
#include "powerbackend.h"

#include <QAbstractButton>
#include <QLabel>
#include <QThreadPool>
#include <QtConcurrent>

ScanStandby::ScanStandby(CorvinHost &host, std::shared_ptr<PowerBackend> backend, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_backend(std::move(backend))
{
    m_timer.setInterval(1000);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScanStandby::tick);
    connect(&m_sleepTask, &QFutureWatcher<int>::finished, this, &ScanStandby::sleepFinished);
}

ScanStandby::~ScanStandby()
{
    // A sleep request still on the pool keeps the backend alive through its own reference;
    // its answer must not reach a window that is going away.
    m_sleepTask.disconnect(this);
    m_timer.stop();
}

void ScanStandby::setKeepAwake(bool on)
{
    if (on == m_keepAwake)
        return;
    const bool done = on ? m_backend->acquireKeepAwake() : m_backend->releaseKeepAwake();
    if (done) {
        m_keepAwake = on;
        return;
    }
    m_host.appendLog(on ? tr("Windows could not prevent idle sleep during the scan.")
                        : tr("Windows could not release the scan's keep-awake request."));
}

void ScanStandby::finishScanStandby(QAbstractButton *checkBox, QLabel *label, bool success)
{
    const bool wanted = checkBox && checkBox->isChecked();
    if (checkBox)
        checkBox->setChecked(false);

    if (wanted && success && label && !m_counting) {
        m_label = label;
        m_counting = true;
        m_savedText = label->text();
        m_secondsLeft = countdownSeconds;
        const QString message = countdownMessage();
        showOnLabel(message);
        m_host.appendLog(message);
        m_timer.start();
        return;
    }

    setKeepAwake(false);
    if (wanted)
        m_host.appendLog(
            tr("Automatic standby skipped because the scan ended without complete, saved "
               "results."));
}

bool ScanStandby::cancelStandby(QLabel *label)
{
    if (!countdownRunsOn(label))
        return false;
    setKeepAwake(false);
    endCountdown(tr("Automatic standby canceled. Results are saved."));
    return true;
}

bool ScanStandby::countdownRunsOn(const QLabel *label) const
{
    return m_counting && label && m_label == label && m_timer.isActive();
}

void ScanStandby::endCountdown(const QString &message)
{
    m_timer.stop();
    showOnLabel(message);
    m_label.clear();
    m_counting = false;
    m_host.appendLog(message);
    m_host.updateConnectionUi();
}

void ScanStandby::shutdown()
{
    m_timer.stop();
    m_label.clear();
    m_counting = false;
    setKeepAwake(false);
}

void ScanStandby::registerWith(ActivityRegistry &registry)
{
    registry.registerActivity(Activity::StandbyCountdown, this, [this] { return m_counting; });
    registry.registerShutdownStep(ShutdownStep::StandbyCountdown, this, [this] { shutdown(); });
}

void ScanStandby::tick()
{
    --m_secondsLeft;
    if (m_secondsLeft > 0) {
        showOnLabel(countdownMessage());
        return;
    }
    m_timer.stop();

    if (!m_host.disconnectReceiver(true)) {
        setKeepAwake(false);
        endCountdown(
            tr("PC sleep skipped because the receiver standby command could not be sent."));
        return;
    }

    m_host.stopAllAudio();
    m_host.updateConnectionUi();
    m_host.flushSettings();
    const QString message = tr("Scan saved. Radio disconnected. Requesting Windows sleep.");
    showOnLabel(message);
    m_host.appendLog(message);
    setKeepAwake(false);

    std::shared_ptr<PowerBackend> backend = m_backend;
    m_sleepTask.setFuture(QtConcurrent::run(QThreadPool::globalInstance(),
                                            [backend] { return backend->requestSleep(); }));
}

void ScanStandby::sleepFinished()
{
    // After shutdown() the answer has no countdown left to end.
    if (!m_counting)
        return;
    const int code = m_sleepTask.result();
    if (code == 0)
        endCountdown(tr("Windows accepted the sleep request. Results are ready for review."));
    else
        endCountdown(
            tr("Windows could not enter sleep (error %1). The results are saved.").arg(code));
}

void ScanStandby::showOnLabel(const QString &message)
{
    if (m_label)
        m_label->setText(m_savedText + QLatin1Char('\n') + message);
}

QString ScanStandby::countdownMessage() const
{
    return tr("Radio and PC standby in %1 s.").arg(m_secondsLeft);
}
