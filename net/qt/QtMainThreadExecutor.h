#pragma once

#include <QObject>

#include "base/MainThreadExecutor.h"

namespace qx {

// Hands a worker's task to the Qt event loop of the thread that owns the
// executor and waits for it. The wait ends early when the worker is asked to
// stop before the task began (the task is then dropped), so a main thread
// that stops a worker never waits on a task queued behind itself.
class TQtMainThreadExecutor : public QObject, public IMainThreadExecutor {
public:
    explicit TQtMainThreadExecutor(QObject* parent = nullptr) : QObject(parent) {}
    bool RunOnMainThread(const std::function<void()>& task, std::stop_token stop) override;
};

} // namespace qx
