// SPDX-License-Identifier: GPL-3.0-or-later
// The player's keys: walking and climbing over the grid of poses, jumping
// barrels, the lever, the leap for the hook, the walk-off, the early entry.
#include "core/handheld/handheld.h"

namespace cantiere {

void Handheld::stepSound() {
  sound_.Silenzio();
  sound_.Suona(SndStep);
}

void Handheld::jumpSound() {
  sound_.Silenzio();
  sound_.Suona(SndJump);
}

void Handheld::walkOrClimb(int col, int row) {
  NascondiOmino();
  state.OminoCol = col;
  state.OminoRow = row;
  MostraOmino();
}

// Left and right along a girder (rows 6 and 7): a step, or a miss when a
// barrel lies between the player and the cell walked into. False when the
// key is not a walk from this column.
bool Handheld::walkGirder(int key, int row) {
  const int c = state.OminoCol;
  int barrelCol, to;
  if (key == VkLeft && c >= 3 && c <= 6) {
    barrelCol = c - 1;
    to = c - 1;
  } else if (key == VkRight && c >= 2 && c <= 5) {
    barrelCol = c;
    to = c + 1;
  } else {
    return false;
  }
  if (surface.lit(tables.BarrelSeg(barrelCol, row))) {
    ProcCollisione();
  } else {
    walkOrClimb(to, row);
    stepSound();
  }
  return true;
}

// A step or climb to a cell, which also tells the ape how far it may roam.
void Handheld::stepTo(int col, int row, int orcoRange) {
  walkOrClimb(col, row);
  state.OrcoRange = orcoRange;
  stepSound();
}

// Onto the ladder top at column 2, row 5, from below or above: a beam
// sliding over it is a miss; either way the ladder count starts.
void Handheld::ontoLadderTop() {
  walkOrClimb(2, 5);
  state.LadderTicks = 1;
  if (surface.lit(tables.BeamSeg(2))) {
    ProcCollisione();
  } else {
    state.OrcoRange = 18;
    stepSound();
  }
}

void Handheld::jump(Element pose) {
  jumpSound();
  state.ControlEnabled = false;
  NascondiOmino();
  surface.show(pose);
  setTimerInterval(TimerJump, 2 * timerInterval(TimerGioco));
  enableTimer(TimerJump);
}

void Handheld::beamTest() {
  if (surface.lit(tables.BeamSeg(4)) && surface.lit(Im_Omino46J)) ProcCollisioneTrave();
  if (surface.lit(tables.BeamSeg(5)) && surface.lit(Im_Omino56J)) ProcCollisioneTrave();
}

// The player comes onto the field at the bottom left: early by the jump
// key, or by itself on the eighth barrel tick, which leaves the ape's range
// and the ladder count as they are.
void Handheld::enter(bool early) {
  state.AwaitingEntry = false;
  state.ControlEnabled = true;
  state.OminoCol = 2;
  state.OminoRow = 7;
  MostraOmino();
  state.PointValue = 1;
  if (early) {
    state.OrcoRange = 15;
    state.LadderTicks = 0;
  }
  MostraVite();
  jumpSound();
}

void Handheld::FormKeyDown(int key) {
  GameState& g = state;
  const ElementTables& t = tables;
  const int c = g.OminoCol;
  const bool gate = g.ControlEnabled && !g.KeyHeld;
  auto barrelLit = [&](int col, int row) { return surface.lit(t.BarrelSeg(col, row)); };

  if (key == VkCtrl) {
    surface.hide(Puls_Jump);
    if (gate) {
      if (g.OminoRow == 7) {
        if (c == 2) jump(Im_Omino27J);
        if (c == 5) jump(Im_Omino57J);
      } else if (g.OminoRow == 6) {
        if (c == 4) jump(Im_Omino46J);
        if (c == 5) jump(Im_Omino56J);
        beamTest();
      } else if (g.OminoRow == 2 && c == 6) {
        // The leap for the hook.
        jumpSound();
        g.ControlEnabled = false;
        NascondiOmino();
        g.OminoCol = 0;
        g.OminoRow = 0;
        surface.show(Im_Omino62A);
        g.CatchPhase = 0;
        enableTimer(Timer_Cade);
      }
    }
    // The entry ignores the gate.
    if (g.GameRunning && g.AwaitingEntry) enter(true);
  } else if (gate && (key == VkLeft || key == VkRight || key == VkUp || key == VkDown)) {
    switch (g.OminoRow) {
      case 7:
        if (walkGirder(key, 7)) break;
        if (key == VkUp && c == 6) stepTo(6, 6, 16);
        break;
      case 6:
        if (walkGirder(key, 6)) break;
        if (key == VkUp && c == 2) {
          ontoLadderTop();
        } else if (key == VkDown && c == 6) {
          stepTo(6, 7, 15);
        }
        break;
      case 5:
        // Leaving the ladder top either way ends its count.
        if (key == VkUp && c == 2) {
          g.LadderTicks = 0;
          stepTo(2, 4, 24);
        } else if (key == VkDown && c == 2) {
          g.LadderTicks = 0;
          stepTo(2, 6, 16);
        }
        break;
      case 4:
        if (key == VkUp && c == 2) {
          stepTo(2, 2, 36);
          if (barrelLit(2, 2)) ProcCollisione();
        } else if (key == VkDown && c == 2) {
          ontoLadderTop();
        }
        break;
      case 2:
        if (key == VkLeft && (c == 4 || c == 6)) {
          walkOrClimb(c - 2, 2);
          stepSound();
          if (barrelLit(c - 2, 2)) ProcCollisione();
        } else if (key == VkLeft && c == 2) {
          // Pull the lever; the crane answers when TimerLeva runs out.
          g.ControlEnabled = false;
          NascondiOmino();
          surface.show(Im_Omino22A);
          surface.hide(Im_LevaGiu);
          surface.show(Im_LevaSu);
          enableTimer(TimerLeva);
        } else if (key == VkRight && (c == 2 || c == 4)) {
          walkOrClimb(c + 2, 2);
          stepSound();
          if (barrelLit(c + 2, 2)) ProcCollisione();
        } else if (key == VkRight && c == 6) {
          // Walk-off into the gap.
          g.ControlEnabled = false;
          NascondiOmino();
          surface.show(Im_Omino62C);
          Blocca_Timers();
          lightScoreDigits();
          sound_.Silenzio();
          sound_.Suona(SndFall);
          enableTimer(Timer_Cade2);
        } else if (key == VkDown && c == 2) {
          stepTo(2, 4, 24);
        }
        break;
      default:
        break;
    }
  }
  // Every press, handled or not, shuts the gate until a release or 330 ms.
  g.KeyHeld = true;
  enableTimer(TimerMove);
}

void Handheld::FormKeyUp(int key) {
  if (key == VkCtrl) surface.show(Puls_Jump);
  state.KeyHeld = false;
  disableTimer(TimerMove);
}

void Handheld::TimerMoveTimer() {
  state.KeyHeld = false;
  disableTimer(TimerMove);
}

void Handheld::TimerJumpTimer() {
  GameState& g = state;
  const int c = g.OminoCol;
  g.ControlEnabled = true;
  if (surface.lit(Im_Omino27J) || surface.lit(Im_Omino57J)) {
    surface.hide(Im_Omino27J);
    surface.hide(Im_Omino57J);
    MostraOmino();
    if (surface.lit(tables.BarrelSeg(c - 1, 7))) {
      g.Score += g.PointValue;
      scored();
    }
  } else if (surface.lit(Im_Omino46J) || surface.lit(Im_Omino56J)) {
    surface.hide(Im_Omino46J);
    surface.hide(Im_Omino56J);
    MostraOmino();
    if (surface.lit(tables.BarrelSeg(c, 6))) {
      // A row-6 jump never steps over 300, where the extra life comes.
      if (g.Score == 299) {
        g.Score = 300;
      } else {
        g.Score += 2 * g.PointValue;
      }
      scored();
    }
  }
  disableTimer(TimerJump);
}

}  // namespace cantiere
