#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace qx {

// Lets components that refer to this one clear their reference when it is
// destroyed. A subscriber removes itself (by its key) when it goes first.
class TFreeNotifier {
public:
    TFreeNotifier() = default;
    TFreeNotifier(const TFreeNotifier&) = delete;
    TFreeNotifier& operator=(const TFreeNotifier&) = delete;

    ~TFreeNotifier() { NotifyFree(); }

    void AddFreeNotification(const void* key, std::function<void()> onFree) {
        RemoveFreeNotification(key);
        Listeners_.emplace_back(key, std::move(onFree));
    }

    void RemoveFreeNotification(const void* key) {
        std::erase_if(Listeners_, [key](const auto& entry) { return entry.first == key; });
    }

protected:
    // Derived classes call this first thing in their destructor, so listeners
    // see a whole object when they unlink themselves.
    void NotifyFree() {
        auto listeners = std::move(Listeners_);
        Listeners_.clear();
        for (auto& entry : listeners) entry.second();
    }

private:
    std::vector<std::pair<const void*, std::function<void()>>> Listeners_;
};

} // namespace qx
