// SPDX-License-Identifier: GPL-3.0-or-later
// The case: opening the lid and dragging the window.
#include "core/handheld/handheld.h"

#include <algorithm>

namespace cantiere {

int windowPosition(std::int64_t position) {
  return static_cast<int>(std::clamp<std::int64_t>(position, -kWindowRange, kWindowRange));
}

void Handheld::Im_FrontClick() {
  surface.hide(Im_Front);
  setClientHeight(571);
  // The lower 300 rows of the open handheld lie where the closed case was.
  setWindowTop(windowPosition(std::int64_t{window_.top} - 271));
  for (Element e : {Im_Base, Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump, Puls_ACL,
                    Puls_Alarm, Puls_Cross1, Puls_Cross2, Im_Schermo1Top, Im_Schermo2Top})
    surface.show(e);
  for (int p = 1; p <= 4; ++p) surface.show(tables.DigitPos(p));
  RiempiSchermo();
}

void Handheld::Im_BaseMouseDown(MouseButton, int x, int y) {
  DragX = x;
  DragY = y;
}

void Handheld::Im_BaseMouseMove(bool leftHeld, int x, int y) {
  if (!leftHeld) return;
  setWindowTop(windowPosition(std::int64_t{window_.top} + y - DragY));
  setWindowLeft(windowPosition(std::int64_t{window_.left} + x - DragX));
}

}  // namespace cantiere
