#include "net/game/NetworkGame.h"

#include <chrono>

#include "base/FieldCodec.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "net/KyrelConnection.h"
#include "net/RealTimeEngine.h"
#include "net/game/GameSubject.h"
#include "scenario/ScriptsModule.h"

namespace qx {

namespace {

constexpr const char* kGameInfo = "GAMEINFO:";
constexpr const char* kShipTypes = "SHIPTYPES:";
constexpr const char* kGameChat = "GAMECHAT:";

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

double Today() {
    const auto days = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<double>(days.time_since_epoch().count()) + KyrelDate(1970, 1, 1);
}

} // namespace

TNetworkGame::TNetworkGame(TQuorvexEngine& engine, TdmScripts& scripts, TRealTimeEngine& clock,
                           TKyrelConnection& kyrel, TImpulseDriver& driver, TWiring wiring)
    : Engine_(engine), Scripts_(scripts), Clock_(clock), Kyrel_(kyrel), Driver_(driver) {
    Engine_.CharMatrix = Scripts_.MatrixMap;
    Scripts_.Engine = &Engine_;
    if (wiring == TWiring::Own) {
        Driver_.Attach(Clock_);
        Driver_.BrainTurn = [this](TPlayer* player) { Scripts_.BrainTurn(player); };
        Driver_.StopClock = [this] { Clock_.SetActive(false); };
    }
    // Around the steps wired so far (the driver's, or a window's that calls
    // the driver): the impulse is known to be over only after them.
    TRealTimeEngine* clockLink = &Clock_;
    Clock_.AfterProcess = [this, clockLink, previous = Clock_.AfterProcess](TObject* sender) {
        struct TInStep {
            bool& flag;
            explicit TInStep(bool& f) : flag(f) { flag = true; }
            ~TInStep() { flag = false; }
        };
        {
            TInStep inStep(InAfterProcess_);
            if (previous) previous(sender);
        }
        AfterImpulse(clockLink->Impulse());
    };
    Clock_.OnDeactivate = [this, previous = Clock_.OnDeactivate](TObject* sender) {
        if (previous) previous(sender);
        ClockStopped();
    };
    Engine_.OnVictory = [this, previous = Engine_.OnVictory](TObject* sender, TPlayer* winner) {
        if (previous) previous(sender, winner);
        Victory(winner);
    };

    // The application's data handler first, then the clock hooks in before it.
    Kyrel_.SetOnDataReceived([this](TObject*, const std::string& text, const std::string& id) { HandleData(text, id); });
    Kyrel_.OnBeginSubject = [this, previous = Kyrel_.OnBeginSubject](TObject* sender) {
        if (Host_ && !Started_) BeginAsHost();
        if (previous) previous(sender);
    };
    Kyrel_.OnRemoveUser = [this, previous = Kyrel_.OnRemoveUser](TObject* sender, TKyrelUser* user) {
        UserLeft(user);
        if (previous) previous(sender, user);
    };
    // The clock stops before anyone else hears of the loss.
    Kyrel_.OnDisconnected = [this, previous = Kyrel_.OnDisconnected](TObject* sender) {
        ConnectionLost();
        if (previous) previous(sender);
    };
    Kyrel_.OnCustomMessage = [this, previous = Kyrel_.OnCustomMessage](TObject* sender, const std::string& type,
                                                                         const std::string& text) {
        if (type == "QXVERSION") {
            const std::string notice = VersionNotice(text);
            if (!notice.empty()) Say(notice);
        } else if (previous) {
            previous(sender, type, text);  // the history screen's replies
        }
    };
    Clock_.SetKyrelConnection(&Kyrel_);
    Clock_.Loaded();
}

TNetworkGame::~TNetworkGame() {
    Leaving_ = true;
    Clock_.SetActive(false);
    // The connection may outlive this game: its events no longer reach it.
    Kyrel_.OnBeginSubject = nullptr;
    Kyrel_.OnRemoveUser = nullptr;
    Kyrel_.OnDisconnected = nullptr;
}

void TNetworkGame::Say(const std::string& message) const {
    if (OnMessage) OnMessage(message);
}

// --- Subjects ------------------------------------------------------------

void TNetworkGame::CreateGame(const TNetworkGameSetup& setup) {
    Setup_ = setup;
    TGameSubject subject;
    subject.GameName = setup.GameName;
    subject.Scenario = setup.ScenarioFile;
    subject.Players = setup.Humans + setup.Computers;
    subject.Computers = setup.Computers;
    subject.CapitalValue = setup.CapitalValue;
    subject.StartingResources = setup.StartingResources;
    Host_ = true;
    Restored_ = false;
    Started_ = GameInfoTaken_ = Observing_ = Over_ = false;
    Engine_.CurrentPlayer = nullptr;
    Kyrel_.CreateSubject(subject.ToText(), setup.Humans);
}

bool TNetworkGame::CreateRestoredGame(const std::string& gameName, std::string* why) {
    const std::string me = Kyrel_.CurrentUserName();
    TPlayer* local = Engine_.FindPlayerByName(me);
    if (!local || local->Computer) {
        if (why) *why = "A Player named " + me + " was not found in this Game.";
        return false;
    }
    TGameSubject subject;
    subject.GameName = gameName;
    subject.Scenario = "Restored Game";
    subject.Players = Engine_.PlayerCount();
    int humansInPlay = 0;
    for (int i = 0; i < Engine_.PlayerCount(); ++i) {
        const TPlayer* player = Engine_.GetPlayer(i);
        if (player->Computer)
            ++subject.Computers;
        else if (player->Alive)
            ++humansInPlay;
    }
    Engine_.CurrentPlayer = local;
    Setup_ = {};
    Host_ = true;
    Restored_ = true;
    Started_ = GameInfoTaken_ = Observing_ = Over_ = false;
    Kyrel_.CreateSubject(subject.ToText(), humansInPlay);
    return true;
}

bool TNetworkGame::JoinGame(const std::string& subject, std::string* why) {
    // Joining the subject this machine is in sends nothing and changes
    // nothing: the host of a waiting game would otherwise forget it hosts.
    if (subject == Kyrel_.CurrentSubject()) return true;
    if (!TGameSubject::SameVersion(subject)) {
        if (why) *why = TGameSubject::VersionMessage(subject);
        return false;
    }
    Host_ = Restored_ = false;
    Started_ = GameInfoTaken_ = Observing_ = Over_ = false;
    Kyrel_.JoinSubject(subject);
    return true;
}

void TNetworkGame::JoinRoom(const std::string& name) {
    if (name == Kyrel_.CurrentSubject()) return;
    Host_ = Restored_ = false;
    Kyrel_.JoinSubject(name);
}

void TNetworkGame::Leave() {
    Leaving_ = true;
    Clock_.SetActive(false);
    Leaving_ = false;
    Observing_ = false;
    Started_ = false;
    Host_ = Restored_ = false;
    Kyrel_.JoinSubject("Lobby Chat");
}

void TNetworkGame::Stop() {
    Leaving_ = true;
    Clock_.SetActive(false);
    Leaving_ = false;
    Observing_ = false;
}

void TNetworkGame::Surrender() {
    if (Clock_.Active()) Clock_.AddOrder(Tokenize({static_cast<int>(ordSurrender)}, ':'));
}

// --- Starting ------------------------------------------------------------

void TNetworkGame::BeginAsHost() {
    // A restored game is set up already.
    if (!Restored_) {
        try {
            Scripts_.RunScenarioText(Engine_, Setup_.ScenarioText, Setup_.CapitalValue, Setup_.StartingResources,
                                     Setup_.Computers, Setup_.Humans + Setup_.Computers);
        } catch (const std::exception& error) {
            Say(std::string("The Game could not be set up: ") + error.what());
            Host_ = false;
            Kyrel_.JoinSubject("Lobby Chat");
            return;
        }
        // The human players take the subject's users' names in order; users
        // beyond the human players never rename a computer player.
        int user = 0;
        for (int i = 0; i < Engine_.PlayerCount() && user < Kyrel_.UserCount(); ++i) {
            TPlayer* player = Engine_.GetPlayer(i);
            if (!player->Computer) player->Name = Kyrel_.GetUser(user++)->UserId;
        }
        if (AssignBrains) {
            AssignBrains();
        } else {
            int brain = 0;
            for (int i = 0; i < Engine_.PlayerCount(); ++i) {
                TPlayer* player = Engine_.GetPlayer(i);
                if (!player->Computer) continue;
                if (brain < static_cast<int>(Setup_.BrainFiles.size()))
                    player->BrainFile = Setup_.BrainFiles[static_cast<size_t>(brain)];
                ++brain;
            }
        }
    }
    if (!Engine_.CurrentPlayer && Engine_.PlayerCount() > 0) {
        Engine_.CurrentPlayer = Engine_.GetPlayer(0);
        Engine_.CurrentPlayer->ShipTypes = SelectedShipTypes;
    }
    StartGame();
    Kyrel_.SendData(kGameInfo + Engine_.SaveToText());
}

void TNetworkGame::TakeGameInfo(const std::string& state, const std::string& from) {
    // Only the host (the subject's first user) starts a game, only while this
    // machine waits for it, and only once.
    if (Host_ || Started_ || GameInfoTaken_ || Kyrel_.UserCount() == 0 || Kyrel_.GetUser(0)->UserId != from ||
        !TGameSubject::IsGame(Kyrel_.CurrentSubject()))
        return;
    GameInfoTaken_ = true;
    try {
        TSavedGame::Load(state, Engine_);
    } catch (const std::exception& error) {
        Say(std::string("The Game could not be loaded: ") + error.what());
        Kyrel_.JoinSubject("Lobby Chat");
        return;
    }
    const std::string me = Kyrel_.CurrentUserName();
    TPlayer* local = Engine_.FindPlayerByName(me);
    if (!local || local->Computer) {
        Say("A Player named " + me + " was not found in this Game.");
        Kyrel_.JoinSubject("Lobby Chat");
        return;
    }
    Engine_.CurrentPlayer = local;
    if (local->ShipTypes.Empty()) {
        local->ShipTypes = SelectedShipTypes;
        Kyrel_.SendData(ShipTypesMessage(local->Index, SelectedShipTypes));
    }
    bool imbalance = false;
    for (int i = 1; i < Engine_.PlayerCount(); ++i)
        if (Engine_.GetPlayer(i)->TotalResources() != Engine_.GetPlayer(0)->TotalResources()) imbalance = true;
    if (imbalance) {
        std::string warning = "Warning: Resource Imbalance.  ";
        for (int i = 0; i < Engine_.PlayerCount(); ++i)
            warning += Engine_.GetPlayer(i)->Name + "=" + FloatToText(Engine_.GetPlayer(i)->TotalResources()) + " ";
        Say(warning);
    }
    StartGame();
}

void TNetworkGame::StartGame() {
    Scripts_.Engine = &Engine_;
    Engine_.CharMatrix = Scripts_.MatrixMap;
    Engine_.RealTimeEngine = &Clock_;
    Engine_.Replica = false;
    Engine_.UpdateVisibility();
    GameUsers_.clear();
    for (int i = 0; i < Kyrel_.UserCount(); ++i) GameUsers_.push_back(Kyrel_.GetUser(i)->UserId);
    Started_ = true;
    Over_ = Observing_ = false;
    Winner_ = nullptr;
    LastAfterImpulse_ = -1;
    Clock_.SetKyrelConnection(&Kyrel_);
    if (StartClock) {
        StartClock();
    } else {
        Clock_.SetPaused(false);
        Clock_.SetImpulse(Engine_.Impulse);
        Clock_.SetActive(true);
    }
    if (OnGameStarted) OnGameStarted();
}

// --- Messages ------------------------------------------------------------

std::string TNetworkGame::ShipTypesMessage(int playerIndex, TShipTypeSet types) {
    std::string text = std::string(kShipTypes) + std::to_string(playerIndex) + ":";
    for (int t = 0; t < ShipTypeCount; ++t)
        if (types.Contains(static_cast<TShipType>(t))) text += std::to_string(t) + ":";
    return text;
}

std::string TNetworkGame::GameChatMessage(const std::vector<bool>& addressed, const std::string& text) {
    std::string message = kGameChat;
    for (bool flag : addressed) message += flag ? "1:" : "0:";
    return message + text;
}

void TNetworkGame::SendGameChat(const std::vector<bool>& addressed, const std::string& text) {
    Kyrel_.SendData(GameChatMessage(addressed, text));
}

void TNetworkGame::HandleData(const std::string& text, const std::string& id) {
    if (StartsWith(text, kGameInfo)) {
        TakeGameInfo(text.substr(9), id);
    } else if (StartsWith(text, kShipTypes)) {
        TakeShipTypes(std::string_view(text).substr(10), id);
    } else if (StartsWith(text, kGameChat)) {
        if (!OnGameChatData)
            TakeGameChat(std::string_view(text).substr(9), id);
        else if (Started_)
            OnGameChatData(text, id);
    } else if (StartsWith(text, "CHANGES|") && Observing_) {
        FollowChanges(text, id);
    }
}

void TNetworkGame::TakeShipTypes(std::string_view text, const std::string& from) {
    // Each machine names the types of its own player only.
    TPlayer* player = Engine_.FindPlayerByName(from);
    int32_t index = -1;
    if (!Started_ || !player || player->Computer || !TextToInt(NextToken(text, ':'), index) || index != player->Index)
        return;
    TShipTypeSet types;
    while (!text.empty()) {
        int32_t type = -1;
        TShipType shipType;
        if (!TextToInt(NextToken(text, ':'), type) || !ShipTypeFromOrdinal(type, shipType)) return;
        types.Include(shipType);
    }
    player->ShipTypes = types;
}

void TNetworkGame::TakeGameChat(std::string_view text, const std::string& from) {
    const TPlayer* local = Engine_.CurrentPlayer;
    if (!Started_ || !local) return;
    bool addressed = false;
    for (int i = 0; i < Engine_.PlayerCount(); ++i) {
        if (text.find(':') == std::string_view::npos) return;  // a short flag list is addressed to nobody
        const std::string_view flag = NextToken(text, ':');
        if (i == local->Index) addressed = flag == "1";
    }
    if (addressed && OnGameChat) OnGameChat(from, std::string(text));
}

// --- Users and the connection ------------------------------------------------

void TNetworkGame::UserLeft(TKyrelUser* user) {
    if (!Clock_.Active()) return;
    for (int i = 0; i < Clock_.UserCount(); ++i) {
        if (Clock_.Users(i)->UserId != user->UserId) continue;
        Clock_.RemoveUser(user->UserId);
        if (OnUserDropped)
            OnUserDropped(user->UserId);
        else
            Say(user->UserId + " has dropped from the Game");
        return;
    }
}

void TNetworkGame::ConnectionLost() {
    // The clock first: it must not run on with users the connection forgets.
    Leaving_ = true;
    Clock_.SetActive(false);
    Leaving_ = false;
    Observing_ = false;
    Started_ = false;
    Host_ = Restored_ = false;
    if (OnConnectionLost) OnConnectionLost();
}

// --- Impulses ------------------------------------------------------------

void TNetworkGame::AfterImpulse(int32_t impulse) {
    LastAfterImpulse_ = impulse;
    if (OnImpulseDone && !Over_) OnImpulseDone(impulse);
}

void TNetworkGame::Victory(TPlayer* winner) {
    if (Over_ || !Started_) return;
    Over_ = true;
    Winner_ = winner;
    if (winner && winner == Engine_.CurrentPlayer && Kyrel_.Active())
        Kyrel_.SendCustom("QXUPDATE", GameResultText(*winner));
    Leaving_ = true;
    Clock_.SetActive(false);
    Leaving_ = false;
    Observing_ = false;
    if (OnGameOver) OnGameOver(winner);
}

std::string TNetworkGame::GameResultText(const TPlayer& winner) const {
    std::string defeated;
    int brains = 0;
    for (int i = 0; i < Engine_.PlayerCount(); ++i) {
        const TPlayer* player = Engine_.GetPlayer(i);
        if (player == &winner) continue;
        if (player->Computer) {
            ++brains;
            continue;
        }
        if (!defeated.empty()) defeated += ", ";
        defeated += player->Name;
    }
    if (brains == 1) defeated += " and 1 Brain";
    if (brains > 1) defeated += " and " + std::to_string(brains) + " Brains";
    return KyrelDateToText(Today()) + "%" + winner.Name + "%" + defeated + "%" + std::to_string(Clock_.Impulse());
}

void TNetworkGame::ClockStopped() {
    if (Leaving_ || Over_ || !Started_ || Observing_) return;
    TPlayer* local = Engine_.CurrentPlayer;
    if (!local || local->Alive) return;
    // This machine's player is out. The steps after the last impulse were cut
    // short when the clock stopped; finish them, then follow the master's
    // changes like a replica that sends no orders.
    Engine_.RealTimeEngine = nullptr;
    Engine_.Replica = true;
    Observing_ = true;
    ObservedImpulse_ = Clock_.Impulse();
    if (OnObserving) OnObserving();
    if (!InAfterProcess_ && LastAfterImpulse_ != ObservedImpulse_) {
        Driver_.AfterProcess(ObservedImpulse_);
        AfterImpulse(ObservedImpulse_);
    }
}

std::string TNetworkGame::ExpectedMaster() const {
    // The clocks' master: the first user of the game still in the subject
    // whose player is still in the game.
    for (const std::string& name : GameUsers_) {
        if (!Kyrel_.FindUser(name)) continue;
        const TPlayer* player = Engine_.FindPlayerByName(name);
        if (player && player->Alive) return name;
    }
    return {};
}

void TNetworkGame::FollowChanges(const std::string& text, const std::string& from) {
    std::string_view rest(text);
    NextToken(rest, '|');
    int32_t impulse = 0;
    if (!TextToInt(NextToken(rest, '|'), impulse) || impulse != ObservedImpulse_ || from != ExpectedMaster()) return;
    Driver_.BeforeProcess(impulse);
    while (!rest.empty()) Driver_.ApplyChange(std::string(NextToken(rest, Clock_.OrderDelimiter)));
    ObservedImpulse_ = impulse + 1;
    Driver_.AfterProcess(ObservedImpulse_);
    AfterImpulse(ObservedImpulse_);
}

} // namespace qx
