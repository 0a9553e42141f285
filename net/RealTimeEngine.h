#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KyrelUser.h"
#include "LobbyConnection.h"
#include "base/MainThreadExecutor.h"
#include "base/Object.h"

namespace qx {

class TActionThread;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TStringEvent = std::function<void(TObject* Sender, const std::string& Text)>;
using TStringFromEvent = std::function<void(TObject* Sender, const std::string& Text, const std::string& Id)>;
using TUserEvent = std::function<void(TObject* Sender, TKyrelUser* AUser)>;

// The heartbeat of a game. A worker thread times impulses; each step of an
// impulse runs on the main thread through the executor. Solo (no connection):
// one user of its own, always the master. Network: the users of the current
// lobby subject, the first being the master; non-masters send their ORDERS
// line and apply the master's CHANGES.
//
// Remote lines are not trusted: an ORDERS line counts only for the user who
// sent it (its name field must be the sender's), once per impulse; CHANGES
// are taken only from the master and only for the impulse under way. A
// machine that becomes master while it already holds the old master's
// changes for the impulse replays them instead of processing it again.
class TRealTimeEngine : public TObject {
public:
    explicit TRealTimeEngine(std::shared_ptr<IMainThreadExecutor> executor);
    ~TRealTimeEngine() override;
    TRealTimeEngine(const TRealTimeEngine&) = delete;
    TRealTimeEngine& operator=(const TRealTimeEngine&) = delete;

    // Published properties.
    int32_t Impulse() const { return Impulse_; }
    void SetImpulse(int32_t value);  // ignored while active
    int32_t Interval = 0;            // milliseconds per impulse
    char OrderDelimiter = '~';
    ILobbyConnection* KyrelConnection() const { return KyrelConnection_; }
    void SetKyrelConnection(ILobbyConnection* connection);

    TNotifyEvent BeforeProcess;
    TNotifyEvent AfterProcess;
    TStringFromEvent OnCollectOrders;
    TNotifyEvent OnProcessOrders;
    TStringEvent OnProcessStateChange;
    TUserEvent OnUserRemoved;
    TUserEvent OnSoloUserInfo;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Installs the data hook on the connection set now (the owner has wired
    // its own data handler first); a connection set later is not hooked.
    void Loaded();
    // The connection component is going away: forget it and its hook.
    void ConnectionDestroyed(ILobbyConnection* connection);

    bool Active() const { return Active_; }
    void SetActive(bool value);
    bool Paused() const { return *Paused_; }
    void SetPaused(bool value);

    void AddOrder(const std::string& order);
    void AddStateChange(const std::string& change);
    bool IsMaster() const;
    std::string LocalUserName() const;
    int UserCount() const { return static_cast<int>(Users_.size()); }
    TKyrelUser* Users(int i) const { return Users_.at(static_cast<size_t>(i)).get(); }
    void RemoveUser(const std::string& name);
    void DropUser(const std::string& name);

    // Run-time state, readable for tests and tools.
    const std::vector<std::string>& ReceivedOrders() const { return ReceivedOrders_; }
    const std::string& PendingOrders() const { return PendingOrders_; }
    const std::string& PendingChanges() const { return PendingChanges_; }
    // The master's CHANGES line for the current impulse, received and not yet applied.
    const std::string& ReceivedChanges() const { return ReceivedChanges_; }

private:
    friend class TActionThread;

    void HandleData(TObject* sender, const std::string& text, const std::string& id);
    void Deactivate();

    // The main-thread steps of one impulse, called by the worker.
    void StepBeforeProcess(TActionThread& thread);
    void StepBuildLocalLine(TActionThread& thread);
    bool StepCheckOrders(TActionThread& thread);
    void StepPurge();
    // Users of the game with an ORDERS line for the current impulse.
    int UsersWithOrders() const;
    bool IsUser(const std::string& name) const;
    void CollectOrders(TActionThread& thread);
    void ApplyStateChanges(TActionThread& thread);
    void StepProcess(TActionThread& thread);
    void StepRemovals(TActionThread& thread);
    void StepAfterProcess(TActionThread& thread);

    std::shared_ptr<IMainThreadExecutor> Executor_;
    int32_t Impulse_ = 0;
    ILobbyConnection* KyrelConnection_ = nullptr;
    ILobbyConnection* HookedConnection_ = nullptr;
    ILobbyConnection::DataHandler SavedDataHandler_;
    bool Active_ = false;
    // Shared with the worker, which reads it between impulses.
    std::shared_ptr<std::atomic<bool>> Paused_ = std::make_shared<std::atomic<bool>>(false);
    // Shared with the connection: a record the clock holds is never freed
    // under it when the lobby forgets the user.
    std::vector<std::shared_ptr<TKyrelUser>> Users_;
    std::shared_ptr<TKyrelUser> SoloUser_;
    std::vector<std::string> ReceivedOrders_;
    std::string PendingOrders_;
    std::string PendingChanges_;
    std::string ReceivedChanges_;
    std::vector<std::shared_ptr<TKyrelUser>> RemovalQueue_;
    std::shared_ptr<TActionThread> Thread_;
    bool InStep_ = false;
    bool Deactivating_ = false;
};

} // namespace qx
