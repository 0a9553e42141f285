#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/QuorvexEngine.h"

namespace qx {

// Drives the engine through one impulse the way every machine must: the
// steps before, the orders, the processing (master) or the replay of the
// master's changes (other machines), and the steps after. The game window
// wires the clock's callbacks to it; tools run whole impulses with
// RunImpulse. It holds no presentation.
class TImpulseDriver {
public:
    explicit TImpulseDriver(TQuorvexEngine& engine) : Engine_(engine) {}

    // Links the clock to the engine and wires its impulse steps to this
    // driver. A window that presents the game wraps these callbacks after.
    void Attach(TRealTimeEngine& clock);

    // The brain turn of a computer player (master only); filled in by the
    // scripts module.
    std::function<void(TPlayer*)> BrainTurn;
    // Asked to stop the clock: the local player is out of the game.
    std::function<void()> StopClock;

    // Before the impulse that the clock numbers `impulse`.
    void BeforeProcess(int32_t impulse);
    // An order received from the user named `userName`; unknown senders are dropped.
    void CollectOrder(const std::string& text, const std::string& userName);
    // An order of a known player.
    void QueueOrder(TPlayer* player, const std::string& text);
    // Master: the queued orders go in and the impulse is processed.
    void ProcessOrders();
    // Other machines: one change of the master.
    void ApplyChange(const std::string& change) { Engine_.ApplyChange(change); }
    // After the impulse; `impulse` is the clock's number after it advanced.
    void AfterProcess(int32_t impulse);

    // One whole impulse without a clock, numbered by the engine's Impulse;
    // a replaying engine applies `changes` instead of processing.
    void RunImpulse(const std::vector<std::string>& changes = {});

    bool StopRequested() const { return StopRequested_; }

private:
    TQuorvexEngine& Engine_;
    std::vector<std::pair<TPlayer*, std::string>> Queued_;
    bool StopRequested_ = false;
};

} // namespace qx
