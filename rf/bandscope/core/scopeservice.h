#pragma once

#include "scopeclock.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class BandScopeHistory;
class QTimer;
class ScopePort;
struct ScopeRecord;

// The band scope's service session: an exclusive serial connection opened without the normal
// connect sequence, in which the user sends one command at a time and watches the raw replies
// for an observation window (at least 60 s for "DS", whose frame is parsed into the record).
// The session log and its status messages follow the capture's rules; the log lines are
// English, the status messages chosen by language at construction.
//
// The session timer reads the line every 30 ms while the session is open and no capture runs;
// a capture inside the session pauses it. GUI thread only.
class ScopeService : public QObject
{
    Q_OBJECT

public:
    static constexpr int tickMs = 30;
    static constexpr int readBytes = 4096;
    static constexpr int frameQuietMs = 150;
    static constexpr int dsMinimumWindowS = 60;
    static constexpr int maxCommandLength = 80;

    ScopeService(ScopePort &port, ScopeRecord &record, BandScopeHistory &history, bool italian,
                 QObject *parent = nullptr);

    void setClock(ScopeClock clock) { m_clock = std::move(clock); }
    // Observation window of ordinary commands, seconds (1-120).
    void setTimeoutSeconds(int seconds) { m_timeoutS = seconds; }

    bool isOpen() const { return m_open; }
    bool isCommandPending() const { return m_pending; }
    bool isDsPending() const { return m_pending && m_dsPending; }
    QString serviceLog() const { return m_log; }

    // Opens the port without any command. False (status "Cannot open service COM.") when it
    // could not be opened.
    bool open(const QString &portName);
    // Sends one command (trimmed, upper case, printable ASCII only; otherwise ignored) while
    // the session is open and no command is pending. "DS" first prepares a manual frame.
    void sendCommand(const QString &text);
    // One read of the session timer.
    void tick();
    // "Close Scope COM".
    void close();
    // A capture inside the session stops and restarts the session timer.
    void pause();
    void resume();
    // The capture closed the port for isolation: the session is gone without a word.
    void drop();
    // Empties the session log.
    void clearLog() { m_log.clear(); }

signals:
    void statusChanged(const QString &status);
    void logLine(const QString &line);
    void logCleared();
    // A manual "DS" is about to be written: the record was reset.
    void manualFramePrepared();
    // A manual "DS" ended: the record holds its frame.
    void manualFrameEnded();
    void stateChanged();
    // The session closed the port (closed by the user or after a port error).
    void closed();

private:
    void log(const QString &text);
    void endCommand(const QString &message);
    QString text(const char *english, const char *italian) const;

    ScopePort &m_port;
    ScopeRecord &m_record;
    BandScopeHistory &m_history;
    const bool m_italian;
    ScopeClock m_clock;
    QTimer *m_timer = nullptr;
    int m_timeoutS = 3;

    bool m_open = false;
    bool m_pending = false;
    bool m_dsPending = false;
    bool m_paused = false;
    qint64 m_openMs = 0;
    qint64 m_txMs = 0;
    qint64 m_quietMs = 0;
    qint64 m_rawBytes = 0;
    QString m_log;
};
