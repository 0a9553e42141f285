#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/ImpulseDriver.h"
#include "engine/NameGenerator.h"
#include "engine/ShipTypes.h"
#include "game/AutoBuildTable.h"
#include "game/BuildDefaults.h"
#include "game/CommandInput.h"
#include "game/GamePresenter.h"
#include "game/GameSetup.h"

namespace qx {

class IGameMusic;
class IGameSounds;
class ILobbyConnection;
class TGameBoard;
class TKyrelConnection;
class TKyrelUser;
class TNetworkGame;
class TQuorvexEngine;
class TRealTimeEngine;
class TdmScripts;

// What a step that may fail says: nothing on success or when the player
// cancelled, the reason otherwise.
struct TGameResult {
    bool Ok = false;
    std::string Message;
};

// The game part of the main window without its widgets: new game setup,
// starting, loading, saving, pausing and leaving a game, solo or through the
// lobby, and the wiring of the rules engine, the scripts, the impulse clock
// and the board to the command input and the presenter. The window owns the
// parts passed in (they outlive the session), shows what the session's
// models say and answers its questions through the callbacks.
class TGameSession {
public:
    TGameSession(TQuorvexEngine& engine, TdmScripts& scripts, TRealTimeEngine& clock, TGameBoard& board);
    ~TGameSession();
    TGameSession(const TGameSession&) = delete;
    TGameSession& operator=(const TGameSession&) = delete;

    void SetSounds(IGameSounds* sounds);
    void SetMusic(IGameMusic* music);

    // The window's dialogs. AskEmpireName shows "What is the name of your
    // Empire?" (titled "Player Info") and gives the answer, none when
    // cancelled; Confirm asks a yes/no question; ChooseSaveFile shows the
    // save dialog ("Select Save Game File"), empty when cancelled;
    // ShowMessage is a message box.
    std::function<std::optional<std::string>()> AskEmpireName;
    std::function<bool(const std::string&)> Confirm;
    std::function<std::string()> ChooseSaveFile;
    std::function<void(const std::string&)> ShowMessage;

    // Start the board's frame thread with the game (off for boards drawn by
    // hand, as in tests and snapshots).
    bool AnimateBoard = true;
    // The six types the local player may build (the ship type selection).
    TShipTypeSet SelectedShipTypes;

    TGameSetup& Setup() { return Setup_; }
    TBrainSelection& Brains() { return Brains_; }
    TBuildDefaults& BuildDefaults() { return BuildDefaults_; }
    TAutoBuildTable& AutoBuild() { return AutoBuild_; }
    TCommandInput& Input() { return Input_; }
    TGamePresenter& Presenter() { return Presenter_; }
    TImpulseDriver& Driver() { return Driver_; }
    TNameGenerator& BrainNames() { return BrainNames_; }

    // The setup screen's preview: the galaxy of the chosen scenario, made
    // without ship sprites. Fails with the scenario's error.
    TGameResult BuildPreview();
    // "Proceed" in a solo game: the galaxy, the local player (none in a
    // brain duel) with the selected ship types, the brains, and the start.
    // Nothing happens below two players. Logged in (the setup was entered
    // so), it creates the network game named NetworkGameName instead: the
    // game's subject waits in the lobby with this machine as its host, and
    // the galaxy is made, its humans named after the subject's users and its
    // computer players given the brains chosen now, when the server begins it.
    TGameResult Proceed();
    // Starts the game the engine holds: the board shows it, the build list
    // offers the local player's types, the auto-build table is empty, and
    // the clock runs from the game's impulse.
    void StartGame();
    // Replaces the game with a saved one, unless it cannot be read (then the
    // running game is left as it was and the message says why). An empty
    // path is a cancelled dialog and says nothing.
    TGameResult LoadGame(const std::string& path);
    // Saves the game; "       Game Saved       " shows only when it worked.
    TGameResult SaveGame(const std::string& path);
    // "Exit": asks "Exit this Game?" while the game runs, stops it and offers
    // to save it. False when the player stayed. In a running network game
    // with other users it first asks "Do you want to Surrender?": yes sends
    // the surrender and the player stays to see it taken. Leaving a network
    // game goes back to "Lobby Chat".
    bool ExitGame();
    // Stops the clock and the board's animation; true when the clock ran.
    bool StopGame();

    bool Paused() const { return Paused_; }
    // "Pause"/"Resume" (solo only): any command leaves its mode, the panels
    // show nothing, and the centre message says "P A U S E D". A network
    // game never pauses: the other machines would wait on this one.
    void TogglePause();
    std::string PauseCaption() const { return Paused_ ? "Resume" : "Pause"; }

    // "Center on Capital StarSystem": the view, the cursor and the selection
    // go to the local player's capital (nothing without one).
    void CenterOnCapital();
    // An alert button: its star system is shown and selected.
    void AlertClicked(int button);
    // The strategic map: pressing centres the board on the cell and keeps
    // doing so while the pointer moves with the button held; the dragging
    // sound loops meanwhile.
    void MapPress(int32_t cellX, int32_t cellY);
    void MapMove(int32_t cellX, int32_t cellY);
    void MapRelease();
    // Centres the board on a cell and selects what stands there, as a click
    // there would (the lists of the in-game windows). Cells off the map are
    // brought onto it.
    void ShowCell(int32_t cellX, int32_t cellY);

    // ---- Network play ----

    // Plays network games through this lobby connection, which outlives the
    // session: a game that begins is started here with the clock on the
    // connection. The window still answers the network game's events
    // (OnGameStarted, OnConnectionLost and the rest) itself.
    void AttachLobby(TKyrelConnection& kyrel);
    TNetworkGame* Network() const { return Network_.get(); }
    // A network game has begun here and not been left.
    bool InNetworkGame() const;
    // Joins a game's subject with this machine's ship types; false with the
    // version message when the game was made by another version.
    bool JoinNetworkGame(const std::string& subject, std::string* why = nullptr);
    // Sends a data message to the other machines of the running network
    // game; false (nothing sent) in a solo game or without a connection.
    bool SendGameData(const std::string& text);
    // The name the player gave the next network game ("Enter a Name for this Game:").
    std::string NetworkGameName;
    // "Open a Saved Game" in the lobby: the saved game is loaded and its
    // subject, "~" + the file's name, created for the humans still in play;
    // this machine's player is the one named like its user. An empty path
    // is a cancelled dialog.
    TGameResult RestoreNetworkGame(const std::string& path);

    // Names the solo user when the clock starts: "BrainMode" in a brain
    // duel; a new game's local player is asked for its empire name (an
    // empty or cancelled answer takes a generated one); a restored game
    // keeps its name.
    void NameSoloUser(TKyrelUser& user);

private:
    TGameResult CreateNetworkGame();
    // Starts the game the engine holds, with the clock on `lobby` (none: solo).
    void Start(ILobbyConnection* lobby);
    void ForgetGame();
    void CentreView(int32_t cellX, int32_t cellY);
    void Message(const std::string& text);

    TQuorvexEngine& Engine_;
    TdmScripts& Scripts_;
    TRealTimeEngine& Clock_;
    TGameBoard& Board_;
    IGameSounds* Sounds_ = nullptr;
    TGameSetup Setup_;
    TBrainSelection Brains_;
    TBuildDefaults BuildDefaults_;
    TAutoBuildTable AutoBuild_;
    TNameGenerator BrainNames_;
    TImpulseDriver Driver_;
    TCommandInput Input_;
    TGamePresenter Presenter_;
    bool Paused_ = false;
    bool MapDragging_ = false;
    bool OwnsBrainMessages_ = false;
    std::function<void(TObject*)> PreviousClearGame_;
    TKyrelConnection* Kyrel_ = nullptr;
    // The brains chosen when the network game was created, for its begin.
    TBrainSelection NetworkBrains_;
    std::unique_ptr<TNetworkGame> Network_;
};

} // namespace qx
