#include "driverrigbackend.h"

#include "corvindriver.h"
#include "replyparser.h"

DriverRigBackend::DriverRigBackend(Corvindriver &driver, QObject *parent)
    : QObject(parent)
    , m_driver(driver)
{
    connect(&m_driver, &Corvindriver::stateChanged, this, [this](const Corvindriver::State &state) {
        if (state.frequency > 0)
            m_frequency = static_cast<qint64>(state.frequency);
        m_mode = state.mode;
    });
}

bool DriverRigBackend::seedFromReceiver()
{
    QString reply;
    QString digits;
    if (m_driver.exchange(QStringLiteral("RX"), QByteArrayLiteral("RX"), &reply, nullptr,
                          Corvindriver::RetryPolicy::SingleTry) !=
            Corvindriver::ExchangeResult::Ok ||
        !ReplyParser::parseTunedFrequency(reply, &digits))
        return false;
    m_frequency = digits.toLongLong();
    bool autoOn = false;
    int mode = 0;
    if (!m_driver.queryAuto(&autoOn, &mode))
        return false;
    // The driver starts out believing WFM: tell it (and the receiver, harmlessly) the truth.
    return m_driver.setMode(autoOn ? static_cast<int>(ReceiverMode::Auto) : mode);
}

bool DriverRigBackend::restoreReceiver()
{
    const int mode = m_mode;
    const bool tuned = m_frequency <= 0 || m_driver.tune(m_frequency);
    return (mode < 0 || m_driver.setMode(mode)) && tuned;
}

RigBackend::Status DriverRigBackend::status() const
{
    const Corvindriver::State &state = m_driver.state();
    Status status;
    status.online = m_driver.isOpen();
    status.frequency = m_frequency;
    status.mode = state.mode;
    status.effectiveMode = state.effectiveMode;
    status.signalLevel = state.signalLevel;
    return status;
}

RigBackend::Result DriverRigBackend::tune(qint64 hertz)
{
    if (!m_driver.isOpen())
        return Result::Offline;
    return m_driver.tune(hertz) ? Result::Ok : Result::Failed;
}

RigBackend::Result DriverRigBackend::setMode(int code)
{
    if (!m_driver.isOpen())
        return Result::Offline;
    return m_driver.setMode(code) ? Result::Ok : Result::Failed;
}

RigBackend::Result DriverRigBackend::readSignalLevel(int *level)
{
    if (!m_driver.isOpen())
        return Result::Offline;
    return m_driver.readSignalLevel(level) ? Result::Ok : Result::Failed;
}
