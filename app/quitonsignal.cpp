#include "quitonsignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_sockets[2] = {-1, -1};
volatile std::sig_atomic_t g_quitRequested = 0;
constexpr int quitSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
} // namespace

QuitOnSignal::QuitOnSignal(QObject *parent)
    : QObject(parent)
{
    g_quitRequested = 0;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0)
        return;
    m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::quit);
    struct sigaction action = {};
    action.sa_handler = &QuitOnSignal::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : quitSignals)
        sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal()
{
    if (!m_notifier)
        return;
    for (int signal : quitSignals)
        std::signal(signal, SIG_DFL);
    ::close(g_sockets[0]);
    ::close(g_sockets[1]);
    g_sockets[0] = g_sockets[1] = -1;
}

bool QuitOnSignal::quitRequested()
{
    return g_quitRequested != 0;
}

void QuitOnSignal::handle(int)
{
    g_quitRequested = 1;
    const char byte = 1;
    // Async-signal-safe: only write(2) here.
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &byte, 1);
}

void QuitOnSignal::quit()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_sockets[1], &byte, 1);
    QCoreApplication::quit();
}
