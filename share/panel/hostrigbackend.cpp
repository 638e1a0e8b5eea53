#include "hostrigbackend.h"

#include "corvindriver.h"
#include "corvinhost.h"
#include "receivercontrol.h"

HostRigBackend::HostRigBackend(CorvinHost &host)
    : m_host(host)
{}

RigBackend::Status HostRigBackend::status() const
{
    const Corvindriver *driver = m_host.driver();
    const ReceiverControl &panel = m_host.receiverControl();
    Status status;
    status.online = driver && driver->isOpen();
    status.busy = !m_host.isIdle();
    if (status.online) {
        const Corvindriver::State &state = driver->state();
        // During a sweep the driver knows where the receiver is; the readout does not.
        status.frequency =
            state.frequency > 0 ? static_cast<qint64>(state.frequency) : panel.currentFrequency();
        status.mode = state.mode;
        status.effectiveMode = state.effectiveMode;
        status.signalLevel = state.signalLevel;
    } else {
        status.frequency = panel.currentFrequency();
        status.mode = panel.modeIndex();
        status.effectiveMode = status.mode;
    }
    return status;
}

RigBackend::Result HostRigBackend::availability() const
{
    const Corvindriver *driver = m_host.driver();
    if (!driver || !driver->isOpen())
        return Result::Offline;
    return m_host.isIdle() ? Result::Ok : Result::Busy;
}

RigBackend::Result HostRigBackend::tune(qint64 hertz)
{
    const Result available = availability();
    if (available != Result::Ok)
        return available;
    return m_host.receiverControl().tuneNow(hertz) ? Result::Ok : Result::Failed;
}

RigBackend::Result HostRigBackend::setMode(int code)
{
    const Result available = availability();
    if (available != Result::Ok)
        return available;
    return m_host.receiverControl().setModeNow(code) ? Result::Ok : Result::Failed;
}

RigBackend::Result HostRigBackend::readSignalLevel(int *level)
{
    const Result available = availability();
    if (available != Result::Ok)
        return available;
    return m_host.receiverControl().readSignalLevelNow(level) ? Result::Ok : Result::Failed;
}
