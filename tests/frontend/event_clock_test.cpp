// SPDX-License-Identifier: GPL-3.0-or-later
// The model's timers on the event loop's monotonic clock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <string>
#include <vector>

#include "frontend/event_clock.h"

namespace cantiere {
namespace {

struct Counted {
  Scheduler scheduler;
  EventClock clock{scheduler};
  int ticks = 0;
  int id = scheduler.add(50, [](void* self) { ++static_cast<Counted*>(self)->ticks; }, this);
};

TEST(EventClock, NothingWakesTheLoopWhileNoTimerRuns) {
  Counted c;
  c.clock.rearm();
  EXPECT_FALSE(c.clock.armed());
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  EXPECT_TRUE(c.clock.armed());
  EXPECT_LE(c.clock.armedInterval(), 50);
  c.clock.run([&] { c.scheduler.setEnabled(c.id, false); });
  EXPECT_FALSE(c.clock.armed());
}

TEST(EventClock, TicksComeAtTheirIntervalOnTheLoop) {
  Counted c;
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  QTest::qWait(280);
  // 50 ms apart at best, later under load, never more often.
  EXPECT_LE(c.ticks, 5);
  EXPECT_GE(c.ticks, 2);
}

TEST(EventClock, LateTicksComeAtTheirDueInstantsAndAStallIsDropped) {
  struct Stamped {
    Scheduler scheduler;
    EventClock clock{scheduler};
    std::vector<Millis> at;
    int id = scheduler.add(
        50, [](void* self) { auto* s = static_cast<Stamped*>(self); s->at.push_back(s->scheduler.now()); },
        this);
  } c;
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  const Millis enabled = c.scheduler.now();
  QElapsedTimer busy;
  busy.start();
  while (busy.elapsed() < 400) {
  }  // the loop is held up for eight intervals
  QCoreApplication::processEvents();
  // Each tick at its own instant, as the driver gives them; of the stall
  // only the first kLongestLateness ms count, so ticks do not pile up.
  const std::vector<Millis> expected{enabled + 50, enabled + 100, enabled + 150};
  EXPECT_EQ(c.at, expected);
  EXPECT_LE(c.scheduler.now(), enabled + 50 + EventClock::kLongestLateness + 5);
}

TEST(EventClock, APauseStopsTimeAndResumingRunsOnFromThere) {
  Counted c;
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  c.clock.pause();
  const Millis stood = c.clock.now();
  QTest::qWait(200);
  EXPECT_EQ(c.ticks, 0);
  EXPECT_EQ(c.clock.now(), stood);
  EXPECT_FALSE(c.clock.armed());
  c.clock.resume();
  EXPECT_LE(c.clock.now() - stood, 5);
  EXPECT_TRUE(c.clock.armed());
  QTest::qWait(120);
  EXPECT_GE(c.ticks, 1);
}

TEST(EventClock, ATimerEnabledAfterIdleTimeCountsFromThatMoment) {
  Counted c;
  c.clock.rearm();
  QTest::qWait(300);  // idle: the scheduler's time stood still
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  QCoreApplication::processEvents();
  EXPECT_EQ(c.ticks, 0) << "a count that began 300 ms ago would be overdue";
  QTest::qWait(120);
  EXPECT_GE(c.ticks, 1);
}

// What a listener may change (the anchor of the time of day) must be in
// place before the ticks that are to see it.
TEST(EventClock, ACatchUpIsHeardBeforeItsTicksAndEachInstantAroundItsOwn) {
  Millis monotonic = 0;
  Scheduler scheduler;
  EventClock clock{scheduler, [&] { return monotonic; }};
  std::vector<std::string> heard;
  int ticks = 0;
  const int id = scheduler.add(50, [](void* n) { ++*static_cast<int*>(n); }, &ticks);
  auto note = [&](const char* what, Millis at) {
    heard.push_back(std::string(what) + " " + std::to_string(at) + " now=" +
                    std::to_string(scheduler.now()) + " ticks=" + std::to_string(ticks));
  };
  clock.onCatchUp([&](Millis target) { note("catch-up", target); });
  clock.onDue([&](Millis due) { note("due", due); });
  clock.onInstant([&] { note("instant", scheduler.now()); });
  clock.run([&] { scheduler.setEnabled(id, true); });
  heard.clear();
  monotonic = 120;  // the loop wakes late: two ticks are due
  clock.catchUp();
  const std::vector<std::string> expected{
      "catch-up 120 now=0 ticks=0", "due 50 now=0 ticks=0",   "instant 50 now=50 ticks=1",
      "due 100 now=50 ticks=1",     "instant 100 now=100 ticks=2"};
  EXPECT_EQ(heard, expected);
  EXPECT_EQ(scheduler.now(), 120);
}

}  // namespace
}  // namespace cantiere
