#pragma once

class QFrame;
class QLayout;
class QWidget;
struct ReceiverPanelUi;

// Builds the radio panel `radioPanel` of the Receiver page, left to right: frequency block,
// tuning controls, the audio input peak meter's place, the S-meter block and the dial.
// Fills the mode list (code order) and the step list and records the widgets in ui.
// peakMeterSlot receives the layout where the audio engine's peak meter goes.
QFrame *buildRadioPanel(QWidget *parent, ReceiverPanelUi &ui, QLayout **peakMeterSlot);
