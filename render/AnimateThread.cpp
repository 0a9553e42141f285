#include "render/AnimateThread.h"

#include <condition_variable>
#include <mutex>

namespace qx {

TAnimateThread::TAnimateThread(std::shared_ptr<IMainThreadExecutor> executor, std::function<int32_t()> frame)
    : State_(std::make_shared<TState>(TState{std::move(executor), std::move(frame)})) {}

TAnimateThread::~TAnimateThread() {
    Suspend();
    // Still inside a frame: the stopped worker finishes on its own once the
    // frame returns; it holds its own share of the state.
    for (auto& worker : Retired_) worker.detach();
}

std::chrono::milliseconds TAnimateThread::SleepTime(int32_t interval, std::chrono::milliseconds elapsed) {
    const std::chrono::milliseconds left = std::chrono::milliseconds(interval) - elapsed;
    return left > std::chrono::milliseconds(0) ? left : std::chrono::milliseconds(0);
}

void TAnimateThread::Resume() {
    if (Running()) return;
    JoinRetired();
    Worker_ = std::jthread([state = State_](std::stop_token stop) { Loop(state, stop); });
}

void TAnimateThread::Suspend() {
    if (!Worker_.joinable()) return;
    Worker_.request_stop();
    Retired_.push_back(std::move(Worker_));
    JoinRetired();
}

void TAnimateThread::JoinRetired() {
    // A worker blocked on the frame we are inside of cannot finish yet.
    if (State_->InsideFrame) return;
    for (auto& worker : Retired_) worker.join();
    Retired_.clear();
}

void TAnimateThread::Loop(std::shared_ptr<TState> state, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    while (!stop.stop_requested()) {
        const auto start = std::chrono::steady_clock::now();
        int32_t interval = 0;
        const bool ran = state->Executor->RunOnMainThread(
            [&] {
                if (stop.stop_requested()) return;
                struct Guard {
                    bool& flag;
                    ~Guard() { flag = false; }
                } guard{state->InsideFrame};
                state->InsideFrame = true;
                interval = state->Frame();
            },
            stop);
        if (!ran) break;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const auto pause = SleepTime(interval, elapsed);
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, pause, [] { return false; });
    }
}

} // namespace qx
