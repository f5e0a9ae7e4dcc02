// Many games of random but legal input on virtual time, checking after every
// event the invariants play must keep. Seeded, so a failure replays.
#include <chrono>
#include <random>

#include "test_support.h"

namespace cantiere::test {
namespace {

constexpr TimerId kGameTimers[] = {TimerGioco,   TimerMove,   TimerJump,    TimerLeva,
                                   TimerGancio,  Timer_Cade,  Timer_Cade2,  TimerNonCade,
                                   TimerBonus,   TimerMiss,   TimerMissTrave, Timer_Chance,
                                   TimerBlink,   TimerOver,   TimerOver2};

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
  ASSERT_LE(apePoses, 1) << where;
  ASSERT_TRUE(g.Lives >= 0 && g.Lives <= 4) << where << " Lives=" << g.Lives;
  ASSERT_TRUE(g.Score >= 0 && g.Score <= 999) << where << " Score=" << g.Score;
  ASSERT_TRUE(g.KeysLeft >= 0 && g.KeysLeft <= 4) << where;
  ASSERT_EQ(h.tables.outOfRangeReads(), 0) << where;
  if (g.GameRunning) {
    bool running = false;
    for (TimerId t : kGameTimers) running = running || h.timerEnabled(t);
    ASSERT_TRUE(running) << where << ": a game with no timer running would hang";
  }
  if (g.OminoRow != 0 && g.GameRunning) {
    ASSERT_NE(h.tables.OminoPose(g.OminoCol, g.OminoRow), NoElement) << where;
  }
}

TEST(Soak, RandomPlayKeepsEveryInvariant) {
  Rig rig;
  rig.openCase();
  std::mt19937 rng(20261208);
  const int keys[] = {VkLeft, VkRight, VkUp, VkUp, VkDown, VkCtrl, VkCtrl, 65};
  int games = 0;
  long events = 0;
  const auto wallStart = std::chrono::steady_clock::now();
  const Millis target = 12LL * 3600 * 1000;  // twelve virtual hours
  while (rig.scheduler.now() < target) {
    if (!rig.g.GameRunning) {
      rig.time.universalMs = static_cast<std::uint32_t>(rng() % 86400000u);
      rig.startGame(rng() % 2 ? ModeGameA : ModeGameB);
      ++games;
    }
    const int roll = static_cast<int>(rng() % 1000);
    std::string what;
    if (roll < 2) {
      what = "ACL";
      rig.h.Puls_ACLMouseDown(MouseButton::Left);
      rig.h.Puls_ACLMouseUp(MouseButton::Left);
    } else if (roll < 500) {
      const int key = keys[rng() % std::size(keys)];
      what = "key " + std::to_string(key);
      rig.program.keyDown(key);
      // Sometimes held with auto-repeat, sometimes tapped.
      const int repeats = rng() % 4 == 0 ? static_cast<int>(rng() % 12) : 0;
      for (int i = 0; i < repeats; ++i) {
        rig.wait(33);
        rig.program.keyDown(key);
        checkInvariants(rig, what + " repeat");
        if (::testing::Test::HasFatalFailure()) return;
      }
      rig.program.keyUp(key);
    } else {
      const int ms = 1 + static_cast<int>(rng() % 600);
      what = "wait " + std::to_string(ms);
      rig.wait(ms);
    }
    ++events;
    rig.soundLog.clear();
    checkInvariants(rig, "after " + what + " at " + std::to_string(rig.scheduler.now()));
    if (::testing::Test::HasFatalFailure()) return;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  EXPECT_GT(games, 20);
  RecordProperty("virtual_hours", 12);
  RecordProperty("games", games);
  std::printf("[ soak ] %d games, %ld events, 12 virtual hours in %.2f s\n", games, events,
              seconds);
}

}  // namespace
}  // namespace cantiere::test
