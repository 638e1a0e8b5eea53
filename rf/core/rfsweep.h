#pragma once

#include "rfsweepcsv.h"
#include "rfsweepplan.h"
#include "rfsweepresults.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class Corvindriver;

// The S-meter sweep: tunes the receiver to each frequency of a plan in turn, waits the settle
// time, reads the S-meter with up to three attempts, writes one CSV line per frequency, keeps
// the results, and at the end writes the HTML report beside the CSV file. The RF sweep tab and
// `corvin-rxctl sweep` both drive it; they supply what is theirs (controls, the receiver
// panel, standby) through the signals below.
//
// One single-shot timer paces the steps and is re-armed only at the end of a step, so steps
// never overlap. Lives on the GUI thread with the driver; every driver call is synchronous.
// Signals are emitted synchronously, in the order the sweep takes its steps.
class RfSweep : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle = 0,    // no sweep
        Tune = 1,    // about to tune
        Measure = 2, // tuned, waiting to read the S-meter
    };
    enum class Outcome { Failure, UserStop, Completed };

    static constexpr int maxAttempts = 3;
    static constexpr int retryDelayMs = 200;
    static constexpr int maxConsecutiveFailures = 3;
    static constexpr int refreshIntervalMs = 200;

    // "Frequency spectrum sweep stopped by user." and the refusal of an invalid plan, for
    // every front end of the sweep; translated.
    static QString stoppedByUserMessage();
    static QString invalidPlanMessage();

    // modeNames: the receiver mode list's texts by code (CSV mode column).
    RfSweep(Corvindriver &driver, const QStringList &modeNames, QObject *parent = nullptr);

    // The folder of the CSV and report files (default: data/rf of the data folder).
    void setOutputFolder(const QString &folder) { m_folder = folder; }

    // Starts a valid plan (fills in the start time): creates the CSV file, logs the start,
    // emits started() and sets the mode; the first step follows from the event loop. When the
    // CSV file cannot be created, logs why and returns false with the status text in
    // *statusMessage; nothing else happens then. A failed mode change finishes the sweep
    // (with a report) and still returns true.
    bool start(const RfSweepPlan &plan, QString *statusMessage);

    // Finishes a running sweep with message as stopped by the user (Stop, window closed,
    // Ctrl-C); nothing when idle.
    void stop(const QString &message);

    bool isRunning() const { return m_state != State::Idle; }
    State state() const { return m_state; }
    const RfSweepResults &results() const { return m_results; }
    // The CSV file of the current or last sweep.
    QString csvPath() const { return m_csvPath; }
    // The last report written; empty until one is written and cleared at every start.
    QString reportPath() const { return m_reportPath; }
    bool timerActive() const { return m_timer.isActive(); }

signals:
    // A line for the application log.
    void logMessage(const QString &message);
    // A line for the status label.
    void statusChanged(const QString &message);
    // The CSV is open and the results are reset: the owner shows the empty results.
    void started();
    // The sweep mode is set: the owner mirrors it and requests keep-awake.
    void modeSet(int mode);
    // The receiver is on a frequency (Hz).
    void tuned(qint64 frequency);
    // An S-meter reading (0-255), or -1 to clear the display.
    void levelShown(int level);
    // A sample was recorded; processed of count().
    void progressed(qint64 processed);
    // Time to redraw the results (at most every 200 ms while running, and at the end).
    void refreshDue();
    // Finish step: the CSV is closed and the state idle; the owner restores the receiver.
    void restoreRequested();
    // The sweep is over; message as shown in the status line, the report written or not.
    void finished(RfSweep::Outcome outcome, const QString &message);

private:
    void step();
    void tuneStep();
    void measureStep();
    bool recordSample(int level, const QString &status);
    void finish(const QString &message, Outcome outcome);
    void maybeRefresh();
    void arm(int delayMs);
    qint64 currentFrequency() const;
    QString frequencyText() const;

    Corvindriver &m_driver;
    QStringList m_modeNames;
    QString m_folder;
    QTimer m_timer;
    QElapsedTimer m_refreshClock;
    State m_state = State::Idle;
    RfSweepPlan m_plan;
    RfSweepResults m_results;
    RfSweepCsv m_csv;
    QString m_csvPath;
    QString m_reportPath;
    int m_attempts = 0;
    int m_consecutiveFailures = 0;
};
