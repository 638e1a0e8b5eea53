#include "rfsweep.h"

#include "corvindriver.h"
#include "datafolders.h"
#include "rfsweepreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int noEffectiveMode = 9; // the AUTO entry: the receiver reported no mode

QString text(const char *source)
{
    return QCoreApplication::translate("RfSweep", source);
}

QString csvWriteFailure()
{
    return text(QT_TRANSLATE_NOOP(
        "RfSweep", "Frequency spectrum sweep stopped because the CSV could not be written. See the "
                   "log in Settings."));
}

} // namespace

QString RfSweep::stoppedByUserMessage()
{
    return text(QT_TRANSLATE_NOOP("RfSweep", "Frequency spectrum sweep stopped by user."));
}

QString RfSweep::invalidPlanMessage()
{
    return text(QT_TRANSLATE_NOOP(
        "RfSweep", "Set an end frequency at or above the start and a step of at least 100 Hz."));
}

RfSweep::RfSweep(Corvindriver &driver, const QStringList &modeNames, QObject *parent)
    : QObject(parent)
    , m_driver(driver)
    , m_modeNames(modeNames)
    , m_folder(DataFolders::path(QString::fromLatin1(DataFolders::rf)))
{
    m_timer.setSingleShot(true);
    // The settle time is part of every step: a coarse timer would add up to 5 % to it.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RfSweep::step);
}

bool RfSweep::start(const RfSweepPlan &plan, QString *statusMessage)
{
    if (isRunning() || !plan.isValid())
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    const QString path =
        QDir(m_folder).filePath(RfSweepCsv::fileName(now, QCoreApplication::applicationPid()));
    QString error;
    if (!m_csv.open(path, &error)) {
        emit logMessage(text(QT_TRANSLATE_NOOP("RfSweep", "Could not create RF sweep CSV %1: %2"))
                            .arg(QDir::toNativeSeparators(path), error));
        *statusMessage = text(QT_TRANSLATE_NOOP(
            "RfSweep", "Could not create the RF sweep CSV. See the log in Settings."));
        return false;
    }

    m_plan = plan;
    m_plan.started = now;
    m_csvPath = path;
    m_attempts = 0;
    m_consecutiveFailures = 0;
    m_results.reset(m_plan);
    m_reportPath.clear();
    m_state = State::Tune;
    emit started();
    emit refreshDue();
    m_refreshClock.start();
    emit logMessage(text(QT_TRANSLATE_NOOP("RfSweep", "RF sweep started: %1-%2 MHz, step %3 kHz, "
                                                      "%4, settle %5 ms, %6 frequencies. CSV: %7"))
                        .arg(rfMegahertzText(m_plan.startHz), rfMegahertzText(m_plan.endHz),
                             QString::number(m_plan.stepHz / 1000.0, 'f', 1), m_plan.modeText)
                        .arg(m_plan.settleMs)
                        .arg(m_plan.count())
                        .arg(QDir::toNativeSeparators(path)));

    if (!m_driver.setMode(m_plan.mode)) {
        finish(text(QT_TRANSLATE_NOOP(
                   "RfSweep",
                   "Frequency spectrum sweep stopped because the receiver mode could not be set.")),
               Outcome::Failure);
        return true;
    }
    emit modeSet(m_plan.mode);
    arm(0);
    return true;
}

void RfSweep::stop(const QString &message)
{
    finish(message, Outcome::UserStop);
}

qint64 RfSweep::currentFrequency() const
{
    return m_plan.frequencyAt(m_results.overall().processed());
}

QString RfSweep::frequencyText() const
{
    return rfMegahertzText(currentFrequency());
}

void RfSweep::arm(int delayMs)
{
    m_timer.start(delayMs);
}

void RfSweep::step()
{
    if (m_state == State::Tune)
        tuneStep();
    else if (m_state == State::Measure)
        measureStep();
}

void RfSweep::tuneStep()
{
    const qint64 frequency = currentFrequency();
    if (m_driver.tune(frequency)) {
        emit tuned(frequency);
        emit statusChanged(
            text(QT_TRANSLATE_NOOP("RfSweep", "Measuring %1 MHz")).arg(frequencyText()));
        m_state = State::Measure;
        arm(m_plan.settleMs);
        return;
    }
    const QString at = frequencyText();
    if (recordSample(-1, QStringLiteral("tuning_failed")))
        finish(text(QT_TRANSLATE_NOOP(
                        "RfSweep",
                        "Frequency spectrum sweep stopped because tuning failed at %1 MHz."))
                   .arg(at),
               Outcome::Failure);
    else
        finish(csvWriteFailure(), Outcome::Failure);
}

void RfSweep::measureStep()
{
    ++m_attempts;
    int level = 0;
    QString error;
    const bool read = m_driver.readSignalLevel(&level, &error);
    if (read) {
        m_consecutiveFailures = 0;
        emit levelShown(level);
        if (m_attempts > 1) {
            emit logMessage(
                text(QT_TRANSLATE_NOOP(
                         "RfSweep", "RF sweep %1 MHz: S-meter recovered on attempt %2 (level %3)."))
                    .arg(frequencyText())
                    .arg(m_attempts)
                    .arg(level));
        }
    } else {
        emit levelShown(-1);
        emit logMessage(
            text(QT_TRANSLATE_NOOP("RfSweep", "RF sweep %1 MHz: S-meter attempt %2/%3 failed. %4"))
                .arg(frequencyText())
                .arg(m_attempts)
                .arg(maxAttempts)
                .arg(error));
        if (m_attempts < maxAttempts) {
            emit statusChanged(
                text(QT_TRANSLATE_NOOP("RfSweep", "Retrying S-meter at %1 MHz (%2/%3)"))
                    .arg(frequencyText())
                    .arg(m_attempts + 1)
                    .arg(maxAttempts));
            arm(retryDelayMs);
            return;
        }
        ++m_consecutiveFailures;
        emit logMessage(
            text(QT_TRANSLATE_NOOP("RfSweep",
                                   "RF sweep skipped %1 MHz after %2 failed S-meter readings."))
                .arg(frequencyText())
                .arg(m_attempts));
    }

    if (!recordSample(read ? level : -1,
                      read ? QStringLiteral("measured") : QStringLiteral("unreadable"))) {
        finish(csvWriteFailure(), Outcome::Failure);
    } else if (m_consecutiveFailures >= maxConsecutiveFailures) {
        finish(text(QT_TRANSLATE_NOOP(
                        "RfSweep",
                        "Frequency spectrum sweep stopped after %1 consecutive frequencies without "
                        "S-meter readings."))
                   .arg(m_consecutiveFailures),
               Outcome::Failure);
    } else if (m_results.overall().processed() < m_plan.count()) {
        m_state = State::Tune;
        m_attempts = 0;
        arm(0);
    } else {
        finish(text(QT_TRANSLATE_NOOP("RfSweep", "Frequency spectrum sweep completed.")),
               Outcome::Completed);
    }
}

bool RfSweep::recordSample(int level, const QString &status)
{
    const qint64 k = m_results.overall().processed();
    const qint64 frequency = m_plan.frequencyAt(k);
    const int band = RfBands::indexOf(frequency);
    int mode = noEffectiveMode;
    QString modeText;
    if (level >= 0) {
        mode = m_driver.state().effectiveMode;
        if (mode != noEffectiveMode)
            modeText = m_modeNames.value(mode);
    }
    QString error;
    if (!m_csv.writeSample(frequency, level, m_attempts, status, RfBands::name(band), modeText,
                           &error)) {
        emit logMessage(text(QT_TRANSLATE_NOOP("RfSweep", "Could not write RF sweep CSV %1: %2"))
                            .arg(QDir::toNativeSeparators(m_csvPath), error));
        return false;
    }
    m_results.record(k, frequency, level, mode);
    emit progressed(m_results.overall().processed());
    maybeRefresh();
    return true;
}

void RfSweep::maybeRefresh()
{
    if (m_refreshClock.elapsed() < refreshIntervalMs)
        return;
    emit refreshDue();
    m_refreshClock.restart();
}

void RfSweep::finish(const QString &message, Outcome outcome)
{
    if (m_state == State::Idle)
        return;
    m_timer.stop();
    QString finalMessage = message;
    if (outcome == Outcome::UserStop && m_state == State::Measure &&
        !recordSample(-1, QStringLiteral("interrupted")))
        finalMessage +=
            text(QT_TRANSLATE_NOOP("RfSweep", " The interrupted sample could not be saved."));

    m_state = State::Idle;
    m_csv.close();
    emit restoreRequested();

    emit refreshDue();
    m_refreshClock.restart();
    emit logMessage(finalMessage + QLatin1Char(' ') + m_results.summary());

    QString htmlPath = m_csvPath;
    htmlPath.chop(4);
    htmlPath += QStringLiteral(".html");
    QString error;
    if (RfSweepReport::write(htmlPath, m_results, finalMessage, QFileInfo(m_csvPath).fileName(),
                             &error)) {
        m_reportPath = htmlPath;
        emit logMessage(text(QT_TRANSLATE_NOOP("RfSweep", "RF spectrum report saved: %1"))
                            .arg(QDir::toNativeSeparators(htmlPath)));
    } else {
        emit logMessage(
            text(QT_TRANSLATE_NOOP("RfSweep", "Could not write the RF spectrum HTML report: %1"))
                .arg(error));
        finalMessage += text(QT_TRANSLATE_NOOP(
            "RfSweep", " Could not save the HTML report. See the log in Settings."));
    }
    emit finished(outcome, finalMessage);
}
