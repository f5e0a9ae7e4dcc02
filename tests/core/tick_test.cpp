// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST_F(Tick, ABarrelFromEachColumnFollowsItsWholePath) {
  rig.h.Blocca_Timers();
  rig.g.AwaitingEntry = false;  // nobody enters on the eighth tick
  const ElementTables& t = rig.h.tables;
  for (int f : {2, 4, 6}) {
    rig.clearField();
    rig.h.surface.show(t.BarrelSeg(f, 1));
    // Down the three stages, left along row 4, down column 1, right along
    // row 6, down at its end and left along row 7.
    std::vector<Element> path = {t.BarrelSeg(f, 2), t.BarrelSeg(f, 3)};
    for (int c = f; c >= 1; --c) path.push_back(t.BarrelSeg(c, 4));
    path.push_back(Im_Bar15);
    for (int c = 1; c <= 6; ++c) path.push_back(t.BarrelSeg(c, 6));
    for (int c = 6; c >= 1; --c) path.push_back(t.BarrelSeg(c, 7));
    for (Element cell : path) {
      barrelTick();
      int litBarrels = 0;
      for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 7; ++r) litBarrels += rig.lit(t.BarrelSeg(c, r));
      EXPECT_EQ(litBarrels, 1) << "from column " << f;
      EXPECT_TRUE(rig.lit(cell)) << nameOf(cell) << " from column " << f;
    }
    barrelTick();
    EXPECT_FALSE(rig.lit(Im_Bar17)) << "the barrel has left the screen";
  }
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
  rig.g.TickCount = 93;
  rig.g.Score = 6;  // 500 - 376 - 3: one above the floor is kept
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 121u);
  rig.g.TickCount = 0;
  rig.g.Score = 752;
  barrelTick();
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 120u);
}

// A game reset in full flight: the next starts at the slowest pace with
// its own rhythm, idle then barrel, whatever the old one left.
TEST_F(Tick, EveryGameStartsAtTheSlowestPaceAndRhythm) {
  rig.h.Blocca_Timers();
  rig.g.TickCount = 90;
  barrelTick();
  ASSERT_LT(rig.h.timerInterval(TimerGioco), 500u);
  rig.g.HalfTick = rig.g.QuarterTick = true;
  rig.g.OrcoRange = 36;
  rig.g.BonusCount = 7;
  rig.g.OminoCol = 4;
  rig.g.OminoRow = 7;
  rig.h.Puls_ACLMouseDown(MouseButton::Left);
  rig.h.Puls_ACLMouseUp(MouseButton::Left);
  rig.startGame(ModeGameA);
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 500u);
  EXPECT_EQ(rig.g.OrcoRange, 15);
  EXPECT_EQ(rig.g.BonusCount, 20);
  EXPECT_EQ(std::pair(rig.g.OminoCol, rig.g.OminoRow), std::pair(0, 0)) << "off the field until entry";
  rig.h.random.seed(0xC0FFEE);
  rig.wait(499);
  EXPECT_FALSE(rig.g.HalfTick);
  rig.wait(1);
  EXPECT_TRUE(rig.g.HalfTick) << "the first tick comes at 500 ms";
  EXPECT_EQ(rig.g.TickCount, 0) << "and is idle";
  EXPECT_EQ(rig.h.random.state(), 0xC0FFEEu) << "no ape tick drew";
  rig.wait(500);
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 496u) << "the first barrel tick of the game";
}

// A new life counts its barrel ticks from 0: the first sets the pace from
// 1, and the player comes in by itself on the eighth.
TEST_F(Tick, ANewLifeCountsItsBarrelTicksAfresh) {
  rig.wait(600);
  rig.enterEarly();
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.g.TickCount = 50;
  rig.placePlayer(3, 7);
  rig.h.surface.show(Im_Bar37);
  rig.key(VkRight);  // a miss
  rig.wait(1030);
  ASSERT_TRUE(rig.g.AwaitingEntry);
  for (int tick = 1; tick <= 8; ++tick) {
    EXPECT_TRUE(rig.g.AwaitingEntry) << "before barrel tick " << tick;
    barrelTick();
    if (tick == 1) {
      EXPECT_EQ(rig.h.timerInterval(TimerGioco), 496u);
    }
  }
  EXPECT_FALSE(rig.g.AwaitingEntry);
  EXPECT_TRUE(rig.lit(Im_Omino27));
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

// The entry on the eighth barrel tick keeps the ape's range and the ladder
// count that the life inherited; the early one by Ctrl resets them.
TEST_F(Tick, OnlyTheEarlyEntryResetsTheApesRangeAndTheLadderCount) {
  rig.h.Blocca_Timers();
  rig.clearField();
  rig.g.TickCount = 7;
  rig.g.OrcoRange = 36;
  rig.g.LadderTicks = 3;
  barrelTick();
  ASSERT_TRUE(rig.lit(Im_Omino27));
  EXPECT_EQ(rig.g.OrcoRange, 36);
  EXPECT_EQ(rig.g.LadderTicks, 3);
  Rig early;
  early.openCase();
  early.startGame(ModeGameA);
  early.g.OrcoRange = 36;
  early.g.LadderTicks = 3;
  early.enterEarly();
  EXPECT_EQ(early.g.OrcoRange, 15);
  EXPECT_EQ(early.g.LadderTicks, 0);
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
  EXPECT_EQ(rig.litPlayerPoses(), (std::vector<std::string>{"Im_Omino22B"}))
      << "standing at the lever again";
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
  // Off the ladder the count stays 0 and forces nothing.
  for (int i = 0; i < 8; ++i) {
    apeTick();
    EXPECT_EQ(rig.g.LadderTicks, 0);
    EXPECT_FALSE(rig.lit(Im_Trave6));
  }
  rig.key(VkUp);
  ASSERT_EQ(rig.g.OminoRow, 5);
  int apeTicks = 0;
  while (!rig.h.timerEnabled(TimerMiss) && apeTicks < 20) {
    apeTick();
    ++apeTicks;
    // The ladder count wraps on every fourth: a forced launch.
    EXPECT_EQ(rig.lit(Im_Trave6), apeTicks % 4 == 0) << apeTicks;
    if (apeTicks % 4 == 0) {
      EXPECT_EQ(rig.g.DropRange, 15);
    }
    rig.g.DropRange = rig.g.DropRange == 15 ? 1000000 : rig.g.DropRange;
  }
  EXPECT_EQ(apeTicks, 8);
}

// Over many times of day: a lift with chance (range - 12) / range, 1 in 5
// with the player on row 7; otherwise from column 4 a stay, a step right and
// a step left in equal shares, and from an end column a stay or a step to 4
// in equal shares.
TEST_F(Beams, TheApeTakesEachWayWithItsShareOfTheDraws) {
  rig.h.Blocca_Timers();
  rig.g.AwaitingEntry = false;
  struct Case {
    int from;
    double lift, stay, to2, to4, to6;
  };
  const double walk = 0.8;
  const Case cases[] = {{4, 0.2, walk / 3, walk / 3, 0, walk / 3},
                        {2, 0.2, walk / 2, 0, walk / 2, 0},
                        {6, 0.2, walk / 2, 0, walk / 2, 0}};
  constexpr int kTrials = 3000;
  for (const Case& c : cases) {
    int lift = 0, stay = 0, to[7] = {};
    for (int i = 0; i < kTrials; ++i) {
      rig.clearField();
      rig.g.OrcoCol = c.from;
      rig.h.surface.show(rig.h.tables.OrcoPose(c.from).Down);
      rig.g.OrcoRange = 15;
      rig.time.universalMs = (i * 28793u) % 86400000u;
      apeTick();
      if (rig.lit(rig.h.tables.OrcoPose(c.from).Up)) {
        ++lift;
      } else if (rig.g.OrcoCol == c.from) {
        ++stay;
      } else {
        ++to[rig.g.OrcoCol];
      }
    }
    const double n = kTrials;
    EXPECT_NEAR(lift / n, c.lift, 0.03) << "from " << c.from;
    EXPECT_NEAR(stay / n, c.stay, 0.03) << "from " << c.from;
    EXPECT_NEAR(to[2] / n, c.to2, 0.03) << "from " << c.from;
    EXPECT_NEAR(to[4] / n, c.to4, 0.03) << "from " << c.from;
    EXPECT_NEAR(to[6] / n, c.to6, 0.03) << "from " << c.from;
  }
  // Known times of day, worked by hand from the generator: at 0 ms the
  // states are 1 and 134775814 (draws 0 of 15, 0 of 3); at 1 ms 134775814
  // and 3698175007 (0, then 2 of 3 or 1 of 2); at 3 ms 404327440 and
  // 2235038801 (1, then 1 of 3 or 1 of 2); at 4 ms 539103253 and 1503470698
  // (1, then 0 of 2); at 26 ms 3504171139 (12 of 15).
  struct Known {
    std::uint32_t ms;
    int from, to;
    bool lift;
  };
  const Known known[] = {{0, 4, 4, false}, {1, 4, 2, false}, {3, 4, 6, false},
                         {26, 4, 4, true}, {1, 2, 4, false}, {4, 2, 2, false},
                         {3, 6, 4, false}, {0, 6, 6, false}, {26, 6, 6, true}};
  for (const Known& k : known) {
    rig.clearField();
    rig.g.OrcoCol = k.from;
    rig.h.surface.show(rig.h.tables.OrcoPose(k.from).Down);
    rig.g.OrcoRange = 15;
    rig.time.universalMs = k.ms;
    apeTick();
    EXPECT_EQ(rig.g.OrcoCol, k.to) << k.ms << " ms from " << k.from;
    EXPECT_EQ(rig.lit(rig.h.tables.OrcoPose(k.to).Up), k.lift) << k.ms << " ms from " << k.from;
    EXPECT_EQ(rig.lit(rig.h.tables.OrcoPose(k.to).Down), !k.lift) << k.ms << " ms";
  }
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
