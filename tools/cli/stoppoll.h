#pragma once

#include "cli.h"

#include <QTimer>

#include <functional>

namespace Cli {

// Stop signals for a job that runs on an event loop. While an object of this class lives, the
// signals of StopSignals set its flag; once one has come, onStop runs at each poll (every 50 ms)
// on the thread that made the object, until the object goes. onStop stops the job, so it must do
// nothing once the job no longer runs. Polling starts at construction.
class StopPoll
{
public:
    explicit StopPoll(std::function<void()> onStop);
    StopPoll(const StopPoll &) = delete;
    StopPoll &operator=(const StopPoll &) = delete;

private:
    StopSignals m_signals;
    QTimer m_timer;
};

} // namespace Cli
