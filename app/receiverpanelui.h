#pragma once

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class RotaryEncoder;
class SMeter;

// The receiver panel's widgets, built by the main window with their fixed object names and
// captions (the style sheet and the settings keys depend on them), and handed to the
// receiver panel, which owns their behaviour:
//
//   ReceiverPanel(CorvinHost *host, const ReceiverPanelUi &ui, QObject *parent)
//
// ReceiverPanel implements ReceiverControl and gives the window:
//   void restoreSettings();   // "StandbyOnDisconnect", serial port list and "SerialPort",
//                             // "ScanThreshold", "Frequency", "Modulation", "Step"; makes
//                             // its connections (called once the log is open)
//   void storeSettings();     // the panel's keys at shutdown
//   bool disconnectReceiver(bool forceStandby);
//   void restoreReceiver(qint64 frequency, int mode);
//   void updateConnectionUi(); // the panel's own controls; the window then refreshes the tabs
//   void init(bool ena);       // connect / disconnect (openPB)
//
// The mode list and the step list are filled by the window, in code order.
struct ReceiverPanelUi
{
    // Header.
    QLabel *receiverStatus = nullptr;
    // Radio panel.
    QLabel *frequency = nullptr;
    QComboBox *modulationCB = nullptr;
    QComboBox *stepCB = nullptr;
    QPushButton *fxPB = nullptr;
    QPushButton *scanPB = nullptr; // checkable
    QLabel *effectiveMode = nullptr;
    QLabel *level = nullptr;
    SMeter *smeter = nullptr;
    RotaryEncoder *tuning = nullptr;
    // Settings page.
    QComboBox *serialCB = nullptr; // editable: a typed device path is accepted
    QPushButton *openPB = nullptr; // checkable
    QCheckBox *standbyOnDisconnect = nullptr;
    QSpinBox *scanLevelSB = nullptr; // 0-255, initial 18
};
