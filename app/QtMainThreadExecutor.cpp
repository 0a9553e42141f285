#include "app/QtMainThreadExecutor.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace qx {

namespace {

// What the worker and the queued call share; either may outlive the other.
struct THandover {
    std::mutex Mutex;
    std::condition_variable_any Done;
    const std::function<void()>* Task = nullptr;
    bool Started = false;
    bool Finished = false;
    bool Cancelled = false;

    void Finish() {
        std::lock_guard lock(Mutex);
        Finished = true;
        Done.notify_all();
    }
};

// Shared only by the copies of the queued call: when the last copy goes
// without having run (Qt dropped the call because its context went away),
// the worker is released.
struct TCallGuard {
    std::shared_ptr<THandover> H;
    explicit TCallGuard(std::shared_ptr<THandover> handover) : H(std::move(handover)) {}
    TCallGuard(const TCallGuard&) = delete;
    TCallGuard& operator=(const TCallGuard&) = delete;
    ~TCallGuard() {
        std::lock_guard lock(H->Mutex);
        if (!H->Started) {
            H->Cancelled = true;
            H->Done.notify_all();
        }
    }
};

} // namespace

TQtMainThreadExecutor::TQtMainThreadExecutor(QObject* context)
    : context_(context ? context : QCoreApplication::instance()) {}

bool TQtMainThreadExecutor::RunOnMainThread(const std::function<void()>& task, std::stop_token stop) {
    QObject* context = context_.data();
    if (!context || stop.stop_requested()) return false;
    if (QThread::currentThread() == context->thread()) {
        task();
        return true;
    }
    auto handover = std::make_shared<THandover>();
    handover->Task = &task;
    QMetaObject::invokeMethod(
        context,
        [guard = std::make_shared<TCallGuard>(handover)]() {
            THandover& h = *guard->H;
            {
                std::lock_guard lock(h.Mutex);
                if (h.Cancelled) return;
                h.Started = true;
            }
            // The worker waits for this call, so its task (on the worker's
            // stack) is alive until Finish.
            struct TFinish {
                THandover& H;
                ~TFinish() { H.Finish(); }
            } finish{h};
            (*h.Task)();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(handover->Mutex);
    if (handover->Done.wait(lock, stop, [&] { return handover->Finished || handover->Cancelled; }))
        return handover->Finished;
    if (!handover->Started) {
        // Stopped before the main thread took it: it will never run.
        handover->Cancelled = true;
        return false;
    }
    handover->Done.wait(lock, [&] { return handover->Finished; });
    return true;
}

} // namespace qx
