// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/timing/scheduler.h"

#include <cassert>

namespace cantiere {

int Scheduler::add(std::uint32_t interval, Handler handler, void* context) {
  assert(count_ < kCapacity);
  Timer& t = timers_[count_];
  t.interval = interval;
  t.handler = handler;
  t.context = context;
  return count_++;
}

void Scheduler::setEnabled(int id, bool enabled) {
  Timer& t = timers_[id];
  if (t.enabled == enabled) return;
  t.enabled = enabled;
  if (enabled) t.due = now_ + t.interval;
}

void Scheduler::setInterval(int id, std::uint32_t interval) {
  Timer& t = timers_[id];
  if (t.interval == interval) return;
  t.interval = interval;
  if (t.enabled) t.due = now_ + interval;
}

int Scheduler::earliestDue(Millis limit) const {
  int best = -1;
  for (int i = 0; i < count_; ++i) {
    const Timer& t = timers_[i];
    // An interval of 0 never ticks (it would tick forever in one instant).
    if (!t.enabled || t.interval == 0 || t.due > limit) continue;
    if (best < 0 || t.due < timers_[best].due) best = i;
  }
  return best;
}

void Scheduler::advance(Millis ms) {
  const Millis target = now_ + ms;
  for (int id; (id = earliestDue(target)) >= 0;) {
    Timer& t = timers_[id];
    now_ = t.due;
    // The next count starts now; the handler may change it (rules 3, 6).
    t.due = now_ + t.interval;
    t.handler(t.context);
  }
  now_ = target;
}

void Scheduler::catchUp(Millis now) {
  if (now > now_) now_ = now;
  // Each timer ticks at most once per call however late it is (rule 5); a
  // handler that re-arms a timer pushes its due time past now, so the loop
  // ends.
  for (int id; (id = earliestDue(now_)) >= 0;) {
    Timer& t = timers_[id];
    t.due = now_ + t.interval;
    t.handler(t.context);
  }
}

Millis Scheduler::nextDue() const {
  Millis best = kNever;
  for (int i = 0; i < count_; ++i) {
    const Timer& t = timers_[i];
    if (t.enabled && t.interval > 0 && t.due < best) best = t.due;
  }
  return best;
}

}  // namespace cantiere
