// SPDX-License-Identifier: GPL-3.0-or-later
// A time of day that runs with virtual time from an anchor: a known time of
// day at a known virtual instant. Every reading is the anchor plus the
// virtual time since, so a tick delivered late still sees the time of its
// due instant, and a run that repeats the same anchors and inputs repeats
// the same seeds. The driver sets it from its script; the desktop from the
// wall clock, re-anchoring when that jumps.
#pragma once

#include <cstdint>

#include "core/timing/scheduler.h"
#include "core/timing/time_of_day.h"

namespace cantiere {

inline constexpr std::int64_t kDayMs = 24LL * 60 * 60 * 1000;

class AnchoredTimeOfDay : public TimeOfDay {
 public:
  explicit AnchoredTimeOfDay(const Scheduler& scheduler) : scheduler_(scheduler) {}

  // From the scheduler's current instant on, the universal time of day is
  // `universalMs` (taken modulo a day) and local time runs `offsetMinutes`
  // ahead of it.
  void set(std::int64_t universalMs, int offsetMinutes) {
    anchorInstant_ = scheduler_.now();
    anchorMs_ = wrap(universalMs);
    offsetMinutes_ = offsetMinutes;
  }

  // Universal milliseconds of the day at a virtual instant.
  std::int64_t universalAt(Millis instant) const {
    return wrap(anchorMs_ + (instant - anchorInstant_));
  }
  std::int64_t universalNow() const { return universalAt(scheduler_.now()); }
  std::int64_t localNow() const { return wrap(universalNow() + offsetMinutes_ * 60000LL); }
  int offsetMinutes() const { return offsetMinutes_; }

  LocalTime local() const override {
    const std::int64_t ms = localNow();
    return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60)};
  }
  std::uint32_t universalMillisOfDay() const override {
    return static_cast<std::uint32_t>(universalNow());
  }

  static std::int64_t wrap(std::int64_t ms) {
    const std::int64_t r = ms % kDayMs;
    return r < 0 ? r + kDayMs : r;
  }

 private:
  const Scheduler& scheduler_;
  Millis anchorInstant_ = 0;
  std::int64_t anchorMs_ = 12LL * 3600000;  // noon, as the driver has always started
  int offsetMinutes_ = 0;
};

}  // namespace cantiere
