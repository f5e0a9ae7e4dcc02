#include "frontend/event_clock.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <climits>

namespace cantiere {

EventClock::EventClock(Scheduler& scheduler) : scheduler_(scheduler) {
  elapsed_.start();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { wake(); });
}

void EventClock::catchUp() { scheduler_.catchUp(now()); }

void EventClock::rearm() {
  const Millis due = scheduler_.nextDue();
  if (due == Scheduler::kNever) {
    timer_.stop();
    return;
  }
  const Millis wait = std::clamp<Millis>(due - now(), 0, INT_MAX);
  timer_.start(static_cast<int>(wait));
}

void EventClock::wake() {
  catchUp();
  for (const auto& listener : listeners_) listener();
  rearm();
}

LocalTime SystemTimeOfDay::local() const {
  const QTime t = QTime::currentTime();
  return {t.hour(), t.minute()};
}

std::uint32_t SystemTimeOfDay::universalMillisOfDay() const {
  return static_cast<std::uint32_t>(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
}

}  // namespace cantiere
