#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the event loop cleanly on SIGINT, SIGTERM, SIGHUP (the terminal that started the
// program closed) and SIGQUIT, so that the main window's shutdown (activities stopped,
// recording finalised, settings stored, receiver released, log closed) runs as when the window
// is closed. The signal handler only sets a flag and writes to a socket pair; the quit happens
// in the event loop. One instance at a time.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

    // True once one of the signals arrived. Work that keeps the event loop busy by itself (a
    // loop that lets events through between its steps) checks this to end at once, since the
    // quit can only take effect after it returns.
    static bool quitRequested();

private:
    static void handle(int signal);
    void quit();

    QSocketNotifier *m_notifier = nullptr;
};
