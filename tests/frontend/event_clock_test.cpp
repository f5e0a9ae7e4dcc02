// SPDX-License-Identifier: GPL-3.0-or-later
// The model's timers on the event loop's monotonic clock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
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

}  // namespace
}  // namespace cantiere
