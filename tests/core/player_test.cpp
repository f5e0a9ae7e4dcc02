// SPDX-License-Identifier: GPL-3.0-or-later
// The player's keys: walking, climbing, jumping, the repeat guard, the entry.
#include <algorithm>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Player : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.startPlaying();
    // Keep the world still unless a test runs the tick.
    rig.h.disableTimer(TimerGioco);
    rig.clearField();
    rig.soundLog.clear();
  }
  Rig rig;
};

TEST_F(Player, EarlyEntryPlacesThePlayerAtTheStartEvenWhileAKeyIsHeld) {
  Rig r;
  r.openCase();
  r.startGame(ModeGameA);
  r.program.keyDown(VkLeft);  // KeyHeld now set
  r.soundLog.clear();
  r.program.keyDown(VkCtrl);
  EXPECT_FALSE(r.g.AwaitingEntry);
  EXPECT_TRUE(r.g.ControlEnabled);
  EXPECT_TRUE(r.lit(Im_Omino27));
  EXPECT_EQ(r.g.OrcoRange, 15);
  EXPECT_EQ(r.g.LadderTicks, 0);
  EXPECT_EQ(r.g.PointValue, 1);
  EXPECT_EQ(r.soundLog.names(), (std::vector<std::string>{"silence", "SndJump"}));
  EXPECT_FALSE(r.lit(Puls_Jump));
  r.program.keyUp(VkCtrl);
  EXPECT_TRUE(r.lit(Puls_Jump));
}

TEST_F(Player, AHeldKeyActsOncePer330Milliseconds) {
  // Auto-repeat every 33 ms, as a desktop sends it.
  rig.program.keyDown(VkRight);
  EXPECT_EQ(rig.g.OminoCol, 3);
  std::vector<std::pair<Millis, int>> moves;
  for (int i = 0; i < 40; ++i) {
    rig.wait(33);
    rig.program.keyDown(VkRight);
    if (moves.empty() || moves.back().second != rig.g.OminoCol)
      moves.push_back({rig.scheduler.now(), rig.g.OminoCol});
  }
  // The guard runs out at 330 ms, just before the repeat that comes then.
  ASSERT_GE(moves.size(), 4u);
  EXPECT_EQ(moves[0].second, 3);
  EXPECT_EQ(moves[1].second, 4);
  EXPECT_EQ(moves[2].second, 5);
  EXPECT_EQ(moves[3].second, 6);
  EXPECT_EQ(rig.g.OminoCol, 6) << "stops at the end of the girder";
  const Millis start = rig.scheduler.now() - 40 * 33;
  EXPECT_EQ(moves[1].first - start, 330);
  rig.program.keyUp(VkRight);
  rig.program.keyDown(VkUp);
  EXPECT_EQ(rig.g.OminoRow, 6);
  EXPECT_EQ(rig.g.OrcoRange, 16);
}

// A release stops the guard, so a key pressed again soon after is guarded
// for 330 ms from its own press, not from the earlier one's.
TEST_F(Player, EachPressGetsItsOwn330Milliseconds) {
  const Millis start = rig.scheduler.now();
  auto at = [&](Millis t) { rig.wait(start + t - rig.scheduler.now()); };
  rig.key(VkRight);  // at 0, to column 3
  at(100);
  rig.program.keyDown(VkRight);  // to column 4, then held with auto-repeat
  ASSERT_EQ(rig.g.OminoCol, 4);
  for (Millis t = 133; t < 430; t += 33) {
    at(t);
    rig.program.keyDown(VkRight);
  }
  EXPECT_EQ(rig.g.OminoCol, 4) << "no repeat acts within 330 ms of the press";
  at(430);
  rig.program.keyDown(VkRight);
  EXPECT_EQ(rig.g.OminoCol, 5);
}

TEST_F(Player, TappingActsOnEveryPress) {
  for (int i = 0; i < 3; ++i) rig.key(VkRight);
  EXPECT_EQ(rig.g.OminoCol, 5);
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndStep", "silence",
                                                            "SndStep", "silence", "SndStep"}));
}

TEST_F(Player, WalkingIntoABarrelOnTheLowerGirdersIsAMissInTheOldCell) {
  rig.placePlayer(3, 7);
  rig.h.surface.show(Im_Bar37);
  rig.key(VkRight);
  EXPECT_EQ(rig.g.OminoCol, 3);
  EXPECT_TRUE(rig.lit(Im_Omino37));
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
  rig.h.Blocca_Timers();
  rig.placePlayer(4, 6);
  rig.h.surface.show(Im_Bar36);
  rig.key(VkLeft);
  EXPECT_EQ(rig.g.OminoCol, 4);
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
}

TEST_F(Player, OnTheTopGirderTheMissComesInTheNewCell) {
  rig.placePlayer(4, 2);
  rig.h.surface.show(Im_BarFall22);
  rig.program.keyDown(VkLeft);
  EXPECT_TRUE(rig.lit(Im_Omino22B));
  EXPECT_FALSE(rig.lit(Im_Omino42));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndStep", "silence",
                                                            "SndMiss"}));
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
  EXPECT_TRUE(rig.h.timerEnabled(TimerMove)) << "the tail runs after the miss";
  EXPECT_TRUE(rig.g.KeyHeld);
}

// Every move that can fail, with the hazard in the way: on rows 6 and 7 the
// barrel is tested before the move (the player stays), elsewhere after it.
TEST_F(Player, EachMoveThatCanFailDoesSoInTheRightCell) {
  struct Case {
    int col, row, key;
    Element hazard;
    int toCol, toRow;   // where the move leads
    bool missInNewCell;  // else the player stays where it stood
  };
  const Case cases[] = {
      {4, 7, VkLeft, Im_Bar37, 3, 7, false},     {4, 7, VkRight, Im_Bar47, 5, 7, false},
      {4, 6, VkLeft, Im_Bar36, 3, 6, false},     {4, 6, VkRight, Im_Bar46, 5, 6, false},
      {2, 6, VkUp, Im_Trave2, 2, 5, true},       {2, 4, VkDown, Im_Trave2, 2, 5, true},
      {2, 4, VkUp, Im_BarFall22, 2, 2, true},    {4, 2, VkLeft, Im_BarFall22, 2, 2, true},
      {2, 2, VkRight, Im_BarFall42, 4, 2, true}, {4, 2, VkRight, Im_BarFall62, 6, 2, true},
  };
  for (const Case& c : cases) {
    for (bool hazard : {false, true}) {
      rig.h.Blocca_Timers();
      rig.clearField();
      rig.placePlayer(c.col, c.row);
      rig.h.surface.set(c.hazard, hazard);
      rig.key(c.key);
      const std::string what = std::to_string(c.col) + std::to_string(c.row) + " key " +
                               std::to_string(c.key) + (hazard ? " into " : " without ") +
                               nameOf(c.hazard);
      EXPECT_EQ(rig.h.timerEnabled(TimerMiss), hazard) << what;
      const bool moved = !hazard || c.missInNewCell;
      const int col = moved ? c.toCol : c.col;
      const int row = moved ? c.toRow : c.row;
      EXPECT_EQ(rig.g.OminoCol, col) << what;
      EXPECT_EQ(rig.g.OminoRow, row) << what;
      EXPECT_TRUE(rig.lit(rig.h.tables.OminoPose(col, row))) << what;
    }
  }
}

TEST_F(Player, ClimbingTheLadderSetsTheApesRangeByRow) {
  rig.placePlayer(6, 7);
  const std::pair<int, int> expected[] = {{6, 16}, {5, 18}, {4, 24}, {2, 36}};
  rig.key(VkUp);
  EXPECT_EQ(rig.g.OminoRow, 6);
  EXPECT_EQ(rig.g.OrcoRange, 16);
  for (int i = 0; i < 4; ++i) rig.key(VkLeft);
  EXPECT_EQ(rig.g.OminoCol, 2);
  for (const auto& [row, range] : expected) {
    if (row == 6) continue;
    rig.key(VkUp);
    EXPECT_EQ(rig.g.OminoRow, row);
    EXPECT_EQ(rig.g.OrcoRange, range);
    EXPECT_EQ(rig.g.LadderTicks, row == 5 ? 1 : 0);
  }
  rig.key(VkUp);  // nothing above row 2
  EXPECT_EQ(rig.g.OminoRow, 2);
  rig.key(VkDown);
  EXPECT_EQ(rig.g.OminoRow, 4);
  EXPECT_EQ(rig.g.OrcoRange, 24);
  rig.key(VkLeft);  // rows 4 and 5 have only column 2
  EXPECT_EQ(rig.g.OminoCol, 2);
}

TEST_F(Player, ClimbingOntoTheLadderUnderABeamIsAMissThatKeepsTheApesRange) {
  rig.placePlayer(2, 6);
  rig.g.OrcoRange = 16;  // as on arriving at row 6
  rig.h.surface.show(Im_Trave2);
  rig.key(VkUp);
  EXPECT_EQ(rig.g.OminoRow, 5);
  EXPECT_EQ(rig.g.LadderTicks, 1);
  EXPECT_EQ(rig.g.OrcoRange, 16);
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
}

// Ctrl on the cells without a jump or a leap: only the button's picture goes
// dark. The beams over row 6 are lit, and the beam test finds no jump pose.
TEST_F(Player, CtrlWhereNoJumpIsPossibleOnlyPressesTheButton) {
  const std::pair<int, int> cells[] = {{3, 7}, {4, 7}, {6, 7}, {2, 6},
                                       {3, 6}, {6, 6}, {2, 2}, {4, 2}};
  for (const auto& [col, row] : cells) {
    rig.clearField();
    rig.placePlayer(col, row);
    rig.h.surface.show(Im_Trave4);
    rig.h.surface.show(Im_Trave5);
    rig.g.CatchPhase = 7;
    auto expect = rig.litNames();
    rig.program.keyDown(VkCtrl);
    auto after = rig.litNames();
    after.push_back("Puls_Jump");
    std::sort(after.begin(), after.end());
    std::sort(expect.begin(), expect.end());
    const std::string cell = std::to_string(col) + std::to_string(row);
    EXPECT_EQ(after, expect) << cell;
    EXPECT_TRUE(rig.g.ControlEnabled) << cell;
    EXPECT_EQ(rig.g.OminoCol, col) << cell;
    EXPECT_EQ(rig.g.OminoRow, row) << cell;
    EXPECT_EQ(rig.g.CatchPhase, 7) << cell;
    for (TimerId t : {TimerJump, Timer_Cade, TimerMiss, TimerMissTrave, TimerLeva})
      EXPECT_FALSE(rig.h.timerEnabled(t)) << cell << " " << timerName(t);
    rig.program.keyUp(VkCtrl);
  }
  EXPECT_TRUE(rig.soundLog.events.empty());
}

// Every walk and climb that succeeds: the new cell's pose alone is lit, the
// step sound plays, and a climb sets the ape's range and the ladder count
// by the row reached.
TEST_F(Player, EveryWalkAndClimbStepsWithTheStepSound) {
  struct Move {
    int col, row, key, toCol, toRow;
    int range, ladder;  // -1: left as it was
  };
  std::vector<Move> moves;
  for (int row : {6, 7}) {
    for (int c = 3; c <= 6; ++c) moves.push_back({c, row, VkLeft, c - 1, row, -1, -1});
    for (int c = 2; c <= 5; ++c) moves.push_back({c, row, VkRight, c + 1, row, -1, -1});
  }
  for (int c : {4, 6}) moves.push_back({c, 2, VkLeft, c - 2, 2, -1, -1});
  for (int c : {2, 4}) moves.push_back({c, 2, VkRight, c + 2, 2, -1, -1});
  const Move climbs[] = {
      {6, 7, VkUp, 6, 6, 16, -1},  {6, 6, VkDown, 6, 7, 15, -1}, {2, 6, VkUp, 2, 5, 18, 1},
      {2, 5, VkUp, 2, 4, 24, 0},   {2, 5, VkDown, 2, 6, 16, 0},  {2, 4, VkUp, 2, 2, 36, -1},
      {2, 4, VkDown, 2, 5, 18, 1}, {2, 2, VkDown, 2, 4, 24, -1},
  };
  moves.insert(moves.end(), std::begin(climbs), std::end(climbs));
  for (const Move& m : moves) {
    const std::string what = std::to_string(m.col) + std::to_string(m.row) + " key " +
                             std::to_string(m.key);
    rig.clearField();
    rig.placePlayer(m.col, m.row);
    rig.g.OrcoRange = 99;
    rig.g.LadderTicks = 3;
    rig.soundLog.clear();
    rig.key(m.key);
    EXPECT_EQ(rig.g.OminoCol, m.toCol) << what;
    EXPECT_EQ(rig.g.OminoRow, m.toRow) << what;
    EXPECT_EQ(rig.litPlayerPoses(),
              (std::vector<std::string>{nameOf(rig.h.tables.OminoPose(m.toCol, m.toRow))}))
        << what;
    EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndStep"})) << what;
    EXPECT_EQ(rig.g.OrcoRange, m.range < 0 ? 99 : m.range) << what;
    EXPECT_EQ(rig.g.LadderTicks, m.ladder < 0 ? 3 : m.ladder) << what;
    EXPECT_TRUE(rig.g.ControlEnabled) << what;
  }
}

// Each jump pose lights alone while in the air and goes dark at the
// landing, leaving the grid pose alone lit, whether a barrel passed or not.
TEST_F(Player, EveryLandingLeavesOnlyTheGridPoseLit) {
  struct Case {
    int col, row;
    Element jump, passed;
  };
  const Case cases[] = {{2, 7, Im_Omino27J, Im_Bar17},
                        {5, 7, Im_Omino57J, Im_Bar47},
                        {4, 6, Im_Omino46J, Im_Bar46},
                        {5, 6, Im_Omino56J, Im_Bar56}};
  for (const Case& c : cases) {
    for (bool barrel : {false, true}) {
      rig.clearField();
      rig.placePlayer(c.col, c.row);
      rig.program.keyDown(VkCtrl);
      rig.program.keyUp(VkCtrl);
      EXPECT_EQ(rig.litPlayerPoses(), (std::vector<std::string>{nameOf(c.jump)}));
      rig.h.surface.set(c.passed, barrel);
      rig.wait(rig.h.timerInterval(TimerJump));
      EXPECT_EQ(rig.litPlayerPoses(),
                (std::vector<std::string>{nameOf(rig.h.tables.OminoPose(c.col, c.row))}))
          << nameOf(c.jump) << (barrel ? " over a barrel" : "");
      EXPECT_TRUE(rig.g.ControlEnabled);
      EXPECT_FALSE(rig.h.timerEnabled(TimerJump));
    }
  }
}

TEST_F(Player, AJumpLastsTwoGameTicksAndScoresTheBarrelPassedUnder) {
  rig.h.setTimerInterval(TimerGioco, 300);
  rig.placePlayer(5, 7);
  rig.program.keyDown(VkCtrl);
  EXPECT_TRUE(rig.lit(Im_Omino57J));
  EXPECT_FALSE(rig.lit(Im_Omino57));
  EXPECT_FALSE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.h.timerInterval(TimerJump), 600u);
  rig.program.keyUp(VkCtrl);
  rig.key(VkLeft);  // the gate is shut during a jump
  EXPECT_EQ(rig.g.OminoCol, 5);
  rig.h.surface.show(Im_Bar47);  // the barrel has rolled under
  rig.wait(599);
  EXPECT_TRUE(rig.lit(Im_Omino57J));
  rig.wait(1);
  EXPECT_TRUE(rig.lit(Im_Omino57));
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.g.Score, 1);
  EXPECT_EQ(rig.digits(), "---1");
  EXPECT_FALSE(rig.h.timerEnabled(TimerJump));
}

TEST_F(Player, NothingScoresWhenNoBarrelPassed) {
  rig.placePlayer(2, 7);
  rig.program.keyDown(VkCtrl);
  rig.wait(2000);
  EXPECT_EQ(rig.g.Score, 0);
  EXPECT_TRUE(rig.lit(Im_Omino27));
}

TEST_F(Player, RowSixJumpsCountDoubleAndNeverStepOverThreeHundred) {
  struct Case {
    int before, pointValue, after;
  };
  const Case cases[] = {{10, 1, 12}, {10, 2, 14}, {299, 1, 300}, {298, 1, 300}};
  for (const Case& c : cases) {
    rig.h.Blocca_Timers();
    rig.placePlayer(4, 6);
    rig.g.Score = c.before;
    rig.g.PointValue = c.pointValue;
    rig.program.keyDown(VkCtrl);
    rig.program.keyUp(VkCtrl);
    rig.h.surface.show(Im_Bar46);
    rig.wait(rig.h.timerInterval(TimerJump));
    EXPECT_EQ(rig.g.Score, c.after) << c.before;
    EXPECT_EQ(rig.h.timerEnabled(Timer_Chance), c.after == 300) << c.before;
    rig.h.surface.hide(Im_Bar46);
  }
}

TEST_F(Player, JumpingIntoABeamIsLostAtOnce) {
  rig.placePlayer(4, 6);
  rig.h.surface.show(Im_Trave4);
  rig.program.keyDown(VkCtrl);
  EXPECT_TRUE(rig.lit(Im_Omino46J));
  EXPECT_TRUE(rig.h.timerEnabled(TimerMissTrave));
  EXPECT_FALSE(rig.h.timerEnabled(TimerJump));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndJump", "silence",
                                                            "SndMiss"}));
}

TEST_F(Player, ABeamArrivingDuringAJumpDoesNotEndIt) {
  rig.placePlayer(5, 6);
  rig.program.keyDown(VkCtrl);
  rig.h.surface.show(Im_Trave5);
  rig.wait(rig.h.timerInterval(TimerJump));
  EXPECT_TRUE(rig.lit(Im_Omino56));
  EXPECT_FALSE(rig.h.timerEnabled(TimerMissTrave));
}

TEST_F(Player, PullingTheLeverIsSilent) {
  rig.placePlayer(2, 2);
  rig.key(VkLeft);
  EXPECT_TRUE(rig.lit(Im_Omino22A));
  EXPECT_TRUE(rig.lit(Im_LevaSu));
  EXPECT_FALSE(rig.lit(Im_Omino22B));
  EXPECT_FALSE(rig.lit(Im_LevaGiu));
  EXPECT_FALSE(rig.g.ControlEnabled);
  EXPECT_TRUE(rig.soundLog.events.empty());
}

TEST_F(Player, WalkingOffTheTopGirderFalls) {
  rig.g.Score = 12;
  rig.h.enableTimer(TimerBlink);
  rig.h.surface.hide(Im_NumPos3);
  rig.placePlayer(6, 2);
  rig.key(VkRight);
  EXPECT_TRUE(rig.lit(Im_Omino62C));
  EXPECT_FALSE(rig.lit(Im_Omino62));
  EXPECT_TRUE(rig.lit(Im_NumPos3));
  EXPECT_FALSE(rig.h.timerEnabled(TimerBlink));
  EXPECT_TRUE(rig.h.timerEnabled(Timer_Cade2));
  EXPECT_EQ(rig.g.OminoCol, 6);
  EXPECT_EQ(rig.g.OminoRow, 2);
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndFall"}));
}

TEST_F(Player, MovesThatGoNowhereDoNothing) {
  const std::pair<std::pair<int, int>, int> none[] = {
      {{4, 2}, VkDown}, {{6, 2}, VkDown}, {{2, 7}, VkDown}, {{3, 7}, VkUp}, {{2, 5}, VkLeft},
      {{2, 5}, VkRight}, {{2, 4}, VkRight}, {{2, 7}, VkLeft}, {{6, 7}, VkRight}, {{3, 6}, VkUp}};
  for (const auto& [cell, key] : none) {
    rig.placePlayer(cell.first, cell.second);
    rig.key(key);
    EXPECT_EQ(rig.g.OminoCol, cell.first) << cell.first << cell.second << " key " << key;
    EXPECT_EQ(rig.g.OminoRow, cell.second);
  }
  EXPECT_TRUE(rig.soundLog.events.empty());
}

TEST(PlayerIdle, WithoutAGameCtrlOnlyPressesTheButton) {
  Rig rig;
  rig.openCase();
  rig.program.keyDown(VkCtrl);
  rig.program.keyDown(VkRight);
  EXPECT_FALSE(rig.lit(Puls_Jump));
  EXPECT_EQ(rig.g.OminoCol, 0);
  EXPECT_FALSE(rig.h.timerEnabled(TimerJump));
  rig.program.keyUp(VkCtrl);
  EXPECT_TRUE(rig.lit(Puls_Jump));
}

}  // namespace
}  // namespace cantiere::test
