#pragma once

#include "receivercontrol.h"
#include "receiverpanelui.h"
#include "receiverrequestqueue.h"

#include <QObject>
#include <QTimer>

class CorvinHost;
class Corvindriver;
class LinkRecovery;

// The receiver panel: frequency readout and entry, mode and step lists, tuning dial,
// S-meter, AUTO label, connect and disconnect, the step-by-step Scan, and the request
// queue through which manual requests and the S-meter poll reach the driver.
//
// The window builds the widgets (ReceiverPanelUi) and fills the mode, step and serial
// port lists; the panel owns their behaviour. Frequencies are in Hz (100 kHz - 3 GHz),
// modes are ReceiverMode codes 0-9 (the mode list index), S-meter levels 0-255.
// Every receiver exchange is synchronous and runs on the GUI thread; the Scan keeps
// the event loop alive between its steps.
class ReceiverPanel : public QObject, public ReceiverControl
{
    Q_OBJECT

public:
    static constexpr int pollIntervalMs = 250;
    static constexpr int settleMs = 100; // pause after identification and after a Scan step
    static constexpr qint64 defaultFrequency = 89100000;
    static constexpr int defaultScanThreshold = 18;
    static constexpr int autoModeIndex = 9;

    ReceiverPanel(CorvinHost *host, const ReceiverPanelUi &ui, QObject *parent = nullptr);

    // The serial port list's placeholder when no port is present ("No COM ports
    // available"); the panel does not count it as a port.
    static QString noSerialPortsText();

    // Restores "StandbyOnDisconnect", "SerialPort", "ScanThreshold", "Frequency",
    // "Modulation" and "Step", then makes the panel's connections. Call once, after the
    // window filled the lists and opened the log.
    void restoreSettings();
    // Stores "Frequency", "Modulation", "Step", "SerialPort" and "ScanThreshold".
    void storeSettings();

    // Opens the selected port and identifies the receiver; on success tunes it to the
    // current frequency and mode and starts the poll. Failures are logged.
    bool connectReceiver();
    // Stops the poll and closes the port, sending standby first when forced or when
    // "standbyOnDisconnect" is checked, otherwise the exit command. True only when the
    // standby command succeeded. Disarming anomaly capture is the caller's part.
    bool disconnectReceiver(bool forceStandby);
    // Puts the receiver back on a frequency and mode after an activity; logs failures.
    void restoreReceiver(qint64 frequency, int mode);
    // Enables the panel's own controls for the connection and activity state.
    void updateConnectionUi();

    // True while the port is being reopened after the receiver link was lost.
    bool isReconnecting() const;

    // True while the step-by-step Scan runs (the poll is then silent).
    bool isScanRunning() const { return !m_queue.pollEnabled(); }
    const ReceiverRequestQueue &requestQueue() const { return m_queue; }

    // ReceiverControl
    qint64 currentFrequency() const override { return m_currentFrequency; }
    void setCurrentFrequency(qint64 hertz) override;
    QString frequencyText() const override;
    int modeIndex() const override;
    QString modeText() const override;
    int modeCount() const override;
    QString modeCaption(int index) const override;
    void setModeIndex(int index, bool notify) override;
    QString serialPortName() const override;
    bool hasSerialPort() const override;
    void showSignalLevel(int level) override;
    void queueTune(qint64 hertz) override;
    void clearRequestQueue() override { m_queue.clear(); }
    bool hasPendingTuning() const override;
    void pollSignalLevelSoon() override { m_queue.readLevelOnNextTick(); }
    bool tuneNow(qint64 hertz) override;
    bool setModeNow(int code) override;
    bool readSignalLevelNow(int *level) override;

signals:
    // A connection was made: the window shows the Receiver page.
    void receiverPageRequested();

public slots:
    // openPB: connect when true, otherwise disconnect without forced standby.
    void init(bool ena);
    // Dial detents: steps the frequency by dx times the selected step, within range.
    void deltaFrequency(int dx);
    // Executes the first queued request, if any.
    void processAction();
    // Frequency entry dialog.
    void setFrequency();
    void modulationChanged(int idx);
    // The checkable "Scan" button: searches upward for a level above the threshold.
    void scanner(bool checked);
    void updateAutoLabel();
    void showFrequency();
    // One tick of the 250 ms poll.
    void pollTick();
    // The port failed because the adapter went away: stop what runs, close the port and
    // reopen it every second, for up to 10 minutes.
    void linkLost();

private:
    Corvindriver *driver() const;
    bool anomalyArmed() const;
    // The port is open for the receiver panel's own connection, not for the band scope's
    // service session.
    bool isConnected() const;
    qint64 stepHertz() const;
    void queueIfOpen(const ReceiverRequest &request);
    bool execute(const ReceiverRequest &request);
    bool serveNow(const ReceiverRequest &request);
    void log(const QString &message) const;
    void runScan();
    // After the receiver identified itself: tune it to the current frequency and mode and
    // start the poll.
    void startSession();
    void reconnected();

    CorvinHost *m_host;
    ReceiverPanelUi m_ui;
    ReceiverRequestQueue m_queue;
    QTimer m_pollTimer;
    LinkRecovery *m_recovery = nullptr;
    qint64 m_currentFrequency = defaultFrequency;
};
