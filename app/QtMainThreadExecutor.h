#pragma once

#include <QPointer>

#include "base/MainThreadExecutor.h"

class QObject;

namespace qx {

// Hands the clock's and the board's work to Qt's main thread: the task is
// queued to the main thread's event loop and the worker blocks until it has
// run. Unlike a plain blocking queued call, the wait also ends when the
// worker is told to stop before the task started (the task is then dropped),
// so a main thread that stops and joins a worker never waits for a task that
// waits for it. Called on the main thread itself, the task runs at once.
class TQtMainThreadExecutor : public IMainThreadExecutor {
public:
    // `context` lives on the main thread (the application object by default);
    // tasks queued after it is gone are dropped.
    explicit TQtMainThreadExecutor(QObject* context = nullptr);

    bool RunOnMainThread(const std::function<void()>& task, std::stop_token stop) override;

private:
    QPointer<QObject> context_;
};

} // namespace qx
