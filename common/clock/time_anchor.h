// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's time of day: one anchor taken from the wall clock, plus the
// virtual time since, so the time a tick sees is a function of the inputs
// and anchors alone and a recording of them replays exactly. The anchor is
// taken again only when the wall clock moves more than two seconds away
// from the time derived from it, or its zone changes: the clock was set,
// the time zone or summer time changed, the computer woke from sleep (its
// monotonic clock stood still meanwhile), or the program stood still.
#pragma once

#include <cstdint>
#include <functional>

#include "core/timing/anchored_time_of_day.h"
#include "common/clock/event_clock.h"

namespace cantiere {

struct WallTime {
  std::int64_t universalMs;     // milliseconds of the universal day
  std::int32_t offsetMinutes;   // local time's lead on universal time
};

WallTime systemWallTime();

class TimeAnchor {
 public:
  static constexpr std::int64_t kLargestDrift = 2000;

  explicit TimeAnchor(AnchoredTimeOfDay& time, std::function<WallTime()> wall = systemWallTime);

  // Anchors the time of day to the wall clock at the scheduler's instant.
  void take();
  // Takes the anchor again if the wall clock has left it; true if it did.
  // The wall clock is read `ahead` ms of virtual time past the scheduler's
  // instant, whose ticks are still to come: the anchor is set at the
  // scheduler's instant, so those ticks already see it.
  bool check(Millis ahead = 0);
  // Checks the anchor each time `clock` catches up, before its ticks: the
  // first tick after a jump of the wall clock shows the new time.
  void follow(EventClock& clock);

  // Told of every anchor taken, at the scheduler's instant.
  std::function<void(const WallTime&)> anchored;

 private:
  AnchoredTimeOfDay& time_;
  std::function<WallTime()> wall_;
};

}  // namespace cantiere
