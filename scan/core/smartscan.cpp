#include "smartscan.h"

#include "audioanalysisresult.h"
#include "datafolders.h"
#include "favoriteattributes.h"
#include "measurementrequests.h"
#include "smartscandevices.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>

namespace {

constexpr int autoMode = 9; // no effective mode known

QString text(const char *source)
{
    return QCoreApplication::translate("SmartScan", source);
}

QString utcNow()
{
    return FavoriteAttributes::utcText(QDateTime::currentDateTimeUtc());
}

QJsonArray roundedArray(const QVector<double> &values, int decimals)
{
    QJsonArray array;
    for (double value : values)
        array.append(SmartScanArchive::rounded(value, decimals));
    return array;
}

} // namespace

QString SmartScan::stoppedMessage()
{
    return text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped."));
}

QString SmartScan::inputLostMessage()
{
    return text(
        QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped because the audio input was lost."));
}

QString SmartScan::invalidRangeMessage()
{
    return text(
        QT_TRANSLATE_NOOP("SmartScan", "Choose an end frequency at or above the start frequency."));
}

QString SmartScan::inputFailedMessage()
{
    return text(QT_TRANSLATE_NOOP(
        "SmartScan", "Could not start the selected audio input. See the log in Settings."));
}

SmartScan::SmartScan(SmartScanReceiver &receiver, SmartScanAudio &audio,
                     MeasurementRequests &requests, const QStringList &modeNames, QObject *parent)
    : QObject(parent)
    , m_receiver(receiver)
    , m_audio(audio)
    , m_requests(requests)
    , m_modeNames(modeNames)
    , m_folder(DataFolders::path(QString::fromLatin1(DataFolders::scans)))
{
    m_timer.setSingleShot(true);
    // The settle and analysis times are lower bounds: a coarse timer could cut them short.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SmartScan::step);
}

bool SmartScan::start(const SmartScanPlan &plan, QString *status)
{
    if (isRunning())
        return false;
    if (!plan.isValid()) {
        *status = invalidRangeMessage();
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = QDir(m_folder).filePath(
        SmartScanArchiveWriter::fileName(now, QCoreApplication::applicationPid()));
    const QJsonObject startRecord{{QStringLiteral("type"), QStringLiteral("scan_start")},
                                  {QStringLiteral("schema"), 1},
                                  {QStringLiteral("utc"), FavoriteAttributes::utcText(now)},
                                  {QStringLiteral("start_hz"), plan.startHz},
                                  {QStringLiteral("end_hz"), plan.endHz},
                                  {QStringLiteral("step_hz"), plan.stepHz},
                                  {QStringLiteral("points"), plan.points()},
                                  {QStringLiteral("mode"), plan.modeText},
                                  {QStringLiteral("serial_port"), plan.serialPort},
                                  {QStringLiteral("input"), plan.input},
                                  {QStringLiteral("threshold_s_meter"), plan.threshold},
                                  {QStringLiteral("minimum_audio_dbfs"), plan.minimumAudioDbfs},
                                  {QStringLiteral("analysis_ms"), plan.analysisMs}};
    QString error;
    if (!m_archive.open(path, &error) || !m_archive.write(startRecord, &error)) {
        m_archive.close();
        emit logMessage(text(QT_TRANSLATE_NOOP("SmartScan", "Could not create the scan archive "
                                                            "%1: %2"))
                            .arg(QDir::toNativeSeparators(path), error));
        *status = text(QT_TRANSLATE_NOOP(
            "SmartScan", "Smart Scan cannot start because the archive could not be written."));
        return false;
    }

    m_archivePath = path;
    m_plan = plan;
    emit preparing();
    if (!m_receiver.setMode(plan.mode)) {
        *status = text(QT_TRANSLATE_NOOP(
            "SmartScan", "Could not set the receiver mode. See the log in Settings."));
        // The short closing line; a failure to write it changes nothing more.
        m_archive.write(QJsonObject{{QStringLiteral("type"), QStringLiteral("scan_end")},
                                    {QStringLiteral("processed"), 0},
                                    {QStringLiteral("message"), *status}},
                        &error);
        m_archive.close();
        return false;
    }

    m_current = plan.startHz;
    m_attempts = 0;
    m_consecutiveUnreadable = 0;
    m_level = -1;
    m_processed = 0;
    m_counters = SmartScanCounters();
    m_recordWritten = true;
    m_state = Tune;
    emit started();
    emit countersChanged();
    emit progressed(0);
    emit logMessage(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan archive: %1"))
                        .arg(QDir::toNativeSeparators(path)));
    emit logMessage(
        text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan started from %1 to %2 MHz, step %3 kHz "
                                            "(%4)."))
            .arg(QString::number(plan.startHz / 1e6, 'f', 4),
                 QString::number(plan.endHz / 1e6, 'f', 4),
                 QString::number(plan.stepHz / 1e3, 'f', 1), plan.modeText));
    arm(0);
    return true;
}

void SmartScan::stop(const QString &message)
{
    finish(message, false);
}

QString SmartScan::readout() const
{
    return QString::number(m_current / 1e6, 'f', 6);
}

void SmartScan::arm(int delayMs)
{
    m_timer.start(delayMs);
}

void SmartScan::step()
{
    switch (m_state) {
    case Tune:
        tuneStep();
        break;
    case ReadLevel:
        readLevelStep();
        break;
    case Analyse:
        finish(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped because the audio input "
                                                   "did not supply enough samples.")),
               false);
        break;
    case Idle:
        break;
    }
}

void SmartScan::tuneStep()
{
    m_recordWritten = false;
    if (m_receiver.tune(m_current)) {
        emit tuned(m_current);
        emit statusChanged(text(QT_TRANSLATE_NOOP("SmartScan", "Checking %1 MHz")).arg(readout()));
        m_state = ReadLevel;
        arm(settleMs);
        return;
    }
    if (writeFrequency(QJsonObject(), QStringLiteral("tuning_failed")))
        finish(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped because tuning failed.")),
               false);
}

void SmartScan::readLevelStep()
{
    int level = 0;
    QString error;
    if (!m_receiver.readSignalLevel(&level, &error)) {
        emit levelShown(-1);
        ++m_attempts;
        emit logMessage(
            text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan %1 MHz: S-meter attempt %2/%3 failed. "
                                                "%4"))
                .arg(readout())
                .arg(m_attempts)
                .arg(maxAttempts)
                .arg(error));
        if (m_attempts < maxAttempts) {
            emit statusChanged(
                text(QT_TRANSLATE_NOOP("SmartScan", "Retrying S-meter at %1 MHz (%2/%3)"))
                    .arg(readout())
                    .arg(m_attempts + 1)
                    .arg(maxAttempts));
            arm(retryDelayMs);
            return;
        }
        ++m_counters.unreadable;
        ++m_consecutiveUnreadable;
        if (!writeFrequency(QJsonObject{{QStringLiteral("read_attempts"), m_attempts},
                                        {QStringLiteral("failure"), error}},
                            QStringLiteral("unreadable")))
            return;
        emit countersChanged();
        emit logMessage(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan skipped %1 MHz after %2 "
                                                            "failed S-meter readings."))
                            .arg(readout())
                            .arg(maxAttempts));
        nextFrequency();
        return;
    }

    if (m_attempts > 0) {
        emit logMessage(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan %1 MHz: S-meter recovered "
                                                            "on attempt %2/%3 (level %4)."))
                            .arg(readout())
                            .arg(m_attempts + 1)
                            .arg(maxAttempts)
                            .arg(level));
    }
    m_consecutiveUnreadable = 0;
    m_level = level;
    emit levelShown(level);
    if (level < m_plan.threshold) {
        if (writeFrequency(QJsonObject{{QStringLiteral("s_meter"), level},
                                       {QStringLiteral("read_attempts"), m_attempts + 1}},
                           QStringLiteral("below_threshold")))
            nextFrequency();
        return;
    }
    const int request = m_requests.next();
    if (!m_audio.startAnalysis(request, m_plan.analysisMs, m_plan.minimumAudioDbfs)) {
        finish(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped because audio analysis "
                                                   "could not start.")),
               false);
        return;
    }
    m_state = Analyse;
    emit statusChanged(text(QT_TRANSLATE_NOOP("SmartScan", "Analyzing %1 MHz (S-meter %2)"))
                           .arg(readout())
                           .arg(level));
    arm(m_plan.analysisMs + analysisGraceMs);
}

void SmartScan::analysisReady(int request, const AudioAnalysisResult &result)
{
    if (m_state != Analyse || request != m_requests.current())
        return;
    m_timer.stop();
    const QString key = SignalClassification::key(result.classification);
    QJsonObject record{
        {QStringLiteral("s_meter"), m_level},
        {QStringLiteral("dbfs_rms"), result.dbfs_rms},
        {QStringLiteral("dbfs_peak"), result.dbfs_peak},
        {QStringLiteral("quality"),
         SignalClassification::combinedQuality(key, result.quality, m_level)},
        {QStringLiteral("fft_windows"), result.fft_windows},
        {QStringLiteral("active_windows"), result.active_windows},
        {QStringLiteral("structured_windows"), result.structured_windows},
        {QStringLiteral("read_attempts"), m_attempts + 1},
        {QStringLiteral("window_dbfs"), roundedArray(result.window_dbfs, 2)},
        {QStringLiteral("window_flatness"), roundedArray(result.window_flatness, 4)}};
    QJsonObject written;
    if (!writeFrequency(record, key, &written))
        return;
    if (m_counters.countResult(key)) {
        emit resultRecorded(written);
        emit countersChanged();
    }
    nextFrequency();
}

void SmartScan::nextFrequency()
{
    ++m_processed;
    emit progressed(m_processed);
    if (m_state == Idle)
        return; // stopped by a receiver of the signal
    if (m_consecutiveUnreadable >= maxConsecutiveUnreadable) {
        finish(text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan stopped after %1 consecutive "
                                                   "frequencies without an S-meter reading."))
                   .arg(maxConsecutiveUnreadable),
               false);
        return;
    }
    m_attempts = 0;
    m_current += m_plan.stepHz;
    if (m_current > m_plan.endHz) {
        finish(m_counters.unreadable > 0
                   ? text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan complete. Skipped frequencies "
                                                         "without an S-meter reading: %1."))
                         .arg(m_counters.unreadable)
                   : text(QT_TRANSLATE_NOOP("SmartScan", "Smart Scan complete.")),
               true);
        return;
    }
    m_state = Tune;
    arm(0);
}

bool SmartScan::writeFrequency(QJsonObject record, const QString &outcome, QJsonObject *written)
{
    record.insert(QStringLiteral("type"), QStringLiteral("frequency"));
    record.insert(QStringLiteral("frequency_hz"), m_current);
    record.insert(QStringLiteral("utc"), utcNow());
    record.insert(QStringLiteral("outcome"), outcome);
    const int mode = m_receiver.effectiveMode();
    if (outcome != QLatin1String("tuning_failed") && outcome != QLatin1String("incomplete") &&
        mode >= 0 && mode < autoMode && mode < m_modeNames.size())
        record.insert(QStringLiteral("mode"), m_modeNames.at(mode));
    QString error;
    m_recordWritten = m_archive.write(record, &error);
    if (m_recordWritten) {
        if (written)
            *written = record;
        return true;
    }
    emit logMessage(
        text(QT_TRANSLATE_NOOP("SmartScan", "Could not write the scan archive: %1")).arg(error));
    m_archive.close();
    finish(text(QT_TRANSLATE_NOOP("SmartScan",
                                  "Smart Scan stopped because the data could not be saved.")),
           false);
    return false;
}

void SmartScan::finish(const QString &message, bool completed)
{
    if (m_state == Idle)
        return;
    m_timer.stop();
    const State stoppedIn = m_state;
    m_state = Idle;

    bool endWritten = false;
    if (m_archive.isOpen()) {
        QString error;
        if (!m_recordWritten && (stoppedIn == ReadLevel || stoppedIn == Analyse)) {
            QJsonObject record{{QStringLiteral("type"), QStringLiteral("frequency")},
                               {QStringLiteral("frequency_hz"), m_current},
                               {QStringLiteral("utc"), utcNow()},
                               {QStringLiteral("outcome"), QStringLiteral("incomplete")},
                               {QStringLiteral("read_attempts"), m_attempts},
                               {QStringLiteral("message"), message}};
            if (stoppedIn == Analyse)
                record.insert(QStringLiteral("s_meter"), m_level);
            if (!m_archive.write(record, &error)) {
                emit logMessage(text(QT_TRANSLATE_NOOP(
                                         "SmartScan", "Could not save the interrupted measurement: "
                                                      "%1"))
                                    .arg(error));
            }
        }
        endWritten =
            m_archive.write(QJsonObject{{QStringLiteral("type"), QStringLiteral("scan_end")},
                                        {QStringLiteral("message"), message},
                                        {QStringLiteral("utc"), utcNow()},
                                        {QStringLiteral("processed"), m_processed},
                                        {QStringLiteral("detected"), m_counters.detected},
                                        {QStringLiteral("quiet"), m_counters.quiet},
                                        {QStringLiteral("noise"), m_counters.noise},
                                        {QStringLiteral("unreadable"), m_counters.unreadable}},
                            &error);
        if (!endWritten) {
            emit logMessage(
                text(QT_TRANSLATE_NOOP("SmartScan", "Could not save the scan summary: %1"))
                    .arg(error));
        }
        m_archive.close();
    }
    m_audio.cancelAnalysis();
    emit restoreRequested();
    emit levelShown(-1);
    emit statusChanged(message);
    emit logMessage(text(QT_TRANSLATE_NOOP("SmartScan", "%1 Processed %2/%3 frequencies. %4."))
                        .arg(message)
                        .arg(m_processed)
                        .arg(m_plan.points())
                        .arg(m_counters.summary()));
    emit finished(message, completed,
                  completed && endWritten && m_counters.unreadable < m_processed);
}
