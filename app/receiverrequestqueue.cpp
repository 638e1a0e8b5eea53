#include "receiverrequestqueue.h"

bool ReceiverRequestQueue::processNext(const Executor &execute)
{
    if (m_requests.isEmpty())
        return false;
    const ReceiverRequest request = m_requests.dequeue();
    execute(request);
    return true;
}

bool ReceiverRequestQueue::pollTick(bool otherActivityRunning, bool anomalyArmed,
                                    const Executor &execute)
{
    if (!m_pollEnabled)
        return false;
    if (otherActivityRunning && !anomalyArmed)
        return false;
    processNext(execute);
    if (m_pollCountdown == 0) {
        // Behind any user request still waiting, so user requests keep their order.
        append(ReceiverRequest::signalLevel());
        processNext(execute);
        m_pollCountdown = levelInterval;
    } else {
        --m_pollCountdown;
    }
    return true;
}
