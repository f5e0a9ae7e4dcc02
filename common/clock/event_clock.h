// SPDX-License-Identifier: GPL-3.0-or-later
// The model's virtual clock driven by a front end's event loop. Virtual time
// is the host's monotonic time since the clock was made, less the time it
// stood paused or stalled; the host wakes the loop once, when the next tick
// is due, and nothing wakes it while no timer runs, so an idle handheld
// costs no processor time.
//
// The rules, each checked by a test on virtual time:
// - Every tick is delivered at its own due instant, as the driver delivers
//   it, however late the loop wakes: the model then runs the same in a
//   window as from a recording of its inputs.
// - A loop that wakes more than kLongestLateness late (held up by the
//   system) does not make the game race through the ticks it missed: the
//   excess is dropped from virtual time, so ticks do not pile up.
// - An input first brings time up to now, so a timer its handler enables
//   counts from that moment; afterwards the wake-up follows whatever the
//   handler changed.
// - While paused, time stands still and nothing wakes; resumed, it runs on
//   from where it stood.
// - Listeners hear a catch-up before its first tick, and each due instant
//   before and after its ticks, so what they change (an anchor of the time
//   of day, the recorder's view of the game) is in place when it counts.
// No toolkit: the desktop hands it the event loop's monotonic clock and a
// precise single-shot timer, the page its own, the tests a clock of their
// own.
#pragma once

#include <functional>
#include <vector>

#include "core/timing/scheduler.h"

namespace cantiere {

// What an event loop gives the clock.
class ClockHost {
 public:
  virtual ~ClockHost() = default;
  // Milliseconds of a monotonic clock.
  virtual Millis monotonic() const = 0;
  // Calls `wake` once, `ms` from now (replacing any wake-up armed before),
  // or never again.
  virtual void wakeIn(Millis ms) = 0;
  virtual void noWake() = 0;
  // Set once by the clock: what the wake-up calls.
  std::function<void()> wake;
};

class EventClock {
 public:
  static constexpr Millis kLongestLateness = 100;

  EventClock(Scheduler& scheduler, ClockHost& host);
  EventClock(const EventClock&) = delete;
  EventClock& operator=(const EventClock&) = delete;

  Millis now() const { return paused_ ? pausedAt_ : host_.monotonic() - dropped_; }
  Scheduler& scheduler() { return scheduler_; }

  // Delivers every tick due by now, each at its due instant, and brings
  // the scheduler's time up to now.
  void catchUp();
  // Arms the wake-up for the next due tick, or disarms it when none runs.
  void rearm();

  // Every call into the model from an input goes through here.
  template <typename F>
  void run(F&& handler) {
    catchUp();
    handler();
    rearm();
  }

  void pause();
  void resume();
  bool paused() const { return paused_; }

  // After every wake-up, once its ticks are delivered (windows that show
  // state the model keeps, such as the launcher's slideshow).
  void onTicks(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }
  // After the ticks of each due instant, the scheduler's time at it.
  void onInstant(std::function<void()> listener) { instantListeners_.push_back(std::move(listener)); }
  // As time starts to catch up to `target`, before any tick is delivered.
  void onCatchUp(std::function<void(Millis target)> listener) {
    catchUpListeners_.push_back(std::move(listener));
  }
  // Before the ticks of each due instant, the scheduler's time still at the
  // instant before.
  void onDue(std::function<void(Millis due)> listener) { dueListeners_.push_back(std::move(listener)); }

  // The wake-up armed, in ms from when it was armed; none while nothing is due.
  bool armed() const { return armed_; }
  Millis armedInterval() const { return armedInterval_; }

 private:
  void wake();

  Scheduler& scheduler_;
  ClockHost& host_;
  Millis dropped_ = 0;
  bool paused_ = false;
  Millis pausedAt_ = 0;
  bool armed_ = false;
  Millis armedInterval_ = 0;
  std::vector<std::function<void()>> listeners_;
  std::vector<std::function<void()>> instantListeners_;
  std::vector<std::function<void(Millis)>> catchUpListeners_;
  std::vector<std::function<void(Millis)>> dueListeners_;
};

}  // namespace cantiere
