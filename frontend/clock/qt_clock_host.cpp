// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/clock/qt_clock_host.h"

namespace cantiere {

QtClockHost::QtClockHost() {
  elapsed_.start();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (wake) wake();
  });
}

void QtClockHost::wakeIn(Millis ms) { timer_.start(static_cast<int>(ms)); }

}  // namespace cantiere
