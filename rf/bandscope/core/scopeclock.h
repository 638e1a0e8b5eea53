#pragma once

#include <QDateTime>
#include <QElapsedTimer>

#include <functional>
#include <memory>

// Where the band scope reads time: a monotonic millisecond count for its time limits and
// quiet periods, and the wall clock for the frames' time stamps and the log. Tests replace
// both to cover the 5, 10 and 60 s limits without waiting.
struct ScopeClock
{
    std::function<qint64()> elapsedMs;
    std::function<QDateTime()> now; // any time spec; converted where needed

    // The system's monotonic clock and the current time.
    static ScopeClock system()
    {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        return {[timer] { return timer->elapsed(); }, [] { return QDateTime::currentDateTime(); }};
    }
};
