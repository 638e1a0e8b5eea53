#include "radiopanelview.h"

#include "receivermode.h"
#include "receiverpanelui.h"
#include "rotaryencoder.h"
#include "smeter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The three last captions are written with a capital K.
constexpr const char *stepCaptions[] = {"1 Hz",     "2 Hz",     "5 Hz",    "10 Hz",    "20 Hz",
                                        "50 Hz",    "100 Hz",   "500 Hz",  "1 kHz",    "5 kHz",
                                        "6.25 kHz", "8.33 kHz", "10 kHz",  "12.5 kHz", "25 kHz",
                                        "50 kHz",   "100 KHz",  "200 KHz", "500 KHz"};

QLabel *label(const char *name, const QString &caption, QWidget *parent)
{
    auto *result = new QLabel(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    return result;
}

QVBoxLayout *block(QHBoxLayout *row)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(6);
    row->addLayout(column);
    return column;
}

} // namespace

QFrame *buildRadioPanel(QWidget *parent, ReceiverPanelUi &ui, QLayout **peakMeterSlot)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("radioPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(14, 12, 14, 12);
    row->setSpacing(18);

    QVBoxLayout *frequencyBlock = block(row);
    frequencyBlock->addWidget(
        label("frequencyCaption", QCoreApplication::translate("Corvin", "Tuned frequency"), panel));
    auto *readout = new QHBoxLayout;
    ui.frequency = label("frequency", QStringLiteral("89.100000"), panel);
    readout->addWidget(ui.frequency);
    readout->addWidget(label("frequencyUnit", QCoreApplication::translate("Corvin", "MHz"), panel),
                       0, Qt::AlignBottom);
    readout->addStretch(1);
    frequencyBlock->addLayout(readout);
    frequencyBlock->addStretch(1);

    auto *controls = new QGridLayout;
    row->addLayout(controls);
    QLabel *modulationLB =
        label("modulationLB", QCoreApplication::translate("Corvin", "&Mode"), panel);
    ui.modulationCB = new QComboBox(panel);
    ui.modulationCB->setObjectName(QStringLiteral("modulationCB"));
    for (int code = 0; code < receiverModeCount; ++code)
        ui.modulationCB->addItem(receiverModeName(code));
    ui.modulationCB->setToolTip(QCoreApplication::translate(
        "Corvin", "AUTO uses the receiver's band plan. The app still uses "
                  "the step selected here for the tuning dial."));
    modulationLB->setBuddy(ui.modulationCB);
    QLabel *stepLB = label("stepLB", QCoreApplication::translate("Corvin", "S&tep"), panel);
    ui.stepCB = new QComboBox(panel);
    ui.stepCB->setObjectName(QStringLiteral("stepCB"));
    for (const char *caption : stepCaptions)
        ui.stepCB->addItem(QString::fromLatin1(caption));
    stepLB->setBuddy(ui.stepCB);
    ui.fxPB = new QPushButton(QCoreApplication::translate("Corvin", "Set frequency"), panel);
    ui.fxPB->setObjectName(QStringLiteral("fxPB"));
    ui.scanPB = new QPushButton(QCoreApplication::translate("Corvin", "Scan"), panel);
    ui.scanPB->setObjectName(QStringLiteral("scanPB"));
    ui.scanPB->setCheckable(true);
    ui.effectiveMode = label("effectiveMode", QString(), panel);
    ui.effectiveMode->setVisible(false);
    controls->addWidget(modulationLB, 0, 0);
    controls->addWidget(ui.modulationCB, 0, 1);
    controls->addWidget(stepLB, 1, 0);
    controls->addWidget(ui.stepCB, 1, 1);
    controls->addWidget(ui.fxPB, 2, 0);
    controls->addWidget(ui.scanPB, 2, 1);
    controls->addWidget(ui.effectiveMode, 3, 0, 1, 2);

    QVBoxLayout *peakBlock = block(row);
    peakBlock->addWidget(label("audioPeakCaption",
                               QCoreApplication::translate("Corvin", "Audio input peak"), panel));
    *peakMeterSlot = peakBlock;

    QVBoxLayout *meterBlock = block(row);
    auto *meterHeader = new QHBoxLayout;
    meterHeader->addWidget(
        label("meterCaption", QCoreApplication::translate("Corvin", "Signal strength"), panel));
    meterHeader->addStretch(1);
    ui.level = label("level", QStringLiteral("000"), panel);
    meterHeader->addWidget(ui.level);
    meterBlock->addLayout(meterHeader);
    ui.smeter = new SMeter(panel);
    ui.smeter->setObjectName(QStringLiteral("smeter"));
    meterBlock->addWidget(ui.smeter);

    QVBoxLayout *dialBlock = block(row);
    dialBlock->addWidget(
        label("tuningCaption", QCoreApplication::translate("Corvin", "Tuning"), panel));
    ui.tuning = new RotaryEncoder(panel);
    ui.tuning->setObjectName(QStringLiteral("tuning"));
    ui.tuning->setToolTip(QCoreApplication::translate(
        "Corvin", "Tune with the mouse wheel, arrow keys or by dragging the dial."));
    dialBlock->addWidget(ui.tuning);
    return panel;
}
