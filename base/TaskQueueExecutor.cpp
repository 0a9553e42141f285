#include "TaskQueueExecutor.h"

#include <algorithm>
#include <exception>

namespace qx {

bool TaskQueueExecutor::RunOnMainThread(const std::function<void()>& task, std::stop_token stop) {
    Entry entry{&task};
    std::unique_lock lock(mutex_);
    if (stop.stop_requested()) return false;
    queue_.push_back(&entry);
    queued_.notify_all();
    if (finished_.wait(lock, stop, [&] { return entry.finished; })) return true;
    if (!entry.started) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), &entry));
        return false;
    }
    // The main thread is running it: the task refers to our stack, so wait.
    finished_.wait(lock, [&] { return entry.finished; });
    return true;
}

void TaskQueueExecutor::Run(Entry& entry, std::unique_lock<std::mutex>& lock) {
    entry.started = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
        (*entry.task)();
    } catch (...) {
        failure = std::current_exception();
    }
    lock.lock();
    entry.finished = true;
    finished_.notify_all();
    if (failure) {
        lock.unlock();
        std::rethrow_exception(failure);
    }
}

int TaskQueueExecutor::RunPending() {
    int count = 0;
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        Entry* entry = queue_.front();
        queue_.pop_front();
        Run(*entry, lock);
        if (!lock.owns_lock()) lock.lock();
        ++count;
    }
    return count;
}

bool TaskQueueExecutor::RunOne(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!queued_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) return false;
    Entry* entry = queue_.front();
    queue_.pop_front();
    Run(*entry, lock);
    return true;
}

bool TaskQueueExecutor::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return done();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        RunOne(std::min(left, std::chrono::milliseconds(10)));
    }
    return true;
}

} // namespace qx
