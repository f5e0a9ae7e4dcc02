// SPDX-License-Identifier: GPL-3.0-or-later
// The lever, the crane's hook swing with its catch test, the resolution of a
// leap and the fall into the gap.
#include "core/handheld/handheld.h"

namespace cantiere {
namespace {

// Hook frames changed by each step of the swing: hide `off`, then show `on`
// (0 for none).
struct SwingStep {
  int off, on;
};
constexpr SwingStep kSwing[15] = {
    {0, 0},                                  // (unused: phase 0 is rest)
    {0, 0}, {1, 2}, {2, 3}, {3, 4}, {4, 5},  // 1..5: out
    {0, 0}, {5, 4}, {4, 3}, {3, 2}, {2, 1},  // 6..10: back
    {0, 0}, {1, 2}, {2, 3}, {3, 0},          // 11..14: out again and gone
};

}  // namespace

void Handheld::lightScoreDigits() {
  // The double-points blink may have left them dark when it was stopped.
  for (int p = 2; p <= 4; ++p) surface.show(tables.DigitPos(p));
}

void Handheld::catchHook() {
  Blocca_Timers();
  lightScoreDigits();
  jumpSound();
  setTimerInterval(TimerNonCade, 400);
  enableTimer(TimerNonCade);
}

void Handheld::TimerLevaTimer() {
  surface.hide(Im_Omino22A);
  MostraOmino();
  // A pull during a swing only shows the pulling pose.
  if (state.HookPhase == 0) {
    surface.hide(Im_Gru1);
    surface.show(Im_Gru2);
    state.HookPhase = 1;
    MostraGancio(1);
    enableTimer(TimerGancio);
  }
  disableTimer(TimerLeva);
  state.ControlEnabled = true;
}

void Handheld::TimerGancioTimer() {
  const int phase = state.HookPhase;
  if (phase <= 0) return;
  // Tested before the hook moves, so a leap while frame 1 is lit is caught.
  if (surface.lit(Im_Omino62A) && surface.lit(Im_Gancio1)) {
    catchHook();
  } else if (phase < 15) {
    const SwingStep step = kSwing[phase];
    if (step.off) NascondiGancio(step.off);
    if (step.on) MostraGancio(step.on);
    if (phase == 14) {
      surface.hide(Im_Gru2);
      surface.show(Im_Gru1);
      surface.hide(Im_LevaSu);
      surface.show(Im_LevaGiu);
      state.HookPhase = -1;
      disableTimer(TimerGancio);
    }
  }
  ++state.HookPhase;
}

void Handheld::Timer_CadeTimer() {
  Blocca_Timers();
  if (surface.lit(Im_Omino62A) && surface.lit(Im_Gancio1)) {
    catchHook();  // its own stop of the timers changes nothing now
    return;
  }
  surface.hide(Im_Omino62A);
  surface.show(Im_Omino62C);
  sound_.Silenzio();
  sound_.Suona(SndFall);
  lightScoreDigits();
  enableTimer(Timer_Cade2);
}

void Handheld::Timer_Cade2Timer() {
  if (surface.lit(Im_Omino62D)) {
    surface.hide(Im_Omino62D);
    --state.Lives;
    if (state.Lives <= 0) {
      setTimerInterval(TimerOver, 300);
      enableTimer(TimerOver);
    } else {
      RestartLife();
    }
    disableTimer(Timer_Cade2);
  }
  if (surface.lit(Im_Omino62C)) {
    surface.hide(Im_Omino62C);
    surface.show(Im_Omino62D);
  }
}

}  // namespace cantiere
