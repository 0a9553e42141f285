#include <gtest/gtest.h>

#include "base/Random.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "game/GamePresenter.h"
#include "game/OrderLines.h"
#include "render/DestinationSpriteMover.h"
#include "render/SpriteLink.h"
#include "render/StarShipSprite.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using test::RecordingSounds;
using T = TShipType;

struct RecordingMusic : IGameMusic {
    std::vector<std::string> calls;
    void Start() override { calls.push_back("start"); }
    void Stop() override { calls.push_back("stop"); }
};

// The presenter over a hand-made galaxy, with an order list and a stop count
// instead of a clock.
struct PresenterScene {
    test::TestGalaxy galaxy{2, 20, 20};
    TGameBoard board{test::BoardArt(), nullptr};
    TImpulseDriver driver{galaxy.engine};
    TBuildDefaults defaults;
    TAutoBuildTable autoBuild;
    TCommandInput input{galaxy.engine, defaults, autoBuild};
    TRandom random{42};
    TGamePresenter presenter{galaxy.engine, board, driver, input, autoBuild, random};
    RecordingSounds sounds;
    std::vector<std::string> orders;
    int stops = 0;
    bool running = true;

    PresenterScene() {
        galaxy.engine.SetCurrentPlayer(galaxy.P(0));
        board.SetPresentationRandom(&random);
        presenter.Sounds = &sounds;
        presenter.AddOrder = [this](const std::string& order) { orders.push_back(order); };
        presenter.ClockRunning = [this] { return running; };
        presenter.StopClock = [this] {
            ++stops;
            running = false;
        };
        presenter.AttachEngine();
        input.Board = &board;
        board.SetView(0, 0, 600, 600);
    }
    TPlayer* Me() { return galaxy.P(0); }
    TPlayer* Enemy() { return galaxy.P(1); }
    void Show() {
        board.Show(galaxy.engine);
        galaxy.engine.UpdateVisibility();
        board.RenderFrames(1);
    }
    // One impulse as the clock runs it.
    void Impulse(TPlayer* player = nullptr, const std::string& order = "") {
        const int32_t n = galaxy.engine.Impulse;
        presenter.BeforeProcess(n);
        if (player) driver.QueueOrder(player, order);
        driver.ProcessOrders();
        presenter.AfterProcess(n + 1);
    }
    int Effects() { return board.EffectsLayer().SpriteCount() + board.EffectsLayer().PendingCount(); }
};

TEST(GamePresenter, OneSoundPerImpulseByPriorityWithPanAndPitchFromThePresentationGenerator) {
    using S = TGameSound;
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfCapital | sfConquered | sfShipDestroyed), S::Capital);
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfConquered | sfWormhole), S::Conquer);
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfWormhole | sfSystemAttacked | sfShipDamaged), S::WormHole);
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfSystemAttacked | sfShipDestroyed), S::Blast3);
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfShipDestroyed | sfShipDamaged), S::Blast1);
    EXPECT_EQ(TGamePresenter::ImpulseSound(sfShipDamaged), S::Blast2);
    EXPECT_FALSE(TGamePresenter::ImpulseSound(0));

    PresenterScene s;
    TStarSystem* home = s.galaxy.System(2, 2, s.Me());
    home->Capital = true;
    TStarShip* mine = s.galaxy.Ship(s.Me(), T::WarShip, 5, 5);
    TStarShip* theirs = s.galaxy.Ship(s.Enemy(), T::WarShip, 6, 6);
    s.Show();
    s.galaxy.SeeAll();

    s.presenter.BeforeProcess(1);
    s.presenter.StarShipDamaged(theirs);
    s.presenter.WormholeTravelled(mine);
    EXPECT_EQ(s.presenter.SoundFlags(), sfShipDamaged | sfWormhole);
    TRandom expected = s.random;
    s.presenter.AfterProcess(2);
    ASSERT_EQ(s.sounds.played.size(), 1u);
    EXPECT_EQ(s.sounds.played[0].Sound, S::WormHole);
    EXPECT_EQ(s.sounds.played[0].Pan, expected.Random(300) - 150);
    EXPECT_EQ(s.sounds.played[0].Pct, 86 + expected.Random(30));

    // The next impulse starts without flags; the capital alarm is not varied.
    s.presenter.BeforeProcess(2);
    EXPECT_EQ(s.presenter.SoundFlags(), 0);
    s.presenter.StarShipDamaged(theirs);
    s.presenter.StarSystemAttacked(home);
    s.presenter.AfterProcess(3);
    ASSERT_EQ(s.sounds.played.size(), 2u);
    EXPECT_EQ(s.sounds.played[1].Sound, S::Capital);
    EXPECT_EQ(s.sounds.played[1].Pan, 0);
    EXPECT_EQ(s.sounds.played[1].Pct, 100);

    s.presenter.BeforeProcess(3);
    s.presenter.AfterProcess(4);
    EXPECT_EQ(s.sounds.played.size(), 2u) << "a quiet impulse plays nothing";
}

TEST(GamePresenter, AlertsReuseTheirButtonTakeTheOldestAndExpireAfterTwentyImpulses) {
    PresenterScene s;
    std::vector<TStarSystem*> systems;
    for (int i = 0; i < 5; ++i) systems.push_back(s.galaxy.System(2 + 3 * i, 2, s.Me()));
    systems[0]->Capital = true;
    TStarSystem* enemyHome = s.galaxy.System(15, 15, s.Enemy());
    s.Show();
    auto attack = [&](TStarSystem* system, int32_t impulse) {
        s.galaxy.engine.SetImpulse(impulse);
        s.presenter.StarSystemAttacked(system);
    };
    attack(systems[0], 5);
    attack(systems[1], 6);
    attack(systems[0], 10);
    const TAlertButtons& alerts = s.presenter.Alerts();
    EXPECT_EQ(alerts.Button(0).Caption, systems[0]->Name);
    EXPECT_TRUE(alerts.Button(0).Underlined) << "a capital";
    EXPECT_EQ(alerts.Button(0).Impulse, 10) << "the same system restarts its button";
    EXPECT_FALSE(alerts.Button(1).Underlined);
    EXPECT_FALSE(alerts.Button(2).Visible);
    attack(systems[2], 11);
    attack(systems[3], 12);
    attack(systems[4], 13);  // all four lit: the oldest (systems[1], impulse 6) gives way
    EXPECT_EQ(alerts.Button(1).Caption, systems[4]->Name);
    EXPECT_EQ(alerts.Button(1).Impulse, 13);
    attack(enemyHome, 14);
    for (int i = 0; i < TAlertButtons::Count; ++i) EXPECT_NE(alerts.Button(i).SystemIndex, enemyHome->Index);

    s.presenter.BeforeProcess(30);
    s.presenter.AfterProcess(30);
    EXPECT_TRUE(alerts.Button(0).Visible) << "10 + 20 is not less than 30";
    s.presenter.BeforeProcess(30);
    s.presenter.AfterProcess(31);
    EXPECT_FALSE(alerts.Button(0).Visible);
    EXPECT_TRUE(alerts.Button(1).Visible);
    s.presenter.BeforeProcess(33);
    s.presenter.AfterProcess(34);
    EXPECT_FALSE(alerts.Button(1).Visible);
}

TEST(GamePresenter, AttacksExplodeWhereTheLocalPlayerSeesThem) {
    PresenterScene s;
    TStarSystem* home = s.galaxy.System(2, 2, s.Me());
    TStarSystem* far = s.galaxy.System(18, 18, s.Enemy());
    TStarShip* seen = s.galaxy.Ship(s.Enemy(), T::WarShip, 3, 3);
    TStarShip* unseen = s.galaxy.Ship(s.Enemy(), T::WarShip, 17, 17);
    s.Show();
    home->Visible[0] = true;
    seen->Visible[0] = true;
    far->Visible[0] = unseen->Visible[0] = false;

    s.presenter.BeforeProcess(1);
    s.presenter.StarSystemAttacked(far);
    s.presenter.StarShipDamaged(unseen);
    EXPECT_EQ(s.Effects(), 0);
    EXPECT_EQ(s.presenter.SoundFlags(), 0);
    s.presenter.StarShipDamaged(seen);
    s.presenter.StarSystemAttacked(home);
    EXPECT_EQ(s.Effects(), 2);
    EXPECT_EQ(s.presenter.SoundFlags(), sfShipDamaged | sfSystemAttacked);

    // A destroyed ship in sight explodes, and leaves the selection.
    s.input.SelectAt(seen->X, seen->Y);
    ASSERT_EQ(s.input.SelectedStarShip(), seen);
    s.galaxy.engine.DestroyStarShip(seen);
    s.galaxy.engine.DestroyStarShip(unseen);
    s.galaxy.engine.RemoveDestroyedStarShips();
    EXPECT_EQ(s.Effects(), 3);
    EXPECT_EQ(s.presenter.SoundFlags() & sfShipDestroyed, sfShipDestroyed);
    EXPECT_EQ(s.input.SelectedStarShip(), nullptr);
    s.board.RenderFrames(1);
    EXPECT_EQ(s.board.StarShips().SpriteCount(), 0);
}

TEST(GamePresenter, MovedSpritesGlideAtTheirShipsSpeedAndTheCursorFollowsTheSelection) {
    PresenterScene s;
    TStarShip* fast = s.galaxy.Ship(s.Me(), T::WarShip, 2, 2, 20, 3);
    TStarShip* slow = s.galaxy.Ship(s.Me(), T::Drone, 2, 8, 20, 0);
    s.Show();
    s.input.SelectAt(fast->X, fast->Y);
    s.Impulse(s.Me(), "2:" + fast->Code + ":6:2");
    ASSERT_EQ(fast->X, 3);
    auto* data = dynamic_cast<TDestinationSpriteMoverData*>(SpriteOf(fast)->MoverData());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->DestX, 3 * 30 + 15 + 1);
    EXPECT_EQ(data->DestY, 2 * 30 + 15 + 1);
    EXPECT_EQ(data->Speed, 6);
    EXPECT_EQ(dynamic_cast<TStarShipSprite*>(SpriteOf(fast))->Facing, 2);
    EXPECT_EQ(s.board.Surface().CursorCell(), (TPoint{3, 2}));

    slow->SetEngines(7);
    s.Impulse(s.Me(), "2:" + slow->Code + ":2:12");
    for (int i = 0; i < 20 && slow->Y == 8; ++i) s.Impulse();
    ASSERT_EQ(slow->Y, 9);
    data = dynamic_cast<TDestinationSpriteMoverData*>(SpriteOf(slow)->MoverData());
    EXPECT_EQ(data->Speed, 2) << "7 engines: 7 div 4 + 1";
    EXPECT_EQ(data->DestY, 9 * 30 + 16);
    EXPECT_NE(s.board.Surface().CursorCell(), (TPoint{2, 9})) << "only the selected ship takes the cursor";

    // A preview galaxy's ships get no sprites.
    s.presenter.BuildingPreview = true;
    TStarShip* preview = s.galaxy.Ship(s.Enemy(), T::Drone, 9, 9);
    EXPECT_EQ(SpriteOf(preview), nullptr);
}

TEST(GamePresenter, MessagesAndTheEndOfTheGame) {
    PresenterScene s;
    TStarSystem* home = s.galaxy.System(4, 4, s.Me());
    home->Capital = true;
    home->Resources = 50;
    s.autoBuild.SetAutoShields(home->Index, true);
    s.Show();
    RecordingMusic music;
    s.presenter.Music = &music;
    bool windowsClosed = false;
    s.presenter.OnClockStopped = [&] { windowsClosed = true; };
    s.presenter.Activated();
    s.presenter.Deactivated();
    EXPECT_EQ(music.calls, (std::vector<std::string>{"start", "stop"}));
    EXPECT_TRUE(windowsClosed);

    s.presenter.PlayerSurrendered(s.Enemy());
    EXPECT_EQ(s.presenter.MessageLine(), "Player 2 has Surrendered");
    EXPECT_EQ(s.presenter.CentreMessage(), "");
    s.Impulse();
    EXPECT_EQ(s.orders, std::vector<std::string>(9, "10:0")) << "shields 1..9 cost 45 of the 51 resources";
    EXPECT_EQ(s.stops, 0);
    s.orders.clear();

    s.Enemy()->Alive = false;
    s.Impulse();
    EXPECT_TRUE(s.orders.empty()) << "no automatic orders once the game is won";
    EXPECT_TRUE(s.presenter.VictoryShown()) << "the last player alive wins";
    EXPECT_EQ(s.presenter.CentreMessage(), "Player 1 is V I C T O R I O U S !");
    EXPECT_EQ(s.sounds.Sounds(), std::vector<TGameSound>{TGameSound::Conquer}) << "heard after the victory test";
    EXPECT_EQ(s.stops, 1);
    s.orders.clear();
    s.presenter.BeforeProcess(5);
    s.presenter.AfterProcess(6);
    EXPECT_TRUE(s.orders.empty()) << "nothing after the game has ended";
}

TEST(GamePresenter, DefeatShowsTheConquestAndStopsOnceWithNothingAfter) {
    PresenterScene s;
    TStarSystem* home = s.galaxy.System(4, 4, s.Me());
    home->Capital = true;
    home->Resources = 50;
    s.autoBuild.SetAutoShields(home->Index, true);
    s.Show();
    s.board.SetView(300, 300, 200, 200);

    s.presenter.BeforeProcess(7);
    s.presenter.PlayerConquered(s.Me());
    EXPECT_EQ(s.presenter.CentreMessage(), "C O N Q U E R E D");
    EXPECT_EQ(s.Effects(), 1) << "the capital goes up";
    EXPECT_EQ(s.board.Surface().OffsetX(), 135 - 100) << "the view centres on the capital";
    s.Me()->Alive = false;
    s.driver.ProcessOrders();
    s.presenter.AfterProcess(8);
    EXPECT_EQ(s.stops, 1);
    EXPECT_TRUE(s.orders.empty()) << "no automatic orders once the clock has stopped";
    EXPECT_EQ(s.sounds.Sounds(), std::vector<TGameSound>{TGameSound::Capital});
    EXPECT_EQ(s.presenter.CentreMessage(), "C O N Q U E R E D") << "the winner's message does not cover it";

    // Surrender and conquest of a player without a capital still show.
    PresenterScene t;
    t.presenter.PlayerConquered(t.Me());
    EXPECT_EQ(t.presenter.CentreMessage(), "C O N Q U E R E D");
    EXPECT_EQ(t.Effects(), 0);
    t.presenter.SetCentreMessage("");
    t.presenter.PlayerSurrendered(t.Me());
    EXPECT_EQ(t.presenter.CentreMessage(), "S U R R E N D E R E D");
}

TEST(GamePresenter, ReadoutsAndCaptions) {
    PresenterScene s;
    s.Me()->TechMultiple = 1234.5;
    EXPECT_EQ(s.presenter.TechMultipleText(), "Tech Multiple: 1,234.50");
    EXPECT_EQ(TGamePresenter::FormatTechMultiple(1), "1.00");
    EXPECT_EQ(TGamePresenter::FormatTechMultiple(1234567.891), "1,234,567.89");
    EXPECT_EQ(TGamePresenter::FormatTechMultiple(999.999), "1,000.00");
    EXPECT_EQ(TGamePresenter::FormatTechMultiple(-0.001), "0.00");
    EXPECT_EQ(s.presenter.PlayerCaption().Text, "Player: Player 1");
    s.presenter.BeforeProcess(12345);
    EXPECT_EQ(s.presenter.ImpulseReadout(), 2345);
    s.galaxy.engine.SetCurrentPlayer(nullptr);
    EXPECT_EQ(s.presenter.TechMultipleText(), "Brain Mode");
    EXPECT_EQ(s.presenter.PlayerCaption().Text, "");
}

TEST(OrderLines, ColoursByOrderTheSelectedInWhiteAndNoLineToAHiddenShip) {
    PresenterScene s;
    TStarSystem* home = s.galaxy.System(2, 10, s.Me());
    TStarSystem* colony = s.galaxy.System(8, 10, s.Me());
    TStarShip* mover = s.galaxy.Ship(s.Me(), T::WarShip, 2, 2);
    TStarShip* patrol = s.galaxy.Ship(s.Me(), T::WarShip, 4, 4);
    TStarShip* hunter = s.galaxy.Ship(s.Me(), T::WarShip, 6, 6);
    TStarShip* prey = s.galaxy.Ship(s.Enemy(), T::WarShip, 15, 15);
    TStarShip* freighter = s.galaxy.Ship(s.Me(), T::Freighter, 5, 12);
    mover->SetMove(12, 2);
    patrol->SetPatrol("1,1_3,1_3,3");
    patrol->PatrolIndex = 1;
    hunter->SetTargetStarShip(prey);
    freighter->SetTransport(home, colony);
    s.Show();
    prey->Visible[0] = false;

    auto P = [](int x, int y) { return TGameBoard::PixelPosition(x, y); };
    TRandom flicker(1);
    auto selected = [&](const TStarShip* ship) { return ship == patrol; };
    const std::vector<TOrderSegment> lines = TOrderLines::Build(s.galaxy.engine, s.Me(), selected, flicker);
    ASSERT_EQ(lines.size(), 2u + 4u + 3u);
    EXPECT_EQ(lines[0], (TOrderSegment{P(2, 2), P(12, 2), 6}));
    EXPECT_EQ(lines[1].To, P(12, 2));
    EXPECT_LE(std::abs(lines[1].From.X - P(2, 2).X), 1);
    EXPECT_LE(std::abs(lines[1].From.Y - P(2, 2).Y), 1);
    EXPECT_EQ(lines[2], (TOrderSegment{P(4, 4), P(3, 1), 255})) << "toward the current patrol point";
    EXPECT_EQ(lines[4], (TOrderSegment{P(1, 1), P(3, 1), 255}));
    EXPECT_EQ(lines[5], (TOrderSegment{P(3, 1), P(3, 3), 255}));
    EXPECT_EQ(lines[6], (TOrderSegment{P(5, 12), P(2, 10), 110})) << "an empty Freighter heads for its source";
    EXPECT_EQ(lines[8], (TOrderSegment{P(2, 10), P(8, 10), 110}));

    prey->Visible[0] = true;
    EXPECT_EQ(TOrderLines::Build(s.galaxy.engine, s.Me(), selected, flicker).size(), 11u);
    EXPECT_TRUE(TOrderLines::Build(s.galaxy.engine, nullptr, selected, flicker).empty()) << "brain mode";

    // The board draws them under its sprites.
    s.presenter.AttachBoardDrawing();
    s.board.RenderFrames(1);
    const uint8_t* frame = s.board.Surface().FrameBits();
    ASSERT_NE(frame, nullptr);
    const int32_t width = s.board.Surface().Width();
    const TPoint mid = P(8, 2);
    EXPECT_EQ(frame[mid.Y * width + mid.X], 6);
}

} // namespace
} // namespace qx
