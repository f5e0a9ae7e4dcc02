// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's time of day: an anchor plus virtual time, taken again only
// when the wall clock leaves it.
#include <gtest/gtest.h>

#include <sstream>

#include "core/script/script_command.h"
#include "core/script/state_dump.h"
#include "frontend/time_anchor.h"
#include "tests/core/test_support.h"

namespace cantiere {
namespace {

constexpr std::int64_t kHour = 3600000;

// A wall clock the test moves: with virtual time, or alone (a jump).
struct AnchorRig {
  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  WallTime wall{10 * kHour, 60};  // 10:00 universal, 11:00 local
  std::vector<Millis> anchoredAt;
  TimeAnchor anchor{time, [this] { return wall; }};

  AnchorRig() {
    anchor.anchored = [this](const WallTime&) { anchoredAt.push_back(scheduler.now()); };
    anchor.take();
  }
  void together(Millis ms) {
    scheduler.advance(ms);
    wall.universalMs = AnchoredTimeOfDay::wrap(wall.universalMs + ms);
  }
};

struct Cause {
  const char* name;
  std::function<void(AnchorRig&)> happen;
  bool reanchors;
};

class Reanchor : public ::testing::TestWithParam<Cause> {};

TEST_P(Reanchor, OnlyWhenTheWallClockLeavesTheAnchor) {
  AnchorRig r;
  r.together(90 * 60000);  // an hour and a half of play first
  GetParam().happen(r);
  const Millis at = r.scheduler.now();
  EXPECT_EQ(r.anchor.check(), GetParam().reanchors);
  EXPECT_EQ(r.anchoredAt.size(), GetParam().reanchors ? 2u : 1u);
  if (GetParam().reanchors) {
    EXPECT_EQ(r.anchoredAt.back(), at);
    EXPECT_EQ(r.time.universalNow(), r.wall.universalMs) << "the new anchor is the wall clock";
    EXPECT_EQ(r.time.offsetMinutes(), r.wall.offsetMinutes);
  }
  EXPECT_FALSE(r.anchor.check()) << "one jump, one anchor";
}

INSTANTIATE_TEST_SUITE_P(
    Causes, Reanchor,
    ::testing::Values(
        Cause{"DriftOfTwoSeconds", [](AnchorRig& r) { r.wall.universalMs += 2000; }, false},
        Cause{"DriftBackOfTwoSeconds", [](AnchorRig& r) { r.wall.universalMs -= 2000; }, false},
        Cause{"ClockSetAhead", [](AnchorRig& r) { r.wall.universalMs += 2001; }, true},
        Cause{"ClockSetBackAnHour", [](AnchorRig& r) { r.wall.universalMs -= kHour; }, true},
        Cause{"SummerTimeBegins", [](AnchorRig& r) { r.wall.offsetMinutes = 120; }, true},
        Cause{"TimeZoneChanged", [](AnchorRig& r) { r.wall.offsetMinutes = -300; }, true},
        // The monotonic clock, and virtual time with it, stands still while
        // the computer sleeps.
        Cause{"ResumeFromSuspend", [](AnchorRig& r) { r.wall.universalMs += 8 * kHour; }, true},
        // Virtual time dropped a stall of the event loop.
        Cause{"ProgramStoodStill", [](AnchorRig& r) {
                r.scheduler.advance(1000);
                r.wall.universalMs += 4000;
              }, true},
        Cause{"MidnightPasses", [](AnchorRig& r) { r.together(14 * kHour); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeAnchor, ATickSeesTheTimeOfItsDueInstant) {
  AnchorRig r;
  r.together(1000);
  r.wall.universalMs += 700;  // the loop handles the tick 700 ms late
  EXPECT_EQ(r.time.universalAt(1000), 10 * kHour + 1000);
  EXPECT_EQ(r.time.universalMillisOfDay(), 10 * kHour + 1000);
}

TEST(TimeAnchor, TheClockShowsTheLocalTimeAfterAJump) {
  AnchorRig r;
  RecordingOutput output;
  Sound sound(output);
  MemorySettings settings;
  test::FakeDesktop desktop;
  Program program(HandheldServices{r.scheduler, r.time, sound, settings, desktop});
  program.start();
  std::string error;
  auto input = [&](const std::string& line) {
    ScriptCommand c;
    ASSERT_TRUE(parseCommand(scriptWords(line), c, error)) << error;
    ASSERT_TRUE(applyInput(c, program, error)) << error;
  };
  input("play 2");
  input("click Im_Front");
  input("click Puls_Time");
  auto digits = [&] {
    std::ostringstream out;
    writeStateLines(out, program.form1);
    const std::string s = out.str();
    const auto at = s.find("digits");
    return s.substr(at, s.find('\n', at) - at);
  };
  r.together(1000);
  EXPECT_EQ(digits(), "digits 1 1 0 0");  // 11:00 local
  EXPECT_TRUE(program.form1.surface.lit(Im_TimeAM));

  r.wall.universalMs += 2 * kHour + 5 * 60000;  // the clock is set to 13:05
  r.anchor.check();
  r.together(1000);
  EXPECT_EQ(digits(), "digits - 1 0 5");
  EXPECT_TRUE(program.form1.surface.lit(Im_TimePM));
}

}  // namespace
}  // namespace cantiere
