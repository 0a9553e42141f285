#include "app/GameScreenshots.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QThread>

#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/GameSettingsScreen.h"
#include "app/MainForm.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "render/GameBoard.h"

namespace qx {

namespace {

constexpr uint64_t kRulesSeed = 4242;
constexpr uint64_t kPresentationSeed = 7;
constexpr int kTimeoutMs = 20000;

// Lets the clock's impulses run (they come through the event loop) until
// `done` holds.
bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kTimeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

// Orders a ship built beside the capital; false when it cannot be paid for
// or there is no room.
bool Build(TCommandInput& input, const TStarSystem& capital, TShipType type, int engines, int weapons) {
    input.SelectAt(capital.X, capital.Y);
    input.BuildStarShipClick();
    TBuildPanelModel& panel = input.BuildPanel();
    panel.SelectType(type);
    panel.SetEngines(engines);
    panel.SetWeapons(weapons);
    for (int d = 0; d < TBuildPanelModel::DirectionCount; ++d)
        if (panel.DirectionVisible(d)) {
            input.BuildDirectionClick(d);
            return true;
        }
    return false;
}

// A free cell near (x, y), searched outward.
bool FreeCellNear(const TQuorvexEngine& engine, int32_t& x, int32_t& y) {
    for (int32_t r = 0; r < 6; ++r)
        for (int32_t dy = -r; dy <= r; ++dy)
            for (int32_t dx = -r; dx <= r; ++dx)
                if (engine.IsInsideMap(x + dx, y + dy) && engine.IsEmpty(x + dx, y + dy)) {
                    x += dx, y += dy;
                    return true;
                }
    return false;
}

void ClickCell(TCommandInput& input, int32_t x, int32_t y) {
    input.BoardPress(0);
    input.BoardClick(x, y, 0);
}

} // namespace

void StagePreviewForScreenshots(TfrmMain& window) {
    TGameHost& host = window.GameHost();
    host.Session().Setup().Enter(false);
    window.SetupScreen()->ShowValues();
    host.Engine().RulesRandom.Seed(kRulesSeed);
    window.SetupScreen()->OpenScenario(host.ScenarioFolder() + "/Duel.qxscen");
}

QString StageGameForScreenshots(TfrmMain& window) {
    TGameHost& host = window.GameHost();
    TGameSession& session = host.Session();
    TQuorvexEngine& engine = host.Engine();
    TGameSettingsScreen& setup = *window.SetupScreen();
    TGameScreen& screen = *window.GameScreen();
    if (!host.ArtLoaded()) return "the galaxy's pictures are missing: " + host.ArtError();

    session.AnimateBoard = false;
    host.Clock().Interval = 0;
    host.Board().PresentationRandom().Seed(kPresentationSeed);
    host.SetSelectedShipTypes({TShipType::WarShip, TShipType::ScanShip, TShipType::Drone, TShipType::Tug,
                               TShipType::Freighter, TShipType::SpyShip});
    session.Setup().Enter(false);
    setup.ShowValues();
    engine.RulesRandom.Seed(kRulesSeed);
    setup.OpenScenario(host.ScenarioFolder() + "/Duel.qxscen");

    screen.Dialogs().AskEmpireName = [] { return std::optional<QString>("Orion League"); };
    engine.RulesRandom.Seed(kRulesSeed);
    if (!setup.Proceed()) return "the Duel did not start";
    screen.GameStarted();
    TPlayer* me = engine.CurrentPlayer;
    TStarSystem* capital = me ? me->Capital() : nullptr;
    if (!capital) return "the Duel has no capital for the player";

    // A small fleet: one ship ordered each impulse while resources last.
    TCommandInput& input = session.Input();
    const struct {
        TShipType Type;
        int Engines, Weapons;
    } fleet[] = {{TShipType::WarShip, 12, 4}, {TShipType::ScanShip, 8, 2}, {TShipType::WarShip, 6, 3}};
    for (const auto& ship : fleet) {
        const int before = me->StarShipCount();
        if (!Build(input, *capital, ship.Type, ship.Engines, ship.Weapons)) break;
        if (!RunUntil([&] { return me->StarShipCount() > before; })) return "a ship was not built";
    }
    if (me->StarShipCount() == 0) return "no ship could be built";

    // Orders with lines of their own: a move south toward the enemy, a
    // patrol, and a guard on the capital.
    TStarShip* runner = me->GetStarShip(0);
    int32_t toX = capital->X + 1, toY = capital->Y + 10;
    if (FreeCellNear(engine, toX, toY)) {
        input.SelectAt(runner->X, runner->Y);
        input.OrderButtonClick(btnMove);
        ClickCell(input, toX, toY);
    }
    if (me->StarShipCount() > 1) {
        TStarShip* scout = me->GetStarShip(1);
        int32_t ax = capital->X - 5, ay = capital->Y + 2, bx = capital->X - 3, by = capital->Y + 7;
        if (FreeCellNear(engine, ax, ay) && FreeCellNear(engine, bx, by)) {
            input.SelectAt(scout->X, scout->Y);
            input.OrderButtonClick(btnPatrol);
            ClickCell(input, ax, ay);
            ClickCell(input, bx, by);
            input.CompleteOrderClick();
        }
    }
    if (me->StarShipCount() > 2) {
        TStarShip* guard = me->GetStarShip(2);
        input.SelectAt(guard->X, guard->Y);
        input.OrderButtonClick(btnDefend);
        ClickCell(input, capital->X, capital->Y);
    }
    const int32_t startY = runner->Y;
    RunUntil([&] { return runner->Y >= startY + 4 || !host.Clock().Active(); });
    session.StopGame();

    // The runner selected: its panel, and its order line in the selection's colour.
    input.SelectAt(runner->X, runner->Y);
    // The pointer rests on the board, not on a button it would light.
    QCursor::setPos(screen.mapToGlobal(QPoint(screen.width() / 3, screen.height() / 2)));
    host.Board().RenderFrames(40);
    screen.RefreshNow();
    return {};
}

} // namespace qx
