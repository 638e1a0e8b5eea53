#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class ActivityRegistry;
class PowerBackend;
class CorvinHost;
class QAbstractButton;
class QLabel;

// Keep-awake while scans run, and the end-of-scan standby: a 15-second countdown in the
// finishing scan's status line, then receiver standby, disconnection, all audio stopped and a
// PC sleep request on a worker of the global thread pool.
//
// Owned by the main window; every member is used on the GUI thread. While a countdown label is
// set (from the start of the countdown until endCountdown), the standby counts as a running
// activity for the main window's one-activity rule.
class ScanStandby : public QObject
{
    Q_OBJECT

public:
    static constexpr int countdownSeconds = 15;

    ScanStandby(CorvinHost &host, std::shared_ptr<PowerBackend> backend, QObject *parent = nullptr);
    ~ScanStandby() override;

    // Holds (true) or drops (false) the keep-awake request. A failure is logged and keeps the
    // previous state, so a later call retries.
    void setKeepAwake(bool on);
    bool keepAwake() const { return m_keepAwake; }

    // Called by a scan when it ends. Unchecks checkBox (the option is per run). With the box
    // checked and success (complete, saved results) the countdown starts on label; otherwise
    // keep-awake is released.
    void finishScanStandby(QAbstractButton *checkBox, QLabel *label, bool success);

    // Called first by a scan's Stop button. Returns true when it cancelled a countdown running
    // on label; the click then does nothing else.
    bool cancelStandby(QLabel *label);

    // Ends the countdown with message in the countdown label and the log.
    void endCountdown(const QString &message);

    // True from the start of a countdown until endCountdown (the sleep request included).
    bool isCountingDown() const { return m_counting; }

    // True while the countdown ticks on label (a Stop button there reads "Cancel standby").
    bool countdownRunsOn(const QLabel *label) const;

    int secondsLeft() const { return m_secondsLeft; }

    // Main-window shutdown: stops the countdown without the sleep and releases keep-awake.
    void shutdown();

    // Registers the countdown as the StandbyCountdown activity and shutdown() as its
    // shutdown step.
    void registerWith(ActivityRegistry &registry);

private:
    void tick();
    void sleepFinished();
    void showOnLabel(const QString &message);
    QString countdownMessage() const;

    CorvinHost &m_host;
    std::shared_ptr<PowerBackend> m_backend;
    bool m_keepAwake = false;
    QTimer m_timer;
    int m_secondsLeft = countdownSeconds;
    bool m_counting = false;
    QPointer<QLabel> m_label;
    QString m_savedText;
    QFutureWatcher<int> m_sleepTask;
};
