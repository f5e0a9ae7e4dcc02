// SPDX-License-Identifier: GPL-3.0-or-later
// Where the handheld window lies on the screen at a zoom, in window pixels.
// The model keeps its window in catalogue pixels, as if on the primary
// monitor alone; the desktop window follows its moves scaled by the zoom,
// from the primary monitor's corner, and besides: a window the program
// places (PLAY, the lid's opening, a change of zoom) is kept inside the
// usable area of the monitor it is on, a dragged window follows the pointer
// pixel for pixel rather than in steps of the zoom, and a place the window
// manager insists on is kept. No toolkit.
#pragma once

#include <vector>

#include "core/handheld/desktop.h"
#include "core/lcd/catalogue.h"
#include "common/view/view_scale.h"

namespace cantiere {

// A window's rectangle moved inside `area`; along an axis where it is larger
// than the area it starts at the area's start.
Rect keptInside(const Rect& window, const Rect& area);

// One monitor of the desktop: all of it, and the part windows may use
// (without panels and task bars), in window pixels.
struct Monitor {
  Rect whole;
  Rect usable;
};
// The primary monitor first. An empty list is a desktop of unknown size.
using Monitors = std::vector<Monitor>;

// The monitor a window is on: the one holding its middle, else the one it
// overlaps most, else the primary.
const Monitor* monitorOf(const Rect& window, const Monitors& monitors);

// Whether the open case fits a usable area at a zoom, and the largest zoom
// step up to `wanted` that does (100 when none does).
bool zoomFits(int zoomPercent, const Rect& usable);
int fittingZoom(int wanted, const Rect& usable);

// The case's size in catalogue pixels: its open picture's, 300 high closed.
inline int caseWidth() { return info(Im_Base).rect.width; }
inline int openCaseHeight() { return info(Im_Base).rect.height; }

// Where a replay's case stands, by its bottom left corner: where the
// handheld's case stands while it is on `area`, else where PLAY puts the
// open case, in the middle of `area`.
struct CaseSpot {
  int left, bottom;
};
CaseSpot replaySpot(const WindowGeometry& handheld, const Rect& area);

class WindowPlacement {
 public:
  // Where the window is now (its client area; the window has no frame).
  const Rect& rect() const { return rect_; }
  // Until the model first moves its window (PLAY), it waits off screen.
  bool parked() const { return parked_; }

  // The model's window changed, or is seen for the first time.
  const Rect& follow(const WindowGeometry& model, const ViewScale& view, const Monitors& monitors);

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
  // The window manager holds the window at (left, top), not where it was
  // asked to be (it keeps windows clear of a panel, or places new windows
  // its own way): its place from now on, though a change of zoom still
  // starts from where it was asked to be.
  const Rect& heldAt(int left, int top);

  // The zoom changed: the same lid fold line (the open case's row 271, the
  // closed case's top) and the same middle, then inside the monitor it is
  // on. Zooming back returns the window to where it was, however far the
  // larger size had to be moved to stay on the monitor.
  const Rect& rezoom(const WindowGeometry& model, const ViewScale& to, const Monitors& monitors);

 private:
  // The window's offset from the model's place scaled, which drags and
  // placements here add.
  void remember();

  bool seen_ = false, parked_ = true;
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
  // Twice the middle and the fold line the first of a run of zoom changes
  // started from.
  struct Anchor {
    int middle2, foldY;
  };
  bool anchored_ = false;
  Anchor anchor_{0, 0};
};

}  // namespace cantiere
