// SPDX-License-Identifier: GPL-3.0-or-later
// The six timer rules, on the virtual clock.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/timing/scheduler.h"
#include "gtest/gtest.h"

namespace cantiere {
namespace {

// Timers whose ticks are written down as "time name"; `onTick` lets a test
// act inside a handler.
struct Log {
  struct Timer {
    Log* log;
    const char* name;
    int id;
  };
  Scheduler s;
  std::vector<std::string> ticks;
  std::function<void(int)> onTick;
  std::vector<std::unique_ptr<Timer>> timers;

  int add(const char* name, std::uint32_t interval) {
    timers.push_back(std::make_unique<Timer>(Timer{this, name, 0}));
    Timer* t = timers.back().get();
    t->id = s.add(
        interval,
        [](void* p) {
          auto* t = static_cast<Timer*>(p);
          t->log->ticks.push_back(std::to_string(t->log->s.now()) + " " + t->name);
          if (t->log->onTick) t->log->onTick(t->id);
        },
        t);
    return t->id;
  }
};

using Ticks = std::vector<std::string>;

TEST(Scheduler, EnabledTimerTicksEveryIntervalFromItsStart) {
  Log log;
  const int a = log.add("a", 300);
  log.s.advance(100);
  log.s.setEnabled(a, true);
  log.s.advance(1000);
  EXPECT_EQ(log.ticks, (Ticks{"400 a", "700 a", "1000 a"}));
}

TEST(Scheduler, DisablingStopsEvenADueTick) {
  Log log;
  const int a = log.add("a", 100);
  const int b = log.add("b", 100);
  log.s.setEnabled(a, true);
  log.s.setEnabled(b, true);
  // a runs first at 100 (registration order) and stops b, already due.
  log.onTick = [&](int id) {
    if (id == a) log.s.setEnabled(b, false);
  };
  log.s.advance(100);
  EXPECT_EQ(log.ticks, (Ticks{"100 a"}));
}

TEST(Scheduler, NewIntervalRestartsTheCountOnlyWhenRunning) {
  Log log;
  const int a = log.add("a", 500);
  log.s.setEnabled(a, true);
  log.s.advance(200);
  log.s.setInterval(a, 100);  // restarts: next at 300
  log.s.advance(150);
  EXPECT_EQ(log.ticks, (Ticks{"300 a"}));
  log.s.setEnabled(a, false);
  log.s.setInterval(a, 50);  // stored only
  log.s.advance(100);
  log.s.setEnabled(a, true);  // at 450: next at 500
  log.s.advance(50);
  EXPECT_EQ(log.ticks, (Ticks{"300 a", "500 a"}));
}

TEST(Scheduler, SettingTheSameValueChangesNothing) {
  Log log;
  const int a = log.add("a", 500);
  log.s.setEnabled(a, true);
  log.s.advance(400);
  log.s.setEnabled(a, true);
  log.s.setInterval(a, 500);
  log.s.advance(100);
  EXPECT_EQ(log.ticks, (Ticks{"500 a"}));
}

TEST(Scheduler, LateTicksDoNotPileUp) {
  Log log;
  const int a = log.add("a", 100);
  const int b = log.add("b", 40);
  log.s.setEnabled(a, true);
  log.s.setEnabled(b, true);
  log.s.catchUp(1000);  // the loop was busy for a second
  EXPECT_EQ(log.ticks, (Ticks{"1000 b", "1000 a"}));
  log.s.catchUp(1100);
  EXPECT_EQ(log.ticks.back(), "1100 a");
  EXPECT_EQ(log.ticks.size(), 4u);
  EXPECT_EQ(log.s.nextDue(), 1140);
}

TEST(Scheduler, HandlerChangesHoldAtOnceAndTiesFollowRegistration) {
  Log log;
  const int first = log.add("first", 10);
  const int second = log.add("second", 1);
  log.s.setEnabled(first, true);
  // first, at 10, starts second with 1 ms and changes its own interval.
  log.onTick = [&](int id) {
    if (id == first) {
      log.s.setEnabled(second, true);
      log.s.setInterval(first, 5);
    } else {
      log.s.setEnabled(second, false);
    }
  };
  log.s.advance(16);
  EXPECT_EQ(log.ticks, (Ticks{"10 first", "11 second", "15 first", "16 second"}));
}

// The desktop's clock sleeps until the next due time, so every enabled
// timer counts, a 1 ms one too; a disabled one or one of interval 0 never.
TEST(Scheduler, NextDueIsTheEarliestTickToCome) {
  Log log;
  const int a = log.add("a", 250);
  const int b = log.add("b", 1);
  const int c = log.add("c", 0);
  log.s.setEnabled(a, true);
  log.s.setEnabled(c, true);
  EXPECT_EQ(log.s.nextDue(), 250);
  log.s.setEnabled(b, true);
  EXPECT_EQ(log.s.nextDue(), 1);
  log.s.advance(1);
  EXPECT_EQ(log.s.nextDue(), 2);
  log.s.setEnabled(b, false);
  EXPECT_EQ(log.s.nextDue(), 250);
}

TEST(Scheduler, AdvanceDeliversATickDueAtItsLastMillisecond) {
  Log log;
  const int a = log.add("a", 250);
  log.s.setEnabled(a, true);
  log.s.advance(249);
  EXPECT_TRUE(log.ticks.empty());
  log.s.advance(1);
  EXPECT_EQ(log.ticks, (Ticks{"250 a"}));
  EXPECT_EQ(log.s.now(), 250);
  log.s.setEnabled(a, false);
  EXPECT_EQ(log.s.nextDue(), Scheduler::kNever);
}

}  // namespace
}  // namespace cantiere
