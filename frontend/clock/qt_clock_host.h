// SPDX-License-Identifier: GPL-3.0-or-later
// The event clock's host on Qt's event loop: its monotonic clock, and one
// precise single-shot timer, so a tick wakes the loop at its millisecond.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "common/clock/event_clock.h"

namespace cantiere {

class QtClockHost : public ClockHost {
 public:
  QtClockHost();
  Millis monotonic() const override { return elapsed_.elapsed(); }
  void wakeIn(Millis ms) override;
  void noWake() override { timer_.stop(); }

 private:
  QElapsedTimer elapsed_;
  QTimer timer_;
};

}  // namespace cantiere
