#include "linkrecovery.h"

#include "corvindriver.h"

#include <QSignalBlocker>

namespace {
constexpr int attemptsPerReport = 60;
}

LinkRecovery::LinkRecovery(Corvindriver &driver, QObject *parent)
    : QObject(parent)
    , m_driver(driver)
{
    m_timer.setInterval(retryMs);
    connect(&m_timer, &QTimer::timeout, this, &LinkRecovery::attempt);
}

void LinkRecovery::setTiming(int retryIntervalMs, int giveUpAfterMs)
{
    m_timer.setInterval(retryIntervalMs);
    m_giveUpMs = giveUpAfterMs;
}

void LinkRecovery::start(const QString &portName)
{
    m_port = portName;
    m_attempts = 0;
    m_since.start();
    m_timer.start();
}

void LinkRecovery::stop()
{
    m_timer.stop();
}

// The first failure and then one a minute are worth a log line.
bool LinkRecovery::reportsThisAttempt() const
{
    return m_attempts % attemptsPerReport == 1;
}

void LinkRecovery::attempt()
{
    if (m_since.elapsed() >= m_giveUpMs) {
        m_timer.stop();
        emit progress(tr("Gave up reconnecting to the receiver on %1 after %n minute(s).", nullptr,
                         m_giveUpMs / 60000)
                          .arg(m_port));
        emit gaveUp();
        return;
    }
    ++m_attempts;
    bool opened = false;
    bool identified = false;
    {
        // Every failed attempt would otherwise report itself once a second.
        const QSignalBlocker quiet(&m_driver);
        opened = m_driver.openPort(m_port);
        identified = opened && m_driver.identify();
        if (!identified)
            m_driver.closePort();
    }
    if (identified) {
        m_timer.stop();
        emit progress(tr("Receiver found again on %1 (attempt %2).").arg(m_port).arg(m_attempts));
        emit recovered();
        return;
    }
    if (!reportsThisAttempt())
        return;
    if (!opened)
        emit progress(
            tr("Reconnecting: %1 cannot be opened yet (attempt %2).").arg(m_port).arg(m_attempts));
    else
        emit progress(tr("Reconnecting: the receiver on %1 does not answer yet (attempt %2).")
                          .arg(m_port)
                          .arg(m_attempts));
}
