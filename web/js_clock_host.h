// SPDX-License-Identifier: GPL-3.0-or-later
// The event clock's host in a browser: performance.now() as the monotonic
// clock and one setTimeout as the wake-up, armed only while a timer runs.
#pragma once

#include "common/clock/event_clock.h"
#include "web/js_bridge.h"

namespace cantiere {

class JsClockHost : public ClockHost {
 public:
  Millis monotonic() const override { return static_cast<Millis>(js_now()) - origin_; }
  void wakeIn(Millis ms) override { js_wake_in(static_cast<double>(ms)); }
  void noWake() override { js_no_wake(); }

 private:
  // Virtual time starts near 0, as the driver's does.
  Millis origin_ = static_cast<Millis>(js_now());
};

}  // namespace cantiere
