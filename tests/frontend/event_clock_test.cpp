// The model's timers on the event loop's monotonic clock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

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

TEST(EventClock, ALateTickIsDeliveredOnce) {
  Counted c;
  c.clock.run([&] { c.scheduler.setEnabled(c.id, true); });
  QElapsedTimer busy;
  busy.start();
  while (busy.elapsed() < 400) {
  }  // the loop is held up for eight intervals
  QCoreApplication::processEvents();
  EXPECT_EQ(c.ticks, 1);
  QTest::qWait(20);
  EXPECT_EQ(c.ticks, 1) << "the next tick counts from the late one";
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
