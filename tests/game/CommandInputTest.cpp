#include <gtest/gtest.h>

#include "engine/QuorvexEngine.h"
#include "render/SpriteLink.h"
#include "tests/game/GameFixture.h"

namespace qx {
namespace {

using test::InputScene;
using V = std::vector<std::string>;

TEST(CommandInput, MoveForOneShipAndForADraggedGroup) {
    InputScene s;
    s.galaxy.System(2, 2, s.Me());
    TStarShip* a = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* b = s.Ship(s.Me(), TShipType::Drone, 6, 4);
    s.Show();

    s.MouseClick(a->X, a->Y);
    EXPECT_EQ(s.input.SelectedStarShip(), a);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarShip);
    EXPECT_TRUE(s.input.OwnSelection());
    EXPECT_EQ(s.sounds.Last(), TGameSound::SelectShip);
    EXPECT_EQ(s.input.ShipPanel().Name.Text, "WarShip " + a->Code);

    s.input.OrderButtonClick(btnMove);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Move);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlOrderStarShip);
    EXPECT_EQ(s.input.Prompt(), "(Click Destination)");
    EXPECT_EQ(s.input.Cursor(), TBoardCursor::Target);

    s.MouseClick(2, 2);  // a star system is no destination
    EXPECT_EQ(s.sounds.Last(), TGameSound::Error);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Move);
    EXPECT_TRUE(s.orders.empty());

    s.MouseClick(7, 9);
    EXPECT_EQ(s.TakeOrders(), V{"2:" + a->Code + ":7:9:"});
    EXPECT_EQ(s.sounds.Last(), TGameSound::Confirmed);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarShip);
    EXPECT_EQ(s.input.Cursor(), TBoardCursor::Default);
    EXPECT_EQ(s.board.Surface().CursorCell(), (TPoint{4, 4})) << "the cursor goes back to the selected ship";

    // A drag over both ships makes a group; the press had emptied the old one.
    s.MouseDrag(3, 3, 7, 5);
    ASSERT_EQ(s.input.SelectedStarShips(), (std::vector<TStarShip*>{a, b}));
    EXPECT_EQ(s.input.SelectedStarShip(), nullptr);
    EXPECT_TRUE(s.input.ShipPanel().Group);
    EXPECT_EQ(s.input.ShipPanel().Name.Text, "* Group Command *");
    EXPECT_TRUE(SpriteOf(a)->Selected && SpriteOf(b)->Selected);
    s.input.OrderButtonClick(btnMove);
    s.MouseClick(12, 12);
    EXPECT_EQ(s.TakeOrders(), (V{"2:" + a->Code + ":12:12:", "2:" + b->Code + ":12:12:"}));

    // A plain press on the board empties the group and its marks.
    s.MouseClick(15, 15);
    EXPECT_TRUE(s.input.SelectedStarShips().empty());
    EXPECT_FALSE(SpriteOf(a)->Selected || SpriteOf(b)->Selected);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlNothing);
    EXPECT_EQ(s.sounds.Last(), TGameSound::Click);
}

TEST(CommandInput, ADragInACommandModeActsOnceWhereItEnds) {
    InputScene s;
    TStarShip* a = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* b = s.Ship(s.Me(), TShipType::WarShip, 5, 4);
    s.Show();
    s.SelectShip(a);
    s.input.OrderButtonClick(btnPatrol);
    s.MouseDrag(8, 8, 9, 9);
    EXPECT_EQ(s.input.PatrolPoints(), V{"9,9"}) << "one point per gesture, not two";
    s.input.CancelOrderClick();
    s.input.OrderButtonClick(btnMove);
    s.MouseDrag(3, 3, 6, 6);  // over both ships, but a command is waiting for its cell
    EXPECT_EQ(s.TakeOrders(), V{"2:" + a->Code + ":6:6:"});
    EXPECT_TRUE(s.input.SelectedStarShips().empty());
    EXPECT_FALSE(SpriteOf(b)->Selected);
}

// Every command mode's order text, for one ship and for a group.
TEST(CommandInput, EachModeWritesItsOrderText) {
    InputScene s;
    TStarSystem* home = s.galaxy.System(2, 2, s.Me());
    TStarSystem* colony = s.galaxy.System(10, 2, s.Me());
    TStarSystem* enemyHome = s.galaxy.System(15, 15, s.Enemy());
    s.galaxy.Wormhole(5, 10, 18, 18);
    TStarShip* war = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* drone = s.Ship(s.Me(), TShipType::Drone, 6, 4);
    TStarShip* freighter = s.Ship(s.Me(), TShipType::Freighter, 4, 6);
    TStarShip* tug = s.Ship(s.Me(), TShipType::Tug, 8, 8);
    TStarShip* shield = s.Ship(s.Me(), TShipType::ShieldGenerator, 9, 9);
    TStarShip* repair = s.Ship(s.Me(), TShipType::RepairShip, 10, 10);
    TStarShip* grav = s.Ship(s.Me(), TShipType::GravShip, 11, 11);
    TStarShip* gate = s.Ship(s.Me(), TShipType::JumpGateShip, 12, 12);
    TStarShip* enemy = s.Ship(s.Enemy(), TShipType::WarShip, 14, 14);
    s.Show();
    const std::string W = war->Code, D = drone->Code, E = enemy->Code;

    auto command = [&](TStarShip* ship, int button, std::vector<TPoint> clicks) {
        s.SelectShip(ship);
        s.TakeOrders();
        s.input.OrderButtonClick(button);
        for (TPoint c : clicks) s.Click(c.X, c.Y);
        EXPECT_EQ(s.input.Mode(), TCommandMode::Select) << "button " << button;
        return s.TakeOrders();
    };
    EXPECT_EQ(command(war, btnTarget, {{14, 14}}), V{"8:" + W + ":" + E + ":"});
    EXPECT_EQ(command(war, btnTarget, {{15, 15}}), V{"9:" + W + ":2:"});
    EXPECT_EQ(command(war, btnDefend, {{10, 2}}), V{"4:" + W + ":Y1:"});
    EXPECT_EQ(command(war, btnDefend, {{6, 4}}), V{"4:" + W + ":I0" + D + ":"});
    EXPECT_EQ(command(war, btnDefend, {{5, 10}}), V{"4:" + W + ":W0:"});
    EXPECT_EQ(command(war, btnEscort, {{6, 4}}), V{"5:" + W + ":" + D + ":-2:0:"});
    EXPECT_EQ(command(war, btnPatrol, {{3, 4}, {5, 6}, {3, 4}}), V{"6:" + W + ":3,4_5,6_3,4_:"});
    EXPECT_EQ(command(freighter, btnTransport, {{2, 2}, {10, 2}}), V{"7:" + freighter->Code + ":0:1:"});
    EXPECT_EQ(command(tug, btnTug, {{14, 14}}), V{"16:" + tug->Code + ":" + E + ":"});
    EXPECT_EQ(command(shield, btnGenerate, {{15, 15}}), V{"18:" + shield->Code + ":2:"});
    EXPECT_EQ(command(repair, btnRepair, {{4, 4}}), V{"19:" + repair->Code + ":" + W + ":"});
    EXPECT_EQ(command(grav, btnDrag, {{10, 2}}), V{"20:" + grav->Code + ":1:"});
    EXPECT_EQ(command(gate, btnCreateGate, {}), V{"21:" + gate->Code + ":"});
    (void)home, (void)colony, (void)enemyHome;

    // Clear and Release show only when there is something to clear or release.
    EXPECT_FALSE(s.input.ShipPanel().Buttons[btnClearOrders]);
    war->SetMove(1, 1);
    tug->Towing = D;
    EXPECT_EQ(command(war, btnClearOrders, {}), V{"1:" + W + ":"});
    EXPECT_EQ(command(tug, btnRelease, {}), V{"17:" + tug->Code + ":"});
    EXPECT_EQ(s.sounds.Last(), TGameSound::Confirmed);
    s.SelectShip(war);
    s.input.AttackAdjacentClick(false);
    EXPECT_EQ(s.TakeOrders(), V{"15:" + W + ":0:"});

    // The same through a group: each member that offers the order gets it.
    s.MouseDrag(3, 3, 7, 6);  // war, drone, freighter
    ASSERT_EQ(s.input.SelectedStarShips().size(), 3u);
    auto group = [&](int button, std::vector<TPoint> clicks) {
        s.input.OrderButtonClick(button);
        for (TPoint c : clicks) s.Click(c.X, c.Y);
        return s.TakeOrders();
    };
    EXPECT_TRUE(s.input.ShipPanel().Buttons[btnTarget]) << "any member that can target shows Target";
    EXPECT_FALSE(s.input.ShipPanel().Buttons[btnTransport]);
    EXPECT_EQ(s.input.Prompt(), "");
    s.input.OrderButtonClick(btnTarget);
    EXPECT_EQ(s.input.Prompt(), "(Click on StarSystem or StarShip to Target)");
    s.Click(14, 14);
    EXPECT_EQ(s.TakeOrders(), (V{"8:" + W + ":" + E + ":", "8:" + D + ":" + E + ":"}));
    EXPECT_EQ(group(btnTarget, {{15, 15}}), V{"9:" + W + ":2:"}) << "only the WarShip targets systems";
    EXPECT_FALSE(s.input.ShipPanel().Buttons[btnDefend]) << "a Freighter cannot defend";
    s.input.OrderButtonClick(btnDefend);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select);
    EXPECT_EQ(group(btnEscort, {{8, 8}}), (V{"5:" + W + ":" + tug->Code + ":-4:-4:", "5:" + D + ":" + tug->Code +
                                                 ":-2:-4:", "5:" + freighter->Code + ":" + tug->Code + ":-4:-2:"}));
    EXPECT_EQ(group(btnPatrol, {{1, 8}, {3, 8}}), V{});
    s.input.CompleteOrderClick();
    EXPECT_EQ(s.TakeOrders(), (V{"6:" + W + ":1,8_3,8_:", "6:" + D + ":1,8_3,8_:", "6:" + freighter->Code +
                                                                                     ":1,8_3,8_:"}));
    EXPECT_EQ(group(btnClearOrders, {}), (V{"1:" + W + ":", "1:" + D + ":", "1:" + freighter->Code + ":"}));
}

// The remaining modes through a group of two ships of one type: each
// member gets the same order under its own code.
TEST(CommandInput, EachModeGivesEveryMemberOfAGroupItsOrder) {
    struct Case {
        TShipType type;
        int button;  // -1: the Attack Adjacent box
        std::vector<TPoint> clicks;
        std::string tail;  // the order after the member's code, with the number before it
    };
    const std::vector<Case> cases = {
        {TShipType::WarShip, btnDefend, {{2, 2}}, "4:|:Y0:"},
        {TShipType::Freighter, btnTransport, {{2, 2}, {10, 2}}, "7:|:0:1:"},
        {TShipType::ShieldGenerator, btnGenerate, {{10, 2}}, "18:|:1:"},
        {TShipType::RepairShip, btnRepair, {{12, 12}}, "19:|:@:"},
        {TShipType::GravShip, btnDrag, {{10, 2}}, "20:|:1:"},
        {TShipType::Tug, btnRelease, {}, "17:|:"},
        {TShipType::JumpGateShip, btnCreateGate, {}, "21:|:"},
        {TShipType::Drone, -1, {}, "15:|:1:"},
    };
    for (const Case& c : cases) {
        InputScene s;
        s.galaxy.System(2, 2, s.Me());
        s.galaxy.System(10, 2, s.Me());
        TStarShip* patient = s.Ship(s.Me(), TShipType::WarShip, 12, 12);
        TStarShip* one = s.Ship(s.Me(), c.type, 5, 5);
        TStarShip* two = s.Ship(s.Me(), c.type, 6, 5);
        one->Towing = two->Towing = patient->Code;  // tugs have something to release
        s.Show();
        s.MouseDrag(5, 5, 6, 5);
        if (c.button < 0)
            s.input.AttackAdjacentClick(true);
        else
            s.input.OrderButtonClick(c.button);
        for (TPoint p : c.clicks) s.Click(p.X, p.Y);
        auto expected = [&](const TStarShip* ship) {
            std::string text = c.tail;
            text.replace(text.find('|'), 1, ship->Code);
            if (const size_t at = text.find('@'); at != std::string::npos) text.replace(at, 1, patient->Code);
            return text;
        };
        EXPECT_EQ(s.TakeOrders(), (V{expected(one), expected(two)})) << ShipTypeName(c.type);
    }
}

TEST(CommandInput, EscortersAndTugsNeverTakeThemselves) {
    InputScene s;
    TStarShip* tug1 = s.Ship(s.Me(), TShipType::Tug, 4, 4);
    TStarShip* tug2 = s.Ship(s.Me(), TShipType::Tug, 5, 4);
    s.Show();
    s.SelectShip(tug1);
    s.input.OrderButtonClick(btnTug);
    s.Click(4, 4);  // itself
    EXPECT_EQ(s.sounds.Last(), TGameSound::Error);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Tug);
    s.Click(5, 4);
    EXPECT_EQ(s.TakeOrders(), V{"16:" + tug1->Code + ":" + tug2->Code + ":"});

    s.MouseDrag(4, 4, 5, 4);
    s.input.OrderButtonClick(btnTug);
    s.Click(5, 4);
    EXPECT_EQ(s.TakeOrders(), V{"16:" + tug1->Code + ":" + tug2->Code + ":"}) << "the clicked member is the tow";
    s.input.OrderButtonClick(btnEscort);
    s.Click(4, 4);
    EXPECT_EQ(s.TakeOrders(), V{"5:" + tug2->Code + ":" + tug1->Code + ":1:0:"});
}

TEST(CommandInput, ClicksThatFindNothingFittingKeepTheMode) {
    InputScene s;
    TStarSystem* home = s.galaxy.System(2, 2, s.Me());
    s.galaxy.System(10, 2, s.Enemy());
    TStarShip* war = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* freighter = s.Ship(s.Me(), TShipType::Freighter, 6, 6);
    TStarShip* drone = s.Ship(s.Me(), TShipType::Drone, 7, 7);
    s.Show();

    struct Case {
        TStarShip* ship;
        int button;
        std::vector<TPoint> clicks;  // the last one fails
    };
    const std::vector<Case> cases = {
        {war, btnTarget, {{4, 4}}},        // one's own ship
        {war, btnTarget, {{2, 2}}},        // one's own system
        {drone, btnTarget, {{10, 2}}},     // a Drone cannot target systems
        {war, btnEscort, {{12, 12}}},      // no ship there
        {war, btnDefend, {{12, 12}}},      // nothing there
        {war, btnPatrol, {{2, 2}}},        // a system
        {freighter, btnTransport, {{10, 2}}},          // not one's own
        {freighter, btnTransport, {{2, 2}, {2, 2}}},   // to where it comes from
        {freighter, btnTransport, {{2, 2}, {12, 12}}}, // no system
    };
    for (const Case& c : cases) {
        s.SelectShip(c.ship);
        s.input.OrderButtonClick(c.button);
        for (TPoint p : c.clicks) s.Click(p.X, p.Y);
        EXPECT_EQ(s.sounds.Last(), TGameSound::Error) << "button " << c.button;
        EXPECT_NE(s.input.Mode(), TCommandMode::Select) << "button " << c.button;
        EXPECT_TRUE(s.TakeOrders().empty()) << "button " << c.button;
        s.input.CancelOrderClick();
    }
    s.SelectShip(freighter);
    s.input.OrderButtonClick(btnTransport);
    s.Click(2, 2);
    EXPECT_EQ(s.input.Mode(), TCommandMode::TransportTo);
    EXPECT_EQ(s.input.TransportSource(), home);
    EXPECT_EQ(s.input.Prompt(), "(Click StarSystem to Transport To)");
    s.input.CancelOrderClick();
    EXPECT_EQ(s.input.TransportSource(), nullptr);
}

TEST(CommandInput, PatrolsCloseOnTheirFirstPointOrCompleteWithTwoPoints) {
    InputScene s;
    TStarShip* war = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    s.Show();
    s.SelectShip(war);
    s.input.OrderButtonClick(btnPatrol);
    EXPECT_EQ(s.input.Prompt(), "(Click First Patrol Point)");
    EXPECT_FALSE(s.input.CompleteOrderVisible());
    s.Click(3, 4);
    EXPECT_EQ(s.input.Prompt(), "(Click Next Patrol Point)");
    EXPECT_TRUE(s.input.CompleteOrderVisible());
    s.input.CompleteOrderClick();  // one point is no patrol
    EXPECT_EQ(s.sounds.Last(), TGameSound::Error);
    EXPECT_TRUE(s.orders.empty());
    s.Click(3, 4);  // the same point again: not yet closed
    EXPECT_TRUE(s.orders.empty());
    s.Click(8, 9);
    s.input.CompleteOrderClick();
    EXPECT_EQ(s.TakeOrders(), V{"6:" + war->Code + ":3,4_3,4_8,9_:"});
    EXPECT_TRUE(s.input.PatrolPoints().empty());
    EXPECT_FALSE(s.input.CompleteOrderVisible());

    // Starting over clears the points of an abandoned patrol.
    s.input.OrderButtonClick(btnPatrol);
    s.Click(1, 1);
    ASSERT_EQ(s.input.PatrolPoints(), V{"1,1"});
    s.input.OrderButtonClick(btnPatrol);
    EXPECT_TRUE(s.input.PatrolPoints().empty());
    EXPECT_EQ(s.input.Prompt(), "(Click First Patrol Point)");
}

TEST(CommandInput, KeysClickTheFirstVisibleButtonOfOnesOwnSelection) {
    InputScene s;
    TStarShip* freighter = s.Ship(s.Me(), TShipType::Freighter, 4, 4);
    TStarShip* war = s.Ship(s.Me(), TShipType::WarShip, 6, 6);
    TStarShip* enemy = s.Ship(s.Enemy(), TShipType::WarShip, 9, 9);
    s.Show();

    s.SelectShip(freighter);
    EXPECT_TRUE(s.input.KeyPress('t'));
    EXPECT_EQ(s.input.Mode(), TCommandMode::TransportFrom) << "a Freighter's T is Transport";
    EXPECT_TRUE(s.input.KeyPress(27));
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select);
    EXPECT_FALSE(s.input.KeyPress(27)) << "Escape without a mode does nothing";

    s.SelectShip(war);
    EXPECT_TRUE(s.input.KeyPress('T'));
    EXPECT_EQ(s.input.Mode(), TCommandMode::Target);
    s.Click(9, 9);
    EXPECT_EQ(s.TakeOrders(), V{"8:" + war->Code + ":" + enemy->Code + ":"});
    // Right after a command click the keys still act.
    EXPECT_TRUE(s.input.KeyPress('m'));
    EXPECT_EQ(s.input.Mode(), TCommandMode::Move);
    EXPECT_FALSE(s.input.KeyPress('G')) << "no visible button has G";
    s.input.CancelOrderClick();

    s.SelectShip(enemy);
    EXPECT_FALSE(s.input.OwnSelection());
    EXPECT_FALSE(s.input.KeyPress('m')) << "an enemy ship takes no keys";
    s.input.OrderButtonClick(btnMove);
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select) << "nor button clicks";

    s.SelectShip(war);
    s.running = false;
    EXPECT_FALSE(s.input.KeyPress('m')) << "keys act only while the clock runs";
}

TEST(CommandInput, ShiftTogglesShipsAndTheToolbarLeavesCommandModes) {
    InputScene s;
    TStarSystem* home = s.galaxy.System(2, 2, s.Me());
    TStarShip* a = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* b = s.Ship(s.Me(), TShipType::WarShip, 6, 6);
    s.Show();
    s.SelectShip(a);
    s.MouseClick(6, 6, ssShift);
    EXPECT_EQ(s.input.SelectedStarShips(), (std::vector<TStarShip*>{a, b})) << "the ship chosen before joins";
    EXPECT_EQ(s.input.SelectedStarShip(), nullptr);
    EXPECT_TRUE(SpriteOf(b)->Selected);
    s.MouseClick(4, 4, ssShift);
    EXPECT_EQ(s.input.SelectedStarShips(), std::vector<TStarShip*>{b});
    EXPECT_FALSE(SpriteOf(a)->Selected);
    s.input.OrderButtonClick(btnMove);
    s.Click(9, 9);
    EXPECT_EQ(s.TakeOrders(), V{"2:" + b->Code + ":9:9:"});

    // Selecting from the toolbar while a command waits does not give it the
    // click.
    s.SelectShip(a);
    s.input.OrderButtonClick(btnTarget);
    s.input.SelectAt(home->X, home->Y);
    EXPECT_TRUE(s.orders.empty());
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select);
    EXPECT_EQ(s.input.SelectedStarSystem(), home);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlStarSystem);
    EXPECT_EQ(s.sounds.Last(), TGameSound::SelectSystem);
    EXPECT_EQ(s.board.Surface().CursorCell(), (TPoint{2, 2}));
}

TEST(CommandInput, ShipPanelShowsWhatTheLocalPlayerKnows) {
    InputScene s;
    TStarShip* own = s.Ship(s.Me(), TShipType::WarShip, 4, 4, 8, 5);
    TStarShip* dopple = s.Ship(s.Enemy(), TShipType::DoppleShip, 6, 6, 9, 4);
    TStarShip* unknown = s.Ship(s.Enemy(), TShipType::ScanShip, 8, 8);
    dopple->Known[0] = true;
    own->Engines = 2;  // 2 of 8: badly damaged
    own->Value = 4;
    s.Show();

    s.SelectShip(own);
    TShipPanelView v = s.input.ShipPanel();
    EXPECT_EQ(v.Engines.Text, "2/8");
    EXPECT_EQ(v.Engines.Color, clRed);
    EXPECT_EQ(v.Value.Text, "4/5");
    EXPECT_EQ(v.Value.Color, clYellow);
    EXPECT_EQ(v.ValueLabel.Text, "Weapons:");
    EXPECT_EQ(v.Owner.Text, "Player 1");
    EXPECT_EQ(v.Orders.Text, "-No Orders-");
    EXPECT_TRUE(v.Buttons[btnMove] && v.Buttons[btnTarget] && v.AttackAdjacentVisible);
    EXPECT_FALSE(v.Buttons[btnClearOrders] || v.Buttons[btnTug]);

    s.SelectShip(dopple);
    v = s.input.ShipPanel();
    EXPECT_EQ(v.Name.Text, "WarShip " + dopple->Code) << "a DoppleShip passes for a WarShip";
    EXPECT_EQ(v.Engines.Text, std::to_string(dopple->ApparentEngines()));
    EXPECT_EQ(v.Value.Text, std::to_string(dopple->ApparentWeapons()));
    EXPECT_FALSE(v.Own);
    for (bool shown : v.Buttons) EXPECT_FALSE(shown);

    s.SelectShip(unknown);
    v = s.input.ShipPanel();
    EXPECT_EQ(v.Name.Text, "StarShip " + unknown->Code);
    EXPECT_FALSE(v.Engines.Visible || v.ValueLabel.Visible);
}

TEST(CommandInput, AGroupOffersWhatAllMembersCanDoAndClearsWhenItsLastShipGoes) {
    InputScene s;
    TStarShip* war = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* missile = s.Ship(s.Me(), TShipType::DoomMissile, 5, 4);
    missile->SetMove(9, 9);  // a missile with an order offers nothing
    s.Show();
    s.MouseDrag(4, 4, 5, 4);
    ASSERT_EQ(s.input.SelectedStarShips().size(), 2u);
    const TShipPanelView v = s.input.ShipPanel();
    EXPECT_FALSE(v.Buttons[btnMove]) << "the missile cannot move on command";
    EXPECT_TRUE(v.Buttons[btnTarget]);
    EXPECT_TRUE(v.Buttons[btnClearOrders]);

    s.input.OrderButtonClick(btnTarget);
    s.input.ForgetStarShip(war);
    EXPECT_EQ(s.input.SelectedStarShips(), std::vector<TStarShip*>{missile});
    EXPECT_EQ(s.input.Mode(), TCommandMode::Target) << "a group member is left to command";
    s.input.ForgetStarShip(missile);
    EXPECT_TRUE(s.input.SelectedStarShips().empty());
    EXPECT_EQ(s.input.Mode(), TCommandMode::Select);
    EXPECT_EQ(s.input.Panel(), TSidePanel::pnlNothing);
    EXPECT_FALSE(s.input.OwnSelection());
}

TEST(CommandInput, BrainModeShowsEverythingAndCommandsNothing) {
    InputScene s;
    TStarShip* a = s.Ship(s.Me(), TShipType::WarShip, 4, 4);
    TStarShip* b = s.Ship(s.Enemy(), TShipType::WarShip, 6, 6);
    s.galaxy.engine.SetCurrentPlayer(nullptr);
    s.Show();
    s.SelectShip(b);
    EXPECT_EQ(s.input.ShipPanel().Name.Text, "WarShip " + b->Code) << "everything is known";
    EXPECT_FALSE(s.input.OwnSelection());
    s.MouseClick(4, 4, ssShift);
    ASSERT_EQ(s.input.SelectedStarShips().size(), 2u);
    for (bool shown : s.input.ShipPanel().Buttons) EXPECT_FALSE(shown);
    EXPECT_FALSE(s.input.KeyPress('m'));
    // A drag pressed with Shift and released without it keeps the group.
    const TPoint from = TGameBoard::PixelPosition(3, 3), to = TGameBoard::PixelPosition(7, 7);
    s.board.Surface().MouseDown(TMouseButton::mbLeft, ssShift, from.X, from.Y);
    s.board.Surface().MouseMove(0, to.X, to.Y);
    s.board.Surface().MouseUp(TMouseButton::mbLeft, 0, to.X, to.Y);
    EXPECT_EQ(s.input.SelectedStarShips(), (std::vector<TStarShip*>{a, b}));
    EXPECT_TRUE(s.orders.empty());
}

} // namespace
} // namespace qx
