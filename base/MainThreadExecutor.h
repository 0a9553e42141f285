#pragma once

#include <functional>
#include <stop_token>

namespace qx {

// Hands work from a worker thread to the main thread. Workers only time and
// wait; every callback, all game logic and all drawing run on the main thread.
class IMainThreadExecutor {
public:
    virtual ~IMainThreadExecutor() = default;

    // Runs Task on the main thread and blocks until it has run. When Stop is
    // requested before the task started, the task is dropped and false is
    // returned; a task that has started is always waited for.
    virtual bool RunOnMainThread(const std::function<void()>& task, std::stop_token stop) = 0;
};

} // namespace qx
