#include "bandscopeserviceview.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

BandScopeServiceView::BandScopeServiceView(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    auto *top = new QHBoxLayout;
    m_open = new QPushButton(this);
    m_open->setObjectName(QStringLiteral("scopeServiceOpen"));
    m_open->setToolTip(tr("Open an exclusive serial session without automatic tuning, polling or "
                          "commands. Close it before using Connect."));
    auto *description =
        new QLabel(tr("Exclusive serial session for manual receiver commands."), this);
    description->setObjectName(QStringLiteral("scopeServiceDescription"));
    top->addWidget(m_open);
    top->addWidget(description, 1);
    layout->addLayout(top);

    m_commands = new QGroupBox(tr("Serial commands"), this);
    m_commands->setObjectName(QStringLiteral("scopeServiceCommands"));
    auto *grid = new QGridLayout(m_commands);
    auto *quick = new QHBoxLayout;
    const char *const names[] = {"Am", "Cf", "Sw", "Vr", "Ds", "Vf", "Ex"};
    for (const char *name : names) {
        const QString command = QString::fromLatin1(name).toUpper();
        auto *button = new QPushButton(command, m_commands);
        button->setObjectName(QStringLiteral("scopeService") + QLatin1String(name));
        connect(button, &QPushButton::clicked, this,
                [this, command] { emit commandRequested(command); });
        quick->addWidget(button);
    }
    quick->addStretch(1);
    grid->addLayout(quick, 0, 0, 1, 6);

    m_command = new QLineEdit(m_commands);
    m_command->setObjectName(QStringLiteral("scopeServiceCommand"));
    m_command->setMaxLength(80);
    m_command->setPlaceholderText(QStringLiteral("CF98.000 / SW1 / …"));
    auto *commandLabel = new QLabel(tr("Command"), m_commands);
    commandLabel->setBuddy(m_command);
    m_send = new QPushButton(tr("Send"), m_commands);
    m_send->setObjectName(QStringLiteral("scopeServiceSend"));
    connect(m_send, &QPushButton::clicked, this,
            [this] { emit commandRequested(m_command->text()); });
    connect(m_command, &QLineEdit::returnPressed, m_send, &QPushButton::click);

    m_timeout = new QSpinBox(m_commands);
    m_timeout->setObjectName(QStringLiteral("scopeServiceTimeout"));
    m_timeout->setRange(1, 120);
    m_timeout->setValue(3);
    m_timeout->setSuffix(QStringLiteral(" s"));
    m_timeout->setToolTip(
        tr("Observation time for ordinary commands. DS uses at least 60 seconds."));
    auto *timeoutLabel = new QLabel(tr("Timeout"), m_commands);
    timeoutLabel->setBuddy(m_timeout);
    m_clear = new QPushButton(tr("Clear log"), m_commands);
    m_clear->setObjectName(QStringLiteral("scopeServiceClear"));

    grid->addWidget(commandLabel, 1, 0);
    grid->addWidget(m_command, 1, 1);
    grid->addWidget(m_send, 1, 2);
    grid->addWidget(timeoutLabel, 1, 3);
    grid->addWidget(m_timeout, 1, 4);
    grid->addWidget(m_clear, 1, 5);
    grid->setColumnStretch(1, 1);
    layout->addWidget(m_commands);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("bandScopeLog"));
    m_log->setReadOnly(true);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setMaximumBlockCount(maxLogLines);
    m_log->setMinimumHeight(110);
    m_log->setPlaceholderText(tr("Receiver replies and setup diagnostics will appear here."));
    layout->addWidget(m_log, 1);
}

void BandScopeServiceView::appendLog(const QString &line)
{
    m_log->appendPlainText(line);
}

void BandScopeServiceView::setLogText(const QString &text)
{
    m_log->setPlainText(text);
}
