#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the event loop cleanly on SIGINT and SIGTERM, so that the main window's shutdown
// (settings, standby, log) runs as when the window is closed. The signal handler only writes
// to a socket pair; the quit happens in the event loop.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    static void handle(int signal);
    void quit();

    QSocketNotifier *m_notifier = nullptr;
};
