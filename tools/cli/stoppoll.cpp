#include "stoppoll.h"

namespace Cli {

namespace {

constexpr int pollMs = 50;

} // namespace

StopPoll::StopPoll(std::function<void()> onStop)
{
    QObject::connect(&m_timer, &QTimer::timeout, [this, onStop = std::move(onStop)] {
        if (m_signals.requested())
            onStop();
    });
    m_timer.start(pollMs);
}

} // namespace Cli
