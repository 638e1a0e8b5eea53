#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class Corvindriver;

// Finds the receiver again after its port went away (Corvindriver::linkLost): every
// retryMs it reopens the same port and identifies the receiver with "VR", until that
// succeeds, stop() is called, or giveUpMs have passed. The driver's own error reports are
// held back during the attempts; progress() tells the steps instead, the repeated failures
// once a minute. Restoring frequency and mode after recovered() is the caller's part.
// GUI thread, like the driver.
class LinkRecovery : public QObject
{
    Q_OBJECT

public:
    static constexpr int retryMs = 1000;
    static constexpr int giveUpMs = 10 * 60 * 1000;

    explicit LinkRecovery(Corvindriver &driver, QObject *parent = nullptr);

    // Starts the attempts on `portName`; the driver's port must be closed.
    void start(const QString &portName);
    // Ends the attempts (the port stays as it is).
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    int attempts() const { return m_attempts; }
    QString portName() const { return m_port; }

    // For tests: shorter intervals.
    void setTiming(int retryIntervalMs, int giveUpAfterMs);

signals:
    // One step for the log.
    void progress(const QString &message);
    // The port is open again and the receiver identified itself.
    void recovered();
    // giveUpMs passed without success; the port is closed.
    void gaveUp();

private:
    void attempt();
    bool reportsThisAttempt() const;

    Corvindriver &m_driver;
    QTimer m_timer;
    QElapsedTimer m_since;
    QString m_port;
    int m_attempts = 0;
    int m_giveUpMs = giveUpMs;
};
