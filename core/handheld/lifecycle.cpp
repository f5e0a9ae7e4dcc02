// SPDX-License-Identifier: GPL-3.0-or-later
// Start of a game, stop of every game timer, start of a new life.
#include "core/handheld/handheld.h"

namespace cantiere {

void Handheld::PreparaGioco() {
  state.OminoCol = 0;
  state.OminoRow = 0;
  state.OrcoRange = 15;
  state.GameRunning = true;
  state.AwaitingEntry = true;
  state.HalfTick = false;
  state.QuarterTick = false;
  state.TickCount = 0;
  state.BonusCount = 20;
  setTimerInterval(TimerGioco, 500);
  enableTimer(TimerGioco);
}

void Handheld::Blocca_Timers() {
  // Every timer but the clock's. Phase counters keep their values so that a
  // stopped sequence can resume where it stood.
  for (int t = 0; t < TimerCount; ++t) {
    if (isGameTimer(TimerId(t))) disableTimer(TimerId(t));
  }
}

void Handheld::RestartLife() {
  state.OminoCol = 0;
  state.OminoRow = 0;
  state.OrcoRange = 15;
  state.AwaitingEntry = true;
  state.TickCount = 0;
  state.BonusCount = 20;
  enableTimer(TimerGioco);
  // A hook swing that a miss interrupted resumes at the step where it stopped.
  if (state.HookPhase > 0) enableTimer(TimerGancio);
}

void Handheld::reseed() { random.seed(time_.universalMillisOfDay()); }

}  // namespace cantiere
