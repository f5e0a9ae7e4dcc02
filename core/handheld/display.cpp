// SPDX-License-Identifier: GPL-3.0-or-later
// Operations that light or darken fixed sets of LCD elements.
#include "core/handheld/handheld.h"

namespace cantiere {
namespace {

// Step 5 of the all-segments picture, by name. The clear screen darkens the
// same list but for the last two (AM mark and colon).
constexpr Element kNamedSegments[] = {
    Im_Heart1,    Im_Heart2,    Im_Omino22A,  Im_Omino62A, Im_Omino62B, Im_Omino62C,
    Im_Omino62D,  Im_Omino62E,  Im_LevaSu,    Im_LevaGiu,  Im_OrcoFall, Im_Gru1,
    Im_Gru2,      Im_Gru3,      Im_SbarreSu,  Im_SbarreGiu, Im_Omino24, Im_Omino25,
    Im_Omino46J,  Im_Omino56J,  Im_Omino27J,  Im_Omino57J, Im_GameA,    Im_GameB,
    Im_Alarm,     Im_TimeAM,    Im_TimePP};
constexpr int kNamedKeptByClear = 2;  // Im_TimeAM, Im_TimePP

// Steps 1 to 5 of the all-segments picture with `lit`, in their order.
void setPlayAndModeElements(Handheld& h, bool lit, int namedCount) {
  const ElementTables& t = h.tables;
  Surface& s = h.surface;
  for (int i = 1; i <= 3; ++i) {
    const int c = 2 * i;
    s.set(t.OrcoPose(c).Up, lit);
    s.set(t.OrcoPose(c).Down, lit);
    s.set(t.BarrelSeg(c, 1), lit);
    s.set(t.BarrelSeg(c, 2), lit);
    s.set(t.BarrelSeg(c, 3), lit);
    s.set(t.OminoPose(c, 2), lit);
    s.set(t.LifeIcon(i), lit);
  }
  for (int k = 1; k <= 4; ++k) s.set(t.KeyPiece(k), lit);
  for (int k = 1; k <= 5; ++k) {
    s.set(t.HookFrame(k), lit);
    s.set(t.BeamSeg(k + 1), lit);
    s.set(t.OminoPose(k + 1, 6), lit);
    s.set(t.OminoPose(k + 1, 7), lit);
  }
  for (int c = 1; c <= 6; ++c) {
    s.set(t.BarrelSeg(c, 4), lit);
    s.set(t.BarrelSeg(c, 6), lit);
    s.set(t.BarrelSeg(c, 7), lit);
  }
  for (int i = 0; i < namedCount; ++i) s.set(kNamedSegments[i], lit);
}

}  // namespace

void Handheld::MakePictureCopies() {
  for (int i = 0; i < ElementCount; ++i) {
    const ElementInfo& in = info(static_cast<Element>(i));
    if (in.picture == PictureKind::Copy) surface.copyPicture(static_cast<Element>(i), in.copyOf);
  }
}

void Handheld::RiempiSchermo() {
  setPlayAndModeElements(*this, true, std::size(kNamedSegments));
  for (int p = 1; p <= 4; ++p) surface.show(tables.DigitPos(p));
  showDigit(1, 1);
  showDigit(2, 2);
  showDigit(3, 0);
  showDigit(4, 0);
}

void Handheld::PulisciSchermo() {
  setPlayAndModeElements(*this, false, std::size(kNamedSegments) - kNamedKeptByClear);
}

void Handheld::PreparaSchermo() {
  state.OrcoCol = 6;
  surface.show(tables.OrcoPose(6).Up);
  surface.show(Im_SbarreSu);
  MostraKey();
  surface.show(tables.BarrelSeg(4, 3));
  surface.show(tables.BarrelSeg(4, 6));
  surface.show(tables.BarrelSeg(6, 7));
  surface.show(Im_Gru1);
  surface.show(Im_LevaGiu);
  for (int i = 1; i <= 3; ++i) surface.show(tables.LifeIcon(i));
}

void Handheld::MostraVite() {
  // Lives counts the life in play, so one icon fewer is lit.
  const int lives = state.Lives;
  if (lives < 1 || lives > 4) return;
  for (int i = 1; i <= 3; ++i) surface.set(tables.LifeIcon(i), i < lives);
}

void Handheld::MostraKey() {
  const int n = state.KeysLeft;
  if (n < 0 || n > 4) return;
  for (int k = 1; k <= 4; ++k) surface.set(tables.KeyPiece(k), k <= n);
}

void Handheld::MostraGancio(int k) { surface.show(tables.HookFrame(k)); }
void Handheld::NascondiGancio(int k) { surface.hide(tables.HookFrame(k)); }

void Handheld::MostraOmino() { surface.show(tables.OminoPose(state.OminoCol, state.OminoRow)); }
void Handheld::NascondiOmino() { surface.hide(tables.OminoPose(state.OminoCol, state.OminoRow)); }

}  // namespace cantiere
