#pragma once

#include "smartscanarchive.h"
#include "smartscanplan.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

struct AudioAnalysisResult;
class MeasurementRequests;
class SmartScanAudio;
class SmartScanReceiver;

// The Smart Scan engine: steps the receiver through a plan on one single-shot timer, reads the
// S-meter (up to three attempts), has the audio measured at each frequency whose level reaches
// the threshold, and appends one flushed archive line per frequency. The tab and
// `corvin-rxctl scan` both drive it and supply what is theirs (controls, receiver panel,
// keep-awake, standby) through the signals.
//
// States: 0 idle, 1 about to tune, 2 reading the S-meter, 3 analysing. Every finish -
// completed, stopped, failed - goes through one path that writes the closing lines and asks
// the owner to restore the receiver. GUI thread; signals are emitted synchronously.
class SmartScan : public QObject
{
    Q_OBJECT

public:
    enum State { Idle = 0, Tune = 1, ReadLevel = 2, Analyse = 3 };

    static constexpr int maxAttempts = 3;
    static constexpr int settleMs = 140;
    static constexpr int retryDelayMs = 200;
    static constexpr int analysisGraceMs = 1500;
    static constexpr int maxConsecutiveUnreadable = 3;

    // The stop messages every front end shares; translated.
    static QString stoppedMessage();
    static QString inputLostMessage();
    static QString invalidRangeMessage();
    static QString inputFailedMessage();

    // modeNames: the mode list's texts by code (archive "mode"). requests: the counter shared
    // with the favourite measurement.
    SmartScan(SmartScanReceiver &receiver, SmartScanAudio &audio, MeasurementRequests &requests,
              const QStringList &modeNames, QObject *parent = nullptr);

    // The folder of the archives (default: data/scans of the data folder).
    void setOutputFolder(const QString &folder) { m_folder = folder; }

    // Starts a plan whose audio input already runs: writes the scan_start line, emits
    // preparing(), sets the mode and emits started(); the first step follows from the event
    // loop. False with the status text in *status when the plan is invalid, the archive cannot
    // be written or the mode cannot be set (the archive then ends with a short scan_end).
    bool start(const SmartScanPlan &plan, QString *status);
    // Finishes a running scan as not completed (Stop, input lost, program exit).
    void stop(const QString &message);
    // The measurement result of a request; used only in state 3 for the current request.
    void analysisReady(int request, const AudioAnalysisResult &result);

    bool isRunning() const { return m_state != Idle; }
    State state() const { return m_state; }
    const SmartScanPlan &plan() const { return m_plan; }
    const SmartScanCounters &counters() const { return m_counters; }
    int processed() const { return m_processed; }
    // The archive of the current or last scan.
    QString archivePath() const { return m_archivePath; }
    bool timerActive() const { return m_timer.isActive(); }

signals:
    void logMessage(const QString &message);
    void statusChanged(const QString &message);
    // The archive is open; the mode is about to be set: save the receiver's state.
    void preparing();
    // The mode is set and the run initialised.
    void started();
    // The receiver is on a frequency (Hz).
    void tuned(qint64 hertz);
    // An S-meter reading 0-255, or -1 for none.
    void levelShown(int level);
    // A frequency was completed (processed of points).
    void progressed(int processed);
    // An analysed frequency's archived record (one of the five class keys): a result row.
    void resultRecorded(const QJsonObject &record);
    // The counters changed: refresh the summary.
    void countersChanged();
    // The archive is closed: put the receiver back where it was.
    void restoreRequested();
    // The scan is over; completed when it reached the end. standbyEligible: completed,
    // scan_end written and fewer unreadable frequencies than processed ones.
    void finished(const QString &message, bool completed, bool standbyEligible);

private:
    void step();
    void tuneStep();
    void readLevelStep();
    void nextFrequency();
    bool writeFrequency(QJsonObject record, const QString &outcome, QJsonObject *written = nullptr);
    void finish(const QString &message, bool completed);
    void arm(int delayMs);
    QString readout() const;

    SmartScanReceiver &m_receiver;
    SmartScanAudio &m_audio;
    MeasurementRequests &m_requests;
    QStringList m_modeNames;
    QString m_folder;
    QTimer m_timer;
    SmartScanPlan m_plan;
    SmartScanArchiveWriter m_archive;
    QString m_archivePath;
    State m_state = Idle;
    qint64 m_current = 0;
    int m_attempts = 0;
    int m_consecutiveUnreadable = 0;
    int m_level = -1;
    int m_processed = 0;
    bool m_recordWritten = true;
    SmartScanCounters m_counters;
};
