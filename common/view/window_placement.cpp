// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/view/window_placement.h"

#include <algorithm>

namespace cantiere {
namespace {

// The row where lid and base meet: the closed case is the open one's bottom
// 300 rows.
constexpr int kClosedHeight = 300;

bool meets(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

int inside(int at, int length, int start, int span) {
  if (length >= span) return start;
  return std::clamp(at, start, start + span - length);
}

}  // namespace

Rect keptInside(const Rect& window, const Rect& area) {
  return {inside(window.left, window.width, area.left, area.width),
          inside(window.top, window.height, area.top, area.height), window.width, window.height};
}

Rect WindowPlacement::placed(const Rect& wanted, const Rect& area) const {
  if (area.width <= 0 || area.height <= 0 || !meets(wanted, area)) return wanted;
  return keptInside(wanted, area);
}

const Rect& WindowPlacement::follow(const WindowGeometry& model, const ViewScale& view,
                                    const Rect& area) {
  const WindowGeometry before = model_;
  const bool first = !seen_;
  seen_ = true;
  model_ = model;
  view_ = view;
  const Rect scaled = view.toWindow(Rect{model.left, model.top, model.width, model.height});
  const Rect shifted{scaled.left + offsetX_, scaled.top + offsetY_, scaled.width, scaled.height};
  const bool moved = model.left != before.left || model.top != before.top;
  const bool opening = resized_;
  resized_ = !first && !moved && model.height != before.height;
  if (first) {
    rect_ = placed(scaled, area);
  } else if (pressed_ && moved && !opening) {
    // Only a drag moves the window while a button is held.
    dragging_ = true;
    rect_.width = scaled.width;
    rect_.height = scaled.height;
    pointerAt(pointerX_, pointerY_);
  } else if (!moved) {
    // A new height alone is the first half of the lid's opening (the move
    // up follows) or the window's creation: kept inside after the move.
    rect_ = shifted;
  } else {
    rect_ = placed(shifted, area);
  }
  remember();
  return rect_;
}

void WindowPlacement::remember() {
  offsetX_ = rect_.left - view_.toWindow(model_.left);
  offsetY_ = rect_.top - view_.toWindow(model_.top);
}

void WindowPlacement::pressed(int x, int y) {
  pressed_ = true;
  dragging_ = false;
  pressX_ = pointerX_ = x;
  pressY_ = pointerY_ = y;
  atPress_ = rect_;
}

const Rect& WindowPlacement::pointerAt(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  if (pressed_ && dragging_) {
    rect_ = {atPress_.left + x - pressX_, atPress_.top + y - pressY_, rect_.width, rect_.height};
    remember();
  }
  return rect_;
}

const Rect& WindowPlacement::movedTo(int left, int top) {
  rect_.left = left;
  rect_.top = top;
  remember();
  return rect_;
}

const Rect& WindowPlacement::rezoom(const WindowGeometry& model, const ViewScale& to,
                                    const Rect& area) {
  const int fold = model.height - kClosedHeight;
  const int foldY = rect_.top + view_.toWindow(fold);
  const int middle2 = 2 * rect_.left + rect_.width;  // twice the middle, exactly
  const int width = to.toWindow(model.width), height = to.toWindow(model.height);
  const Rect wanted{(middle2 - width) / 2, foldY - to.toWindow(fold), width, height};
  // A window waiting off screen waits where the model put it.
  const bool parked = !meets(rect_, area);
  model_ = model;
  view_ = to;
  rect_ = parked ? to.toWindow(Rect{model.left, model.top, model.width, model.height})
                 : placed(wanted, area);
  remember();
  return rect_;
}

}  // namespace cantiere
