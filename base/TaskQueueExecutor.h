#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "MainThreadExecutor.h"

namespace qx {

// The executor of headless programs and tests: workers queue tasks, and the
// main loop drains the queue.
class TaskQueueExecutor : public IMainThreadExecutor {
public:
    bool RunOnMainThread(const std::function<void()>& task, std::stop_token stop) override;

    // Main thread: runs every queued task; returns how many ran.
    int RunPending();
    // Main thread: waits up to Timeout for one task and runs it.
    bool RunOne(std::chrono::milliseconds timeout);
    // Main thread: runs tasks until Done() is true or Timeout has passed;
    // returns Done().
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    struct Entry {
        const std::function<void()>* task;
        bool started = false;
        bool finished = false;
    };

    void Run(Entry& entry, std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable_any queued_;
    std::condition_variable_any finished_;
    std::deque<Entry*> queue_;
};

} // namespace qx
