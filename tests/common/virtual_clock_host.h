// SPDX-License-Identifier: GPL-3.0-or-later
// An event loop on virtual time for the clock's tests: its monotonic clock
// moves only when the test says, and a wake-up armed on it fires when the
// clock passes it, as late as the test lets the loop be.
#pragma once

#include "common/clock/event_clock.h"

namespace cantiere::test {

class VirtualClockHost : public ClockHost {
 public:
  Millis monotonic() const override { return now; }
  void wakeIn(Millis ms) override { wakeAt = now + ms; }
  void noWake() override { wakeAt = -1; }

  // The loop runs until `t`: the wake-up armed for then or earlier fires
  // (at `t` when the loop was held up), and any it arms in turn.
  void runUntil(Millis t) {
    while (wakeAt >= 0 && wakeAt <= t) {
      now = std::max(now, wakeAt);
      wakeAt = -1;
      wake();
    }
    now = t;
  }
  // The loop is held up until `t`, then wakes once.
  void stallUntil(Millis t) {
    now = t;
    if (wakeAt >= 0 && wakeAt <= t) {
      wakeAt = -1;
      wake();
    }
  }

  Millis now = 0;
  Millis wakeAt = -1;  // none
};

}  // namespace cantiere::test
