// Game A, Game B, Time and ACL. Each acts on the left button only.
#include "core/handheld/handheld.h"

namespace cantiere {
namespace {

constexpr bool isLeft(MouseButton b) { return b == MouseButton::Left; }

// Holding a game button shows its high score over the starting picture.
void pressGame(Handheld& h, Element button, int mode) {
  GameState& g = h.state;
  h.surface.hide(button);
  if (g.GameRunning) return;
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
void releaseGame(Handheld& h, Element button, int mode) {
  GameState& g = h.state;
  h.surface.show(button);
  if (g.GameRunning) return;
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

void Handheld::Puls_GameAMouseDown(MouseButton b) {
  if (isLeft(b)) pressGame(*this, Puls_GameA, ModeGameA);
}
void Handheld::Puls_GameAMouseUp(MouseButton b) {
  if (isLeft(b)) releaseGame(*this, Puls_GameA, ModeGameA);
}
void Handheld::Puls_GameBMouseDown(MouseButton b) {
  if (isLeft(b)) pressGame(*this, Puls_GameB, ModeGameB);
}
void Handheld::Puls_GameBMouseUp(MouseButton b) {
  if (isLeft(b)) releaseGame(*this, Puls_GameB, ModeGameB);
}

void Handheld::Puls_TimeMouseDown(MouseButton b) {
  if (!isLeft(b)) return;
  surface.hide(Puls_Time);
  if (state.GameRunning) return;
  disableTimer(TimerClock);
  disableTimer(TimerOver2);
  if (state.GameMode != ModeClock) PulisciSchermo();
  ShowAlarmTime();
}

void Handheld::Puls_TimeMouseUp(MouseButton b) {
  if (!isLeft(b)) return;
  surface.show(Puls_Time);
  if (state.GameRunning) return;
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
  RiempiSchermo();
  state.GameMode = ModeAllLit;
  state.ControlEnabled = false;
  state.GameRunning = false;
}

}  // namespace cantiere
