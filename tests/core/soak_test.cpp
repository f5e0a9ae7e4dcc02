// SPDX-License-Identifier: GPL-3.0-or-later
// Many games of random but legal input on virtual time, checking after every
// event the invariants play must keep. Seeded, so a failure replays.
#include <chrono>
#include <random>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {


std::string describe(const Rig& rig) {
  std::string s;
  for (const std::string& n : rig.litNames()) s += n + " ";
#define CANTIERE_FIELD(type, name) s += std::string(#name "=") + std::to_string(rig.g.name) + " ";
  CANTIERE_GAME_STATE_FIELDS(CANTIERE_FIELD)
#undef CANTIERE_FIELD
  return s;
}

void checkInvariants(const Rig& rig, const std::string& where) {
  const Handheld& h = rig.h;
  const GameState& g = rig.g;
  ASSERT_EQ(h.tables.outOfRangeReads(), 0) << where;
  if (g.GameMode == ModeAllLit) return;  // every segment lit on purpose
  int frames = 0;
  for (int k = 1; k <= 5; ++k) frames += rig.lit(h.tables.HookFrame(k));
  ASSERT_LE(frames, 1) << where;
  int apePoses = 0;
  for (int c = 2; c <= 6; c += 2)
    apePoses += rig.lit(h.tables.OrcoPose(c).Up) + rig.lit(h.tables.OrcoPose(c).Down);
  ASSERT_LE(apePoses, 1) << where << " at " << rig.scheduler.now() << ": " << describe(rig);
  ASSERT_TRUE(g.Lives >= 0 && g.Lives <= 4) << where << " Lives=" << g.Lives;
  ASSERT_TRUE(g.Score >= 0 && g.Score <= 999) << where << " Score=" << g.Score;
  ASSERT_TRUE(g.KeysLeft >= 0 && g.KeysLeft <= 4) << where;
  ASSERT_EQ(h.tables.outOfRangeReads(), 0) << where;
  if (g.GameRunning) {
    bool running = false;
    for (int t = 0; t < TimerCount; ++t)
      running = running || (isGameTimer(TimerId(t)) && h.timerEnabled(TimerId(t)));
    ASSERT_TRUE(running) << where << ": a game with no timer running would hang";
  }
  if (g.OminoRow != 0 && g.GameRunning) {
    ASSERT_NE(h.tables.OminoPose(g.OminoCol, g.OminoRow), NoElement) << where;
  }
}

// A player with a purpose: climb to the top girder, pull the lever, leap
// when the hook comes, and jump barrels on the way. Mixed with random keys
// it reaches the key captures, the ape's fall and the extra life.
int purposefulKey(const Rig& rig) {
  const GameState& g = rig.g;
  const int c = g.OminoCol;
  auto barrel = [&](int col, int row) { return rig.lit(rig.h.tables.BarrelSeg(col, row)); };
  switch (g.OminoRow) {
    case 0:
      return VkCtrl;
    case 7:  // barrels roll left: segment c is about to pass the player
      if (barrel(c, 7)) return c == 2 || c == 5 ? VkCtrl : !barrel(c - 1, 7) ? VkLeft : 0;
      if (c == 6) return barrel(5, 6) || barrel(4, 6) ? 0 : VkUp;
      return !barrel(c + 1, 7) ? VkRight : 0;
    case 6:  // barrels roll right: segment c - 1 is about to pass
      if (barrel(c - 1, 6)) {
        if ((c == 4 || c == 5) && !rig.lit(rig.h.tables.BeamSeg(c))) return VkCtrl;
        return c < 6 && !barrel(c, 6) ? VkRight : 0;
      }
      if (c == 2) return rig.lit(Im_Trave2) || rig.lit(Im_Trave3) ? 0 : VkUp;
      return !barrel(c - 2, 6) ? VkLeft : 0;
    case 5:
    case 4:
      return VkUp;
    case 2:
      // Out from under a barrel the ape has just dropped.
      if (barrel(c, 1)) return c > 2 && !barrel(c - 2, 1) && !barrel(c - 2, 2) ? VkLeft
                               : c < 6 && !barrel(c + 2, 1) && !barrel(c + 2, 2) ? VkRight : 0;
      if (g.HookPhase == 0) return VkLeft;  // to the lever, and pull it
      if (c < 6) return VkRight;
      // Frame 2 on the way back: frame 1 lights within 450 ms, before the
      // leap is resolved 500 ms later.
      return rig.lit(Im_Gancio2) && g.HookPhase == 10 ? VkCtrl : 0;
    default:
      return 0;
  }
}

TEST(Soak, RandomPlayKeepsEveryInvariant) {
  Rig rig;
  rig.openCase();
  std::mt19937 rng(20261208);
  const int keys[] = {VkLeft, VkRight, VkUp, VkUp, VkDown, VkCtrl, VkCtrl, 65};
  int games = 0;
  long events = 0;
  int catches = 0, apeFalls = 0, chances = 0;
  bool wasCapturing = false, wasFalling = false, wasChance = false;
  const auto wallStart = std::chrono::steady_clock::now();
  constexpr int kHours = 48;
  const Millis target = kHours * 3600LL * 1000;
  while (rig.scheduler.now() < target) {
    if (!rig.g.GameRunning) {
      rig.time.universalMs = static_cast<std::uint32_t>(rng() % 86400000u);
      rig.startGame(rng() % 2 ? ModeGameA : ModeGameB);
      ++games;
    }
    const int roll = static_cast<int>(rng() % 1000);
    std::string what;
    if (roll < 1 && rng() % 50 == 0) {  // now and then a reset, mid-sequence or not
      what = "ACL";
      rig.h.Puls_ACLMouseDown(MouseButton::Left);
      rig.h.Puls_ACLMouseUp(MouseButton::Left);
    } else if (roll < 980) {
      int key = keys[rng() % std::size(keys)];
      if (roll < 970) key = purposefulKey(rig);
      what = "key " + std::to_string(key);
      if (key != 0) {
        rig.program.keyDown(key);
        // Sometimes held with auto-repeat, sometimes tapped.
        const int repeats = rng() % 8 == 0 ? static_cast<int>(rng() % 12) : 0;
        for (int i = 0; i < repeats; ++i) {
          rig.wait(33);
          rig.program.keyDown(key);
          checkInvariants(rig, what + " repeat");
          if (::testing::Test::HasFatalFailure()) return;
        }
        rig.program.keyUp(key);
      }
      rig.wait(20 + static_cast<int>(rng() % 100));
    } else {
      const int ms = 1 + static_cast<int>(rng() % 600);
      what = "wait " + std::to_string(ms);
      rig.wait(ms);
    }
    ++events;
    // Each sequence counted once, as it begins.
    const bool capturing = rig.g.CatchPhase >= 1 && rig.g.CatchPhase <= 2;
    const bool falling = rig.g.FallPhase >= 1 && rig.g.FallPhase <= 9;
    const bool chance = rig.h.timerEnabled(Timer_Chance);
    catches += capturing && !wasCapturing;
    apeFalls += falling && !wasFalling;
    chances += chance && !wasChance;
    wasCapturing = capturing;
    wasFalling = falling;
    wasChance = chance;
    rig.soundLog.clear();
    checkInvariants(rig, "after " + what + " at " + std::to_string(rig.scheduler.now()));
    if (::testing::Test::HasFatalFailure()) return;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  EXPECT_GT(games, 20);
  // The sequences worth soaking were reached, not only the first girder.
  EXPECT_GT(catches, 0);
  EXPECT_GT(apeFalls, 0);
  EXPECT_GT(chances, 0);
  RecordProperty("virtual_hours", kHours);
  RecordProperty("games", games);
  std::printf("[ soak ] %d games, %ld events, %d catches, %d ape falls, %d extra lives, "
              "%d virtual hours in %.2f s\n",
              games, events, catches, apeFalls, chances, kHours, seconds);
}

}  // namespace
}  // namespace cantiere::test
