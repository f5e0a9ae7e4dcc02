// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's time of day: an anchor plus virtual time, taken again only
// when the wall clock leaves it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "core/script/script_command.h"
#include "core/script/state_dump.h"
#include "common/clock/event_clock.h"
#include "common/clock/time_anchor.h"
#include "tests/common/virtual_clock_host.h"
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

// The clock's digits as the dump shows them: twelve-hour form, the leading
// position blank below ten.
std::string digitsOf(const Program& program) {
  std::ostringstream out;
  writeStateLines(out, program.form1);
  const std::string s = out.str();
  const auto at = s.find("digits");
  return s.substr(at, s.find('\n', at) - at);
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
  r.together(1000);
  EXPECT_EQ(digitsOf(program), "digits 1 1 0 0");  // 11:00 local
  EXPECT_TRUE(program.form1.surface.lit(Im_TimeAM));

  r.wall.universalMs += 2 * kHour + 5 * 60000;  // the clock is set to 13:05
  r.anchor.check();
  r.together(1000);
  EXPECT_EQ(digitsOf(program), "digits - 1 0 5");
  EXPECT_TRUE(program.form1.surface.lit(Im_TimePM));
}

std::string clockDigits(std::int64_t localMs) {
  const int hour = static_cast<int>(localMs / kHour) % 12, minute = localMs / 60000 % 60;
  const int h = hour == 0 ? 12 : hour;
  return "digits " + std::string(h >= 10 ? "1" : "-") + " " + std::to_string(h % 10) + " " +
         std::to_string(minute / 10) + " " + std::to_string(minute % 10);
}

// The wall clock as a function of the monotonic clock: a zone change or a
// clock set at `change` ms.
struct WallChange {
  const char* name;
  WallTime before;  // at monotonic 0
  std::int64_t change;
  std::int64_t jump;  // added to universal time from the change on
  std::int32_t offsetAfter;
  friend void PrintTo(const WallChange& c, std::ostream* out) { *out << c.name; }
};

class ClockAfterAChange : public ::testing::TestWithParam<WallChange> {};

TEST_P(ClockAfterAChange, ShowsTheWallClocksLocalTimeAtEveryTick) {
  const WallChange& c = GetParam();
  test::VirtualClockHost loop;
  const Millis& monotonic = loop.now;
  auto wall = [&] {
    const bool after = monotonic >= c.change;
    return WallTime{
        AnchoredTimeOfDay::wrap(c.before.universalMs + monotonic + (after ? c.jump : 0)),
        after ? c.offsetAfter : c.before.offsetMinutes};
  };
  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  EventClock clock{scheduler, loop};
  TimeAnchor anchor{time, wall};
  anchor.take();
  anchor.follow(clock);
  RecordingOutput output;
  Sound sound(output);
  MemorySettings settings;
  test::FakeDesktop desktop;
  Program program(HandheldServices{scheduler, time, sound, settings, desktop});
  program.start();
  for (const char* line : {"play 2", "click Im_Front", "click Puls_Time"}) {
    ScriptCommand command;
    std::string error;
    ASSERT_TRUE(parseCommand(scriptWords(line), command, error)) << error;
    clock.run([&] { applyInput(command, program, error); });
  }
  // The loop wakes at each due tick, as late as a busy machine makes it.
  for (int tick = 0; tick < 12; ++tick) {
    loop.stallUntil(scheduler.nextDue() + tick % 3 * 30);
    const WallTime w = wall();
    EXPECT_EQ(digitsOf(program),
              clockDigits(AnchoredTimeOfDay::wrap(w.universalMs + w.offsetMinutes * 60000LL)))
        << "tick " << tick << " at " << monotonic;
  }
}

constexpr std::int64_t kBeforeOneUtc = kHour - 4300;  // 00:59:55.700 universal

INSTANTIATE_TEST_SUITE_P(
    Changes, ClockAfterAChange,
    ::testing::Values(
        // Rome, March: 01:59:59 +01:00 is followed by 03:00:00 +02:00.
        WallChange{"SummerTimeBegins", {kBeforeOneUtc, 60}, 4300, 0, 120},
        // Rome, October: 02:59:59 +02:00 is followed by 02:00:00 +01:00.
        WallChange{"SummerTimeEnds", {kBeforeOneUtc, 120}, 4300, 0, 60},
        WallChange{"ClockSetAhead", {10 * kHour, 60}, 5500, 2 * kHour + 5 * 60000, 60},
        WallChange{"ClockSetBack", {10 * kHour, 60}, 5500, -3 * kHour, 60}),
    [](const auto& info) { return std::string(info.param.name); });

// The computer's clock: the universal millisecond of the day now, and the
// zone's lead as TZ sets it, read again at every call.
TEST(SystemWallTime, IsTheUniversalTimeOfDayAndTheZoneOfTheMoment) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "a WebAssembly C library takes its zone from the browser, not from TZ";
#endif
  const char* was = std::getenv("TZ");
  const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
  for (const auto& [zone, offset] : {std::pair{"UTC0", 0}, {"XXX-2", 120}, {"XXX+5:30", -330}}) {
    ::setenv("TZ", zone, 1);
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const WallTime w = systemWallTime();
    std::int64_t apart = AnchoredTimeOfDay::wrap(w.universalMs - now.count());
    if (apart > kDayMs / 2) apart -= kDayMs;
    EXPECT_GE(apart, 0) << zone;
    EXPECT_LT(apart, 5000) << zone << ": read at once after the system clock";
    EXPECT_EQ(w.offsetMinutes, offset) << zone;
  }
  saved ? ::setenv("TZ", saved->c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace cantiere
