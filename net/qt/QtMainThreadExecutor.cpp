#include "net/qt/QtMainThreadExecutor.h"

#include <QMetaObject>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace qx {

bool TQtMainThreadExecutor::RunOnMainThread(const std::function<void()>& task, std::stop_token stop) {
    struct TState {
        std::mutex Mutex;
        std::condition_variable_any Done;
        bool Started = false;
        bool Finished = false;
        bool Cancelled = false;
        const std::function<void()>* Task;
    };
    auto state = std::make_shared<TState>();
    state->Task = &task;
    if (stop.stop_requested()) return false;
    QMetaObject::invokeMethod(this, [state] {
        {
            std::lock_guard lock(state->Mutex);
            if (state->Cancelled) return;
            state->Started = true;
        }
        try {
            (*state->Task)();
        } catch (...) {
            std::lock_guard lock(state->Mutex);
            state->Finished = true;
            state->Done.notify_all();
            throw;
        }
        std::lock_guard lock(state->Mutex);
        state->Finished = true;
        state->Done.notify_all();
    }, Qt::QueuedConnection);
    std::unique_lock lock(state->Mutex);
    if (state->Done.wait(lock, stop, [&] { return state->Finished; })) return true;
    if (!state->Started) {
        state->Cancelled = true;
        return false;
    }
    // Started before the stop: wait for it to end (the task reads the caller's frame).
    state->Done.wait(lock, [&] { return state->Finished; });
    return true;
}

} // namespace qx
