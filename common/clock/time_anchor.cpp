// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/clock/time_anchor.h"

#include <time.h>

namespace cantiere {

WallTime systemWallTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  // tzset() each time: the computer's zone may be changed while it runs.
  ::tzset();
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  const std::int64_t ms = static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  // The zone as the C library sees it now, TZ and summer time included.
  return {AnchoredTimeOfDay::wrap(ms), static_cast<std::int32_t>(local.tm_gmtoff / 60)};
}

TimeAnchor::TimeAnchor(AnchoredTimeOfDay& time, std::function<WallTime()> wall)
    : time_(time), wall_(std::move(wall)) {}

void TimeAnchor::take() {
  const WallTime w = wall_();
  time_.set(w.universalMs, w.offsetMinutes);
  if (anchored) anchored(w);
}

bool TimeAnchor::check(Millis ahead) {
  const WallTime read = wall_();
  // The shortest way round the day between the two readings.
  std::int64_t drift = AnchoredTimeOfDay::wrap(read.universalMs - time_.universalNow() - ahead);
  if (drift > kDayMs / 2) drift -= kDayMs;
  if (drift >= -kLargestDrift && drift <= kLargestDrift &&
      read.offsetMinutes == time_.offsetMinutes())
    return false;
  const WallTime w{AnchoredTimeOfDay::wrap(read.universalMs - ahead), read.offsetMinutes};
  time_.set(w.universalMs, w.offsetMinutes);
  if (anchored) anchored(w);
  return true;
}

void TimeAnchor::follow(EventClock& clock) {
  clock.onCatchUp([this, &clock](Millis target) { check(target - clock.scheduler().now()); });
}

}  // namespace cantiere
