#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>

// Runs f on the thread of the audio engine (or any object) and waits for it, returning f's
// result: a blocking queued invocation. An object living on the calling thread (never the case
// for the window's engine, sometimes for a test's) is called directly instead of deadlocking.
// Never call it from the audio thread for an object of another thread that is blocked on this one.
template <typename F> auto callOnAudioThread(QObject *engine, F f)
{
    using Result = decltype(f());
    const bool direct = engine->thread() == QThread::currentThread();
    if constexpr (std::is_void_v<Result>) {
        if (direct)
            f();
        else
            QMetaObject::invokeMethod(engine, f, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        if (direct) {
            result = f();
        } else {
            QMetaObject::invokeMethod(
                engine, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        }
        return result;
    }
}
