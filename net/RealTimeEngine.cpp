#include "RealTimeEngine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "base/FieldCodec.h"

namespace qx {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The worker of an active clock. It only times and waits; every step that
// touches the clock runs on the main thread, and a step is skipped once a stop
// has been requested, so a stopped clock makes no further callbacks.
class TActionThread : public TObject {
public:
    TActionThread(TRealTimeEngine& clock, std::shared_ptr<IMainThreadExecutor> executor,
                  std::shared_ptr<std::atomic<bool>> paused)
        : Clock_(clock), Executor_(std::move(executor)), Paused_(std::move(paused)) {}

    void Start(std::shared_ptr<TActionThread> self) {
        Thread_ = std::thread([self] { self->Execute(); });
    }

    void RequestStop() { Stop_.request_stop(); }

    // From inside one of our own steps the worker is waiting for us, so it
    // cannot be joined; it ends by itself after the step.
    void Finish(bool fromOwnStep) {
        if (!Thread_.joinable()) return;
        if (fromOwnStep) Thread_.detach();
        else Thread_.join();
    }

    bool Stopped() const { return Stop_.stop_requested(); }

    // Main thread: a line the waiting step looks for has come; the poll
    // need not sleep out its 20 ms.
    void Wake() {
        std::lock_guard lock(WakeMutex_);
        Woken_ = true;
        WakeSignal_.notify_all();
    }

    std::string LocalLine;
    bool OrdersComplete = false;
    bool OwnLineQueued = false;
    bool OwnLineSent = false;
    Clock::time_point StartTime;
    int32_t SleepTime = 0;

private:
    template <typename Step>
    bool Main(Step step) {
        std::function<void()> task = [this, &step] {
            if (Stop_.stop_requested()) return;
            Clock_.InStep_ = true;
            try {
                step();
            } catch (...) {
                Clock_.InStep_ = false;
                throw;
            }
            Clock_.InStep_ = false;
        };
        return Executor_->RunOnMainThread(task, Stop_.get_token()) && !Stop_.stop_requested();
    }

    bool Sleep(int32_t ms) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        wake.wait_for(lock, Stop_.get_token(), milliseconds(ms), [] { return false; });
        return !Stop_.stop_requested();
    }

    // The waiting step's poll: up to Ms, less when woken.
    bool Poll(int32_t ms) {
        std::unique_lock lock(WakeMutex_);
        WakeSignal_.wait_for(lock, Stop_.get_token(), milliseconds(ms), [this] { return Woken_; });
        Woken_ = false;
        return !Stop_.stop_requested();
    }

    void Execute() {
        while (!Stopped()) {
            if (!Main([&] { Clock_.StepBeforeProcess(*this); })) return;
            StartTime = Clock::now();
            if (!Main([&] { Clock_.StepBuildLocalLine(*this); })) return;
            OrdersComplete = OwnLineQueued = OwnLineSent = false;
            // Alone, one check and one 20 ms poll; in a network game the poll
            // ends as soon as a line arrives, and a complete check goes on at once.
            const bool network = Networked_;
            do {
                if (!Main([&] { OrdersComplete = Clock_.StepCheckOrders(*this); })) return;
                if (OrdersComplete && network) break;
                if (!Poll(20)) return;
            } while (!OrdersComplete);
            if (!Main([&] { Clock_.StepPurge(); })) return;
            if (!Main([&] { Clock_.StepProcess(*this); })) return;
            if (SleepTime < 0) SleepTime = 0;
            if (!Main([&] { Clock_.StepRemovals(*this); })) return;
            if (!Main([&] { Clock_.StepAfterProcess(*this); })) return;
            if (!Sleep(SleepTime)) return;
            while (*Paused_ && !Stopped())
                if (!Sleep(100)) return;
        }
    }

    TRealTimeEngine& Clock_;
    std::shared_ptr<IMainThreadExecutor> Executor_;
    std::shared_ptr<std::atomic<bool>> Paused_;
    std::stop_source Stop_;
    std::thread Thread_;
    std::mutex WakeMutex_;
    std::condition_variable_any WakeSignal_;
    bool Woken_ = false;

public:
    bool Networked_ = false;  // set before the thread starts
};

TRealTimeEngine::TRealTimeEngine(std::shared_ptr<IMainThreadExecutor> executor)
    : Executor_(std::move(executor)) {}

TRealTimeEngine::~TRealTimeEngine() {
    Deactivate();
    if (HookedConnection_) HookedConnection_->SetOnDataReceived(SavedDataHandler_);
}

void TRealTimeEngine::SetImpulse(int32_t value) {
    if (!Active_) Impulse_ = value;
}

void TRealTimeEngine::SetKyrelConnection(ILobbyConnection* connection) { KyrelConnection_ = connection; }

void TRealTimeEngine::Loaded() {
    if (!KyrelConnection_ || HookedConnection_) return;
    HookedConnection_ = KyrelConnection_;
    SavedDataHandler_ = HookedConnection_->GetOnDataReceived();
    HookedConnection_->SetOnDataReceived(
        [this](TObject* sender, const std::string& text, const std::string& id) { HandleData(sender, text, id); });
}

void TRealTimeEngine::ConnectionDestroyed(ILobbyConnection* connection) {
    if (KyrelConnection_ == connection) KyrelConnection_ = nullptr;
    if (HookedConnection_ == connection) {
        HookedConnection_ = nullptr;
        SavedDataHandler_ = nullptr;
    }
}

void TRealTimeEngine::SetActive(bool value) {
    if (value == Active_) return;
    if (!value) {
        Deactivate();
        return;
    }
    RemovalQueue_.clear();
    if (KyrelConnection_) {
        Users_ = KyrelConnection_->SubjectUsers();
    } else {
        SoloUser_ = std::make_shared<TKyrelUser>();
        if (OnSoloUserInfo) OnSoloUserInfo(this, SoloUser_.get());
        Users_.push_back(SoloUser_);
    }
    Thread_ = std::make_shared<TActionThread>(*this, Executor_, Paused_);
    Thread_->Networked_ = KyrelConnection_ != nullptr;
    Thread_->Start(Thread_);
    if (OnActivate) OnActivate(this);
    Active_ = true;
}

void TRealTimeEngine::Deactivate() {
    // OnDeactivate may stop the clock again (a handler that ends the game);
    // the deactivation under way covers it.
    if (Deactivating_) return;
    Deactivating_ = true;
    struct TDone {
        bool& flag;
        ~TDone() { flag = false; }
    } done{Deactivating_};
    if (Thread_) {
        Thread_->RequestStop();
        Thread_->Finish(InStep_);
        Thread_.reset();
    }
    if (!Active_) return;
    PendingOrders_.clear();
    PendingChanges_.clear();
    ReceivedChanges_.clear();
    ReceivedOrders_.clear();
    Users_.clear();
    SoloUser_.reset();
    if (OnDeactivate) OnDeactivate(this);
    Active_ = false;
}

void TRealTimeEngine::SetPaused(bool value) { *Paused_ = value; }

void TRealTimeEngine::AddOrder(const std::string& order) {
    PendingOrders_ += order;
    PendingOrders_ += OrderDelimiter;
}

void TRealTimeEngine::AddStateChange(const std::string& change) {
    if (!IsMaster()) return;
    PendingChanges_ += change;
    PendingChanges_ += OrderDelimiter;
}

bool TRealTimeEngine::IsMaster() const {
    return Users_.empty() || !KyrelConnection_ || KyrelConnection_->CurrentUserName() == Users_.front()->UserId;
}

std::string TRealTimeEngine::LocalUserName() const {
    if (KyrelConnection_) return KyrelConnection_->CurrentUserName();
    if (SoloUser_) return SoloUser_->UserId;
    return "User";
}

void TRealTimeEngine::RemoveUser(const std::string& name) {
    auto it = std::find_if(Users_.begin(), Users_.end(), [&](const auto& user) { return user->UserId == name; });
    if (it != Users_.end()) Users_.erase(it);
    if (Thread_) Thread_->Wake();  // the master may now have every line it waits for
}

void TRealTimeEngine::DropUser(const std::string& name) {
    auto it = std::find_if(Users_.begin(), Users_.end(), [&](const auto& user) { return user->UserId == name; });
    if (it != Users_.end()) RemovalQueue_.push_back(*it);
}

void TRealTimeEngine::HandleData(TObject* sender, const std::string& text, const std::string& id) {
    (void)sender;
    std::string_view rest(text);
    const std::string_view kind = NextToken(rest, '|');
    if (Active_ && kind == "ORDERS") {
        // Credited only to its sender, and only once per impulse.
        if (NextToken(rest, '|') != id || !IsUser(id)) return;
        int32_t impulse = 0;
        if (!TextToInt(NextToken(rest, '|'), impulse) || impulse < Impulse_) return;
        for (const std::string& held : ReceivedOrders_) {
            std::string_view line(held);
            NextToken(line, '|');
            if (NextToken(line, '|') != id) continue;
            int32_t heldImpulse = 0;
            if (TextToInt(NextToken(line, '|'), heldImpulse) && heldImpulse == impulse) return;
        }
        ReceivedOrders_.push_back(text);
        if (Thread_) Thread_->Wake();
    } else if (Active_ && kind == "CHANGES") {
        // Only the master's, only for the impulse under way.
        if (IsMaster() || Users_.empty() || Users_.front()->UserId != id) return;
        int32_t impulse = 0;
        if (!TextToInt(NextToken(rest, '|'), impulse) || impulse != Impulse_) return;
        ReceivedChanges_ = text;
        if (Thread_) Thread_->Wake();
    } else if (SavedDataHandler_) {
        // The application's own messages; an idle clock passes everything on.
        SavedDataHandler_(this, text, id);
    }
}

void TRealTimeEngine::StepBeforeProcess(TActionThread& thread) {
    if (BeforeProcess) BeforeProcess(&thread);
}

void TRealTimeEngine::StepBuildLocalLine(TActionThread& thread) {
    thread.LocalLine = "ORDERS|" + LocalUserName() + "|" + std::to_string(Impulse_) + "|" + PendingOrders_;
    PendingOrders_.clear();
}

bool TRealTimeEngine::IsUser(const std::string& name) const {
    return std::any_of(Users_.begin(), Users_.end(), [&](const auto& user) { return user->UserId == name; });
}

int TRealTimeEngine::UsersWithOrders() const {
    int count = 0;
    for (const auto& user : Users_) {
        for (const std::string& whole : ReceivedOrders_) {
            std::string_view line(whole);
            NextToken(line, '|');
            if (NextToken(line, '|') != user->UserId) continue;
            int32_t impulse = 0;
            if (TextToInt(NextToken(line, '|'), impulse) && impulse == Impulse_) {
                ++count;
                break;
            }
        }
    }
    return count;
}

bool TRealTimeEngine::StepCheckOrders(TActionThread& thread) {
    // The master's changes for this impulse are here: replay them, even when
    // this machine has just become the master.
    if (!ReceivedChanges_.empty()) return true;
    if (IsMaster()) {
        if (!thread.OwnLineQueued) {
            ReceivedOrders_.push_back(thread.LocalLine);
            thread.OwnLineQueued = true;
        }
        return UsersWithOrders() >= UserCount();
    }
    if (!thread.OwnLineSent) {
        KyrelConnection_->SendData(thread.LocalLine);
        thread.OwnLineSent = true;
    }
    return false;
}

void TRealTimeEngine::StepPurge() {
    // Lines of past impulses (and lines without an impulse number) go; lines
    // of a later impulse stay for it: a faster machine may already have sent
    // them, and a new master needs them.
    for (size_t i = ReceivedOrders_.size(); i-- > 0;) {
        std::string_view line(ReceivedOrders_[i]);
        NextToken(line, '|');
        NextToken(line, '|');
        int32_t impulse = 0;
        if (!TextToInt(NextToken(line, '|'), impulse) || impulse < Impulse_)
            ReceivedOrders_.erase(ReceivedOrders_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TRealTimeEngine::CollectOrders(TActionThread& thread) {
    // The lines of this impulse are used up; those of a later one wait.
    std::vector<std::string> lines;
    std::vector<std::string> later;
    for (std::string& whole : ReceivedOrders_) {
        std::string_view line(whole);
        NextToken(line, '|');
        NextToken(line, '|');
        int32_t impulse = 0;
        if (TextToInt(NextToken(line, '|'), impulse) && impulse > Impulse_)
            later.push_back(std::move(whole));
        else
            lines.push_back(std::move(whole));
    }
    ReceivedOrders_.swap(later);
    if (!OnCollectOrders) return;
    for (const std::string& whole : lines) {
        std::string_view line(whole);
        NextToken(line, '|');
        const std::string user(NextToken(line, '|'));
        NextToken(line, '|');
        while (!line.empty()) {
            OnCollectOrders(&thread, std::string(NextToken(line, OrderDelimiter)), user);
            if (thread.Stopped()) return;
        }
    }
}

void TRealTimeEngine::ApplyStateChanges(TActionThread& thread) {
    std::string changes;
    changes.swap(ReceivedChanges_);
    if (!OnProcessStateChange) return;
    std::string_view rest(changes);
    NextToken(rest, '|');
    NextToken(rest, '|');
    while (!rest.empty()) {
        OnProcessStateChange(&thread, std::string(NextToken(rest, OrderDelimiter)));
        if (thread.Stopped()) return;
    }
}

void TRealTimeEngine::StepProcess(TActionThread& thread) {
    if (ReceivedChanges_.empty() && IsMaster()) {
        CollectOrders(thread);
        if (thread.Stopped()) return;
        if (OnProcessOrders) OnProcessOrders(&thread);
        if (thread.Stopped()) return;
        // Sent while anyone else is in the game's subject: players whose
        // player is out follow the game to its end.
        if (KyrelConnection_ && (UserCount() > 1 || KyrelConnection_->SubjectUsers().size() > 1))
            KyrelConnection_->SendData("CHANGES|" + std::to_string(Impulse_) + "|" + PendingChanges_);
        PendingChanges_.clear();
    } else {
        ApplyStateChanges(thread);
        if (thread.Stopped()) return;
    }
    ++Impulse_;
    const auto spent = std::chrono::duration_cast<milliseconds>(Clock::now() - thread.StartTime).count();
    thread.SleepTime = static_cast<int32_t>(Interval - spent);
}

void TRealTimeEngine::StepRemovals(TActionThread& thread) {
    while (!RemovalQueue_.empty()) {
        const std::shared_ptr<TKyrelUser> user = RemovalQueue_.front();
        auto it = std::find(Users_.begin(), Users_.end(), user);
        if (it != Users_.end()) {
            if (OnUserRemoved) OnUserRemoved(&thread, user.get());
            if (thread.Stopped()) return;
            if (user->UserId == LocalUserName()) {
                SetActive(false);
                return;
            }
            auto at = std::find(Users_.begin(), Users_.end(), user);
            if (at != Users_.end()) Users_.erase(at);
        }
        RemovalQueue_.erase(RemovalQueue_.begin());
    }
}

void TRealTimeEngine::StepAfterProcess(TActionThread& thread) {
    if (AfterProcess) AfterProcess(&thread);
}

} // namespace qx
