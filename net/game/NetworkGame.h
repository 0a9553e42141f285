#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Object.h"
#include "engine/ShipTypes.h"

namespace qx {

class TImpulseDriver;
class TKyrelConnection;
class TKyrelUser;
class TPlayer;
class TQuorvexEngine;
class TRealTimeEngine;
class TdmScripts;

// What the host chose on the new-game setup.
struct TNetworkGameSetup {
    std::string GameName;
    std::string ScenarioFile;  // named in the subject
    std::string ScenarioText;
    int Humans = 2;
    int Computers = 0;
    int32_t CapitalValue = 18;
    int32_t StartingResources = 100;
    std::vector<std::string> BrainFiles;  // one per computer player; missing ones play the default brain
};

// The part of a network game that has no screen: creating and joining game
// subjects, the host's start on BEGINSUBJECT, a joiner's start on GAMEINFO:,
// SHIPTYPES:, GAMECHAT:, the QXUPDATE of the winner, users who leave, and
// what happens when the connection goes. The lobby screen and the game window
// sit on top of it; qxtool netplay drives it headless.
//
// Remote messages are checked: GAMEINFO: is taken only from the subject's
// first user, while waiting to start, once; SHIPTYPES: only for the sender's
// own player and types 0..21. A machine whose player is out of the game
// keeps following the master's changes as an onlooker until the game ends.
class TNetworkGame : public TObject {
public:
    // Own: the game wires the clock's steps to the driver itself (a game
    // without a screen). Wrap: a window has wired them to its presentation
    // already; the network game adds its part around what it finds.
    enum class TWiring { Own, Wrap };

    TNetworkGame(TQuorvexEngine& engine, TdmScripts& scripts, TRealTimeEngine& clock, TKyrelConnection& kyrel,
                 TImpulseDriver& driver, TWiring wiring = TWiring::Own);
    ~TNetworkGame() override;
    TNetworkGame(const TNetworkGame&) = delete;
    TNetworkGame& operator=(const TNetworkGame&) = delete;

    // This machine's selected ship types (six of them in the game).
    TShipTypeSet SelectedShipTypes{TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::EMine,
                                   TShipType::SpyShip, TShipType::Freighter};

    // Messages for the player ("A Player named ... was not found in this Game.").
    std::function<void(const std::string&)> OnMessage;
    // A user of the running game left its subject and was dropped from the
    // clock; none: OnMessage says "<name> has dropped from the Game".
    std::function<void(const std::string& name)> OnUserDropped;
    std::function<void()> OnGameStarted;
    // A game chat addressed to this machine's player.
    std::function<void(const std::string& from, const std::string& text)> OnGameChat;
    // Instead of OnGameChat: every game chat of the running game as it came
    // ("GAMECHAT:" and all), for a window that checks the addressing and its
    // muted players itself.
    std::function<void(const std::string& text, const std::string& from)> OnGameChatData;
    // After every impulse this machine has played or followed.
    std::function<void(int32_t impulse)> OnImpulseDone;
    // The game has a winner; the clock has stopped.
    std::function<void(TPlayer* winner)> OnGameOver;
    // This machine's player is out; the game is followed from here on.
    std::function<void()> OnObserving;
    // The connection is gone (after the clock has been stopped).
    std::function<void()> OnConnectionLost;
    // Starts the clock of a game that has just begun (the clock already
    // knows the connection); none: the clock starts at the engine's impulse.
    std::function<void()> StartClock;
    // Names and equips the computer players once the host's galaxy exists
    // and its humans carry their users' names; none: each computer player
    // takes the next of the setup's brain files.
    std::function<void()> AssignBrains;

    // Host: names the subject after the setup and creates it.
    void CreateGame(const TNetworkGameSetup& setup);
    // Host of a restored game: the engine holds the loaded game, whose
    // player named like this machine's user is the local one. The subject is
    // "~" + the name as a "Restored Game" for the humans still in play.
    // False, with the reason, when no such player is in the game.
    bool CreateRestoredGame(const std::string& gameName, std::string* why = nullptr);
    // Joiner: false with the version message when the game needs another
    // version (a version that cannot be read is another one). The subject
    // this machine is in already is not joined again: a host stays the host.
    bool JoinGame(const std::string& subject, std::string* why = nullptr);
    // A chat room (or the lobby): whatever game this machine hosted is left.
    void JoinRoom(const std::string& name);
    // Stops the clock, then goes back to "Lobby Chat".
    void Leave();
    // Gives up: the surrender order goes to the master like any other.
    void Surrender();
    // One flag per player, then the text.
    void SendGameChat(const std::vector<bool>& addressed, const std::string& text);
    // Ends the game here (an impulse cap): the clock stops, nothing more is followed.
    void Stop();

    // The connection is gone: the clock stops first, then OnConnectionLost.
    void ConnectionLost();

    bool Host() const { return Host_; }
    bool Restored() const { return Restored_; }
    bool Started() const { return Started_; }
    bool Observing() const { return Observing_; }
    bool Over() const { return Over_; }
    TPlayer* Winner() const { return Winner_; }

    // The messages that are not the clock's (its saved handler).
    void HandleData(const std::string& text, const std::string& id);
    // Texts of the game messages.
    static std::string ShipTypesMessage(int playerIndex, TShipTypeSet types);
    static std::string GameChatMessage(const std::vector<bool>& addressed, const std::string& text);
    // The QXUPDATE text for the winner of the engine's game.
    std::string GameResultText(const TPlayer& winner) const;

private:
    void BeginAsHost();
    void TakeGameInfo(const std::string& state, const std::string& from);
    void TakeShipTypes(std::string_view text, const std::string& from);
    void TakeGameChat(std::string_view text, const std::string& from);
    void FollowChanges(const std::string& text, const std::string& from);
    void StartGame();
    void UserLeft(TKyrelUser* user);
    void ClockStopped();
    void AfterImpulse(int32_t impulse);
    void Victory(TPlayer* winner);
    std::string ExpectedMaster() const;
    void Say(const std::string& message) const;

    TQuorvexEngine& Engine_;
    TdmScripts& Scripts_;
    TRealTimeEngine& Clock_;
    TKyrelConnection& Kyrel_;
    TImpulseDriver& Driver_;
    TNetworkGameSetup Setup_;
    bool Host_ = false;
    bool Restored_ = false;
    bool Started_ = false;
    bool GameInfoTaken_ = false;
    bool Observing_ = false;
    bool Over_ = false;
    bool Leaving_ = false;
    bool InAfterProcess_ = false;
    int32_t LastAfterImpulse_ = -1;
    int32_t ObservedImpulse_ = 0;
    TPlayer* Winner_ = nullptr;
    std::vector<std::string> GameUsers_;  // the subject's users when the game started
};

} // namespace qx
