// SPDX-License-Identifier: GPL-3.0-or-later
// Game A, Game B, Time and ACL. Each acts on the left button only.
#include "core/handheld/handheld.h"

namespace cantiere {
namespace {

constexpr bool isLeft(MouseButton b) { return b == MouseButton::Left; }

// Holding a game button shows its high score over the starting picture.
void pressGame(Handheld& h, int mode) {
  GameState& g = h.state;
  h.disableTimer(TimerClock);
  h.disableTimer(TimerOver2);
  h.PulisciSchermo();
  g.KeysLeft = 4;
  h.PreparaSchermo();
  h.surface.hide(Im_TimeAM);
  h.surface.hide(Im_TimePM);
  h.surface.hide(Im_TimePP);
  h.surface.show(mode == ModeGameA ? Im_GameA : Im_GameB);
  if (mode == ModeGameB) g.DropRange = 1;
  h.Trasforma_Score(mode == ModeGameA ? g.HiScoreA : g.HiScoreB);
}

// Letting go starts the game with the score at 0.
void releaseGame(Handheld& h, int mode) {
  GameState& g = h.state;
  // When the press came during the last moments of a game it returned early,
  // so the return to the clock is stopped here too: otherwise it would clear
  // the screens five minutes into the new game.
  h.disableTimer(TimerClock);
  h.disableTimer(TimerOver2);
  g.GameMode = mode;
  g.Lives = 3;
  g.HookPhase = 0;
  // A reset in the middle of a bonus count leaves its phase behind, and the
  // extra life at 300 would then resume a count that no longer exists.
  g.CatchPhase = 0;
  g.FallPhase = 0;
  h.PreparaGioco();
  g.Score = 0;
  h.Trasforma_Score(g.Score);
  if (mode == ModeGameA) g.DropRange = 15;
}

}  // namespace

// Game A, Game B and Time look pressed while the left button holds them, and
// do nothing more while a game runs; true when the press or release acts.
bool Handheld::caseButtonDown(MouseButton b, Element button) {
  if (!isLeft(b)) return false;
  surface.hide(button);
  return !state.GameRunning;
}

bool Handheld::caseButtonUp(MouseButton b, Element button) {
  if (!isLeft(b)) return false;
  surface.show(button);
  return !state.GameRunning;
}

void Handheld::Puls_GameAMouseDown(MouseButton b) {
  if (caseButtonDown(b, Puls_GameA)) pressGame(*this, ModeGameA);
}
void Handheld::Puls_GameAMouseUp(MouseButton b) {
  if (caseButtonUp(b, Puls_GameA)) releaseGame(*this, ModeGameA);
}
void Handheld::Puls_GameBMouseDown(MouseButton b) {
  if (caseButtonDown(b, Puls_GameB)) pressGame(*this, ModeGameB);
}
void Handheld::Puls_GameBMouseUp(MouseButton b) {
  if (caseButtonUp(b, Puls_GameB)) releaseGame(*this, ModeGameB);
}

void Handheld::Puls_TimeMouseDown(MouseButton b) {
  if (!caseButtonDown(b, Puls_Time)) return;
  disableTimer(TimerClock);
  disableTimer(TimerOver2);
  if (state.GameMode != ModeClock) PulisciSchermo();
  ShowAlarmTime();
}

void Handheld::Puls_TimeMouseUp(MouseButton b) {
  if (!caseButtonUp(b, Puls_Time)) return;
  // A press in the last moments of a game returned early and the game has
  // ended since, so the return to the clock it would have cancelled is still
  // pending, and nothing has cleared the game's picture. The clock takes
  // over now: so does that return, at once.
  if (timerEnabled(TimerOver2)) TimerOver2Timer();
  state.GameMode = ModeClock;
  setTimerInterval(TimerClock, 1);
  enableTimer(TimerClock);
}

void Handheld::Puls_ACLMouseDown(MouseButton b) {
  if (!isLeft(b)) return;
  disableTimer(TimerClock);
  Blocca_Timers();
  sound_.Silenzio();
}

void Handheld::Puls_ACLMouseUp(MouseButton b) {
  if (!isLeft(b)) return;
  // Play keys still work while ACL is held, and a jump, a leap or a miss
  // starts its timer again; none of it may go on after the reset, where it
  // would hand the keys back to a game that is over.
  Blocca_Timers();
  RiempiSchermo();
  state.GameMode = ModeAllLit;
  state.ControlEnabled = false;
  state.GameRunning = false;
}

}  // namespace cantiere
