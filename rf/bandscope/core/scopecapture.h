#pragma once

#include "scopeclock.h"
#include "scopelinebuffer.h"
#include "scopesetup.h"

#include <QObject>
#include <QString>

class BandScopeHistory;
class QSocketNotifier;
class QTimer;
class ScopePort;
struct ScopeRecord;

// What a capture's end does with the connection; supplied by the tab and by corvin-rxctl.
class ScopeConnection
{
public:
    virtual ~ScopeConnection() = default;
    // Normal connection after a complete frame: end the band-scope stream and put the
    // receiver's mode and tuning back. False with the error text when a step failed.
    virtual bool restore(QString *error) = 0;
    // Closes the port at once without a command: the receiver may still be streaming.
    virtual void isolate() = 0;
};

// What a capture asks for.
struct ScopeRequest
{
    qint64 centreHz = 0; // on the span's grid
    int spanCode = 7;
    bool peakHold = false;   // request "PH1" (peak hold is never switched off)
    bool continuous = false; // "DS" again after every frame until stopped
    bool session = false;    // inside a service session (which is kept after a complete frame)
    bool backToBack = false; // continuous: next "DS" as soon as the frame is complete
    int frameLimit = 0;      // continuous: stop after this many frames (0: until stopped)
};

// The band-scope capture: waits for a quiet line, checks and corrects the receiver's
// band-scope setup with "AM" and the setting commands (ScopeSetup), then requests frames with
// "DS" and parses them (DsFrame) into the ScopeRecord, adding each complete frame to the
// history. Every failure ends the capture by isolating the receiver (the port is closed at
// once); a complete frame keeps the connection: restored tuning on the normal connection, the
// open service session otherwise.
//
// Limits: 350 ms of silence before "AM" (at most 5 s), setup replies settle after 3 s and
// 350 ms of silence (at most 10 s per command), 150 ms of silence after a frame, 60 s per
// frame, 65 536 raw bytes per frame. The line is read without waiting every 30 ms and, when
// the port has a descriptor, as soon as bytes arrive (at most one read per 8 ms).
//
// Messages chosen by language at construction; verifier errors and the log lines are English.
// GUI thread only (or the thread of a command-line tool's event loop).
class ScopeCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr int tickMs = 30;
    static constexpr int readBytes = 4096;
    static constexpr int quietBeforeAmMs = 350;
    static constexpr int quietLimitMs = 4999;
    static constexpr int setupMinimumMs = 3000;
    static constexpr int setupQuietMs = 350;
    static constexpr int setupLimitMs = 10000;
    static constexpr int frameQuietMs = 150;
    static constexpr int dsLimitMs = 59999;
    static constexpr int minReadSpacingMs = 8;

    ScopeCapture(ScopePort &port, ScopeConnection &connection, ScopeRecord &record,
                 BandScopeHistory &history, bool italian, QObject *parent = nullptr);
    ~ScopeCapture() override;

    void setClock(ScopeClock clock) { m_clock = std::move(clock); }

    bool isRunning() const { return m_running; }
    bool isContinuous() const { return m_running && m_request.continuous; }
    bool isStopPending() const { return m_stopPending; }
    bool isWaitingForQuiet() const { return m_waitingForQuiet; }
    bool isFrameProcessed() const { return m_processed; }
    bool isSessionCapture() const { return m_request.session; }
    const ScopeSetup &setup() const { return m_setup; }
    const ScopeRequest &request() const { return m_request; }

    // Starts a capture (the caller has checked that it may). Prepares the record, clears the
    // history when centre or span changed, and waits for a quiet line.
    void start(const ScopeRequest &request);
    // The Stop button: in a continuous capture whose DS is outstanding the first call ends the
    // capture after the current frame; any other call ends it at once ("Stopped by user.").
    void stop();
    // Ends the capture with a message (ignored when none runs).
    void finish(const QString &message);
    // One poll of the line: read, parse, check the clocks. Driven by the capture's timers.
    void tick();

    // The status message for an ending of the list above, e.g. "Stopped on exit.".
    QString text(const char *english, const char *italian) const;

signals:
    void statusChanged(const QString &status);
    // A line was added to the capture log (for the log view).
    void logLine(const QString &line);
    // The log view should show this text instead of what it holds.
    void logReplaced(const QString &text);
    // The history was cleared or grew: the waterfall and plot are out of date.
    void historyChanged();
    // A complete frame was added to the history (after historyChanged).
    void frameAdded();
    // Running, stop pending or setup verification changed: the controls are out of date.
    void stateChanged();
    // The capture ended. complete: the frame was complete; kept: the connection or session
    // stayed open. summary: the status text ("Sweep complete. 4/4 rows; ...").
    void finished(const QString &summary, bool complete, bool kept);

private:
    qint64 nowMs() const { return m_clock.elapsedMs(); }
    void log(const QString &text);
    // Writes a command, ending the capture when that fails.
    void send(const QByteArray &command);
    // Writes a command; false with the reason when the port refused it.
    bool write(const QByteArray &command, QString *error);
    void waitForQuiet();
    void serviceSetup(const QByteArray &bytes);
    void serviceFrame(const QByteArray &bytes);
    void frameComplete();
    void showProgress();
    void process();
    void watchPort(bool on);
    void portReadable();
    QString summary(const QString &message, bool kept, bool isolated) const;

    ScopePort &m_port;
    ScopeConnection &m_connection;
    ScopeRecord &m_record;
    BandScopeHistory &m_history;
    const bool m_italian;
    ScopeClock m_clock;
    QTimer *m_timer = nullptr;
    QTimer *m_rearm = nullptr;
    QSocketNotifier *m_notifier = nullptr;

    ScopeRequest m_request;
    ScopeSetup m_setup;
    bool m_running = false;
    bool m_stopPending = false;
    bool m_processed = false;
    bool m_waitingForQuiet = false;
    qint64 m_txMs = 0;    // since-TX clock: the last command written (or the start)
    qint64 m_quietMs = 0; // quiet clock: the last command or the last bytes read
    qint64 m_dsMs = 0;    // the last "DS" written
    qint64 m_rawBytes = 0;
    int m_frames = 0; // frames completed by this capture

    // Setup replies since the last command.
    ScopeLineBuffer m_setupLines;
    AmStatus m_lastStatus;
    bool m_questionSeen = false;
};
