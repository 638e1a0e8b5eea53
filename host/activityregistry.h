#pragma once

#include <QObject>
#include <QVector>

#include <functional>

// The long activities of the program. Only one runs at a time: each refuses to start
// unless the main window reports idle.
enum class Activity {
    AnomalyCapture,       // anomaly capture armed
    SyntheticSweep,       // RF synthetic sweep running
    BandScopeAcquisition, // band-scope acquisition running
    BandScopeService,     // band-scope service-mode connection open
    SmartScan,            // Smart Scan running (any non-zero phase)
    RfSweep,              // RF sweep running (any non-zero phase)
    FavoriteMeasurement,  // favourite measurements pending
    StandbyCountdown,     // end-of-scan standby countdown running
    PanelScan,            // the receiver panel's step-by-step Scan
};

// The window's shutdown sequence, in the order the steps run.
enum class ShutdownStep {
    SyntheticSweep,       // stop with "RF synthetic sweep stopped on exit."
    BandScopeAcquisition, // stop with "Stopped on exit."
    BandScopeService,     // close the service connection
    AnomalyCapture,       // disarm
    DspAnalysis,          // wait for a running analysis, remove its temporary folder
    SmartScan,            // stop with "Smart Scan stopped."
    RfSweep,              // stop with "Frequency spectrum sweep stopped on exit."
    FavoriteMeasurement,  // cancel pending measurements
    StandbyCountdown,     // stop the countdown, release keep-awake
    Audio,                // stop all audio, quit the audio thread, close the FFT archive
    AnomalyEvents,        // write the anomaly events the audio thread sent before it stopped
    StoreSettings,        // store the panel, waterfall, Smart Scan and RF sweep settings
    SaveFavorites,        // save "./sys/favorites.xml"
    Disconnect,           // disconnect the receiver (standby if the user asked for it)
};

// Where each activity's owner registers how to read its running flag, how to refresh its
// controls when the connection or activity state changes, and what to do at shutdown.
// The window reads the flags for isIdle, calls the refreshes from updateConnectionUi and
// runs the shutdown steps from its destructor. An entry disappears with its owner object.
// GUI thread only.
class ActivityRegistry : public QObject
{
    Q_OBJECT

public:
    using Flag = std::function<bool()>;
    using Action = std::function<void()>;

    explicit ActivityRegistry(QObject *parent = nullptr);

    // isRunning is read every time the window asks; several owners may share one activity.
    void registerActivity(Activity activity, QObject *owner, Flag isRunning);
    // Called by updateConnectionUi, in registration order.
    void registerControlUpdate(QObject *owner, Action update);
    // Called once by runShutdown, ordered by step, then by registration.
    void registerShutdownStep(ShutdownStep step, QObject *owner, Action action);
    // How to stop an activity on another owner's behalf (the window disarms anomaly
    // capture before it disconnects the receiver).
    void registerStop(Activity activity, QObject *owner, Action stop);

    bool isRunning(Activity activity) const;
    // True when no activity runs.
    bool isIdle() const;
    // True when an activity other than `except` runs.
    bool isOtherRunning(Activity except) const;

    void updateControls() const;
    // Runs every stop action registered for the activity.
    void stop(Activity activity) const;
    // Runs every stop action of every activity (the receiver was lost).
    void stopAll() const;

    // Runs every shutdown step once, in order; later calls do nothing.
    void runShutdown();

private:
    struct FlagEntry
    {
        Activity activity;
        QObject *owner;
        Flag isRunning;
    };
    struct ActionEntry
    {
        int key; // shutdown step or activity, by value
        QObject *owner;
        Action action;
    };

    void forget(QObject *owner);
    void watch(QObject *owner);

    QVector<FlagEntry> m_flags;
    QVector<ActionEntry> m_updates;
    QVector<ActionEntry> m_shutdown;
    QVector<ActionEntry> m_stops;
    bool m_shutdownDone = false;
};
