#include "engine/ImpulseDriver.h"

#include "net/RealTimeEngine.h"

namespace qx {

void TImpulseDriver::Attach(TRealTimeEngine& clock) {
    Engine_.RealTimeEngine = &clock;
    TRealTimeEngine* link = &clock;
    clock.BeforeProcess = [this, link](TObject*) { BeforeProcess(link->Impulse()); };
    clock.OnCollectOrders = [this](TObject*, const std::string& text, const std::string& user) {
        CollectOrder(text, user);
    };
    clock.OnProcessOrders = [this](TObject*) { ProcessOrders(); };
    clock.OnProcessStateChange = [this](TObject*, const std::string& change) { ApplyChange(change); };
    clock.AfterProcess = [this, link](TObject*) { AfterProcess(link->Impulse()); };
}

void TImpulseDriver::BeforeProcess(int32_t impulse) {
    if (Engine_.IsMaster()) {
        // Each computer player thinks once every 10 impulses, in player order.
        const int p = ((impulse % 10) + 10) % 10;
        TPlayer* player = Engine_.PlayerOrNull(p);
        if (player && player->Computer && player->Alive && BrainTurn) {
            BrainTurn(player);
        }
    }
    Engine_.GenerateResources();
    Engine_.UpdateCommandBonus();
}

void TImpulseDriver::CollectOrder(const std::string& text, const std::string& userName) {
    // Orders through the clock come from people; a user who happens to share
    // a computer player's name gives no orders in its name.
    TPlayer* player = Engine_.FindPlayerByName(userName);
    if (player && !player->Computer) QueueOrder(player, text);
}

void TImpulseDriver::QueueOrder(TPlayer* player, const std::string& text) {
    if (player) Queued_.emplace_back(player, text);
}

void TImpulseDriver::ProcessOrders() {
    for (const auto& [player, text] : Queued_) Engine_.SubmitOrder(player, text);
    Queued_.clear();
    Engine_.ProcessImpulse();
}

void TImpulseDriver::AfterProcess(int32_t impulse) {
    Engine_.SetImpulse(impulse);
    Engine_.RemoveDestroyedStarShips();
    Engine_.UpdateVisibility();
    if (!Engine_.AllComputer() && Engine_.CurrentPlayer && !Engine_.CurrentPlayer->Alive) {
        StopRequested_ = true;
        if (StopClock) StopClock();
    }
    Engine_.CheckVictory();
}

void TImpulseDriver::RunImpulse(const std::vector<std::string>& changes) {
    const int32_t impulse = Engine_.Impulse;
    BeforeProcess(impulse);
    if (Engine_.IsMaster()) {
        ProcessOrders();
    } else {
        Queued_.clear();  // only the master carries orders out
        for (const std::string& change : changes) Engine_.ApplyChange(change);
    }
    AfterProcess(impulse + 1);
}

} // namespace qx
