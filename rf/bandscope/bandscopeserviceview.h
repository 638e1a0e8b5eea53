#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// The band scope's "Serial diagnostics" page: the service session's open/close button, the
// quick command buttons, the command line with its Send button and observation time, "Clear
// log", and the log view shared by captures and the session. It emits what the user asks;
// the tab decides. GUI thread only.
class BandScopeServiceView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int maxLogLines = 4000;

    explicit BandScopeServiceView(QWidget *parent = nullptr);

    // Adds a line to the log view, or replaces its whole text.
    void appendLog(const QString &line);
    void setLogText(const QString &text);

    QPushButton *openButton() const { return m_open; }
    QGroupBox *commands() const { return m_commands; }
    QLineEdit *commandLine() const { return m_command; }
    QPushButton *sendButton() const { return m_send; }
    QSpinBox *timeout() const { return m_timeout; }
    QPushButton *clearButton() const { return m_clear; }
    QPlainTextEdit *log() const { return m_log; }

signals:
    // A quick button or Send with the command line's text.
    void commandRequested(const QString &command);

private:
    QPushButton *m_open = nullptr;
    QGroupBox *m_commands = nullptr;
    QLineEdit *m_command = nullptr;
    QPushButton *m_send = nullptr;
    QSpinBox *m_timeout = nullptr;
    QPushButton *m_clear = nullptr;
    QPlainTextEdit *m_log = nullptr;
};
