// SPDX-License-Identifier: GPL-3.0-or-later
// The key capture after a catch, and the ape's fall when the last key piece
// goes, each counting a bonus up one point value at a time.
#include "core/handheld/handheld.h"

namespace cantiere {

// The crane's way back, the same after a key capture and after the ape's
// fall: down to the hook position with the player hanging, then at rest
// with the player set down at its foot, then the player gone and the swing
// over for good.
void Handheld::craneLowers() {
  surface.show(Im_Omino62B);
  surface.show(Im_Gancio3);
  surface.show(Im_Gru2);
  surface.hide(Im_Gru3);
}

void Handheld::craneSetsDown() {
  surface.show(Im_Gru1);
  surface.show(Im_LevaGiu);
  surface.show(Im_Omino62E);
  surface.hide(Im_Omino62B);
  surface.hide(Im_Gancio3);
  surface.hide(Im_Gru2);
  surface.hide(Im_LevaSu);
}

void Handheld::playerLeavesCrane() {
  surface.hide(Im_Omino62E);
  sound_.Suona(SndJump);
  state.HookPhase = 0;
}

void Handheld::TimerNonCadeTimer() {
  GameState& g = state;
  switch (g.CatchPhase) {
    case 0:
      sound_.Suona(SndStep);
      surface.show(Im_Omino62B);
      surface.show(Im_Gancio3);
      surface.hide(Im_Omino62A);
      surface.hide(Im_Gancio1);
      g.CatchPhase = 1;
      break;
    case 1:
      surface.show(Im_Gru3);
      surface.hide(Im_Omino62B);
      surface.hide(Im_Gancio3);
      surface.hide(Im_Gru2);
      --g.KeysLeft;
      MostraKey();
      sound_.Suona(SndStep);
      g.BonusTick = 0;
      // The quicker the catch in this life, the longer the count.
      if (g.TickCount <= 5) {
        g.BonusCount = 19;
      } else {
        g.BonusCount -= g.TickCount / 8;
      }
      if (g.BonusCount < 5) g.BonusCount = 5;
      setTimerInterval(TimerNonCade, 95);
      g.CatchPhase = 2;
      break;
    case 2:
      if (g.BonusTick < g.BonusCount) {
        ++g.BonusTick;
        sound_.Suona(SndBonus);
        g.Score += g.PointValue;
        scored();
      } else {
        setTimerInterval(TimerNonCade, g.KeysLeft > 0 ? 400 : 200);
        g.CatchPhase = 3;
      }
      break;
    case 3:
      if (g.KeysLeft <= 0) {
        // The last key piece is gone: the ape falls.
        disableTimer(TimerNonCade);
        g.BonusTick = 0;
        g.FallPhase = 1;
        setTimerInterval(TimerBonus, 1);
        enableTimer(TimerBonus);
      } else {
        craneLowers();
        g.CatchPhase = 4;
      }
      break;
    case 4:
      craneSetsDown();
      g.CatchPhase = 5;
      break;
    case 5:
      playerLeavesCrane();
      g.CatchPhase = 6;
      break;
    case 6:
      g.CatchPhase = 7;
      break;
    case 7:
      returnToPlay(false);
      break;
    default:
      break;
  }
}

// Back to play with the player at the start, the two barrels beside it
// gone. Only the return after the ape's fall forces a beam launch and
// restarts the tick's rhythm.
void Handheld::returnToPlay(bool afterApeFall) {
  GameState& g = state;
  surface.hide(tables.BarrelSeg(2, 7));
  surface.hide(tables.BarrelSeg(3, 7));
  g.OminoCol = 2;
  g.OminoRow = 7;
  MostraOmino();
  g.OrcoRange = 15;
  if (afterApeFall) g.DropRange = 1;
  jumpSound();
  if (afterApeFall) {
    g.HalfTick = false;
    g.QuarterTick = false;
  }
  g.TickCount = 0;
  g.BonusCount = 20;
  g.LadderTicks = 0;
  g.ControlEnabled = true;
  if (g.PointValue == 2) enableTimer(TimerBlink);
  enableTimer(TimerGioco);
  disableTimer(afterApeFall ? TimerBonus : TimerNonCade);
}

void Handheld::TimerBonusTimer() {
  GameState& g = state;
  const OrcoPoseCell ape = tables.OrcoPose(g.OrcoCol);
  switch (g.FallPhase) {
    case 1:
      setTimerInterval(TimerBonus, 500);
      sound_.Suona(SndJump);
      surface.hide(Im_SbarreSu);
      break;
    case 2:
    case 4:
    case 6:
      surface.show(Im_SbarreSu);
      break;
    case 3:
    case 5:
      sound_.Suona(SndJump);
      surface.hide(Im_SbarreSu);
      break;
    case 7:
      surface.show(Im_SbarreGiu);
      surface.hide(Im_SbarreSu);
      surface.show(Im_OrcoFall);
      surface.hide(ape.Up);
      surface.hide(ape.Down);
      sound_.Suona(SndOrcoFall);
      break;
    case 8:
      surface.hide(Im_SbarreGiu);
      setTimerInterval(TimerBonus, 95);
      sound_.Silenzio();
      break;
    case 9:
      if (g.BonusTick < 20) {
        ++g.BonusTick;
        const int b = g.BonusTick;
        if (b == 1 || b == 7 || b == 13 || b == 19) {
          surface.hide(Im_Heart2);
          surface.show(Im_Heart1);
        } else if (b == 4 || b == 10 || b == 16) {
          surface.hide(Im_Heart1);
          surface.show(Im_Heart2);
        }
        sound_.Suona(SndBonus);
        g.Score += g.PointValue;
        scored();
        return;  // stays at phase 9 until the count is done
      }
      surface.hide(Im_Heart1);
      surface.hide(Im_Heart2);
      setTimerInterval(TimerBonus, 400);
      break;
    case 10:
      craneLowers();
      break;
    case 11:
      craneSetsDown();
      break;
    case 12:
      playerLeavesCrane();
      break;
    case 13:
      surface.show(Im_SbarreSu);
      g.OrcoCol = 6;
      surface.show(Im_Orco6Up);
      surface.hide(Im_OrcoFall);
      g.KeysLeft = 4;
      MostraKey();
      break;
    case 14:
      returnToPlay(true);
      return;  // stays at 14
    default:
      return;
  }
  ++g.FallPhase;
}

}  // namespace cantiere
