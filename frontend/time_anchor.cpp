// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/time_anchor.h"

#include <QDateTime>

namespace cantiere {

WallTime systemWallTime() {
  const QDateTime now = QDateTime::currentDateTime();
  return {now.toUTC().time().msecsSinceStartOfDay(), now.offsetFromUtc() / 60};
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
