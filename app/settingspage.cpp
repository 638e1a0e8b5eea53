#include "settingspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QVBoxLayout *slotLayout(QVBoxLayout *parent)
{
    auto *slot = new QVBoxLayout;
    slot->setContentsMargins(0, 0, 0, 0);
    slot->setSpacing(10);
    parent->addLayout(slot);
    return slot;
}

QFrame *panelFrame(const QString &name, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

} // namespace

SettingsPage::SettingsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SettingsContent"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    m_locationSlot = slotLayout(layout);
    layout->addWidget(buildSerialPanel());
    m_sharingSlot = slotLayout(layout);
    layout->addWidget(buildScanPanel());
    m_waterfallSlot = slotLayout(layout);

    auto *openDataFolderPB = new QPushButton(tr("Open log and scan data folder"), this);
    openDataFolderPB->setObjectName(QStringLiteral("openDataFolderPB"));
    connect(openDataFolderPB, &QPushButton::clicked, this, &SettingsPage::openDataFolderRequested);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(openDataFolderPB);
    folderRow->addStretch(1);
    layout->addLayout(folderRow);

    m_languageSlot = slotLayout(layout);

    layout->addWidget(label(QStringLiteral("settingsLogLabel"), tr("Log"), this));
    m_logText = new QPlainTextEdit(this);
    m_logText->setObjectName(QStringLiteral("logText"));
    m_logText->setReadOnly(true);
    m_logText->setMaximumBlockCount(logLines);
    m_logText->setMinimumHeight(220);
    layout->addWidget(m_logText, 1);
}

QWidget *SettingsPage::buildSerialPanel()
{
    QFrame *panel = panelFrame(QStringLiteral("serialPanel"), this);
    auto *grid = new QGridLayout(panel);
    grid->addWidget(label(QStringLiteral("serialTitle"), tr("Receiver connection"), panel), 0, 0, 1,
                    3);
    grid->addWidget(label(QStringLiteral("serialLabel"), tr("Serial port"), panel), 1, 0);
    m_serialCB = new QComboBox(panel);
    m_serialCB->setObjectName(QStringLiteral("serialCB"));
    m_serialCB->setEditable(true);
    m_serialCB->setInsertPolicy(QComboBox::InsertAtTop);
    m_serialCB->setMinimumWidth(220);
    grid->addWidget(m_serialCB, 1, 1);
    m_openPB = new QPushButton(tr("Connect"), panel);
    m_openPB->setObjectName(QStringLiteral("openPB"));
    m_openPB->setCheckable(true);
    grid->addWidget(m_openPB, 1, 2);
    m_standbyOnDisconnect = new QCheckBox(tr("Put receiver in standby on disconnect"), panel);
    m_standbyOnDisconnect->setObjectName(QStringLiteral("standbyOnDisconnect"));
    m_standbyOnDisconnect->setToolTip(
        tr("Send the standby command when disconnecting or closing Corvin. Press STBY on the "
           "receiver to turn it back on."));
    grid->addWidget(m_standbyOnDisconnect, 2, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    return panel;
}

QWidget *SettingsPage::buildScanPanel()
{
    QFrame *panel = panelFrame(QStringLiteral("scanPanel"), this);
    auto *grid = new QGridLayout(panel);
    grid->addWidget(label(QStringLiteral("scanTitle"), tr("Frequency scan"), panel), 0, 0, 1, 2);
    grid->addWidget(label(QStringLiteral("scanLevelLB"), tr("Signal threshold"), panel), 1, 0);
    m_scanLevelSB = new QSpinBox(panel);
    m_scanLevelSB->setObjectName(QStringLiteral("scanLevelSB"));
    m_scanLevelSB->setRange(0, 255);
    m_scanLevelSB->setValue(18);
    grid->addWidget(m_scanLevelSB, 1, 1);
    grid->setColumnStretch(2, 1);
    return panel;
}

void SettingsPage::addLocationPanel(QWidget *panel)
{
    m_locationSlot->addWidget(panel);
}

void SettingsPage::addSharingPanel(QWidget *panel)
{
    m_sharingSlot->addWidget(panel);
}

void SettingsPage::addWaterfallPanel(QWidget *panel)
{
    m_waterfallSlot->addWidget(panel);
}

void SettingsPage::addLanguagePanel(QWidget *panel)
{
    m_languageSlot->addWidget(panel);
}

void SettingsPage::fillPanelUi(ReceiverPanelUi &ui) const
{
    ui.serialCB = m_serialCB;
    ui.openPB = m_openPB;
    ui.standbyOnDisconnect = m_standbyOnDisconnect;
    ui.scanLevelSB = m_scanLevelSB;
}

void SettingsPage::appendLogLine(const QString &line)
{
    m_logText->appendPlainText(line);
}
