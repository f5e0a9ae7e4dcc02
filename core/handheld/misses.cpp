// SPDX-License-Identifier: GPL-3.0-or-later
// Misses, the extra life at 300 points, the double-points blink, game over
// and the return to the clock.
#include "core/handheld/handheld.h"

namespace cantiere {

void Handheld::startMiss(TimerId timer) {
  state.ControlEnabled = false;
  Blocca_Timers();
  lightScoreDigits();
  sound_.Silenzio();
  sound_.Suona(SndMiss);
  state.BlinkPhase = 1;
  setTimerInterval(timer, 150);
  enableTimer(timer);
}

void Handheld::ProcCollisione() { startMiss(TimerMiss); }
void Handheld::ProcCollisioneTrave() { startMiss(TimerMissTrave); }

// One blink tick: the pose goes dark 150 ms after the hit, lit at 380, dark
// at 590, lit at 820 and dark for good at 1030, when the life is taken.
// `blinked` is NoElement for the grid pose.
void Handheld::missBlink(TimerId timer, Element blinked) {
  auto set = [&](bool lit) {
    if (blinked == NoElement) {
      lit ? MostraOmino() : NascondiOmino();
    } else {
      surface.set(blinked, lit);
    }
  };
  switch (state.BlinkPhase) {
    case 1:
    case 3:
      setTimerInterval(timer, 230);
      set(false);
      break;
    case 2:
    case 4:
      setTimerInterval(timer, 210);
      set(true);
      break;
    case 5:
      set(false);
      disableTimer(timer);
      takeLife();
      break;
    default:
      break;
  }
  ++state.BlinkPhase;
}

void Handheld::takeLife() {
  --state.Lives;
  if (state.Lives > 0) {
    RestartLife();
  } else {
    sound_.Suona(SndOver);
    setTimerInterval(TimerOver, 500);
    enableTimer(TimerOver);
  }
}

void Handheld::TimerMissTimer() { missBlink(TimerMiss, NoElement); }

void Handheld::TimerMissTraveTimer() {
  missBlink(TimerMissTrave, state.OminoCol == 4 ? Im_Omino46J : Im_Omino56J);
}

void Handheld::StartChance() {
  state.ControlEnabled = false;
  Blocca_Timers();
  sound_.Silenzio();
  state.BlinkPhase = 1;
  enableTimer(Timer_Chance);
}

void Handheld::Timer_ChanceTimer() {
  GameState& g = state;
  switch (g.BlinkPhase) {
    case 1:
    case 3:
    case 5:
      ++g.Lives;
      MostraVite();
      sound_.Suona(SndBonus);
      break;
    case 2:
    case 4:
      --g.Lives;
      MostraVite();
      break;
    case 6:
      if (g.Lives == 4) {  // no life lost before 300: double points
        g.PointValue = 2;
        enableTimer(TimerBlink);
      }
      // Resume whatever the trigger interrupted.
      if (g.FallPhase == 9) {
        enableTimer(TimerBonus);
      } else if (g.CatchPhase == 2) {
        enableTimer(TimerNonCade);
      } else {
        g.ControlEnabled = true;
        enableTimer(TimerGioco);
        if (g.HookPhase > 0) enableTimer(TimerGancio);
      }
      disableTimer(Timer_Chance);
      break;
    default:
      break;
  }
  ++g.BlinkPhase;
}

void Handheld::TimerBlinkTimer() {
  for (int p = 2; p <= 4; ++p) {
    const Element e = tables.DigitPos(p);
    surface.set(e, !surface.lit(e));
  }
}

void Handheld::TimerOverTimer() {
  GameState& g = state;
  switch (timerInterval(TimerOver)) {
    case 300:  // after a fall
      sound_.Suona(SndOver);
      setTimerInterval(TimerOver, 500);
      break;
    case 500:
      g.GameRunning = false;
      // The high score in memory is updated before it is stored. Another
      // running program may have stored a higher one since: the store keeps
      // the higher, and so does this run from now on.
      if (g.GameMode == ModeGameA && g.Score > g.HiScoreA) {
        g.HiScoreA = g.Score;
        g.HiScoreA = settings_.raiseInt("HiScoreA", g.HiScoreA).value;
      }
      if (g.GameMode == ModeGameB && g.Score > g.HiScoreB) {
        g.HiScoreB = g.Score;
        g.HiScoreB = settings_.raiseInt("HiScoreB", g.HiScoreB).value;
      }
      disableTimer(TimerOver);
      enableTimer(TimerOver2);
      break;
    default:
      break;
  }
}

void Handheld::TimerOver2Timer() {
  PulisciSchermo();
  surface.hide(Im_GameA);
  surface.hide(Im_GameB);
  surface.show(Im_TimePP);
  state.GameMode = ModeClock;
  setTimerInterval(TimerClock, 1);
  enableTimer(TimerClock);
  disableTimer(TimerOver2);
}

}  // namespace cantiere
