#include "BrainFixture.h"

using namespace qx;
using qx::test::BrainFixture;

using Orders = std::vector<std::string>;

TEST_F(BrainFixture, ShieldAndScannerBuildsOnlyForOwnSystems) {
    AddSystem(5, 5, 0);
    AddSystem(30, 30, 1);
    EXPECT_EQ(Think("BuildShields( 0, 3 ); BuildShields( 1, 3 ); BuildScanners( 0, 1 ); BuildScanners( 1, 2 );"),
              (Orders{"10:0:", "10:0:", "10:0:", "11:0:"}));
}

TEST_F(BrainFixture, ShipBuildsTakeTheEmptyNeighboursInRankOrder) {
    AddSystem(5, 5, 0);
    EXPECT_EQ(Think("BuildStarShip( 0, 0, 5, 3, false ); BuildStarShip( 0, 0, 5, 3, true );"),
              (Orders{"12:0:0:5:3:0:-1:-1:7::", "12:0:0:5:3:1:-1:0:14::"}));

    // Only (6, 4) and (6, 6) left free: a third build finds no cell.
    for (int x = 4; x <= 5; ++x)
        for (int y = 4; y <= 6; ++y)
            if (!(x == 5 && y == 5)) AddShip(x, y, 0, TShipType::Drone);
    AddShip(6, 5, 1, TShipType::Drone);
    EXPECT_EQ(Think("BuildStarShip( 0, 2, 1, 0, false ); BuildStarShip( 0, 2, 1, 0, false );"
                    "BuildStarShip( 0, 2, 1, 0, false );"),
              (Orders{"12:0:2:1:0:0:1:-1:1::", "12:0:2:1:0:0:1:1:1::"}));
}

TEST_F(BrainFixture, BuildsAtTheMapEdgeNeverLeaveTheMap) {
    AddSystem(0, 0, 0);
    EXPECT_EQ(Think("BuildStarShip( 0, 2, 1, 0, false );"), (Orders{"12:0:2:1:0:0:0:1:1::"}));
}

TEST_F(BrainFixture, BonusPricingAppliesAtTheBuildingSystem) {
    TStarSystem* home = AddSystem(5, 5, 0);
    home->BonusPercent = 12;
    home->BonusShipType = TShipType::SpyShip;
    EXPECT_EQ(Think("BuildStarShip( 0, 4, 20, 10, true );"), (Orders{"12:0:4:20:10:1:-1:-1:188::"}));
}

TEST_F(BrainFixture, HiddenSystemsReadAsUnknown) {
    AddSystem(5, 5, 0);
    AddSystem(35, 35, 1);
    engine.UpdateVisibility();
    Think("own := GetStarSystemOwner( 0 ); owner := GetStarSystemOwner( 1 ); v := GetStarSystemValue( 1 );"
          "sh := GetStarSystemShields( 1 ); sc := GetStarSystemScanners( 1 ); r := GetStarSystemResources( 1 );"
          "cap := IsStarSystemCapital( 1 ); vis := IsStarSystemVisible( 1 ); x := GetStarSystemX( 1 );"
          "ownR := GetStarSystemResources( 0 );");
    EXPECT_EQ(Variable("OWN").AsInteger(), 0);
    EXPECT_EQ(Variable("OWNER").AsInteger(), -1);
    EXPECT_EQ(Variable("V").AsInteger(), 0);
    EXPECT_EQ(Variable("SH").AsInteger(), 0);
    EXPECT_EQ(Variable("SC").AsInteger(), 0);
    EXPECT_EQ(Variable("R").AsInteger(), 0);
    EXPECT_FALSE(Variable("CAP").AsBoolean());
    EXPECT_FALSE(Variable("VIS").AsBoolean());
    EXPECT_EQ(Variable("X").AsInteger(), 35);  // positions are always known
    EXPECT_EQ(Variable("OWNR").AsInteger(), 30);  // truncated toward zero
}

TEST_F(BrainFixture, UnknownShipsShowOwnerButNoDetails) {
    AddSystem(5, 5, 0);
    TStarShip* enemy = AddShip(6, 6, 1, TShipType::WarShip, 4, 7);
    enemy->KnownValue[0] = 3;
    AddShip(20, 20, 1, TShipType::WarShip);  // not seen at all
    engine.UpdateVisibility();
    Think("n := GetStarShipCount(); owner := GetStarShipOwner( 0 ); t := GetStarShipType( 0 );"
          "v := GetStarShipValue( 0 ); e := GetStarShipEngines( 0 ); k := IsStarShipKnown( 0 );"
          "c := GetStarShipCode( 0 ); f := FindStarShipCode( c ); g := FindStarShipCode( 'zzz' );");
    EXPECT_EQ(Variable("N").AsInteger(), 1);
    EXPECT_EQ(Variable("OWNER").AsInteger(), 1);
    EXPECT_EQ(Variable("T").AsInteger(), -1);
    EXPECT_EQ(Variable("V").AsInteger(), 3);  // what the player has learnt
    EXPECT_EQ(Variable("E").AsInteger(), 0);
    EXPECT_FALSE(Variable("K").AsBoolean());
    EXPECT_EQ(Variable("C").AsString(), enemy->Code);
    EXPECT_EQ(Variable("F").AsInteger(), 0);
    EXPECT_EQ(Variable("G").AsInteger(), -1);

    enemy->Known[0] = true;
    Think("t := GetStarShipType( 0 ); v := GetStarShipValue( 0 ); e := GetStarShipEngines( 0 );");
    EXPECT_EQ(Variable("T").AsInteger(), 0);
    EXPECT_EQ(Variable("V").AsInteger(), 4);
    EXPECT_EQ(Variable("E").AsInteger(), 7);
}

TEST_F(BrainFixture, OrderFunctionsWriteOrderTextsForOwnShipsOnly) {
    AddSystem(5, 5, 0);
    AddSystem(9, 5, 0);
    TStarShip* a = AddShip(6, 6, 0, TShipType::WarShip, 3);
    TStarShip* b = AddShip(7, 8, 0, TShipType::Tug);
    TStarShip* enemy = AddShip(8, 8, 1, TShipType::Drone);
    const std::string A = a->Code, B = b->Code, E = enemy->Code;
    engine.UpdateVisibility();
    const Orders orders = Think(
        "OrderMove( 0, 10, 20 ); OrderTargetStarShip( 0, 2 ); OrderTargetStarSystem( 0, 1 );"
        "OrderDefendStarShip( 0, 1 ); OrderDefendStarSystem( 0, 1 ); OrderAttackAdjacent( 0, true );"
        "OrderEscort( 0, 1 ); OrderTransport( 0, 0, 1 ); OrderTug( 1, 0 ); OrderRelease( 1 );"
        "OrderDrag( 0, 1 ); OrderCreateGate( 0 ); OrderGenerateShields( 0, 1 ); OrderRepair( 0, 1 );"
        "OrderMove( 2, 1, 1 );");
    EXPECT_EQ(orders, (Orders{"2:" + A + ":10:20:", "8:" + A + ":" + E + ":", "9:" + A + ":1:",
                              "4:" + A + ":I0" + B + ":", "4:" + A + ":Y1:", "15:" + A + ":1:",
                              "5:" + A + ":" + B + ":-1:-2:", "7:" + A + ":0:1:", "16:" + B + ":" + A + ":",
                              "17:" + B + ":", "20:" + A + ":1:", "21:" + A + ":", "18:" + A + ":1:",
                              "19:" + A + ":" + B + ":"}));
}

TEST_F(BrainFixture, IndicesOutsideTheListsAreRunTimeErrors) {
    AddSystem(5, 5, 0);
    Think("x := GetStarSystemX( 3 );");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("List index out of bounds (3)"), std::string::npos) << messages[0];
}

TEST_F(BrainFixture, ClosestSearchesExcludeTheRangeAndPreferLowerIndices) {
    AddSystem(10, 10, 0);
    AddSystem(20, 10, 1);   // 10 away, hidden from player 0
    AddSystem(10, 16, -1);  // 6 away
    AddSystem(16, 10, -1);  // 6 away, later index
    engine.UpdateVisibility();
    engine.GetStarSystem(2)->Visible[0] = true;  // as if a scout had seen it
    Think("a := FindClosestStarSystem( 10, 10, 6, false, true ); b := FindClosestStarSystem( 10, 10, 7, false, true );"
          "c := FindClosestStarSystem( 10, 10, 100, false, false ); d := FindClosestStarSystem( 10, 10, 100, true, false );"
          "e := FindClosestStarSystem( 20, 10, 5, false, false ); f := FindClosestStarSystem( 20, 10, 5, false, true );"
          "g := Distance( 0, 0, 3, 4 );");
    EXPECT_EQ(Variable("A").AsInteger(), -1);  // range itself is excluded
    EXPECT_EQ(Variable("B").AsInteger(), 2);   // tie: the lower index
    EXPECT_EQ(Variable("D").AsInteger(), 0);
    EXPECT_EQ(Variable("E").AsInteger(), -1);  // hidden
    EXPECT_EQ(Variable("F").AsInteger(), 1);
    EXPECT_DOUBLE_EQ(Variable("G").AsFloat(), 7.0);
    EXPECT_EQ(Variable("C").AsInteger(), 2);  // the only foreign system the player sees

    AddShip(11, 11, 0, TShipType::Drone);
    AddShip(12, 10, 1, TShipType::Drone);
    AddShip(9, 10, 1, TShipType::Drone);
    engine.UpdateVisibility();
    Think("m := FindClosestStarShip( 10, 10, 1, false ); n := FindClosestStarShip( 10, 10, 3, false );"
          "o := FindClosestStarShip( 10, 10, 3, true );");
    EXPECT_EQ(Variable("M").AsInteger(), -1);
    EXPECT_EQ(engine.ObjectRef(scripts.GetBrain(engine.GetPlayer(0)).VisibleShips[static_cast<size_t>(Variable("N").AsInteger())]),
              engine.ObjectRef(engine.StarShipAt(9, 10)));
    EXPECT_EQ(Variable("O").AsInteger(), 0);
}

TEST_F(BrainFixture, ClosestSearchesGiveTheSameInsideAndOutsideATurn) {
    // A brain turn searches lists made once for the turn; a run outside a
    // turn walks the engine's lists. Both must answer every question alike.
    TRandom layout;
    layout.Seed(11);
    for (int i = 0; i < 40; ++i) AddSystem(layout.Random(40), layout.Random(40), layout.Random(3) - 1);
    for (int i = 0; i < 30; ++i) AddShip(layout.Random(40), layout.Random(40), layout.Random(2), TShipType::Drone);
    engine.UpdateVisibility();
    const std::string text =
        "SetArray(r, 600); n := 0;"
        "for x := 0 to 7 do for y := 0 to 4 do begin"
        "  r[n] := FindClosestStarSystem(x * 6 - 2, y * 9, 3 + x * 4, false, false);"
        "  r[n + 1] := FindClosestStarSystem(x * 6 - 2, y * 9, 3 + x * 4, false, true);"
        "  r[n + 2] := FindClosestStarSystem(x * 6, y * 9 - 1, 2 + y * 7, true, false);"
        "  r[n + 3] := FindClosestStarSystem(x * 6, y * 9 - 1, 2 + y * 7, true, true);"
        "  r[n + 4] := FindClosestStarShip(x * 5, y * 8, 1 + x * 3, false);"
        "  r[n + 5] := FindClosestStarShip(x * 5, y * 8, 1 + x * 3, true);"
        "  n := n + 6 end;";
    Think(text);
    const TValue inTurn = Variable("R");
    TQuorvexBrain& brain = scripts.GetBrain(engine.GetPlayer(0));
    scripts.CurrentBrain = &brain;
    scripts.BrainPlayer = engine.GetPlayer(0);
    brain.Execute();
    const TValue& outside = Variable("R");
    ASSERT_EQ(Variable("N").AsInteger(), 240);
    int found = 0;
    for (size_t i = 0; i < 240; ++i) {
        ASSERT_EQ(inTurn.AsArray()[i].AsInteger(), outside.AsArray()[i].AsInteger()) << "question " << i;
        found += inTurn.AsArray()[i].AsInteger() >= 0;
    }
    EXPECT_GT(found, 100);  // most questions have an answer, some do not
    EXPECT_LT(found, 240);
}

TEST_F(BrainFixture, BrainDataLookupsMatchTheFirstLineOfTheName) {
    AddSystem(5, 5, 0);
    TPlayer* player = engine.GetPlayer(0);
    // Lines as a loaded game may hold them: a repeated name, a line without
    // "=", a name that is the start of another.
    player->BrainData = {"0kk=long", "0k=first", "0k=second", "0bare", "0a=b=c"};
    Think("a := GetBrainData( 'k' ); SetBrainData( 'k', 'new' ); b := GetBrainData( 'k' );"
          "c := GetBrainData( 'bare' ); d := GetBrainData( 'a=b' ); e := GetBrainData( 'a' );"
          "SetBrainData( 'z', '1' ); SetBrainData( 'z', '2' ); f := GetBrainData( 'z' ); g := GetBrainData( 'kk' );");
    EXPECT_EQ(Variable("A").AsString(), "first");
    EXPECT_EQ(Variable("B").AsString(), "new");
    EXPECT_EQ(Variable("C").AsString(), "");
    EXPECT_EQ(Variable("D").AsString(), "c");
    EXPECT_EQ(Variable("E").AsString(), "b=c");
    EXPECT_EQ(Variable("F").AsString(), "2");
    EXPECT_EQ(Variable("G").AsString(), "long");
    EXPECT_EQ(player->BrainData,
              (std::vector<std::string>{"0kk=long", "0k=new", "0k=second", "0bare", "0a=b=c", "0z=2"}));

    // What changed the data between turns is read by the next turn.
    player->BrainData = {"0z=outside"};
    Think("f := GetBrainData( 'z' ); k := GetBrainData( 'k' );");
    EXPECT_EQ(Variable("F").AsString(), "outside");
    EXPECT_EQ(Variable("K").AsString(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(BrainFixture, BrainDataIsKeptPerPlayerAndRefusesSeparators) {
    AddSystem(5, 5, 0);
    Think("SetBrainData( 'mood', 'bold' ); SetBrainData( 'mood', 'calm' ); m := GetBrainData( 'mood' );"
          "n := GetBrainData( 'none' );");
    EXPECT_EQ(Variable("M").AsString(), "calm");
    EXPECT_EQ(Variable("N").AsString(), "");
    EXPECT_EQ(engine.GetPlayer(0)->BrainData, std::vector<std::string>{"0mood=calm"});
    EXPECT_TRUE(messages.empty());

    Think("SetBrainData( 'a;b', 'x' );", 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Player 2"), std::string::npos);
    EXPECT_TRUE(engine.GetPlayer(1)->BrainData.empty());
}
