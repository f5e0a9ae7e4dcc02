// SPDX-License-Identifier: GPL-3.0-or-later
// The model's virtual clock driven by the event loop. Virtual time is the
// monotonic time since the clock was made, less the time it stood paused
// or stalled; one precise single-shot timer wakes the loop when the next
// tick is due, and nothing wakes it while no timer runs, so an idle
// handheld costs no processor time.
//
// Every tick is delivered at its own due instant, as the driver delivers
// it, however late the loop wakes: the model then runs the same on the
// desktop as from a recording of its inputs. A loop that wakes more than
// kLongestLateness late (held up by the system) does not make the game
// race through the ticks it missed: the excess is dropped from virtual
// time, so ticks still do not pile up.
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
  static constexpr Millis kLongestLateness = 100;

  // `monotonic` reads the monotonic clock in milliseconds; left out, the
  // event loop's own (tests pass a clock of their own, on virtual time).
  explicit EventClock(Scheduler& scheduler, std::function<Millis()> monotonic = {});
  EventClock(const EventClock&) = delete;
  EventClock& operator=(const EventClock&) = delete;

  Millis now() const { return paused_ ? pausedAt_ : monotonic() - dropped_; }
  Scheduler& scheduler() { return scheduler_; }

  // Delivers every tick due by now, each at its due instant, and brings
  // the scheduler's time up to now.
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

  // While paused virtual time stands still and no tick is delivered; on
  // resuming it runs on from where it stood (a replay borrows the window).
  void pause();
  void resume();
  bool paused() const { return paused_; }

  // Called after every wake-up, once its ticks are delivered (windows that
  // show state the model keeps, such as the launcher's slideshow).
  void onTicks(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }
  // Called after the ticks of each due instant, the scheduler's time at it.
  void onInstant(std::function<void()> listener) { instantListeners_.push_back(std::move(listener)); }
  // Called as time starts to catch up to `target`, before any tick is
  // delivered, so the ticks see what the listener changes (a new anchor of
  // the time of day).
  void onCatchUp(std::function<void(Millis target)> listener) {
    catchUpListeners_.push_back(std::move(listener));
  }
  // Called before the ticks of each due instant, the scheduler's time still
  // at the instant before.
  void onDue(std::function<void(Millis due)> listener) {
    dueListeners_.push_back(std::move(listener));
  }

  bool armed() const { return timer_.isActive(); }
  int armedInterval() const { return timer_.interval(); }

 private:
  void wake();
  Millis monotonic() const { return monotonic_ ? monotonic_() : elapsed_.elapsed(); }

  Scheduler& scheduler_;
  QElapsedTimer elapsed_;
  std::function<Millis()> monotonic_;
  QTimer timer_;
  Millis dropped_ = 0;
  bool paused_ = false;
  Millis pausedAt_ = 0;
  std::vector<std::function<void()>> listeners_;
  std::vector<std::function<void()>> instantListeners_;
  std::vector<std::function<void(Millis)>> catchUpListeners_;
  std::vector<std::function<void(Millis)>> dueListeners_;
};

}  // namespace cantiere
