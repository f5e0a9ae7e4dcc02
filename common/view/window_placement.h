// SPDX-License-Identifier: GPL-3.0-or-later
// Where the handheld window lies on the screen at a zoom, in window pixels.
// The model keeps its window in catalogue pixels; the desktop window follows
// its moves scaled by the zoom, and besides: a window the program places
// (PLAY, the lid's opening, a change of zoom) is kept inside the screen's
// available area, and a dragged window follows the pointer pixel for pixel
// rather than in steps of the zoom. No toolkit.
#pragma once

#include "core/handheld/desktop.h"
#include "core/lcd/catalogue.h"
#include "common/view/view_scale.h"

namespace cantiere {

// A window's rectangle moved inside `area`; along an axis where it is larger
// than the area it starts at the area's start.
Rect keptInside(const Rect& window, const Rect& area);

class WindowPlacement {
 public:
  // Where the window is now (its client area; the window has no frame).
  const Rect& rect() const { return rect_; }

  // The model's window changed, or is seen for the first time. A window
  // wholly outside `area` stays there: the handheld waits off screen until
  // PLAY places it.
  const Rect& follow(const WindowGeometry& model, const ViewScale& view, const Rect& area);

  // A mouse button went down at a screen point, and came up. Between them,
  // once the model has moved the window (a drag), the window keeps the
  // offset it had from the pointer at the press.
  void pressed(int x, int y);
  void released() { pressed_ = false; }
  // The pointer is at a screen point; the window's new place.
  const Rect& pointerAt(int x, int y);

  // The window manager has moved the window to (left, top) by its own move
  // (where the program's moves are refused): its place from now on.
  const Rect& movedTo(int left, int top);

  // The zoom changed: the same lid fold line (the open case's row 271, the
  // closed case's top) and the same middle, then inside `area`.
  const Rect& rezoom(const WindowGeometry& model, const ViewScale& to, const Rect& area);

 private:
  Rect placed(const Rect& wanted, const Rect& area) const;
  // The window's offset from the model's place scaled, which drags and
  // placements here add.
  void remember();

  bool seen_ = false;
  WindowGeometry model_{};
  ViewScale view_;
  Rect rect_{0, 0, 0, 0};
  bool pressed_ = false, dragging_ = false;
  // The last change was a new height alone: the lid's move up comes next,
  // also when the click that opens it is still being released.
  bool resized_ = false;
  int pressX_ = 0, pressY_ = 0, pointerX_ = 0, pointerY_ = 0;
  Rect atPress_{0, 0, 0, 0};
  int offsetX_ = 0, offsetY_ = 0;
};

}  // namespace cantiere
