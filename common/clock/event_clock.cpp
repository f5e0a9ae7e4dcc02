// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/clock/event_clock.h"

#include <algorithm>
#include <climits>

namespace cantiere {

EventClock::EventClock(Scheduler& scheduler, ClockHost& host)
    : scheduler_(scheduler), host_(host), dropped_(host.monotonic()) {
  host_.wake = [this] { wake(); };
}

void EventClock::catchUp() {
  if (paused_) return;
  Millis target = now();
  const Millis first = scheduler_.nextDue();
  if (first != Scheduler::kNever && target - first > kLongestLateness) {
    dropped_ += target - first - kLongestLateness;
    target = now();
  }
  for (const auto& listener : catchUpListeners_) listener(target);
  for (Millis due; (due = scheduler_.nextDue()) <= target;) {
    for (const auto& listener : dueListeners_) listener(due);
    scheduler_.advance(due - scheduler_.now());  // the ticks of that instant, no later one
    for (const auto& listener : instantListeners_) listener();
  }
  if (target > scheduler_.now()) scheduler_.advance(target - scheduler_.now());
}

void EventClock::rearm() {
  const Millis due = scheduler_.nextDue();
  if (paused_ || due == Scheduler::kNever) {
    armed_ = false;
    host_.noWake();
    return;
  }
  armed_ = true;
  armedInterval_ = std::clamp<Millis>(due - now(), 0, INT_MAX);
  host_.wakeIn(armedInterval_);
}

void EventClock::wake() {
  armed_ = false;
  if (paused_) return;
  catchUp();
  for (const auto& listener : listeners_) listener();
  rearm();
}

void EventClock::pause() {
  if (paused_) return;
  catchUp();
  pausedAt_ = now();
  paused_ = true;
  armed_ = false;
  host_.noWake();
}

void EventClock::resume() {
  if (!paused_) return;
  dropped_ = host_.monotonic() - pausedAt_;
  paused_ = false;
  catchUp();
  rearm();
}

}  // namespace cantiere
