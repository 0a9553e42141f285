#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "game/AlertButtons.h"
#include "game/SelectionPanels.h"
#include "render/SpriteEvents.h"

namespace qx {

class IGameMusic;
class IGameSounds;
class PlatformCanvas;
class TAutoBuildTable;
class TCommandInput;
class TDIBCanvas;
class TGameBoard;
class TImpulseDriver;
class TPlayer;
class TQuorvexEngine;
class TRandom;
class TRealTimeEngine;
class TStarShip;
class TStarSystem;
class TWormhole;
enum class TGameSound : int;

// The impulse sound flags: what happened this impulse that the local player
// should hear.
enum TImpulseSoundFlag : uint8_t {
    sfShipDestroyed = 1,   // a ship the local player sees was destroyed
    sfShipDamaged = 2,     // such a ship was damaged
    sfSystemAttacked = 4,  // a star system the local player sees was attacked
    sfConquered = 8,       // the local player conquered a system or won
    sfWormhole = 16,       // a ship of the local player went through a wormhole
    sfCapital = 32,        // the local player's capital was attacked, or the player was conquered
};

// Presents the game around the rules: after the driver's steps of each
// impulse it moves sprites, sets off effects, plays the impulse's one sound,
// shows centre messages, the message line, alerts and readouts, queues the
// automatic build orders, and stops the clock on defeat or after a victory.
// Engine events reach it through the handlers below. Everything it shows is
// plain data the window reads when OnChanged fires; it draws the order lines
// and the centre message into the board's frame itself.
class TGamePresenter {
public:
    TGamePresenter(TQuorvexEngine& engine, TGameBoard& board, TImpulseDriver& driver, TCommandInput& input,
                   TAutoBuildTable& autoBuild, TRandom& presentation);
    TGamePresenter(const TGamePresenter&) = delete;
    TGamePresenter& operator=(const TGamePresenter&) = delete;

    IGameSounds* Sounds = nullptr;
    IGameMusic* Music = nullptr;
    // The clock, as AttachClock links it: the automatic build orders go to
    // AddOrder while ClockRunning says so; StopClock ends the game.
    std::function<void(const std::string&)> AddOrder;
    std::function<bool()> ClockRunning;
    std::function<void()> StopClock;
    // The strategic map should be repainted (after every impulse).
    std::function<void()> OnMapChanged;
    // Captions, alerts or messages changed.
    TNotifyEvent OnChanged;
    // The clock stopped: the in-game windows close.
    std::function<void()> OnClockStopped;
    // An impulse has been played and shown (its number); the in-game
    // windows follow the game from here.
    std::function<void(int32_t impulse)> OnImpulseDone;
    // Set while a preview galaxy is built: its ships get no sprites.
    bool BuildingPreview = false;

    // Wires the engine's events to the handlers below (after any set before).
    void AttachEngine();
    // After TImpulseDriver::Attach: the clock's steps run the driver's part,
    // then the presentation; activation starts the music.
    void AttachClock(TRealTimeEngine& clock);
    // The board draws the order lines under its sprites and the centre
    // message over them.
    void AttachBoardDrawing();

    const std::string& CentreMessage() const { return CentreMessage_; }
    void SetCentreMessage(std::string text);
    const std::string& MessageLine() const { return MessageLine_; }
    void SetMessageLine(std::string text);
    const TAlertButtons& Alerts() const { return Alerts_; }
    // The impulse counter: the clock's impulse mod 10000.
    int32_t ImpulseReadout() const { return ImpulseReadout_; }
    // "Tech Multiple: 1.25", or "Brain Mode" without a local player.
    std::string TechMultipleText() const;
    // "Player: " + the local player's name in its colour; empty in brain mode.
    TCaption PlayerCaption() const;
    uint8_t SoundFlags() const { return SoundFlags_; }
    bool VictoryShown() const { return VictoryShown_; }

    // A new game: no sound flags, messages, alerts or victory.
    void Reset();

    // The clock's steps.
    void BeforeProcess(int32_t impulse);
    void AfterProcess(int32_t impulse);
    void Activated();
    void Deactivated();

    // Engine events.
    void StarShipCreated(TStarShip* ship);
    void StarShipDestroyed(TStarShip* ship);
    void StarShipDamaged(TStarShip* ship);
    void StarShipMoved(TStarShip* ship, int direction);
    void WormholeTravelled(TStarShip* ship);
    void StarSystemMoved(TStarSystem* system);
    void JumpGateCreated(TWormhole* wormhole);
    void StarSystemAttacked(TStarSystem* system);
    void StarSystemConquered(TStarSystem* system);
    void PlayerConquered(TPlayer* player);
    void PlayerSurrendered(TPlayer* player);
    void Victory(TPlayer* player);

    // The one sound of an impulse with these flags: the capital alarm before
    // the conquest fanfare before wormhole, system attack, ship destroyed
    // and ship damaged.
    static std::optional<TGameSound> ImpulseSound(uint8_t flags);
    // "#,##0.00"
    static std::string FormatTechMultiple(double value);

    // Draws the overlays into a frame (the board calls these every frame).
    void DrawOrderLines(PlatformCanvas& canvas, TDIBCanvas& frame);
    void DrawCentreMessage(PlatformCanvas& canvas);

private:
    TPlayer* Local() const;
    bool BrainMode() const;
    bool Seen(const TStarShip* ship) const;
    void CentreOnCapital(const TPlayer* player);
    void PlayImpulseSound();
    void EndGame();
    void Changed();

    TQuorvexEngine& Engine_;
    TGameBoard& Board_;
    TImpulseDriver& Driver_;
    TCommandInput& Input_;
    TAutoBuildTable& AutoBuild_;
    TRandom& Random_;
    TAlertButtons Alerts_;
    std::string CentreMessage_;
    std::string MessageLine_;
    int32_t ImpulseReadout_ = 0;
    uint8_t SoundFlags_ = 0;
    bool VictoryShown_ = false;
    bool StopRequested_ = false;
};

} // namespace qx
