#include "game/GamePresenter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/Random.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "game/AutoBuildTable.h"
#include "game/CommandInput.h"
#include "game/GameSounds.h"
#include "game/OrderLines.h"
#include "net/RealTimeEngine.h"
#include "render/DIBCanvas.h"
#include "render/GameBoard.h"
#include "render/PlatformCanvas.h"

namespace qx {

namespace {

template <class Slot, class Handler>
void Chain(Slot& slot, Handler handler) {
    slot = [previous = slot, handler](auto... args) {
        if (previous) previous(args...);
        handler(args...);
    };
}

constexpr TColor kCyan = RgbColor(0, 255, 255);

} // namespace

TGamePresenter::TGamePresenter(TQuorvexEngine& engine, TGameBoard& board, TImpulseDriver& driver, TCommandInput& input,
                               TAutoBuildTable& autoBuild, TRandom& presentation)
    : Engine_(engine), Board_(board), Driver_(driver), Input_(input), AutoBuild_(autoBuild), Random_(presentation) {
    // The driver asks for the stop when the local player is out; it comes at
    // the end of the impulse's presentation, after which nothing runs.
    Driver_.StopClock = [this] { StopRequested_ = true; };
}

TPlayer* TGamePresenter::Local() const { return Engine_.CurrentPlayer; }

bool TGamePresenter::BrainMode() const { return !Engine_.CurrentPlayer; }

bool TGamePresenter::Seen(const TStarShip* ship) const { return ship && ship->IsVisibleTo(Local()); }

void TGamePresenter::Changed() {
    if (OnChanged) OnChanged(nullptr);
}

void TGamePresenter::AttachEngine() {
    TQuorvexEngine& e = Engine_;
    Chain(e.OnStarShipCreate, [this](TObject*, TStarShip* ship) { StarShipCreated(ship); });
    Chain(e.OnStarShipDestroy, [this](TObject*, TStarShip* ship) { StarShipDestroyed(ship); });
    Chain(e.OnStarShipDamage, [this](TObject*, TStarShip* ship) { StarShipDamaged(ship); });
    Chain(e.OnMoveStarShip, [this](TObject*, TStarShip* ship, int direction) { StarShipMoved(ship, direction); });
    Chain(e.OnWormholeTravel, [this](TObject*, TStarShip* ship, int) { WormholeTravelled(ship); });
    Chain(e.OnMoveStarSystem, [this](TObject*, TStarSystem* system) { StarSystemMoved(system); });
    Chain(e.OnCreateJumpGate, [this](TObject*, TWormhole* wormhole) { JumpGateCreated(wormhole); });
    Chain(e.OnStarSystemAttack, [this](TObject*, TStarSystem* system) { StarSystemAttacked(system); });
    Chain(e.OnStarSystemConquer, [this](TObject*, TStarSystem* system) { StarSystemConquered(system); });
    Chain(e.OnPlayerConquered, [this](TObject*, TPlayer* player) { PlayerConquered(player); });
    Chain(e.OnPlayerSurrender, [this](TObject*, TPlayer* player) { PlayerSurrendered(player); });
    Chain(e.OnVictory, [this](TObject*, TPlayer* player) { Victory(player); });
}

void TGamePresenter::AttachClock(TRealTimeEngine& clock) {
    TRealTimeEngine* link = &clock;
    AddOrder = [link](const std::string& order) { link->AddOrder(order); };
    ClockRunning = [link] { return link->Active(); };
    StopClock = [link] {
        if (link->Active()) link->SetActive(false);
    };
    clock.BeforeProcess = [this, link](TObject*) { BeforeProcess(link->Impulse()); };
    clock.AfterProcess = [this, link](TObject*) { AfterProcess(link->Impulse()); };
    clock.OnActivate = [this](TObject*) { Activated(); };
    clock.OnDeactivate = [this](TObject*) { Deactivated(); };
}

void TGamePresenter::AttachBoardDrawing() {
    TSquareGridSpriteSurface& surface = Board_.Surface();
    surface.BeforeSpriteRender = [this](TObject*, PlatformCanvas& canvas, TDIBCanvas& frame) {
        DrawOrderLines(canvas, frame);
    };
    surface.AfterSpriteRender = [this](TObject*, PlatformCanvas& canvas, TDIBCanvas&) { DrawCentreMessage(canvas); };
}

void TGamePresenter::SetCentreMessage(std::string text) {
    CentreMessage_ = std::move(text);
    Changed();
}

void TGamePresenter::SetMessageLine(std::string text) {
    MessageLine_ = std::move(text);
    Changed();
}

std::string TGamePresenter::FormatTechMultiple(double value) {
    if (!std::isfinite(value)) value = 0;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::fabs(value));
    std::string digits = buffer;
    const size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(static_cast<size_t>(i), ",");
    const bool negative = value < 0 && digits != "0.00";
    return (negative ? "-" : "") + whole + digits.substr(point);
}

std::string TGamePresenter::TechMultipleText() const {
    if (!Local()) return "Brain Mode";
    return "Tech Multiple: " + FormatTechMultiple(Local()->TechMultiple);
}

TCaption TGamePresenter::PlayerCaption() const {
    if (!Local()) return {"", clWhite, true};
    return {"Player: " + Local()->Name, Local()->Color(), true};
}

void TGamePresenter::Reset() {
    SoundFlags_ = 0;
    CentreMessage_.clear();
    MessageLine_.clear();
    Alerts_.HideAll();
    VictoryShown_ = false;
    StopRequested_ = false;
    ImpulseReadout_ = 0;
    Changed();
}

// ---- The clock ----

void TGamePresenter::Activated() {
    if (Music) Music->Start();
    Changed();
}

void TGamePresenter::Deactivated() {
    if (Music) Music->Stop();
    if (OnClockStopped) OnClockStopped();
    Changed();
}

void TGamePresenter::BeforeProcess(int32_t impulse) {
    Driver_.BeforeProcess(impulse);
    ImpulseReadout_ = static_cast<int32_t>(((int64_t{impulse} % 10000) + 10000) % 10000);
    SoundFlags_ = 0;
    Board_.UpdateWormholes();
    Changed();
}

void TGamePresenter::AfterProcess(int32_t impulse) {
    Driver_.AfterProcess(impulse);
    Input_.Refresh();
    if (OnMapChanged) OnMapChanged();
    // After the victory test, so a victory is heard.
    PlayImpulseSound();
    if (OnImpulseDone) OnImpulseDone(impulse);
    if (StopRequested_ || VictoryShown_) {
        EndGame();
        Changed();
        return;
    }
    if (AddOrder && (!ClockRunning || ClockRunning()))
        for (const std::string& order : AutoBuild_.Orders(Engine_, Local())) AddOrder(order);
    Alerts_.Expire(impulse);
    Changed();
}

void TGamePresenter::EndGame() {
    StopRequested_ = false;
    if (StopClock) StopClock();
}

std::optional<TGameSound> TGamePresenter::ImpulseSound(uint8_t flags) {
    if (flags & sfCapital) return TGameSound::Capital;
    if (flags & sfConquered) return TGameSound::Conquer;
    if (flags & sfWormhole) return TGameSound::WormHole;
    if (flags & sfSystemAttacked) return TGameSound::Blast3;
    if (flags & sfShipDestroyed) return TGameSound::Blast1;
    if (flags & sfShipDamaged) return TGameSound::Blast2;
    return std::nullopt;
}

void TGamePresenter::PlayImpulseSound() {
    const std::optional<TGameSound> sound = ImpulseSound(SoundFlags_);
    if (!sound || !Sounds) return;
    if (*sound == TGameSound::Capital || *sound == TGameSound::Conquer) {
        Sounds->Play(*sound, 0, 100);
        return;
    }
    // Battle noises vary a little: a slight pan and pitch of their own.
    const int32_t pan = Random_.Random(300) - 150;
    const int32_t pitch = 86 + Random_.Random(30);
    Sounds->Play(*sound, pan, pitch);
}

// ---- Engine events ----

void TGamePresenter::StarShipCreated(TStarShip* ship) {
    if (!BuildingPreview) Board_.StarShipCreated(ship);
}

void TGamePresenter::StarShipDestroyed(TStarShip* ship) {
    if (!ship) return;
    Board_.StarShipDestroyed(ship);
    if (Seen(ship)) {
        Board_.Effects().ShipDestroyed(ship->X, ship->Y);
        SoundFlags_ |= sfShipDestroyed;
    }
    Input_.ForgetStarShip(ship);
}

void TGamePresenter::StarShipDamaged(TStarShip* ship) {
    if (!Seen(ship)) return;
    Board_.Effects().ShipDamaged(ship->X, ship->Y);
    SoundFlags_ |= sfShipDamaged;
}

void TGamePresenter::StarShipMoved(TStarShip* ship, int direction) {
    Board_.StarShipMoved(ship, direction);
    if (ship && ship == Input_.SelectedStarShip()) Board_.Surface().SetCursorCell({ship->X, ship->Y});
}

void TGamePresenter::WormholeTravelled(TStarShip* ship) {
    if (!ship) return;
    if (Local() && ship->Owner == Local()) SoundFlags_ |= sfWormhole;
    Board_.WormholeTravelled(ship);
    if (ship == Input_.SelectedStarShip()) Board_.Surface().SetCursorCell({ship->X, ship->Y});
}

void TGamePresenter::StarSystemMoved(TStarSystem* system) {
    Board_.StarSystemMoved(system);
    if (system && system == Input_.SelectedStarSystem()) Board_.Surface().SetCursorCell({system->X, system->Y});
}

void TGamePresenter::JumpGateCreated(TWormhole* wormhole) { Board_.JumpGateCreated(wormhole); }

void TGamePresenter::StarSystemAttacked(TStarSystem* system) {
    TPlayer* local = Local();
    if (!system || !local) return;
    if (system->IsVisibleTo(local)) {
        Board_.Effects().StarSystemAttacked(system->X, system->Y);
        SoundFlags_ |= sfSystemAttacked;
        if (system->Owner == local && local->Capital() == system) SoundFlags_ |= sfCapital;
    }
    if (system->Owner == local) {
        Alerts_.Raise(*system, Engine_.ClockImpulse());
        Changed();
    }
}

void TGamePresenter::StarSystemConquered(TStarSystem* system) {
    if (system && Local() && system->Owner == Local()) SoundFlags_ |= sfConquered;
}

void TGamePresenter::CentreOnCapital(const TPlayer* player) {
    const TStarSystem* capital = player ? player->Capital() : nullptr;
    if (!capital) return;
    const TPoint at = TGameBoard::PixelPosition(capital->X, capital->Y);
    Board_.Surface().CenterOn(at.X, at.Y);
}

void TGamePresenter::PlayerConquered(TPlayer* player) {
    if (!player || player != Local()) return;
    // Without a capital there is nowhere to explode or to look at.
    if (const TStarSystem* capital = player->Capital()) {
        Board_.Effects().PlayerConquered(capital->X, capital->Y);
        CentreOnCapital(player);
    }
    SoundFlags_ |= sfCapital;
    SetCentreMessage("C O N Q U E R E D");
}

void TGamePresenter::PlayerSurrendered(TPlayer* player) {
    if (!player) return;
    if (player != Local()) {
        SetMessageLine(player->Name + " has Surrendered");
        return;
    }
    SetCentreMessage("S U R R E N D E R E D");
    CentreOnCapital(player);
}

void TGamePresenter::Victory(TPlayer* player) {
    if (!player) return;
    const bool ours = player == Local();
    if (ours) VictoryShown_ = true;
    if (CentreMessage_.empty()) SetCentreMessage(player->Name + " is V I C T O R I O U S !");
    if (ours) {
        TSquareGridSpriteSurface& surface = Board_.Surface();
        Board_.Effects().Victory(surface.OffsetX() + Board_.ViewWidth() / 2, surface.OffsetY() + Board_.ViewHeight() / 2);
        SoundFlags_ |= sfConquered;
    }
    // The game is over: the clock stops once this impulse has been shown.
    StopRequested_ = true;
}

// ---- Drawing ----

void TGamePresenter::DrawOrderLines(PlatformCanvas& canvas, TDIBCanvas& frame) {
    const TSquareGridSpriteSurface& surface = Board_.Surface();
    const std::vector<TStarShip*>& group = Input_.SelectedStarShips();
    const TStarShip* single = Input_.SelectedStarShip();
    auto selected = [&](const TStarShip* ship) {
        return ship == single || std::find(group.begin(), group.end(), ship) != group.end();
    };
    TOrderLines::Draw(TOrderLines::Build(Engine_, Local(), selected, Random_), frame, surface.OffsetX(),
                      surface.OffsetY());
    TOrderLines::DrawPatrolEntry(Input_.PatrolPoints(), canvas, surface.OffsetX(), surface.OffsetY());
}

void TGamePresenter::DrawCentreMessage(PlatformCanvas& canvas) {
    if (CentreMessage_.empty()) return;
    canvas.Font = {"Final Frontier", 20, clBlue, false};
    canvas.Brush.Style = TBrushStyle::bsClear;
    const TSize extent = canvas.TextExtent(CentreMessage_);
    const TRect clip = canvas.ClipRect();
    const int32_t x = (clip.Width() - extent.Width) / 2, y = (clip.Height() - extent.Height) / 2;
    canvas.TextOut(x, y, CentreMessage_);
    canvas.Font.Color = kCyan;
    canvas.TextOut(x + 2, y + 2, CentreMessage_);
    canvas.Brush.Style = TBrushStyle::bsSolid;
}

} // namespace qx
