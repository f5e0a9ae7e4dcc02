// SPDX-License-Identifier: GPL-3.0-or-later
// The lever, the hook swing, the leap's race for the hook and the fall.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Crane : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.startPlaying();
    rig.h.disableTimer(TimerGioco);  // barrels stay where they are
    rig.clearField();
    rig.placePlayer(2, 2);
  }
  int litFrame() const {
    int frame = 0, count = 0;
    for (int k = 1; k <= 5; ++k)
      if (rig.lit(rig.h.tables.HookFrame(k))) {
        frame = k;
        ++count;
      }
    EXPECT_LE(count, 1) << "at most one hook frame is lit";
    return frame;
  }
  // Pulls the lever and waits for its release; returns the release time.
  Millis pullLever() {
    rig.key(VkLeft);
    rig.wait(250);
    return rig.scheduler.now();
  }
  Rig rig;
};

TEST_F(Crane, TheSwingFollowsItsTimelineFromTheLeversRelease) {
  pullLever();
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_TRUE(rig.lit(Im_Omino22B));
  EXPECT_TRUE(rig.lit(Im_Gru2));
  EXPECT_FALSE(rig.lit(Im_Gru1));
  // Frame lit until each time (ms after the release).
  const std::pair<int, int> timeline[] = {{900, 1},  {1350, 2}, {1800, 3}, {2250, 4},
                                          {3150, 5}, {3600, 4}, {4050, 3}, {4500, 2},
                                          {5400, 1}, {5850, 2}, {6300, 3}};
  Millis t = 0;
  for (const auto& [until, frame] : timeline) {
    while (t < until) {
      EXPECT_EQ(litFrame(), frame) << "at " << t;
      EXPECT_TRUE(rig.lit(Im_LevaSu));
      rig.wait(50);
      t += 50;
    }
  }
  EXPECT_EQ(litFrame(), 0);
  EXPECT_EQ(rig.g.HookPhase, 0);
  EXPECT_TRUE(rig.lit(Im_Gru1));
  EXPECT_FALSE(rig.lit(Im_Gru2));
  EXPECT_TRUE(rig.lit(Im_LevaGiu));
  EXPECT_FALSE(rig.lit(Im_LevaSu));
  EXPECT_FALSE(rig.h.timerEnabled(TimerGancio));
}

TEST_F(Crane, APullDuringASwingChangesNothingButThePose) {
  pullLever();
  rig.wait(1000);
  const int phase = rig.g.HookPhase;
  rig.key(VkLeft);
  EXPECT_TRUE(rig.lit(Im_Omino22A));
  rig.wait(250);
  EXPECT_EQ(rig.g.HookPhase, phase + 0);  // no hook tick in these 250 ms (ticks at 1350, 1800)
  EXPECT_EQ(litFrame(), 2);
  rig.wait(100);  // 1350 after the first release
  EXPECT_EQ(litFrame(), 3);
}

// Walks the player from the lever to column 6.
void toTheEnd(Rig& rig) {
  rig.key(VkRight);
  rig.key(VkRight);
  ASSERT_EQ(rig.g.OminoCol, 6);
}

TEST_F(Crane, ALeapWithNoSwingIsAFallFiveHundredMillisecondsLater) {
  toTheEnd(rig);
  rig.g.Lives = 2;
  rig.program.keyDown(VkCtrl);
  EXPECT_TRUE(rig.lit(Im_Omino62A));
  EXPECT_EQ(rig.g.OminoRow, 0);
  rig.soundLog.clear();
  rig.wait(499);
  EXPECT_TRUE(rig.lit(Im_Omino62A));
  rig.wait(1);
  EXPECT_TRUE(rig.lit(Im_Omino62C));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndFall"}));
  rig.wait(500);
  EXPECT_TRUE(rig.lit(Im_Omino62D));
  EXPECT_FALSE(rig.lit(Im_Omino62C));
  EXPECT_EQ(rig.g.Lives, 2);
  rig.wait(500);
  EXPECT_FALSE(rig.lit(Im_Omino62D));
  EXPECT_EQ(rig.g.Lives, 1);
  EXPECT_TRUE(rig.g.AwaitingEntry);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_FALSE(rig.h.timerEnabled(Timer_Cade2));
}

TEST_F(Crane, ALeapWhileFrameOneIsLitIsCaughtByTheNextHookTick) {
  pullLever();  // frame 1 lit; the next hook tick would keep it (phase 1)
  rig.wait(400);
  toTheEnd(rig);
  rig.program.keyDown(VkCtrl);
  rig.wait(50);  // 450 after the release: the hook tick
  EXPECT_TRUE(rig.h.timerEnabled(TimerNonCade));
  EXPECT_FALSE(rig.h.timerEnabled(Timer_Cade)) << "the catch stopped the leap's own timer";
  EXPECT_EQ(rig.h.timerInterval(TimerNonCade), 400u);
  EXPECT_TRUE(rig.lit(Im_Gancio1));
  EXPECT_TRUE(rig.lit(Im_Omino62A));
}

TEST(CraneRace, ALeapIsCaughtWhenFrameOneLightsBeforeItResolves) {
  // On the way back frame 1 lights 4500 ms after the release; a leap is
  // resolved 500 ms after it. At exactly 4000 the hook tick and the leap's
  // resolution fall due together, and the hook's tick comes first.
  const std::pair<int, bool> cases[] = {{3990, false}, {4000, true}, {4010, true}, {4300, true}};
  for (const auto& [leapAt, caught] : cases) {
    Rig rig;
    rig.startPlaying();
    rig.h.disableTimer(TimerGioco);
    rig.clearField();
    rig.placePlayer(2, 2);
    rig.key(VkLeft);
    rig.wait(250);
    const Millis release = rig.scheduler.now();
    rig.key(VkRight);
    rig.key(VkRight);
    rig.wait(release + leapAt - rig.scheduler.now());
    rig.program.keyDown(VkCtrl);
    rig.wait(500);
    EXPECT_EQ(rig.h.timerEnabled(TimerNonCade), caught) << leapAt;
    EXPECT_EQ(rig.lit(Im_Omino62C), !caught) << leapAt;
  }
}

TEST_F(Crane, ALeapOnTheWayBackTooEarlyFalls) {
  const Millis release = pullLever();
  toTheEnd(rig);
  rig.wait(release + 3700 - rig.scheduler.now());  // frame 3 (3600..4050)
  rig.program.keyDown(VkCtrl);
  rig.wait(500);  // resolves at 4200: frame 2, not 1
  EXPECT_TRUE(rig.lit(Im_Omino62C));
  EXPECT_FALSE(rig.h.timerEnabled(TimerNonCade));
  EXPECT_FALSE(rig.h.timerEnabled(TimerGancio)) << "the fall suspends the swing";
  const int phase = rig.g.HookPhase;
  rig.wait(1000);  // the fall ends: next life
  EXPECT_EQ(rig.g.Lives, 2);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGancio));
  EXPECT_EQ(rig.g.HookPhase, phase) << "the swing resumes where it stopped";
}

TEST_F(Crane, AFallWithTheLastLifeStartsGameOver) {
  rig.g.Lives = 1;
  toTheEnd(rig);
  rig.key(VkRight);  // walk-off: no 500 ms wait
  rig.wait(1000);
  EXPECT_EQ(rig.g.Lives, 0);
  EXPECT_TRUE(rig.h.timerEnabled(TimerOver));
  EXPECT_EQ(rig.h.timerInterval(TimerOver), 300u);
  EXPECT_TRUE(rig.g.AwaitingEntry == false);
  EXPECT_FALSE(rig.h.timerEnabled(TimerGioco));
}

}  // namespace
}  // namespace cantiere::test
