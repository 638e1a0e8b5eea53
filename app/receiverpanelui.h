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
// receiver panel (ReceiverPanel), which owns their behaviour. The window fills the mode
// list and the step list (in code order) and the serial port list before the panel
// restores its settings.
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
