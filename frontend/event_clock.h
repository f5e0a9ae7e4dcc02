// The model's virtual clock driven by the event loop. Virtual time is the
// monotonic time since the clock was made; one precise single-shot timer
// wakes the loop when the next tick is due, and nothing wakes it while no
// timer runs, so an idle handheld costs no processor time.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <vector>

#include "core/timing/scheduler.h"
#include "core/timing/time_of_day.h"

namespace cantiere {

class EventClock {
 public:
  explicit EventClock(Scheduler& scheduler);
  EventClock(const EventClock&) = delete;
  EventClock& operator=(const EventClock&) = delete;

  Millis now() const { return elapsed_.elapsed(); }

  // Delivers every tick due by now (each late timer once) and brings the
  // scheduler's time up to now.
  void catchUp();
  // Arms the wake-up for the next due tick, or disarms it when none runs.
  void rearm();

  // Every call into the model from an input event goes through here: time
  // first catches up, so a timer the handler enables counts from this
  // moment; afterwards the wake-up follows whatever the handler changed.
  template <typename F>
  void run(F&& handler) {
    catchUp();
    handler();
    rearm();
  }

  // Called after every wake-up, once its ticks are delivered (windows that
  // show state the model keeps, such as the launcher's slideshow).
  void onTicks(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

  bool armed() const { return timer_.isActive(); }
  int armedInterval() const { return timer_.interval(); }

 private:
  void wake();

  Scheduler& scheduler_;
  QElapsedTimer elapsed_;
  QTimer timer_;
  std::vector<std::function<void()>> listeners_;
};

// The real time of day: local hours and minutes for the clock, universal
// milliseconds for seeding the generator.
class SystemTimeOfDay : public TimeOfDay {
 public:
  LocalTime local() const override;
  std::uint32_t universalMillisOfDay() const override;
};

}  // namespace cantiere
