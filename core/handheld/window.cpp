// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window itself: creation, activation, closing, geometry.
#include <array>
#include <utility>

#include "core/handheld/handheld.h"

namespace cantiere {
namespace {

struct TimerSpec {
  const char* name;
  std::uint32_t interval;  // as the window is created
  void (Handheld::*handler)();
};

constexpr TimerSpec kTimers[TimerCount] = {
    {"TimerClock", 1000, &Handheld::TimerClockTimer},
    {"TimerGioco", 500, &Handheld::TimerGiocoTimer},
    {"TimerMove", 330, &Handheld::TimerMoveTimer},
    {"TimerJump", 1, &Handheld::TimerJumpTimer},
    {"TimerLeva", 250, &Handheld::TimerLevaTimer},
    {"TimerGancio", 450, &Handheld::TimerGancioTimer},
    {"Timer_Cade", 500, &Handheld::Timer_CadeTimer},
    {"Timer_Cade2", 500, &Handheld::Timer_Cade2Timer},
    {"TimerNonCade", 1, &Handheld::TimerNonCadeTimer},
    {"TimerBonus", 1, &Handheld::TimerBonusTimer},
    {"TimerMiss", 150, &Handheld::TimerMissTimer},
    {"TimerMissTrave", 150, &Handheld::TimerMissTraveTimer},
    {"Timer_Chance", 500, &Handheld::Timer_ChanceTimer},
    {"TimerBlink", 500, &Handheld::TimerBlinkTimer},
    {"TimerOver", 1000, &Handheld::TimerOverTimer},
    {"TimerOver2", 300000, &Handheld::TimerOver2Timer},
};

template <TimerId T>
void dispatch(void* handheld) {
  (static_cast<Handheld*>(handheld)->*kTimers[T].handler)();
}

template <std::size_t... I>
constexpr auto makeDispatchTable(std::index_sequence<I...>) {
  return std::array<Scheduler::Handler, sizeof...(I)>{&dispatch<static_cast<TimerId>(I)>...};
}
constexpr auto kDispatch = makeDispatchTable(std::make_index_sequence<TimerCount>{});

}  // namespace

const char* timerName(TimerId t) { return t < TimerCount ? kTimers[t].name : "?"; }

Handheld::Handheld(const HandheldServices& services)
    : scheduler_(services.scheduler),
      time_(services.time),
      sound_(services.sound),
      settings_(services.settings),
      desktop_(services.desktop) {
  for (int t = 0; t < TimerCount; ++t)
    timerIds_[t] = scheduler_.add(kTimers[t].interval, kDispatch[t], this);
}

void Handheld::FormCreate() {
  setClientHeight(300);
  MakePictureCopies();
  tables.fill();
  // A missing value leaves the variable as it is (0 at start-up).
  state.HiScoreA = settings_.readInt("HiscoreA", state.HiScoreA);
  state.HiScoreB = settings_.readInt("HiscoreB", state.HiScoreB);
  state.GameRunning = false;
  state.ControlEnabled = false;
  state.KeyHeld = false;
  state.GameMode = ModeAllLit;
}

void Handheld::FormActivate() {
  if (FirstActivate) {
    FirstActivate = false;
    desktop_.showLauncher();
  }
}

void Handheld::FormClose() {
  sound_.release();
  desktop_.exit();
}

void Handheld::setWindowLeft(int left) {
  if (window_.left == left) return;
  window_.left = left;
  desktop_.windowChanged(window_);
}

void Handheld::setWindowTop(int top) {
  if (window_.top == top) return;
  window_.top = top;
  desktop_.windowChanged(window_);
}

void Handheld::setClientHeight(int height) {
  if (window_.height == height) return;
  window_.height = height;
  desktop_.windowChanged(window_);
}

}  // namespace cantiere
