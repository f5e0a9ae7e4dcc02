// SPDX-License-Identifier: GPL-3.0-or-later
// The key capture after a catch and the ape's fall after the last key.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Bonus : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.startPlaying();
    rig.h.disableTimer(TimerGioco);
  }
  // The state a catch leaves: the player on the hook at position 1 during a
  // swing, every game timer stopped, the key capture about to begin.
  // A tickCount below 0 keeps the life's own count.
  void catchNow(int tickCount, int keysLeft = 4) {
    Handheld& h = rig.h;
    if (tickCount >= 0) rig.g.TickCount = tickCount;
    rig.g.KeysLeft = keysLeft;
    h.MostraKey();
    h.NascondiOmino();
    rig.g.OminoCol = rig.g.OminoRow = 0;
    rig.g.CatchPhase = 0;
    rig.g.HookPhase = 11;
    h.surface.show(Im_Omino62A);
    h.surface.show(Im_Gancio1);
    h.surface.show(Im_Gru2);
    h.surface.hide(Im_Gru1);
    h.surface.show(Im_LevaSu);
    h.surface.hide(Im_LevaGiu);
    h.surface.show(Im_Bar27);
    h.surface.show(Im_Bar37);
    h.Blocca_Timers();
    h.setTimerInterval(TimerNonCade, 400);
    h.enableTimer(TimerNonCade);
    start = rig.scheduler.now();
  }
  void waitUntil(Millis sinceCatch) { rig.wait(start + sinceCatch - rig.scheduler.now()); }
  Rig rig;
  Millis start = 0;
};

TEST_F(Bonus, TheCountLengthDependsOnHowQuicklyTheHookWasCaught) {
  const std::pair<int, int> steps[] = {{0, 19}, {3, 19}, {5, 19}, {6, 20}, {7, 20}, {8, 19},
                                       {15, 19}, {16, 18}, {40, 15}, {119, 6}, {120, 5}, {128, 5}, {200, 5}};
  for (const auto& [ticks, expected] : steps) {
    rig.h.Blocca_Timers();
    rig.g.Score = 0;
    rig.g.BonusCount = 20;
    catchNow(ticks);
    waitUntil(800 + 95 * 21);  // room for 20 steps and the end step
    EXPECT_EQ(rig.g.Score, expected) << "TickCount " << ticks;
    EXPECT_GE(rig.g.CatchPhase, 3);
  }
}

TEST_F(Bonus, KeyCaptureStepByStep) {
  catchNow(3);
  waitUntil(399);
  EXPECT_TRUE(rig.lit(Im_Omino62A));
  rig.soundLog.clear();
  waitUntil(400);
  EXPECT_TRUE(rig.lit(Im_Omino62B) && rig.lit(Im_Gancio3));
  EXPECT_FALSE(rig.lit(Im_Omino62A) || rig.lit(Im_Gancio1));
  waitUntil(800);
  EXPECT_TRUE(rig.lit(Im_Gru3));
  EXPECT_FALSE(rig.lit(Im_Gru2) || rig.lit(Im_Omino62B));
  EXPECT_EQ(rig.g.KeysLeft, 3);
  EXPECT_FALSE(rig.lit(Im_Key4));
  EXPECT_TRUE(rig.lit(Im_Key3));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"SndStep", "SndStep"}));
  // 19 steps of 95 ms, a Bonus sound and a point each.
  waitUntil(800 + 95 * 19);
  EXPECT_EQ(rig.g.Score, 19);
  EXPECT_EQ(rig.digits(), "--19");
  EXPECT_EQ(rig.g.CatchPhase, 2);
  waitUntil(800 + 95 * 20);
  EXPECT_EQ(rig.g.CatchPhase, 3);
  EXPECT_EQ(rig.h.timerInterval(TimerNonCade), 400u);
  const Millis end = 800 + 95 * 20;
  waitUntil(end + 400);
  EXPECT_TRUE(rig.lit(Im_Gru2) && rig.lit(Im_Omino62B) && rig.lit(Im_Gancio3));
  EXPECT_FALSE(rig.lit(Im_Gru3));
  waitUntil(end + 800);
  EXPECT_TRUE(rig.lit(Im_Gru1) && rig.lit(Im_LevaGiu) && rig.lit(Im_Omino62E));
  EXPECT_FALSE(rig.lit(Im_LevaSu) || rig.lit(Im_Gru2) || rig.lit(Im_Omino62B) ||
               rig.lit(Im_Gancio3));
  waitUntil(end + 1200);
  EXPECT_FALSE(rig.lit(Im_Omino62E));
  EXPECT_EQ(rig.g.HookPhase, 0);
  waitUntil(end + 1999);
  EXPECT_FALSE(rig.h.timerEnabled(TimerGioco));
  rig.soundLog.clear();
  waitUntil(end + 2000);
  // Back to play at the start cell, the barrels beside it gone.
  EXPECT_TRUE(rig.lit(Im_Omino27));
  EXPECT_FALSE(rig.lit(Im_Bar27) || rig.lit(Im_Bar37));
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.g.TickCount, 0);
  EXPECT_EQ(rig.g.BonusCount, 20);
  EXPECT_EQ(rig.g.CatchPhase, 7);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_FALSE(rig.h.timerEnabled(TimerNonCade));
  EXPECT_FALSE(rig.h.timerEnabled(TimerBlink));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndJump"}));
}

// A new life counts its captures afresh, whatever the life before left
// behind: eight barrel ticks into it, a capture counts 20 - 8 / 8 = 19 steps.
TEST_F(Bonus, ACaptureInALaterLifeCountsTheFullBonus) {
  rig.g.TickCount = 100;
  rig.g.BonusCount = 9;
  rig.g.Lives = 3;
  rig.clearField();
  rig.placePlayer(3, 7);
  rig.h.surface.show(Im_Bar37);
  rig.key(VkRight);  // a miss
  rig.wait(1030);
  ASSERT_TRUE(rig.g.AwaitingEntry);
  rig.h.disableTimer(TimerGioco);
  rig.enterEarly();
  rig.clearField();
  for (int i = 0; i < 8; ++i) {
    rig.g.HalfTick = true;
    rig.h.TimerGiocoTimer();
  }
  rig.g.Score = 0;
  catchNow(-1);
  waitUntil(800 + 95 * 21);
  EXPECT_EQ(rig.g.Score, 19);
}

TEST_F(Bonus, DoublePointsCountTwiceAndBlinkAfterTheReturn) {
  rig.g.PointValue = 2;
  catchNow(8);
  waitUntil(800 + 95 * 20);
  EXPECT_EQ(rig.g.Score, 38);
  waitUntil(800 + 95 * 20 + 2000);
  EXPECT_TRUE(rig.h.timerEnabled(TimerBlink));
}

TEST_F(Bonus, TheLastKeyDropsTheApeAndCountsTwentyHeartSteps) {
  rig.h.surface.hide(Im_Orco6Up);
  rig.h.surface.hide(Im_Orco6Down);
  rig.h.surface.show(Im_Orco2Down);
  rig.g.OrcoCol = 2;
  rig.h.surface.show(Im_SbarreSu);
  rig.g.HalfTick = rig.g.QuarterTick = true;
  catchNow(3, 1);
  const Millis countEnd = 800 + 95 * 20;  // 19 steps, then the end step
  waitUntil(countEnd);
  EXPECT_EQ(rig.g.KeysLeft, 0);
  EXPECT_FALSE(rig.lit(Im_Key1));
  EXPECT_EQ(rig.h.timerInterval(TimerNonCade), 200u);
  waitUntil(countEnd + 200);
  EXPECT_FALSE(rig.h.timerEnabled(TimerNonCade));
  EXPECT_EQ(rig.g.CatchPhase, 3);
  rig.soundLog.clear();
  const Millis fall = countEnd + 201;  // the 1 ms start
  waitUntil(fall);
  EXPECT_EQ(rig.g.FallPhase, 2);
  // The bars flash three times, 500 ms apart, a jump sound on each dark,
  // and drop with the ape at step 7.
  for (int step = 1; step <= 7; ++step) {
    waitUntil(fall + 500 * (step - 1));
    EXPECT_EQ(rig.lit(Im_SbarreSu), step % 2 == 0) << "step " << step;
  }
  EXPECT_TRUE(rig.lit(Im_SbarreGiu) && rig.lit(Im_OrcoFall));
  EXPECT_FALSE(rig.lit(Im_Orco2Down) || rig.lit(Im_Orco2Up));
  waitUntil(fall + 3500);
  EXPECT_FALSE(rig.lit(Im_SbarreGiu));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"SndJump", "SndJump", "SndJump",
                                                            "SndOrcoFall", "silence"}));
  const int before = rig.g.Score;
  rig.soundLog.clear();
  // One heart at each of the twenty steps, a point each: S small, L large.
  const std::string hearts = "SSSLLLSSSLLLSSSLLLSS";
  for (int step = 1; step <= 20; ++step) {
    waitUntil(fall + 3500 + 95 * step);
    const bool small = hearts[step - 1] == 'S';
    EXPECT_EQ(rig.lit(Im_Heart1), small) << "step " << step;
    EXPECT_EQ(rig.lit(Im_Heart2), !small) << "step " << step;
    EXPECT_EQ(rig.g.Score - before, step);
  }
  EXPECT_EQ(rig.soundLog.names(), std::vector<std::string>(20, "SndBonus"));
  waitUntil(fall + 3500 + 95 * 21);
  EXPECT_FALSE(rig.lit(Im_Heart1) || rig.lit(Im_Heart2));
  const Millis heartEnd = 3500 + 95 * 21;
  waitUntil(fall + heartEnd + 399);
  EXPECT_FALSE(rig.lit(Im_Gru2)) << "400 ms to step 10";
  waitUntil(fall + heartEnd + 400);
  EXPECT_TRUE(rig.lit(Im_Gru2) && rig.lit(Im_Omino62B));
  waitUntil(fall + heartEnd + 400 * 3);  // steps 10 to 12: the player leaves the crane
  EXPECT_FALSE(rig.lit(Im_Omino62E));
  EXPECT_EQ(rig.g.HookPhase, 0);
  waitUntil(fall + heartEnd + 400 * 4);  // step 13
  EXPECT_TRUE(rig.lit(Im_Orco6Up));
  EXPECT_EQ(rig.g.OrcoCol, 6);
  EXPECT_TRUE(rig.lit(Im_SbarreSu));
  EXPECT_FALSE(rig.lit(Im_OrcoFall));
  EXPECT_EQ(rig.g.KeysLeft, 4);
  EXPECT_TRUE(rig.lit(Im_Key4));
  EXPECT_TRUE(rig.lit(Im_Gru1));
  waitUntil(fall + heartEnd + 400 * 5);
  EXPECT_EQ(rig.litPlayerPoses(), (std::vector<std::string>{"Im_Omino27"}));
  EXPECT_EQ(rig.g.DropRange, 1);
  EXPECT_FALSE(rig.g.HalfTick);
  EXPECT_FALSE(rig.g.QuarterTick);
  EXPECT_EQ(rig.g.FallPhase, 14);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_FALSE(rig.h.timerEnabled(TimerBonus));
}

}  // namespace
}  // namespace cantiere::test
