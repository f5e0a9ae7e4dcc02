// SPDX-License-Identifier: GPL-3.0-or-later
// Misses, the extra life at 300, double points, game over and the clock.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Misses : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.startPlaying();
    rig.clearField();
    rig.soundLog.clear();
  }
  // A barrel rolls into the player standing at column 3 of row 7 on the
  // next barrel tick; returns the time of the hit.
  Millis hitByABarrel() {
    rig.h.disableTimer(TimerGioco);
    rig.placePlayer(3, 7);
    rig.h.surface.show(Im_Bar37);
    rig.key(VkRight);
    return rig.scheduler.now();
  }
  Rig rig;
};

TEST_F(Misses, ThePoseBlinksAndTheNextLifeWaits) {
  rig.g.Lives = 2;
  const Millis hit = hitByABarrel();
  EXPECT_FALSE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndMiss"}));
  const std::pair<Millis, bool> blink[] = {{149, true},  {150, false}, {379, false}, {380, true},
                                           {589, true},  {590, false}, {819, false}, {820, true},
                                           {1029, true}, {1030, false}};
  for (const auto& [at, lit] : blink) {
    rig.wait(hit + at - rig.scheduler.now());
    EXPECT_EQ(rig.lit(Im_Omino37), lit) << at;
  }
  EXPECT_EQ(rig.g.Lives, 1);
  EXPECT_TRUE(rig.g.AwaitingEntry);
  EXPECT_EQ(rig.g.OminoCol, 0);
  EXPECT_EQ(rig.g.OminoRow, 0);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_FALSE(rig.h.timerEnabled(TimerMiss));
  EXPECT_FALSE(rig.h.timerEnabled(TimerGancio)) << "no swing was under way";
  EXPECT_TRUE(rig.lit(Im_Vite1)) << "the icons are redrawn only at the next entry";
  rig.enterEarly();
  EXPECT_FALSE(rig.lit(Im_Vite1));
}

// The next life resumes the hook swing only when one was under way, even
// one that has just begun (phase 1, frame 1 lit at the lever's release).
TEST_F(Misses, OnlyASwingUnderWayResumesWithTheNextLife) {
  for (int hookPhase : {0, 1}) {
    rig.h.Blocca_Timers();
    rig.clearField();
    rig.g.Lives = 3;
    rig.g.HookPhase = hookPhase;
    const Millis hit = hitByABarrel();
    rig.wait(hit + 1030 - rig.scheduler.now());
    ASSERT_TRUE(rig.g.AwaitingEntry);
    EXPECT_EQ(rig.h.timerEnabled(TimerGancio), hookPhase > 0) << hookPhase;
    EXPECT_EQ(rig.g.HookPhase, hookPhase);
  }
}

TEST_F(Misses, TheLastLifeEndsTheGameAndStoresABeatenHighScore) {
  rig.g.Lives = 1;
  rig.g.Score = 101;
  rig.h.Trasforma_Score(rig.g.Score);
  rig.g.HiScoreA = 100;
  const Millis hit = hitByABarrel();
  rig.wait(hit + 1030 - rig.scheduler.now());
  EXPECT_EQ(rig.soundLog.names().back(), "SndOver");
  EXPECT_TRUE(rig.h.timerEnabled(TimerOver));
  EXPECT_TRUE(rig.g.GameRunning);
  rig.wait(499);
  EXPECT_TRUE(rig.g.GameRunning);
  rig.wait(1);  // 1530 ms after the hit
  EXPECT_FALSE(rig.g.GameRunning);
  EXPECT_EQ(rig.g.HiScoreA, 101);
  EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"SoundMode=0", "HiScoreA=101"}));
  EXPECT_TRUE(rig.h.timerEnabled(TimerOver2));
  // The screens keep the game's last picture for five minutes, then the clock.
  rig.time.hour = 18;
  rig.time.minute = 7;
  rig.wait(299999);
  EXPECT_TRUE(rig.lit(Im_GameA));
  EXPECT_EQ(rig.digits(), "-101");
  rig.wait(1);
  EXPECT_FALSE(rig.lit(Im_GameA));
  EXPECT_FALSE(rig.lit(Im_Omino37));
  EXPECT_TRUE(rig.lit(Im_TimePP));
  EXPECT_EQ(rig.g.GameMode, ModeClock);
  rig.wait(1);
  EXPECT_EQ(rig.digits(), "-607");
  EXPECT_TRUE(rig.lit(Im_TimePM));
}

TEST_F(Misses, AHigherScoreStoredMeanwhileIsKeptAndTakenAsTheHighScore) {
  rig.g.Lives = 1;
  rig.g.Score = 101;
  rig.g.HiScoreA = 100;
  rig.settings.values["hiscorea"] = 150;  // another running program's game
  hitByABarrel();
  rig.wait(2000);
  EXPECT_EQ(rig.g.HiScoreA, 150);
  EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"SoundMode=0"}));
}

TEST_F(Misses, AScoreEqualToTheHighScoreIsNotStoredAndGameBNeverWritesA) {
  rig.g.Lives = 1;
  rig.g.Score = 100;
  rig.g.HiScoreA = 100;
  hitByABarrel();
  rig.wait(2000);
  EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"SoundMode=0"}));
  Rig b;
  b.openCase();
  b.startGame(ModeGameB);
  b.wait(600);
  b.enterEarly();
  b.clearField();
  b.g.Lives = 1;
  b.g.Score = 5;
  b.h.disableTimer(TimerGioco);
  b.placePlayer(3, 7);
  b.h.surface.show(Im_Bar37);
  b.key(VkRight);
  b.wait(2000);
  EXPECT_EQ(b.settings.writes, (std::vector<std::string>{"SoundMode=0", "HiScoreB=5"}));
}

TEST_F(Misses, ABeamMissBlinksTheJumpPose) {
  struct Case {
    int col;
    Element beam, jump, grid;
  };
  const Case cases[] = {{4, Im_Trave4, Im_Omino46J, Im_Omino46},
                        {5, Im_Trave5, Im_Omino56J, Im_Omino56}};
  for (const Case& c : cases) {
    rig.h.Blocca_Timers();
    rig.clearField();
    rig.g.Lives = 2;
    rig.placePlayer(c.col, 6);
    rig.h.surface.show(c.beam);
    rig.program.keyDown(VkCtrl);
    rig.program.keyUp(VkCtrl);
    const Millis hit = rig.scheduler.now();
    EXPECT_TRUE(rig.lit(c.jump));
    const std::pair<Millis, bool> blink[] = {{150, false}, {380, true}, {590, false},
                                             {820, true},  {1030, false}};
    for (const auto& [at, lit] : blink) {
      rig.wait(hit + at - rig.scheduler.now());
      EXPECT_EQ(rig.litPlayerPoses(),
                lit ? std::vector<std::string>{nameOf(c.jump)} : std::vector<std::string>{})
          << "column " << c.col << " at " << at << ": the grid pose stays dark";
    }
    EXPECT_EQ(rig.g.Lives, 1);
  }
}

TEST_F(Misses, AMissDuringDoublePointsLightsTheScoreAndStopsTheBlink) {
  rig.g.PointValue = 2;
  rig.h.enableTimer(TimerBlink);
  rig.wait(500);
  ASSERT_FALSE(rig.lit(Im_NumPos2));
  hitByABarrel();
  EXPECT_TRUE(rig.lit(Im_NumPos2) && rig.lit(Im_NumPos3) && rig.lit(Im_NumPos4));
  EXPECT_FALSE(rig.h.timerEnabled(TimerBlink));
}

class Chance : public Misses {
 protected:
  // Scores exactly 300 with a row-7 jump.
  void reach300() {
    rig.h.disableTimer(TimerGioco);
    rig.placePlayer(2, 7);
    rig.g.Score = 299;
    rig.program.keyDown(VkCtrl);
    rig.program.keyUp(VkCtrl);
    rig.h.surface.show(Im_Bar17);
    rig.soundLog.clear();
    rig.wait(rig.h.timerInterval(TimerJump));
    ASSERT_EQ(rig.g.Score, 300);
  }
  std::string icons() const {
    std::string s;
    for (Element e : {Im_Vite1, Im_Vite2, Im_Vite3}) s += rig.lit(e) ? '1' : '0';
    return s;
  }
};

TEST_F(Chance, WithThreeLivesTheNewIconFlashesAndPointsDouble) {
  rig.g.Lives = 3;
  reach300();
  EXPECT_FALSE(rig.g.ControlEnabled);
  EXPECT_TRUE(rig.h.timerEnabled(Timer_Chance));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence"}));
  const char* expected[] = {"111", "110", "111", "110", "111"};
  for (const char* e : expected) {
    rig.wait(500);
    EXPECT_EQ(icons(), e);
  }
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndBonus", "SndBonus",
                                                            "SndBonus"}));
  rig.wait(500);  // 3 s: play resumes
  EXPECT_EQ(rig.g.Lives, 4);
  EXPECT_EQ(rig.g.PointValue, 2);
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_TRUE(rig.h.timerEnabled(TimerBlink));
  rig.wait(500);
  EXPECT_FALSE(rig.lit(Im_NumPos2) || rig.lit(Im_NumPos3) || rig.lit(Im_NumPos4));
  EXPECT_TRUE(rig.lit(Im_NumPos1)) << "only the score's three positions blink";
  rig.wait(500);
  EXPECT_TRUE(rig.lit(Im_NumPos2) && rig.lit(Im_NumPos3) && rig.lit(Im_NumPos4));
  EXPECT_TRUE(rig.lit(Im_NumPos1));
}

TEST_F(Chance, WithTwoLivesThereIsNoDoublePoints) {
  rig.g.Lives = 2;
  reach300();
  rig.wait(3000);
  EXPECT_EQ(rig.g.Lives, 3);
  EXPECT_EQ(rig.g.PointValue, 1);
  EXPECT_FALSE(rig.h.timerEnabled(TimerBlink));
  EXPECT_TRUE(rig.g.ControlEnabled);
}

TEST_F(Chance, OnlyASwingUnderWayResumesWithPlay) {
  for (int hookPhase : {0, 1}) {
    rig.h.Blocca_Timers();
    rig.clearField();
    rig.g.Lives = 2;
    rig.g.HookPhase = hookPhase;
    reach300();
    rig.wait(3000);
    EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
    EXPECT_EQ(rig.h.timerEnabled(TimerGancio), hookPhase > 0) << hookPhase;
    EXPECT_EQ(rig.g.HookPhase, hookPhase);
  }
}

TEST_F(Chance, DuringACountUpTheCountPausesAndResumesWithoutLosingAPoint) {
  // A key capture counting 19 points from 290: it reaches 300 at its tenth.
  rig.g.Lives = 3;
  rig.g.Score = 290;
  rig.g.TickCount = 2;
  rig.h.Blocca_Timers();
  rig.h.surface.show(Im_Omino62A);
  rig.h.surface.show(Im_Gancio1);
  rig.g.CatchPhase = 0;
  rig.h.setTimerInterval(TimerNonCade, 400);
  rig.h.enableTimer(TimerNonCade);
  rig.wait(800 + 95 * 10);
  EXPECT_EQ(rig.g.Score, 300);
  EXPECT_TRUE(rig.h.timerEnabled(Timer_Chance));
  EXPECT_FALSE(rig.h.timerEnabled(TimerNonCade));
  rig.wait(3000);
  EXPECT_TRUE(rig.h.timerEnabled(TimerNonCade));
  EXPECT_FALSE(rig.h.timerEnabled(TimerGioco)) << "the count resumes, not play";
  EXPECT_EQ(rig.g.PointValue, 2);
  rig.wait(95 * 9);
  EXPECT_EQ(rig.g.Score, 300 + 2 * 9) << "the rest of the count adds double";
  EXPECT_TRUE(rig.h.timerEnabled(TimerBlink));
}

TEST_F(Chance, AResetDuringACountLeavesNoCountToResumeInTheNextGame) {
  // ACL in the middle of the ape-fall count, a new game, then 300 points:
  // play must resume, not a count that no longer exists.
  rig.g.FallPhase = 9;
  rig.g.CatchPhase = 2;
  rig.h.Puls_ACLMouseDown(MouseButton::Left);
  rig.h.Puls_ACLMouseUp(MouseButton::Left);
  rig.startGame(ModeGameA);
  rig.wait(600);
  rig.enterEarly();
  rig.clearField();
  rig.g.Lives = 3;
  reach300();
  rig.wait(3000);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_FALSE(rig.h.timerEnabled(TimerBonus));
  EXPECT_FALSE(rig.h.timerEnabled(TimerNonCade));
}

TEST_F(Misses, GameOverAfterAFallPlaysTheSampleAt300AndEndsAt800) {
  rig.h.disableTimer(TimerGioco);
  rig.g.Lives = 1;
  rig.placePlayer(6, 2);
  rig.key(VkRight);  // walk-off
  rig.wait(1000);    // the fall takes the life
  ASSERT_EQ(rig.g.Lives, 0);
  rig.soundLog.clear();
  rig.wait(300);
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"SndOver"}));
  rig.wait(499);
  EXPECT_TRUE(rig.g.GameRunning);
  rig.wait(1);
  EXPECT_FALSE(rig.g.GameRunning);
}

// Game A pressed while the game is still ending and released after it
// ended, at once or after the screens went back to the clock.
TEST_F(Misses, ANewGameStartedInTheLastMomentsOfTheOldIsNotClearedFiveMinutesLater) {
  for (Millis hold : {500, 302000}) {
    Rig r;
    r.startPlaying();
    r.clearField();
    r.h.disableTimer(TimerGioco);
    r.g.Lives = 1;
    r.placePlayer(3, 7);
    r.h.surface.show(Im_Bar37);
    r.key(VkRight);
    r.wait(1100);
    r.h.Puls_GameAMouseDown(MouseButton::Left);
    r.wait(hold);
    ASSERT_FALSE(r.g.GameRunning);
    r.h.Puls_GameAMouseUp(MouseButton::Left);
    ASSERT_TRUE(r.g.GameRunning);
    EXPECT_FALSE(r.h.timerEnabled(TimerOver2)) << hold;
    EXPECT_FALSE(r.h.timerEnabled(TimerClock)) << hold;
    r.wait(2000);
    EXPECT_EQ(r.digits(), "---0") << "the score, not the time; held " << hold;
    r.wait(299000);
    EXPECT_EQ(r.g.GameMode, ModeGameA) << hold;
    EXPECT_FALSE(r.h.timerEnabled(TimerClock)) << hold;
  }
}

TEST_F(Misses, TimeHeldAfterGameOverKeepsShowingTheAlarmTime) {
  rig.g.Lives = 1;
  const Millis hit = hitByABarrel();
  rig.wait(hit + 2000 - rig.scheduler.now());
  ASSERT_FALSE(rig.g.GameRunning);
  rig.time.hour = 9;
  rig.time.minute = 30;
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.wait(300000);  // past the return to the clock
  EXPECT_EQ(rig.digits(), "1200");
  EXPECT_TRUE(rig.lit(Im_TimePM));
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  rig.wait(1);
  EXPECT_EQ(rig.digits(), "-930");
  EXPECT_EQ(rig.g.GameMode, ModeClock);
}

}  // namespace
}  // namespace cantiere::test
