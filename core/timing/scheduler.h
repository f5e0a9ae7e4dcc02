// SPDX-License-Identifier: GPL-3.0-or-later
// Millisecond timers on a virtual clock.
//
// Every timer has an interval, an enabled flag and one handler. The rules,
// which every timed sequence of the handheld relies on:
//  1. Enabling a disabled timer starts a count of its interval from that
//     moment; each time the count runs out the handler runs once and a new
//     count starts, for as long as the timer stays enabled.
//  2. Disabling a timer stops it at once: no tick is delivered after the call
//     returns, not even one that was already due.
//  3. Setting the interval to a new value restarts the count from that moment
//     if the timer is enabled, and only stores the value if it is disabled.
//  4. Setting the enabled flag or the interval to the value it already has
//     changes nothing; enabling a running timer does not restart its count.
//  5. Ticks do not pile up: a timer whose tick is late delivers one tick.
//  6. A handler may enable, disable or change any timer, its own included;
//     the change holds as soon as the call returns.
//
// Ticks due at the same millisecond are delivered in registration order.
// Nothing here reads the wall clock: `advance` steps virtual time exactly
// (tests, the scripted driver); `catchUp` follows an outside clock (the
// desktop's event loop), delivering each overdue timer once.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace cantiere {

using Millis = std::int64_t;

class Scheduler {
 public:
  static constexpr int kCapacity = 24;
  using Handler = void (*)(void* context);

  // Registers a disabled timer; ids are handed out in order from 0.
  int add(std::uint32_t interval, Handler handler, void* context);

  Millis now() const { return now_; }
  bool enabled(int id) const { return timers_[id].enabled; }
  std::uint32_t interval(int id) const { return timers_[id].interval; }

  void setEnabled(int id, bool enabled);
  void setInterval(int id, std::uint32_t interval);

  // Virtual time passes by `ms`; every tick due up to and including the last
  // of those milliseconds is delivered at its own time, in time order.
  void advance(Millis ms);

  // The outside clock reads `now` (never earlier than before). Every timer
  // due by then ticks once, in the order of their due times, and counts its
  // next interval from `now`.
  void catchUp(Millis now);

  // When the next tick is due, or kNever when no timer runs.
  static constexpr Millis kNever = std::numeric_limits<Millis>::max();
  Millis nextDue() const;

 private:
  struct Timer {
    std::uint32_t interval = 0;
    bool enabled = false;
    Millis due = 0;
    Handler handler = nullptr;
    void* context = nullptr;
  };
  // The timer to tick next among those due by `limit`, or -1.
  int earliestDue(Millis limit) const;

  std::array<Timer, kCapacity> timers_{};
  int count_ = 0;
  Millis now_ = 0;
};

}  // namespace cantiere
