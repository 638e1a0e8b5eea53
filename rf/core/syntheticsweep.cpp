#include "syntheticsweep.h"

#include "corvindriver.h"

#include <QDateTime>

#include <algorithm>

SyntheticSweep::SyntheticSweep(Corvindriver &driver, SyntheticAudio &audio, QObject *parent)
    : QObject(parent)
    , m_driver(driver)
    , m_audio(audio)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire 5 % early: the settle time and the capture's time-out are minima.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SyntheticSweep::onTimer);
}

QString SyntheticSweep::invalidMessage()
{
    return tr("Invalid range, step or FFT duration (max 2000 tunes / 500001 bins).");
}

QString SyntheticSweep::stoppedMessage()
{
    return tr("Stopped; partial data retained.");
}

QString SyntheticSweep::stoppedOnExitMessage()
{
    return tr("RF synthetic sweep stopped on exit.");
}

QString SyntheticSweep::inputLostMessage()
{
    return tr("Audio input lost.");
}

bool SyntheticSweep::start(const SyntheticParameters &parameters, qint64 savedFrequency,
                           int savedMode, QString *status)
{
    if (m_running)
        return false;
    QVector<qint64> plan;
    if (!SyntheticPlan::build(parameters, &plan)) {
        *status = invalidMessage();
        return false;
    }
    int rate = 0;
    int channels = 0;
    bool opened = false;
    const bool input = m_audio.startInput(&rate, &channels, &opened);
    if (!input || parameters.channel >= channels || parameters.highHz >= rate / 2) {
        if (input && opened)
            m_audio.stopInput();
        *status = tr("Audio input/channel or passband unavailable.");
        return false;
    }

    m_running = true;
    m_inputOpened = opened;
    m_pending = false;
    m_completed = 0;
    m_clipMax = 0.0;
    m_parameters = parameters;
    m_plan = plan;
    m_grid = SyntheticGrid(parameters.startHz, parameters.endHz, parameters.binHz);
    m_startUtc = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    m_savedFrequency = savedFrequency;
    m_savedMode = savedMode;
    m_elapsed.invalidate();
    emit started(m_plan.size());

    if (!m_driver.setMode(usbMode)) {
        finish(tr("USB configuration failed."));
        return true;
    }
    emit modeSet(usbMode);
    m_elapsed.start();
    tuneSlice();
    return true;
}

void SyntheticSweep::stop(const QString &message)
{
    if (m_running)
        finish(message);
}

void SyntheticSweep::tuneSlice()
{
    const qint64 frequency = m_plan[m_completed];
    if (!m_driver.tune(frequency)) {
        finish(tr("Tuning failed; partial data retained."));
        return;
    }
    emit tuned(frequency);
    m_pending = false;
    emit statusChanged(tr("Tuning %1 MHz — slice %2/%3")
                           .arg(frequency / 1e6, 0, 'f', 6)
                           .arg(m_completed + 1)
                           .arg(m_plan.size()));
    m_timer.start(m_parameters.settleMs);
}

void SyntheticSweep::onTimer()
{
    if (!m_running)
        return;
    if (m_pending) {
        finish(tr("Audio timeout; partial data retained."));
        return;
    }
    ++m_request;
    if (!m_audio.requestCapture(m_request, m_parameters.captureMs, m_parameters.binHz,
                                m_parameters.channel)) {
        finish(tr("Cannot capture audio."));
        return;
    }
    m_pending = true;
    m_timer.start(m_parameters.captureMs + captureTimeoutMarginMs);
}

void SyntheticSweep::onPsdReady(int request, double spacing, const QVector<double> &power,
                                int windows, double clipped)
{
    if (!m_running || !m_pending || request != m_request)
        return;
    m_timer.stop();
    m_pending = false;
    if (windows < 1 || !(spacing > 0.0) || power.isEmpty()) {
        finish(tr("PSD computation failed."));
        return;
    }
    if (!m_grid.combine(m_plan[m_completed], spacing, power, m_parameters.lowHz,
                        m_parameters.highHz)) {
        finish(tr("Invalid PSD segment."));
        return;
    }
    m_clipMax = std::max(m_clipMax, clipped);
    ++m_completed;
    const double elapsed = m_elapsed.elapsed() / 1000.0;
    const double eta = (m_plan.size() - m_completed) * elapsed / m_completed;
    emit sliceCombined(m_completed, m_plan.size(), eta, 100.0 * m_clipMax);
    if (m_completed < m_plan.size())
        tuneSlice();
    else
        finish(tr("Sweep complete."));
}

void SyntheticSweep::finish(const QString &message)
{
    m_timer.stop();
    ++m_request;
    m_pending = false;
    // Not running any more before the input closes: whoever watches the input must not take
    // its closing for a lost input of this sweep.
    m_running = false;
    m_audio.cancelCapture();
    if (m_inputOpened)
        m_audio.stopInput();
    m_inputOpened = false;
    emit restoreRequested(m_savedFrequency, m_savedMode);
    // A sweep that never got past the USB change has no running clock: it took 0.0 s.
    const double seconds = m_elapsed.isValid() ? m_elapsed.elapsed() / 1000.0 : 0.0;
    const QString text = message + tr(" %1/%2 — clip max %3% — %4 s")
                                       .arg(m_completed)
                                       .arg(m_plan.size())
                                       .arg(100.0 * m_clipMax, 0, 'f', 2)
                                       .arg(seconds, 0, 'f', 1);
    emit statusChanged(text);
    emit logMessage(text);
    emit finished(text);
}
