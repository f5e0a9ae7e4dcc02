// SPDX-License-Identifier: GPL-3.0-or-later
// The event clock's rules, one test each, on a loop of virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/clock/event_clock.h"
#include "tests/common/virtual_clock_host.h"

namespace cantiere {
namespace {

// A 50 ms timer whose ticks note the scheduler's instant.
struct Stamped {
  test::VirtualClockHost loop;
  Scheduler scheduler;
  EventClock clock{scheduler, loop};
  std::vector<Millis> at;
  int id = scheduler.add(
      50, [](void* self) { auto* s = static_cast<Stamped*>(self); s->at.push_back(s->scheduler.now()); },
      this);
  void enable(bool on) { clock.run([&] { scheduler.setEnabled(id, on); }); }
};

TEST(EventClock, NothingWakesTheLoopWhileNoTimerRuns) {
  Stamped c;
  c.clock.rearm();
  EXPECT_FALSE(c.clock.armed());
  EXPECT_EQ(c.loop.wakeAt, -1);
  c.enable(true);
  EXPECT_EQ(c.loop.wakeAt, 50);
  c.enable(false);
  EXPECT_FALSE(c.clock.armed());
  EXPECT_EQ(c.loop.wakeAt, -1);
}

TEST(EventClock, EachTickWakesTheLoopAtItsOwnInstant) {
  Stamped c;
  c.enable(true);
  c.loop.runUntil(280);
  EXPECT_EQ(c.at, (std::vector<Millis>{50, 100, 150, 200, 250}));
  EXPECT_EQ(c.loop.wakeAt, 300);
}

TEST(EventClock, LateTicksComeAtTheirDueInstantsAndAStallBeyondTheLatenessIsDropped) {
  const struct {
    Millis wokeAt;
    std::vector<Millis> ticks;
    Millis nowAfter, nextTickIn;
  } cases[] = {
      {130, {50, 100}, 130, 20},        // late within the limit: all of it counts
      {150, {50, 100, 150}, 150, 50},   // exactly the limit
      {450, {50, 100, 150}, 150, 50},   // held up 400 ms: only the first 100 count
      {10000, {50, 100, 150}, 150, 50},
  };
  for (const auto& k : cases) {
    Stamped c;
    c.enable(true);
    c.loop.stallUntil(k.wokeAt);
    EXPECT_EQ(c.at, k.ticks) << k.wokeAt;
    EXPECT_EQ(c.scheduler.now(), k.nowAfter) << k.wokeAt;
    EXPECT_EQ(c.clock.now(), k.nowAfter) << "virtual time drops the stall";
    EXPECT_EQ(c.loop.wakeAt - c.loop.now, k.nextTickIn) << "the next tick keeps its interval";
  }
}

TEST(EventClock, APauseStopsTimeAndResumingRunsOnFromThere) {
  Stamped c;
  c.enable(true);
  c.loop.runUntil(30);
  c.clock.pause();
  EXPECT_FALSE(c.clock.armed());
  c.loop.runUntil(1000);
  EXPECT_TRUE(c.at.empty());
  EXPECT_EQ(c.clock.now(), 30);
  c.clock.resume();
  EXPECT_EQ(c.clock.now(), 30);
  EXPECT_EQ(c.loop.wakeAt, 1020) << "20 ms were left to the tick";
  c.loop.runUntil(1020);
  EXPECT_EQ(c.at, std::vector<Millis>{50});
}

TEST(EventClock, ATimerEnabledAfterIdleTimeCountsFromThatMoment) {
  Stamped c;
  c.clock.rearm();
  c.loop.runUntil(300);  // idle: the scheduler's time stood still
  c.enable(true);
  EXPECT_TRUE(c.at.empty()) << "a count that began 300 ms ago would be overdue";
  c.loop.runUntil(349);
  EXPECT_TRUE(c.at.empty());
  c.loop.runUntil(350);
  EXPECT_EQ(c.at, std::vector<Millis>{350});
}

// What a listener may change (the anchor of the time of day) must be in
// place before the ticks that are to see it.
TEST(EventClock, ACatchUpIsHeardBeforeItsTicksAndEachInstantAroundItsOwn) {
  Stamped c;
  std::vector<std::string> heard;
  auto note = [&](const char* what, Millis at) {
    heard.push_back(std::string(what) + " " + std::to_string(at) + " now=" +
                    std::to_string(c.scheduler.now()) + " ticks=" + std::to_string(c.at.size()));
  };
  c.clock.onCatchUp([&](Millis target) { note("catch-up", target); });
  c.clock.onDue([&](Millis due) { note("due", due); });
  c.clock.onInstant([&] { note("instant", c.scheduler.now()); });
  int wakes = 0;
  c.clock.onTicks([&] { ++wakes; });
  c.enable(true);
  heard.clear();
  c.loop.stallUntil(120);  // the loop wakes late: two ticks are due
  const std::vector<std::string> expected{
      "catch-up 120 now=0 ticks=0", "due 50 now=0 ticks=0",   "instant 50 now=50 ticks=1",
      "due 100 now=50 ticks=1",     "instant 100 now=100 ticks=2"};
  EXPECT_EQ(heard, expected);
  EXPECT_EQ(c.scheduler.now(), 120);
  EXPECT_EQ(wakes, 1) << "one wake-up, told once its ticks are in";
}

}  // namespace
}  // namespace cantiere
