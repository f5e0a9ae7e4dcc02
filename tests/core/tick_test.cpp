// The game tick: its rhythm, the barrel paths, the speed, the entry, hits.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Tick : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.openCase();
    rig.startGame(ModeGameA);
  }
  // One barrel tick, run directly, with nothing else on the field moving it.
  void barrelTick() {
    rig.g.HalfTick = true;
    rig.h.TimerGiocoTimer();
  }
  Rig rig;
};

TEST_F(Tick, NewGameRunsIdleBarrelIdleBarrelApe) {
  // A barrel tick raises TickCount; an ape tick re-seeds and draws, so it
  // moves the generator away from a marker state.
  std::string kinds;
  for (int i = 0; i < 13; ++i) {
    const int before = rig.g.TickCount;
    rig.h.random.seed(0xC0FFEE);
    rig.wait(rig.scheduler.nextDue() - rig.scheduler.now());
    if (rig.g.TickCount != before) {
      kinds += 'B';
    } else {
      kinds += rig.h.random.state() != 0xC0FFEE ? 'A' : '.';
    }
  }
  // The first barrel tick throws the prepared barrel, so the first ape tick
  // is the fifth; then the cycle idle, barrel, ape, barrel unless a throw
  // delays it.
  EXPECT_EQ(kinds.substr(0, 5), ".B.BA");
  for (std::size_t i = 1; i < kinds.size(); i += 2) EXPECT_EQ(kinds[i], 'B') << kinds;
}

TEST_F(Tick, FirstBarrelTickThrowsTheApesBarrel) {
  rig.wait(1000);  // idle at 500, barrel at 1000
  EXPECT_TRUE(rig.lit(Im_BarFall61));
  EXPECT_FALSE(rig.lit(Im_Orco6Up));
  EXPECT_TRUE(rig.lit(Im_Orco6Down));
  EXPECT_FALSE(rig.g.QuarterTick);
  EXPECT_EQ(rig.g.TickCount, 1);
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 496u);
}

TEST_F(Tick, ABarrelFollowsItsWholePath) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.g.AwaitingEntry = false;  // nobody enters on the eighth tick
  rig.h.surface.show(Im_BarFall21);
  const Element path[] = {Im_BarFall22, Im_BarFall23, Im_Bar24, Im_Bar14, Im_Bar15, Im_Bar16,
                          Im_Bar26,     Im_Bar36,     Im_Bar46, Im_Bar56, Im_Bar66, Im_Bar67,
                          Im_Bar57,     Im_Bar47,     Im_Bar37, Im_Bar27, Im_Bar17};
  for (Element cell : path) {
    barrelTick();
    int litBarrels = 0;
    for (int c = 1; c <= 6; ++c)
      for (int r = 1; r <= 7; ++r) litBarrels += rig.lit(rig.h.tables.BarrelSeg(c, r));
    EXPECT_EQ(litBarrels, 1);
    EXPECT_TRUE(rig.lit(cell)) << nameOf(cell);
  }
  barrelTick();
  EXPECT_FALSE(rig.lit(Im_Bar17)) << "the barrel has left the screen";
}

TEST_F(Tick, AFallingBarrelMergesWithOneRollingIntoItsCell) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.h.surface.show(Im_BarFall43);
  rig.h.surface.show(Im_Bar54);
  barrelTick();
  EXPECT_TRUE(rig.lit(Im_Bar44));
  EXPECT_FALSE(rig.lit(Im_Bar54));
  EXPECT_FALSE(rig.lit(Im_Bar34));
  EXPECT_FALSE(rig.lit(Im_BarFall43));
}

TEST_F(Tick, SpeedFollowsTickCountAndScoreDownToTheFloor) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.g.TickCount = 9;
  rig.g.Score = 41;
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 440u);  // 500 - 40 - 20
  rig.g.TickCount = 93;
  rig.g.Score = 0;
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 124u);
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 120u);  // the 95th barrel tick
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 120u);
  rig.g.TickCount = 0;
  rig.g.Score = 752;
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 120u);
}

TEST_F(Tick, PlayerEntersByItselfOnTheEighthBarrelTick) {
  // Barrel ticks at 1000, 1992, 2976, 3952, 4920, 5880, 6832, 7776.
  rig.wait(7775);
  EXPECT_TRUE(rig.g.AwaitingEntry);
  EXPECT_FALSE(rig.lit(Im_Omino27));
  rig.soundLog.clear();
  rig.wait(1);
  EXPECT_EQ(rig.g.TickCount, 8);
  EXPECT_FALSE(rig.g.AwaitingEntry);
  EXPECT_TRUE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.g.PointValue, 1);
  EXPECT_EQ(rig.g.OminoCol, 2);
  EXPECT_EQ(rig.g.OminoRow, 7);
  EXPECT_TRUE(rig.lit(Im_Vite1) && rig.lit(Im_Vite2) && !rig.lit(Im_Vite3));
  const auto sounds = rig.soundLog.names();
  EXPECT_EQ(std::vector<std::string>(sounds.end() - 2, sounds.end()),
            (std::vector<std::string>{"silence", "SndJump"}));
}

TEST_F(Tick, NoAutomaticEntryAfterAnEarlyOne) {
  rig.wait(1200);
  rig.enterEarly();
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.placePlayer(4, 2);
  rig.g.TickCount = 7;
  rig.soundLog.clear();
  barrelTick();
  EXPECT_EQ(rig.g.TickCount, 8);
  EXPECT_FALSE(rig.lit(Im_Omino27)) << "nobody is placed again at 8";
  EXPECT_TRUE(rig.lit(Im_Omino42));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"SndBarrel"}));
}

class Hits : public Tick {
 protected:
  void SetUp() override {
    Tick::SetUp();
    rig.h.Blocca_Timers();
    rig.clearField();
    rig.g.TickCount = 20;
  }
  void expectHitLeftBarrelsStill(Element barrel) {
    const int ticks = rig.g.TickCount;
    const auto interval = rig.h.timerInterval(TimerGioco);
    rig.soundLog.clear();
    barrelTick();
    EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
    EXPECT_TRUE(rig.lit(barrel)) << "no barrel moves";
    EXPECT_EQ(rig.g.TickCount, ticks);
    EXPECT_EQ(rig.h.timerInterval(TimerGioco), interval);
    EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence", "SndMiss"}));
    EXPECT_FALSE(rig.g.HalfTick);
  }
};

TEST_F(Hits, RowSixBarrelJustLeftOfThePlayerHits) {
  rig.placePlayer(3, 6);
  rig.h.surface.show(Im_Bar26);
  expectHitLeftBarrelsStill(Im_Bar26);
}

TEST_F(Hits, RowSixBarrelAlreadyPastDoesNot) {
  rig.placePlayer(3, 6);
  rig.h.surface.show(Im_Bar36);
  barrelTick();
  EXPECT_FALSE(rig.h.timerEnabled(TimerMiss));
  EXPECT_TRUE(rig.lit(Im_Bar46));
}

TEST_F(Hits, RowSevenAndRowFourHit) {
  rig.placePlayer(2, 7);
  rig.h.surface.show(Im_Bar27);
  expectHitLeftBarrelsStill(Im_Bar27);
  Rig& r = rig;
  r.h.Blocca_Timers();
  r.h.surface.hide(Im_Bar27);
  r.placePlayer(2, 4);
  r.h.surface.show(Im_Bar24);
  expectHitLeftBarrelsStill(Im_Bar24);
}

TEST_F(Hits, AJumpingPlayerIsNeverHit) {
  rig.placePlayer(2, 7);
  rig.h.NascondiOmino();
  rig.h.surface.show(Im_Omino27J);
  rig.h.surface.show(Im_Bar27);
  barrelTick();
  EXPECT_FALSE(rig.h.timerEnabled(TimerMiss));
  EXPECT_TRUE(rig.lit(Im_Bar17));
}

TEST_F(Hits, AFallingBarrelHitsOnRowTwoAndTheTickGoesOn) {
  rig.placePlayer(4, 2);
  rig.h.surface.show(Im_BarFall41);
  rig.h.surface.show(Im_Bar44);
  barrelTick();
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
  EXPECT_TRUE(rig.lit(Im_BarFall42));
  EXPECT_TRUE(rig.lit(Im_Bar34)) << "the other barrels moved too";
  EXPECT_EQ(rig.g.TickCount, 21);
}

TEST_F(Hits, AFallingBarrelDropsTheLeverOfAPullingPlayer) {
  rig.placePlayer(2, 2);
  rig.key(VkLeft);  // the pull
  ASSERT_TRUE(rig.lit(Im_Omino22A));
  rig.h.surface.show(Im_BarFall22);
  barrelTick();
  EXPECT_FALSE(rig.lit(Im_Omino22A));
  EXPECT_TRUE(rig.lit(Im_LevaGiu));
  EXPECT_FALSE(rig.lit(Im_LevaSu));
  EXPECT_TRUE(rig.h.timerEnabled(TimerMiss));
  EXPECT_FALSE(rig.h.timerEnabled(TimerLeva));
}

class Beams : public Tick {
 protected:
  void apeTick() {
    rig.g.HalfTick = false;
    rig.g.QuarterTick = true;
    rig.h.TimerGiocoTimer();
  }
};

TEST_F(Beams, SegmentsSlideLeftAndAForcedLaunchNeedsAGap) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.h.surface.show(Im_Orco4Down);
  rig.g.OrcoCol = 4;
  rig.h.surface.show(Im_Trave6);
  rig.g.DropRange = 1;
  apeTick();
  EXPECT_TRUE(rig.lit(Im_Trave5));
  EXPECT_FALSE(rig.lit(Im_Trave6)) << "position 5 is taken: the forced launch is lost";
  EXPECT_EQ(rig.g.DropRange, 15);
  rig.g.DropRange = 1;
  rig.g.GameMode = ModeGameB;
  apeTick();
  EXPECT_TRUE(rig.lit(Im_Trave4));
  EXPECT_TRUE(rig.lit(Im_Trave6));
  EXPECT_EQ(rig.g.DropRange, 6);
}

TEST_F(Beams, StandingOnTheLadderIsHitByTheEighthApeTick) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.h.surface.show(Im_Orco4Down);
  rig.g.OrcoCol = 4;
  rig.g.DropRange = 1000000;  // no launch but the forced ones
  rig.placePlayer(2, 6);
  rig.key(VkUp);
  ASSERT_EQ(rig.g.OminoRow, 5);
  int apeTicks = 0;
  while (!rig.h.timerEnabled(TimerMiss) && apeTicks < 20) {
    apeTick();
    ++apeTicks;
    rig.g.DropRange = rig.g.DropRange == 15 ? 1000000 : rig.g.DropRange;
  }
  EXPECT_EQ(apeTicks, 8);
}

TEST_F(Beams, TheApeOnlyStandsAtTwoFourOrSixWithOnePoseLit) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.h.surface.show(Im_Orco4Down);
  rig.g.OrcoCol = 4;
  rig.g.AwaitingEntry = false;  // the player stays off the field
  for (int i = 0; i < 300; ++i) {
    rig.time.universalMs = 1000u * i + 7;
    apeTick();
    rig.g.HalfTick = true;
    barrelTick();  // throws a lifted barrel before the next ape tick
    int poses = 0;
    for (int c = 2; c <= 6; c += 2) poses += rig.lit(rig.h.tables.OrcoPose(c).Up) + rig.lit(rig.h.tables.OrcoPose(c).Down);
    ASSERT_EQ(poses, 1);
    ASSERT_TRUE(rig.g.OrcoCol == 2 || rig.g.OrcoCol == 4 || rig.g.OrcoCol == 6);
  }
}

}  // namespace
}  // namespace cantiere::test

namespace cantiere::test {
namespace {

// A hit on the first barrel tick of a game puts off the throw of the
// prepared barrel, and the next tick is an ape tick: the ape must keep its
// barrel, not walk away and leave a second ape lit.
TEST(TickThrowPutOff, TheApeKeepsItsBarrelUntilTheNextBarrelTick) {
  // Over several times of day, so that the ape's draw would have it walk.
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    Rig rig;
    rig.time.universalMs = seed * 1234567u;
    rig.openCase();
    rig.startGame(ModeGameA);
    rig.wait(600);
    rig.enterEarly();
    for (int i = 0; i < 4; ++i) rig.key(VkRight);  // taps: to column 6, by the barrel
    ASSERT_EQ(rig.g.OminoCol, 6);
    rig.wait(400);  // the first barrel tick, at 1000, finds the hit
    ASSERT_TRUE(rig.h.timerEnabled(TimerMiss));
    ASSERT_TRUE(rig.lit(Im_Orco6Up)) << "the throw was put off";
    ASSERT_TRUE(rig.g.QuarterTick) << "so the next tick is an ape tick";
    bool thrown = false;
    for (int tick = 0; tick < 12; ++tick) {
      rig.wait(rig.scheduler.nextDue() - rig.scheduler.now());
      int poses = 0;
      for (int c = 2; c <= 6; c += 2)
        poses += rig.lit(rig.h.tables.OrcoPose(c).Up) + rig.lit(rig.h.tables.OrcoPose(c).Down);
      ASSERT_EQ(poses, 1) << "seed " << seed << " tick " << tick;
      thrown = thrown || rig.lit(Im_BarFall61);
    }
    EXPECT_TRUE(thrown) << "seed " << seed;
  }
}

}  // namespace
}  // namespace cantiere::test
