#include "game/GameSession.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/FieldCodec.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "game/GameSounds.h"
#include "net/KyrelConnection.h"
#include "net/KyrelUser.h"
#include "net/RealTimeEngine.h"
#include "net/game/GameSubject.h"
#include "net/game/NetworkGame.h"
#include "render/GameBoard.h"
#include "scenario/ScriptsModule.h"

namespace qx {

namespace {

constexpr const char* kGameSaved = "       Game Saved       ";
// A player who keeps typing unusable names is given one after this many tries.
constexpr int kNameAttempts = 5;

} // namespace

TGameSession::TGameSession(TQuorvexEngine& engine, TdmScripts& scripts, TRealTimeEngine& clock, TGameBoard& board)
    : Engine_(engine),
      Scripts_(scripts),
      Clock_(clock),
      Board_(board),
      Driver_(engine),
      Input_(engine, BuildDefaults_, AutoBuild_),
      Presenter_(engine, board, Driver_, Input_, AutoBuild_, board.PresentationRandom()) {
    BrainNames_.Delimiter = "-";
    BrainNames_.SetSyllables(TNameGenerator::BrainSyllables());
    if (!Engine_.CharMatrix) Engine_.CharMatrix = Scripts_.MatrixMap;
    Scripts_.Engine = &Engine_;

    // The rules' part of each impulse first, then what the player sees.
    Driver_.Attach(Clock_);
    Driver_.BrainTurn = [this](TPlayer* player) { Scripts_.BrainTurn(player); };
    Presenter_.AttachClock(Clock_);
    Presenter_.AttachEngine();
    Presenter_.AttachBoardDrawing();
    Clock_.OnSoloUserInfo = [this](TObject*, TKyrelUser* user) {
        if (user) NameSoloUser(*user);
    };
    // A brain that fails says so, naming the player and its file.
    if (!Scripts_.OnBrainMessage) {
        Scripts_.OnBrainMessage = [this](const std::string& message) { Message(message); };
        OwnsBrainMessages_ = true;
    }

    Input_.Board = &Board_;
    Input_.AddOrder = [this](const std::string& order) { Clock_.AddOrder(order); };
    Input_.ClockRunning = [this] { return Clock_.Active(); };
    Input_.AttachBoard(Board_.Surface());

    // Whatever refers to the old game's objects lets go of them before they
    // are freed (a new galaxy, a loaded game).
    PreviousClearGame_ = Engine_.OnClearGame;
    Engine_.OnClearGame = [this](TObject* sender) {
        if (PreviousClearGame_) PreviousClearGame_(sender);
        ForgetGame();
    };
}

TGameSession::~TGameSession() {
    // The network game lets go of the clock, the engine and the connection first.
    Network_.reset();
    StopGame();
    ForgetGame();
    // The engine, clock and board outlive the session: none of their
    // callbacks may reach it any more.
    Engine_.OnClearGame = PreviousClearGame_;
    if (OwnsBrainMessages_) Scripts_.OnBrainMessage = nullptr;
    Engine_.OnStarShipCreate = nullptr;
    Engine_.OnStarShipDestroy = nullptr;
    Engine_.OnStarShipDamage = nullptr;
    Engine_.OnMoveStarShip = nullptr;
    Engine_.OnWormholeTravel = nullptr;
    Engine_.OnMoveStarSystem = nullptr;
    Engine_.OnCreateJumpGate = nullptr;
    Engine_.OnStarSystemAttack = nullptr;
    Engine_.OnStarSystemConquer = nullptr;
    Engine_.OnPlayerConquered = nullptr;
    Engine_.OnPlayerSurrender = nullptr;
    Engine_.OnVictory = nullptr;
    Clock_.BeforeProcess = nullptr;
    Clock_.AfterProcess = nullptr;
    Clock_.OnCollectOrders = nullptr;
    Clock_.OnProcessOrders = nullptr;
    Clock_.OnProcessStateChange = nullptr;
    Clock_.OnActivate = nullptr;
    Clock_.OnDeactivate = nullptr;
    Clock_.OnSoloUserInfo = nullptr;
    TSquareGridSpriteSurface& surface = Board_.Surface();
    surface.OnCellMouseDown = nullptr;
    surface.OnCellMouseUp = nullptr;
    surface.OnSpriteSelected = nullptr;
    surface.BeforeSpriteRender = nullptr;
    surface.AfterSpriteRender = nullptr;
}

void TGameSession::SetSounds(IGameSounds* sounds) {
    Sounds_ = sounds;
    Input_.Sounds = sounds;
    Presenter_.Sounds = sounds;
}

void TGameSession::SetMusic(IGameMusic* music) { Presenter_.Music = music; }

void TGameSession::Message(const std::string& text) {
    if (ShowMessage && !text.empty()) ShowMessage(text);
}

void TGameSession::ForgetGame() {
    Input_.Reset();
    Presenter_.Reset();
    AutoBuild_.Clear();
    Paused_ = false;
    Clock_.SetPaused(false);
    Board_.Clear();
}

TGameResult TGameSession::BuildPreview() {
    if (Setup_.TotalPlayers() < 2 || Setup_.ScenarioFile.empty()) return {false, ""};
    StopGame();
    struct TPreviewFlag {
        bool& flag;
        explicit TPreviewFlag(bool& f) : flag(f) { flag = true; }
        ~TPreviewFlag() { flag = false; }
    } preview(Presenter_.BuildingPreview);
    try {
        Scripts_.RunScenario(Engine_, Setup_.ScenarioFile, Setup_.CapitalValue(), Setup_.StartingResources(),
                             Setup_.ComputerPlayers(), Setup_.TotalPlayers());
    } catch (const std::exception& error) {
        return {false, error.what()};
    }
    return {true, ""};
}

TGameResult TGameSession::Proceed() {
    Clock_.SetImpulse(1);
    Engine_.SetImpulse(1);
    switch (Setup_.CheckProceed()) {
    case TGameSetup::TProceed::Nothing: return {false, ""};
    case TGameSetup::TProceed::NeedScenario: return {false, TGameSetup::NeedScenarioMessage};
    case TGameSetup::TProceed::Start: break;
    }
    if (Setup_.LoggedIn()) return CreateNetworkGame();
    StopGame();
    try {
        Scripts_.RunScenario(Engine_, Setup_.ScenarioFile, Setup_.CapitalValue(), Setup_.StartingResources(),
                             Setup_.ComputerPlayers(), Setup_.TotalPlayers());
    } catch (const std::exception& error) {
        return {false, error.what()};
    }
    TPlayer* local = Setup_.BrainDuel() ? nullptr : Engine_.PlayerOrNull(0);
    Engine_.SetCurrentPlayer(local);
    if (local) local->ShipTypes = SelectedShipTypes;
    AssignBrains(Engine_, Brains_, BrainNames_, Engine_.RulesRandom);
    StartGame();
    return {true, ""};
}

void TGameSession::StartGame() { Start(nullptr); }

void TGameSession::Start(ILobbyConnection* lobby) {
    StopGame();
    Input_.Reset();
    Presenter_.Reset();
    AutoBuild_.Clear();
    Paused_ = false;
    if (Engine_.VictoryCondition != 0)
        Message("This Scenario has the alternate Victory Condition: " + Engine_.VictoryText());
    Scripts_.Engine = &Engine_;
    Scripts_.BrainFolders = Brains_.Folders;
    Board_.Show(Engine_);
    Engine_.UpdateVisibility();
    Board_.UpdateWormholes();
    Input_.BuildPanel().SetTypes(TBuildPanelModel::TypesOf(Engine_.CurrentPlayer));
    if (AnimateBoard) Board_.Surface().SetActive(true);
    Clock_.SetKyrelConnection(lobby);
    Clock_.SetPaused(false);
    Clock_.SetImpulse(Engine_.Impulse);
    Clock_.SetActive(true);
    if (const TPlayer* local = Engine_.CurrentPlayer)
        if (const TStarSystem* capital = local->Capital()) CentreView(capital->X, capital->Y);
}

TGameResult TGameSession::LoadGame(const std::string& path) {
    if (path.empty()) return {false, ""};
    std::string text;
    try {
        text = TSavedGame::ReadText(path);
        TSavedGame::Check(text);
    } catch (const ESavedGameError& error) {
        return {false, error.what()};
    }
    // The file has proved good: only now does the running game end.
    StopGame();
    try {
        TSavedGame::Load(text, Engine_);
    } catch (const ESavedGameError& error) {
        return {false, error.what()};
    }
    Engine_.SetCurrentPlayer(Engine_.AllComputer() ? nullptr : Engine_.PlayerOrNull(0));
    Scripts_.ResetBrains();
    StartGame();
    return {true, ""};
}

TGameResult TGameSession::SaveGame(const std::string& path) {
    if (path.empty()) return {false, ""};
    try {
        TSavedGame::SaveFile(path, Engine_);
    } catch (const ESavedGameError& error) {
        return {false, error.what()};
    }
    Presenter_.SetMessageLine(kGameSaved);
    return {true, ""};
}

bool TGameSession::StopGame() {
    const bool running = Clock_.Active();
    if (running) Clock_.SetActive(false);
    Board_.Surface().SetActive(false);
    return running;
}

bool TGameSession::ExitGame() {
    const bool running = Clock_.Active();
    const bool network = InNetworkGame();
    // Giving up is the way out of a game others play on; the surrender goes
    // to the master like any order, and the clock stops once it is taken.
    if (running && network && Kyrel_->LoggedIn() && Clock_.UserCount() > 1 && Confirm &&
        Confirm("Do you want to Surrender?")) {
        Network_->Surrender();
        return false;
    }
    if (running && Confirm && !Confirm("Exit this Game?")) return false;
    StopGame();
    if (running && Confirm && Confirm("Do you want to Save this Game?")) {
        const TGameResult saved = SaveGame(ChooseSaveFile ? ChooseSaveFile() : std::string());
        if (!saved.Ok) Message(saved.Message);
    }
    if (network) Network_->Leave();
    return true;
}

void TGameSession::TogglePause() {
    if (!Clock_.Active() || Clock_.KyrelConnection()) return;
    Paused_ = !Paused_;
    Clock_.SetPaused(Paused_);
    if (AnimateBoard) Board_.Surface().SetActive(!Paused_);
    Input_.ShowNothing();
    Presenter_.SetCentreMessage(Paused_ ? "P A U S E D" : "");
}

void TGameSession::CentreView(int32_t cellX, int32_t cellY) {
    // The strategic map reports cells beyond its edges while dragged there.
    cellX = std::clamp(cellX, 0, std::max(Engine_.MapWidth - 1, 0));
    cellY = std::clamp(cellY, 0, std::max(Engine_.MapHeight - 1, 0));
    const TPoint at = TGameBoard::PixelPosition(cellX, cellY);
    Board_.Surface().CenterOn(at.X, at.Y);
}

void TGameSession::CenterOnCapital() {
    const TPlayer* local = Engine_.CurrentPlayer;
    const TStarSystem* capital = local ? local->Capital() : nullptr;
    if (!capital) return;
    CentreView(capital->X, capital->Y);
    Input_.SelectAt(capital->X, capital->Y);
}

void TGameSession::AlertClicked(int button) {
    if (button < 0 || button >= TAlertButtons::Count) return;
    const TAlert& alert = Presenter_.Alerts().Button(button);
    const TStarSystem* system = alert.Visible ? Engine_.StarSystemOrNull(alert.SystemIndex) : nullptr;
    if (!system) return;
    CentreView(system->X, system->Y);
    Input_.SelectAt(system->X, system->Y);
}

void TGameSession::ShowCell(int32_t cellX, int32_t cellY) {
    if (Engine_.MapWidth <= 0 || Engine_.MapHeight <= 0) return;
    cellX = std::clamp(cellX, 0, Engine_.MapWidth - 1);
    cellY = std::clamp(cellY, 0, Engine_.MapHeight - 1);
    CentreView(cellX, cellY);
    Input_.SelectAt(cellX, cellY);
}

void TGameSession::MapPress(int32_t cellX, int32_t cellY) {
    CentreView(cellX, cellY);
    if (!MapDragging_ && Sounds_) Sounds_->StartLoop(TGameSound::Dragging);
    MapDragging_ = true;
}

void TGameSession::MapMove(int32_t cellX, int32_t cellY) {
    if (MapDragging_) CentreView(cellX, cellY);
}

void TGameSession::MapRelease() {
    if (MapDragging_ && Sounds_) Sounds_->StopLoop(TGameSound::Dragging);
    MapDragging_ = false;
}

// ---- Network play ----

void TGameSession::AttachLobby(TKyrelConnection& kyrel) {
    Network_.reset();
    Kyrel_ = &kyrel;
    Network_ = std::make_unique<TNetworkGame>(Engine_, Scripts_, Clock_, kyrel, Driver_, TNetworkGame::TWiring::Wrap);
    Network_->SelectedShipTypes = SelectedShipTypes;
    Network_->StartClock = [this] { Start(Kyrel_); };
    Network_->AssignBrains = [this] { AssignBrains(Engine_, NetworkBrains_, BrainNames_, Engine_.RulesRandom); };
    Network_->OnUserDropped = [this](const std::string& name) {
        Presenter_.SetMessageLine(name + " has dropped from the Game");
    };
    Network_->OnMessage = [this](const std::string& text) { Message(text); };
}

bool TGameSession::InNetworkGame() const { return Network_ && Network_->Started(); }

bool TGameSession::JoinNetworkGame(const std::string& subject, std::string* why) {
    if (!Network_) return false;
    Network_->SelectedShipTypes = SelectedShipTypes;
    return Network_->JoinGame(subject, why);
}

bool TGameSession::SendGameData(const std::string& text) {
    if (!InNetworkGame() || !Kyrel_ || !Kyrel_->LoggedIn()) return false;
    Kyrel_->SendData(text);
    return true;
}

TGameResult TGameSession::CreateNetworkGame() {
    if (!Network_ || !Kyrel_->LoggedIn()) return {false, "You are not logged in to KyrelServer."};
    std::string name;
    std::string refused = CheckSubjectName(NetworkGameName, name, "A Game's name");
    if (!refused.empty()) return {false, refused};
    if (name.empty()) return {false, "Please enter a Name for this Game."};
    // The scenario's file name travels in the game's subject name.
    std::string file;
    refused = CheckSubjectName(std::filesystem::path(Setup_.ScenarioFile).filename().string(), file,
                               "The Scenario file's name", 64);
    if (!refused.empty()) return {false, refused};
    std::ifstream in(Setup_.ScenarioFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in || file.empty()) return {false, "The Scenario file \"" + Setup_.ScenarioFile + "\" could not be read."};

    TNetworkGameSetup setup;
    setup.GameName = name;
    setup.ScenarioFile = file;
    setup.ScenarioText = text.str();
    setup.Humans = Setup_.HumanPlayers();
    setup.Computers = Setup_.ComputerPlayers();
    setup.CapitalValue = Setup_.CapitalValue();
    setup.StartingResources = Setup_.StartingResources();
    NetworkBrains_ = Brains_;
    Network_->SelectedShipTypes = SelectedShipTypes;
    Network_->CreateGame(setup);
    return {true, ""};
}

TGameResult TGameSession::RestoreNetworkGame(const std::string& path) {
    if (path.empty()) return {false, ""};
    if (!Network_ || !Kyrel_->LoggedIn()) return {false, "You are not logged in to KyrelServer."};
    std::string name;
    const std::string refused =
        CheckSubjectName(std::filesystem::path(path).stem().string(), name, "The saved game file's name");
    if (!refused.empty()) return {false, refused};
    std::string text;
    try {
        text = TSavedGame::ReadText(path);
        TSavedGame::Check(text);
    } catch (const ESavedGameError& error) {
        return {false, error.what()};
    }
    StopGame();
    try {
        TSavedGame::Load(text, Engine_);
    } catch (const ESavedGameError& error) {
        return {false, error.what()};
    }
    Scripts_.ResetBrains();
    std::string why;
    if (!Network_->CreateRestoredGame(name, &why)) return {false, why};
    return {true, ""};
}

void TGameSession::NameSoloUser(TKyrelUser& user) {
    TPlayer* local = Engine_.CurrentPlayer;
    if (!local) {
        user.UserId = "BrainMode";
        return;
    }
    if (local->Name == "Player 1") {
        std::string name;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::optional<std::string> answer = AskEmpireName ? AskEmpireName() : std::nullopt;
            if (!answer) break;
            const std::string refused = CheckEmpireName(*answer, name);
            if (refused.empty()) break;
            Message(refused);
        }
        if (name.empty()) name = Scripts_.Names->NewName(Engine_.RulesRandom);
        if (!name.empty()) local->Name = name;
    }
    user.UserId = local->Name;
}

} // namespace qx
