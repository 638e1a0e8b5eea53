#pragma once

#include "receivermode.h"
#include "serialline.h"

#include <QByteArray>
#include <QMetaType>
#include <QMutex>
#include <QObject>
#include <QString>

// The receiver driver: the serial port, the command/reply exchange with its retry and
// resynchronisation, and the receiver's command set.
//
// Lives on the GUI thread; every operation is synchronous and blocks for the duration
// of its exchanges (an exchange lasts at most about 1.2 s). Frequencies are in Hz,
// modes are ReceiverMode codes 0-9, S-meter levels are 0-255.
//
// lineLock() (not recursive) is held for the whole of every exchange and around every
// raw read or write of line(); the band scope uses line() directly under that lock.
class Corvindriver : public QObject
{
    Q_OBJECT

public:
    // Outcome of one exchange.
    enum class ExchangeResult {
        Ok = 0,        // an acceptable reply line arrived (or silence under SilenceIsSuccess)
        NoReply = 1,   // the reply window closed without an acceptable line or a rejection
        Rejected = 2,  // the receiver answered "?"
        LinkError = 3, // a port operation failed
    };
    Q_ENUM(ExchangeResult)

    // How an exchange treats a missing reply.
    enum class RetryPolicy {
        RetryOnce = 0,        // two attempts, silence is a failure
        SingleTry = 1,        // one attempt, silence is a failure
        SilenceIsSuccess = 2, // one attempt, silence is success
    };
    Q_ENUM(RetryPolicy)

    // The last known receiver state, carried by stateChanged().
    struct State
    {
        quint64 frequency = 0; // Hz; 0 until the first tune
        int mode = 0;          // ReceiverMode code last selected through setMode (0-9)
        int signalLevel = 0;   // last S-meter reading, 0-255
        int effectiveMode = 9; // mode in use: = mode for 0-8; under AUTO the reported code, or 9
    };

    static constexpr int replyWindowMs = 300;
    static constexpr int replyChunkBytes = 64;
    static constexpr int maxLineBytes = 256;
    static constexpr int resyncDrainMs = 100;
    static constexpr quint64 minFrequency = 100000;
    static constexpr quint64 maxFrequency = 3000000000ULL;

    explicit Corvindriver(QObject *parent = nullptr);
    ~Corvindriver() override;

    // Port. openPort() resets state() to frequency 0, mode 0, level 0, effective mode 9
    // (without stateChanged) and clears the signal-level error latch.
    bool openPort(const QString &portName);
    void closePort();
    bool isOpen() const { return m_open; }

    // One command and its awaited reply. `command` is sent as Latin-1 plus CR. With a
    // non-empty `expectedPrefix`, a reply line longer than the prefix and starting with it
    // is accepted (ReplyParser::isPrefixedReply: "VR" needs four characters, only "LM" may
    // differ in letter case); a line that falls short does not end the wait. With an empty
    // prefix only an empty line (the acknowledgement) is accepted; the command "RX" accepts
    // the line carrying the tuned frequency. Outputs may be null.
    // Emits only serialDiagnostic; the caller decides whether to report `error`.
    ExchangeResult exchange(const QString &command, const QByteArray &expectedPrefix,
                            QString *reply, QString *error, RetryPolicy policy,
                            bool *resynchronised = nullptr);

    // Command set. Each returns false on failure, reports it on errorOccurred and leaves
    // the port open; the next exchange then resynchronises the receiver first.
    bool tune(qint64 frequencyHz);           // 100 kHz - 3 GHz, sent rounded down to 100 Hz
    bool setMode(int mode);                  // ReceiverMode code 0-9
    bool queryAuto(bool *autoOn, int *mode); // outputs written only on success
    bool enableAuto(int *mode);              // "AU1", then queryAuto
    // Writes the previous level into `level` first. With `errorText` given the error goes
    // there instead of errorOccurred; without it an error is reported once until a read
    // succeeds again.
    bool readSignalLevel(int *level, QString *errorText = nullptr);
    bool identify(QString *reply = nullptr); // "VR"; a reply of at least 4 characters
    bool standby();                          // "QP"; silence counts as success
    bool sendExit();                         // "EX" written raw, no reply awaited
    // Ends a band-scope stream: "VF", drain until 350 ms quiet (at most 2.5 s), then "RX".
    bool stopScopeStream(QString *errorText = nullptr);

    const State &state() const { return m_state; }
    bool levelErrorLatched() const { return m_levelErrorLatched; }
    bool resyncPending() const { return m_resyncPending; }

    // The raw line and its lock, for callers that talk to the receiver directly.
    SerialLine &line() { return m_line; }
    QMutex &lineLock() { return m_lineLock; }

    // True when the port failed because the device went away (USB adapter unplugged or
    // reset, terminal gone); cleared by openPort.
    bool isLinkLost() const { return m_linkLost; }

signals:
    void errorOccurred(const QString &message);
    void serialDiagnostic(const QString &message);
    void stateChanged(const Corvindriver::State &state);
    // The device went away under an exchange. Emitted once per opened port, after the line
    // lock is released; the port stays open until the owner closes it.
    void linkLost();

private:
    ExchangeResult exchangeLocked(const QString &command, const QByteArray &expectedPrefix,
                                  QString *reply, QString *error, RetryPolicy policy,
                                  bool *resynchronised);
    bool resynchronise(const QString &command, QString *error);
    ExchangeResult attempt(const QString &command, const QByteArray &bytes,
                           const QByteArray &expectedPrefix, QString *reply, QString *error);
    ExchangeResult readReply(const QString &command, const QByteArray &expectedPrefix,
                             QString *reply, QString *error);
    static bool isAcceptable(const QString &command, const QByteArray &expectedPrefix,
                             const QByteArray &line, bool rejected);
    bool acknowledged(const QString &command, QString *error);
    bool confirmTuning(const QString &digits, const QString &diagnostic);
    bool checkAutoAfterTune();
    void reportLevelError(const QString &message, QString *errorText);

    bool m_open = false;
    bool m_levelErrorLatched = false;
    bool m_resyncPending = false;
    bool m_linkLost = false;
    SerialLine m_line;
    State m_state;
    QMutex m_lineLock;
};

Q_DECLARE_METATYPE(Corvindriver::State)
