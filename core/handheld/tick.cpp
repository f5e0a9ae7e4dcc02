// SPDX-License-Identifier: GPL-3.0-or-later
// The game tick: barrels roll, the ape walks, lifts and throws, beams slide,
// the pace quickens, and the player is brought onto the field.
#include "core/handheld/handheld.h"

namespace cantiere {

void Handheld::moveCell(Element from, Element to) {
  surface.set(to, surface.lit(from));
  surface.hide(from);
}

bool Handheld::rollingHit() const {
  const int c = state.OminoCol;
  switch (state.OminoRow) {
    case 4:
      return surface.lit(tables.BarrelSeg(2, 4));
    case 6:  // rolls right: the barrel just left of the player is next
      return surface.lit(tables.BarrelSeg(c - 1, 6)) && surface.lit(tables.OminoPose(c, 6));
    case 7:  // rolls left: the barrel just right of the player is next
      return surface.lit(tables.BarrelSeg(c, 7)) && surface.lit(tables.OminoPose(c, 7));
    default:
      return false;
  }
}

void Handheld::TimerGiocoTimer() {
  const bool barrel = state.HalfTick;
  const bool ape = !barrel && state.QuarterTick;
  if (barrel) {
    barrelTick();
  } else if (ape) {
    apeTick();
  }
  if (!barrel) state.QuarterTick = !state.QuarterTick;
  state.HalfTick = !state.HalfTick;
}

void Handheld::barrelTick() {
  const ElementTables& t = tables;
  // A hit leaves every barrel where it was.
  if (rollingHit()) {
    ProcCollisione();
    return;
  }
  sound_.Suona(SndBarrel);

  // Each row is emptied from the end its barrels move toward, so every
  // barrel advances exactly once.
  for (int c = 1; c <= 5; ++c) moveCell(t.BarrelSeg(c + 1, 7), t.BarrelSeg(c, 7));
  moveCell(t.BarrelSeg(6, 6), t.BarrelSeg(6, 7));
  for (int c = 6; c >= 2; --c) moveCell(t.BarrelSeg(c - 1, 6), t.BarrelSeg(c, 6));
  moveCell(t.BarrelSeg(1, 5), t.BarrelSeg(1, 6));
  moveCell(t.BarrelSeg(1, 4), t.BarrelSeg(1, 5));
  for (int c = 1; c <= 5; ++c) moveCell(t.BarrelSeg(c + 1, 4), t.BarrelSeg(c, 4));

  for (int f = 2; f <= 6; f += 2) {
    for (int s = 3; s >= 1; --s) {
      const Element stage = t.BarrelSeg(f, s);
      const Element below = t.BarrelSeg(f, s + 1);
      // At row 4 a falling barrel and a rolled-in one become one barrel.
      surface.set(below, surface.lit(below) || surface.lit(stage));
      surface.hide(stage);
      if (state.OminoRow == 2 && surface.lit(t.BarrelSeg(state.OminoCol, 2))) {
        surface.hide(Im_Omino22A);
        MostraOmino();
        surface.hide(Im_LevaSu);
        surface.show(Im_LevaGiu);
        ProcCollisione();
      }
    }
  }

  const OrcoPoseCell ape = t.OrcoPose(state.OrcoCol);
  if (surface.lit(ape.Up)) {
    surface.show(t.BarrelSeg(state.OrcoCol, 1));
    surface.hide(ape.Up);
    surface.show(ape.Down);
    state.QuarterTick = false;
  }

  ++state.TickCount;
  const int v = 500 - 4 * state.TickCount - state.Score / 2;
  setTimerInterval(TimerGioco, v > 120 ? v : 120);

  if (state.AwaitingEntry && state.TickCount == 8) enter(false);
}

void Handheld::apeTick() {
  const ElementTables& t = tables;
  reseed();
  const int r = random.below(state.OrcoRange);
  auto walk = [&](int to) {
    surface.hide(t.OrcoPose(state.OrcoCol).Down);
    state.OrcoCol = to;
    surface.show(t.OrcoPose(to).Down);
  };
  if (surface.lit(t.OrcoPose(state.OrcoCol).Up)) {
    // Still holding the barrel of a throw that a hit put off (a hit on the
    // barrel tick right after an idle one leaves the ape tick next): it
    // keeps it for the next barrel tick instead of walking off and leaving
    // a second ape on the screen.
  } else if (r >= 12) {
    surface.hide(t.OrcoPose(state.OrcoCol).Down);
    surface.show(t.OrcoPose(state.OrcoCol).Up);
  } else if (state.OrcoCol == 4) {
    const int s = random.below(3);
    if (s == 1) walk(6);
    if (s == 2) walk(2);
  } else if (state.OrcoCol == 2 || state.OrcoCol == 6) {
    if (random.below(2) == 1) walk(4);
  }

  for (int c = 2; c <= 5; ++c) surface.set(t.BeamSeg(c), surface.lit(t.BeamSeg(c + 1)));

  if (state.LadderTicks > 0) {
    if (state.LadderTicks == 4) {
      state.LadderTicks = 0;
      state.DropRange = 1;
    }
    ++state.LadderTicks;
  }

  reseed();
  const int launch = random.below(state.DropRange);
  // Two segments always keep a dark position between them.
  surface.set(t.BeamSeg(6), launch == 0 && !surface.lit(t.BeamSeg(5)));
  if (state.DropRange == 1) state.DropRange = state.GameMode == ModeGameA ? 15 : 6;

  if (surface.lit(t.BeamSeg(2)) && surface.lit(Im_Omino25)) ProcCollisione();
}

}  // namespace cantiere
