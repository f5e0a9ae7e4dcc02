// SPDX-License-Identifier: GPL-3.0-or-later
// The time of day as the handheld sees it: local hours and minutes for the
// clock, universal milliseconds of the day for seeding the generator. The
// model is given one, so that tests and the driver can fix the time.
#pragma once

#include <cstdint>

namespace cantiere {

struct LocalTime {
  int hour;    // 0..23
  int minute;  // 0..59
};

class TimeOfDay {
 public:
  virtual ~TimeOfDay() = default;
  virtual LocalTime local() const = 0;
  // ((h * 60 + m) * 60 + s) * 1000 + ms of the universal time.
  virtual std::uint32_t universalMillisOfDay() const = 0;
};

}  // namespace cantiere
