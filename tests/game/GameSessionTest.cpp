#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <memory>

#include "base/TaskQueueExecutor.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"
#include "scenario/ScriptsModule.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using T = TShipType;

// A solo game as the window runs it: the real clock on a task queue, the
// real scripts and board, the session in between.
struct SessionScene {
    std::shared_ptr<TaskQueueExecutor> executor = std::make_shared<TaskQueueExecutor>();
    TRealTimeEngine clock{executor};
    TQuorvexEngine engine;
    TdmScripts scripts;
    TGameBoard board{test::BoardArt(), nullptr};
    TGameSession session{engine, scripts, clock, board};
    test::RecordingSounds sounds;
    std::vector<std::string> messages;
    std::deque<std::string> answers{"Tester"};
    int impulsesShown = 0;

    SessionScene() {
        clock.Interval = 0;
        engine.RulesRandom.Seed(20240607);
        board.PresentationRandom().Seed(5);
        session.AnimateBoard = false;
        session.SetSounds(&sounds);
        session.AskEmpireName = [this]() -> std::optional<std::string> {
            if (answers.empty()) return std::nullopt;
            std::string answer = answers.front();
            answers.pop_front();
            return answer;
        };
        session.ShowMessage = [this](const std::string& message) { messages.push_back(message); };
        session.SelectedShipTypes = {T::WarShip, T::ScanShip, T::Drone, T::EMine, T::Tug, T::SpyShip};
        session.Brains().Folders = {QX_SOURCE_DIR "/data/brains"};
        session.Setup().Enter(false);
        board.SetView(0, 0, 720, 960);
        auto after = clock.AfterProcess;
        clock.AfterProcess = [this, after](TObject* sender) {
            after(sender);
            ++impulsesShown;
        };
    }
    ~SessionScene() { session.StopGame(); }

    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
        return executor->RunUntil(done, timeout);
    }
    // Runs the clock until `done` holds at the end of a whole impulse (its
    // presentation included).
    bool RunImpulsesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
        int since = -1;
        return executor->RunUntil(
            [&] {
                if (!done()) return (since = -1), false;
                if (since < 0) since = impulsesShown;
                return impulsesShown > since;
            },
            timeout);
    }
    // A click through the board's own mouse handling, as the widget forwards it.
    void Click(int32_t x, int32_t y) {
        const TPoint p = TGameBoard::PixelPosition(x, y);
        TSquareGridSpriteSurface& surface = board.Surface();
        surface.MouseDown(TMouseButton::mbLeft, 0, p.X - surface.OffsetX(), p.Y - surface.OffsetY());
        surface.MouseUp(TMouseButton::mbLeft, 0, p.X - surface.OffsetX(), p.Y - surface.OffsetY());
    }
    TPlayer* Me() { return engine.GetPlayer(0); }
};

TEST(GameSession, ASoloDuelFromSetupToAMovedShipSavedAndLoaded) {
    SessionScene s;
    s.answers = {"Red;Star", "  Tester  "};
    s.session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
    ASSERT_TRUE(s.session.BuildPreview().Ok);
    EXPECT_GT(s.engine.StarSystemCount(), 2);
    EXPECT_FALSE(s.clock.Active());

    const TGameResult started = s.session.Proceed();
    ASSERT_TRUE(started.Ok) << started.Message;
    ASSERT_TRUE(s.clock.Active());
    EXPECT_EQ(s.engine.CurrentPlayer, s.Me());
    EXPECT_EQ(s.Me()->Name, "Tester") << "trimmed, after a refused name";
    EXPECT_EQ(s.messages.size(), 1u) << "the refusal said why";
    EXPECT_EQ(s.clock.LocalUserName(), "Tester");
    EXPECT_EQ(s.Me()->ShipTypes, s.session.SelectedShipTypes);
    TPlayer* brain = s.engine.GetPlayer(1);
    EXPECT_TRUE(brain->Computer);
    EXPECT_EQ(brain->BrainFile, "Defender.qxbrain");
    EXPECT_EQ(s.scripts.BrainFolders, s.session.Brains().Folders);
    EXPECT_EQ(s.session.Presenter().PlayerCaption().Text, "Player: Tester");

    // Build a fast WarShip at the capital through the star system panel.
    TStarSystem* capital = s.Me()->Capital();
    ASSERT_NE(capital, nullptr);
    s.Click(capital->X, capital->Y);
    TCommandInput& input = s.session.Input();
    ASSERT_EQ(input.SelectedStarSystem(), capital);
    input.BuildStarShipClick();
    TBuildPanelModel& build = input.BuildPanel();
    build.SelectType(T::WarShip);
    build.SetEngines(20);
    build.SetWeapons(3);
    int direction = 0;
    while (direction < 8 && !build.DirectionVisible(direction)) ++direction;
    ASSERT_LT(direction, 8);
    input.BuildDirectionClick(direction);
    EXPECT_EQ(s.clock.PendingOrders().rfind("12:" + std::to_string(capital->Index) + ":0:20:3:0:", 0), 0u)
        << s.clock.PendingOrders();
    ASSERT_TRUE(s.RunImpulsesUntil([&] { return s.Me()->StarShipCount() == 1; }));
    TStarShip* ship = s.Me()->GetStarShip(0);
    EXPECT_EQ(ship->Engines, 20);

    // Select it by its cell, Move, click a free cell three steps away.
    s.Click(ship->X, ship->Y);
    ASSERT_EQ(input.SelectedStarShip(), ship);
    int32_t toX = -1, toY = -1;
    for (int d = 0; d < 8 && toX < 0; ++d) {
        const int32_t x = ship->X + 3 * DirectionDX[d], y = ship->Y + 3 * DirectionDY[d];
        if (s.engine.IsInsideMap(x, y) && s.engine.IsEmpty(x, y)) toX = x, toY = y;
    }
    ASSERT_GE(toX, 0);
    input.OrderButtonClick(btnMove);
    s.Click(toX, toY);
    const std::string order = "2:" + ship->Code + ":" + std::to_string(toX) + ":" + std::to_string(toY) + ":";
    EXPECT_EQ(s.clock.PendingOrders(), order + "~");
    ASSERT_TRUE(s.RunImpulsesUntil([&] { return ship->X == toX && ship->Y == toY; }));
    s.board.RenderFrames(40);
    const TPoint cell = TGameBoard::PixelPosition(toX, toY);
    EXPECT_EQ(SpriteOf(ship)->X(), cell.X + 1) << "the sprite slid into the cell";
    EXPECT_EQ(SpriteOf(ship)->Y(), cell.Y + 1);

    // Pause, then leave a command half given: the next start clears it all.
    s.session.TogglePause();
    EXPECT_TRUE(s.clock.Paused());
    EXPECT_EQ(s.session.Presenter().CentreMessage(), "P A U S E D");
    EXPECT_EQ(s.session.PauseCaption(), "Resume");
    EXPECT_EQ(input.Panel(), TSidePanel::pnlNothing);
    s.session.StopGame();
    const std::string before = s.engine.SaveToText();
    test::TempFolder temp;
    const std::string path = (temp.path / "duel.qx").string();
    ASSERT_TRUE(s.session.SaveGame(path).Ok);
    EXPECT_EQ(s.session.Presenter().MessageLine(), "       Game Saved       ");
    EXPECT_EQ(TSavedGame::ReadText(path), before);
    s.session.AutoBuild().SetAutoShields(capital->Index, true);
    s.scripts.MatrixMap->Fill('-');
    s.Click(ship->X, ship->Y);
    input.OrderButtonClick(btnPatrol);
    s.Click(toX, toY + 1);

    const TGameResult loaded = s.session.LoadGame(path);
    ASSERT_TRUE(loaded.Ok) << loaded.Message;
    EXPECT_EQ(s.engine.SaveToText(), before) << "the same game state text";
    EXPECT_EQ(s.scripts.MatrixMap->SaveToText(), s.engine.MapText) << "the nebulae are back on the map";
    EXPECT_EQ(s.scripts.MatrixMap->GetChar(0, 15), 'N');
    EXPECT_TRUE(s.clock.Active());
    EXPECT_FALSE(s.clock.Paused());
    EXPECT_FALSE(s.session.Paused());
    EXPECT_EQ(s.Me()->Name, "Tester") << "a restored game keeps its name";
    EXPECT_EQ(input.SelectedStarShip(), nullptr);
    EXPECT_EQ(input.Mode(), TCommandMode::Select);
    EXPECT_TRUE(input.PatrolPoints().empty());
    EXPECT_EQ(s.session.Presenter().CentreMessage(), "");
    EXPECT_TRUE(s.session.AutoBuild().Lines().empty());
    // One sprite per ship of the new game, none left of the old one.
    int ships = 0;
    for (int p = 0; p < s.engine.PlayerCount(); ++p) {
        for (const auto& each : s.engine.GetPlayer(p)->StarShips) {
            ++ships;
            EXPECT_TRUE(s.board.StarShips().Holds(SpriteOf(each.get())));
        }
    }
    s.board.RenderFrames(1);
    EXPECT_EQ(s.board.StarShips().SpriteCount(), ships);
    for (int i = 0; i < s.board.StarShips().SpriteCount(); ++i) {
        const auto* sprite = dynamic_cast<TStarShipSprite*>(s.board.StarShips().Sprites(i));
        ASSERT_NE(sprite->StarShip(), nullptr);
        EXPECT_EQ(SpriteOf(sprite->StarShip()), sprite);
    }
}

TEST(GameSession, ABadFileNeverReplacesTheGameAndSaysWhy) {
    SessionScene s;
    s.session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
    ASSERT_TRUE(s.session.Proceed().Ok);
    ASSERT_TRUE(s.RunImpulsesUntil([&] { return s.clock.Impulse() >= 3; }));
    const std::string game = s.engine.SaveToText();
    test::TempFolder temp;

    EXPECT_EQ(s.session.LoadGame("").Message, "") << "a cancelled dialog says nothing";
    EXPECT_FALSE(s.session.LoadGame("").Ok);

    const TGameResult corrupt = s.session.LoadGame(temp.File("broken.qx", "this is no saved game"));
    EXPECT_FALSE(corrupt.Ok);
    EXPECT_NE(corrupt.Message, "");
    std::string newer = game;
    newer.replace(0, newer.find(';'), "5");
    const TGameResult future = s.session.LoadGame(temp.File("future.txt", newer));
    EXPECT_FALSE(future.Ok);
    EXPECT_EQ(future.Message, "This Game was saved with Quorvex version 5, and you have version 4");
    EXPECT_FALSE(s.session.LoadGame((temp.path / "missing.qx").string()).Ok);
    EXPECT_TRUE(s.clock.Active()) << "the running game goes on";
    s.session.StopGame();
    EXPECT_EQ(s.engine.SaveToText().substr(0, 2), "4;");
    EXPECT_GE(s.engine.Impulse, 3);

    // A save that cannot be written says so, and never "Game Saved".
    const std::string line = s.session.Presenter().MessageLine();
    const TGameResult unsaved = s.session.SaveGame((temp.path / "no-such-folder" / "x.qx").string());
    EXPECT_FALSE(unsaved.Ok);
    EXPECT_NE(unsaved.Message, "");
    EXPECT_EQ(s.session.Presenter().MessageLine(), line);
    EXPECT_FALSE(s.session.SaveGame("").Ok);
}

TEST(GameSession, ABrainDuelPlaysItselfToItsVictory) {
    SessionScene s;
    test::TempFolder temp;
    s.session.Setup().ScenarioFile = temp.File("Quick.qxscen",
                                               "Version( 4.0 );\n"
                                               "SetMapSize( 20, 10 );\n"
                                               "SetDescription( 'Two homes' );\n"
                                               "CreateStarSystem( 3, 5, 'Alpha', 18, 12, 10, 100, 0, true );\n"
                                               "CreateStarSystem( 16, 5, 'Beta', 18, 12, 10, 100, 1, true );\n"
                                               "SetVictoryConditions( 1, 'Beta', 3 );\n");
    s.session.Setup().SetHumanPlayers(0);
    ASSERT_TRUE(s.session.Setup().BrainDuel());
    const TGameResult started = s.session.Proceed();
    ASSERT_TRUE(started.Ok) << started.Message;
    EXPECT_EQ(s.engine.CurrentPlayer, nullptr);
    EXPECT_EQ(s.clock.LocalUserName(), "BrainMode");
    EXPECT_EQ(s.messages, std::vector<std::string>{
                              "This Scenario has the alternate Victory Condition: Hold Beta for 3 Impulses"});
    EXPECT_EQ(s.session.Presenter().TechMultipleText(), "Brain Mode");
    EXPECT_TRUE(s.engine.GetPlayer(0)->Computer && s.engine.GetPlayer(1)->Computer);
    ASSERT_TRUE(s.RunUntil([&] { return !s.clock.Active(); }));
    EXPECT_EQ(s.session.Presenter().CentreMessage(), s.engine.GetPlayer(1)->Name + " is V I C T O R I O U S !");
    EXPECT_FALSE(s.session.Presenter().VictoryShown()) << "nobody at this machine won";
}

TEST(GameSession, TheToolbarAndTheStrategicMap) {
    SessionScene s;
    s.session.Setup().ScenarioFile = QX_SOURCE_DIR "/data/scenarios/Duel.qxscen";
    s.session.Setup().SetHumanPlayers(1);
    ASSERT_TRUE(s.session.Proceed().Ok);
    s.board.SetView(0, 0, 200, 200);
    TStarSystem* capital = s.Me()->Capital();
    s.session.Input().SelectAt(0, 0);
    s.session.CenterOnCapital();
    EXPECT_EQ(s.session.Input().SelectedStarSystem(), capital);
    EXPECT_EQ(s.board.Surface().CursorCell(), (TPoint{capital->X, capital->Y}));
    const TPoint centre = TGameBoard::PixelPosition(capital->X, capital->Y);
    EXPECT_EQ(s.board.Surface().OffsetX(), std::max(centre.X - 100, 0));

    // An alert leads to its system, leaving the command that was waiting.
    s.session.Presenter().StarSystemAttacked(capital);
    ASSERT_TRUE(s.session.Presenter().Alerts().Button(0).Visible);
    s.session.Input().SelectAt(0, 0);
    s.session.Input().SetMode(TCommandMode::Move);
    s.session.AlertClicked(0);
    EXPECT_EQ(s.session.Input().Mode(), TCommandMode::Select);
    EXPECT_EQ(s.session.Input().SelectedStarSystem(), capital);
    EXPECT_TRUE(s.clock.PendingOrders().empty());

    s.session.MapPress(20, 30);
    s.session.MapMove(10, 10);
    s.session.MapRelease();
    s.session.MapMove(0, 0);  // released: no longer follows
    EXPECT_EQ(s.board.Surface().OffsetX(), TGameBoard::PixelPosition(10, 10).X - 100);
    EXPECT_EQ(s.sounds.loops, (std::vector<std::string>{"start sndDragging", "stop sndDragging"}));

    // A list's row shows its cell and selects what stands there; a stale
    // row's cell off the map is brought onto it, never used as it is.
    s.session.ShowCell(capital->X, capital->Y);
    EXPECT_EQ(s.session.Input().SelectedStarSystem(), capital);
    s.session.ShowCell(-7, s.engine.MapHeight + 40);
    EXPECT_EQ(s.board.Surface().CursorCell(), (TPoint{0, s.engine.MapHeight - 1}));
    // A solo game has no other machines to send data to.
    EXPECT_FALSE(s.session.SendGameData("GAMECHAT:1:1:hello"));

    // Exit asks first, then offers to save; "no" to leaving keeps playing.
    std::vector<std::string> asked;
    bool answer = false;
    s.session.Confirm = [&](const std::string& question) {
        asked.push_back(question);
        return answer;
    };
    EXPECT_FALSE(s.session.ExitGame());
    EXPECT_TRUE(s.clock.Active());
    answer = true;
    test::TempFolder temp;
    const std::string path = (temp.path / "exit.qx").string();
    s.session.ChooseSaveFile = [&] { return path; };
    EXPECT_TRUE(s.session.ExitGame());
    EXPECT_FALSE(s.clock.Active());
    EXPECT_EQ(asked, (std::vector<std::string>{"Exit this Game?", "Exit this Game?", "Do you want to Save this Game?"}));
    EXPECT_TRUE(std::filesystem::exists(path));
}

} // namespace
} // namespace qx
