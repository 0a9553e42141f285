#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/MainThreadExecutor.h"

namespace qx {

// Times display frames. Each frame runs on the main thread through the
// executor (the worker waits for it); then the worker sleeps for what is left
// of the interval. The worker touches no game or drawing data itself.
class TAnimateThread {
public:
    // Frame runs one frame on the main thread and returns the interval (ms)
    // to aim for until the next one.
    TAnimateThread(std::shared_ptr<IMainThreadExecutor> executor, std::function<int32_t()> frame);
    ~TAnimateThread();
    TAnimateThread(const TAnimateThread&) = delete;
    TAnimateThread& operator=(const TAnimateThread&) = delete;

    // Main thread. Safe to call from inside a frame (the object itself must
    // not be destroyed there).
    void Resume();
    void Suspend();
    bool Running() const { return Worker_.joinable() && !Worker_.get_stop_token().stop_requested(); }
    bool InsideFrame() const { return State_->InsideFrame; }

    // How long to sleep after a frame that took Elapsed: the rest of the
    // interval, or nothing when the frame took as long or longer.
    static std::chrono::milliseconds SleepTime(int32_t interval, std::chrono::milliseconds elapsed);

private:
    // What a worker needs, shared so that it never refers back to this object.
    struct TState {
        std::shared_ptr<IMainThreadExecutor> Executor;
        std::function<int32_t()> Frame;
        bool InsideFrame = false;  // main thread only
    };

    static void Loop(std::shared_ptr<TState> state, std::stop_token stop);
    void JoinRetired();

    std::shared_ptr<TState> State_;
    std::jthread Worker_;
    // Stopped workers that could not be joined because the call came from
    // inside their own frame; joined at the next chance.
    std::vector<std::jthread> Retired_;
};

} // namespace qx
