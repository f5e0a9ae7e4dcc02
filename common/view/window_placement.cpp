// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/view/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace cantiere {
namespace {

// The row where lid and base meet: the closed case is the open one's bottom
// 300 rows.
constexpr int kClosedHeight = 300;

int inside(int at, int length, int start, int span) {
  if (length >= span) return start;
  return std::clamp(at, start, start + span - length);
}

std::int64_t overlap(const Rect& a, const Rect& b) {
  const std::int64_t w = std::min<std::int64_t>(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
  const std::int64_t h = std::min<std::int64_t>(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

Rect keptOn(const Rect& window, const Monitor* monitor) {
  if (!monitor || monitor->usable.width <= 0 || monitor->usable.height <= 0) return window;
  return keptInside(window, monitor->usable);
}

}  // namespace

Rect keptInside(const Rect& window, const Rect& area) {
  return {inside(window.left, window.width, area.left, area.width),
          inside(window.top, window.height, area.top, area.height), window.width, window.height};
}

CaseSpot replaySpot(const WindowGeometry& h, const Rect& area) {
  const Rect handheld{h.left, h.top, h.width, h.height};
  if (overlap(handheld, area) > 0) return {h.left, h.top + h.height};
  return {area.left + (area.width - caseWidth()) / 2,
          area.top + std::max(openCaseHeight(), (area.height + openCaseHeight()) / 2)};
}

const Monitor* monitorOf(const Rect& window, const Monitors& monitors) {
  if (monitors.empty()) return nullptr;
  const std::int64_t x = window.left + std::int64_t{window.width} / 2;
  const std::int64_t y = window.top + std::int64_t{window.height} / 2;
  const Monitor* best = &monitors.front();
  std::int64_t most = 0;
  for (const Monitor& m : monitors) {
    const Rect& w = m.whole;
    if (x >= w.left && x < w.left + w.width && y >= w.top && y < w.top + w.height) return &m;
    if (const std::int64_t o = overlap(window, w); o > most) {
      most = o;
      best = &m;
    }
  }
  return best;
}

bool zoomFits(int zoomPercent, const Rect& usable) {
  const ViewScale view(zoomPercent, 1.0);
  const Rect& open = info(Im_Base).rect;
  return view.toWindow(open.width) <= usable.width && view.toWindow(open.height) <= usable.height;
}

int fittingZoom(int wanted, const Rect& usable) {
  wanted = ViewScale::validZoom(wanted);
  if (usable.width <= 0 || usable.height <= 0) return wanted;  // nothing known
  for (auto step = ViewScale::kZoomSteps.rbegin(); step != ViewScale::kZoomSteps.rend(); ++step)
    if (*step <= wanted && zoomFits(*step, usable)) return *step;
  return ViewScale::kZoomSteps.front();
}

const Rect& WindowPlacement::follow(const WindowGeometry& model, const ViewScale& view,
                                    const Monitors& monitors) {
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
  if (moved) anchored_ = false;
  if (first || (parked_ && !moved)) {
    // The handheld waits off screen, where the model made it.
    rect_ = scaled;
  } else if (parked_) {
    // PLAY: the model centres the case on the primary monitor as if it
    // were the whole screen; it lands on it whatever the size.
    parked_ = false;
    Rect r = scaled;
    if (!monitors.empty()) {
      r.left += monitors.front().whole.left;
      r.top += monitors.front().whole.top;
    }
    rect_ = keptOn(r, monitors.empty() ? nullptr : &monitors.front());
  } else if (pressed_ && moved && !opening) {
    // Only a drag moves the window while a button is held.
    dragging_ = true;
    rect_.width = scaled.width;
    rect_.height = scaled.height;
    pointerAt(pointerX_, pointerY_);
  } else if (!moved) {
    // A new height alone is the first half of the lid's opening (the move
    // up follows): kept inside after the move.
    rect_ = shifted;
  } else {
    rect_ = keptOn(shifted, monitorOf(shifted, monitors));
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
    anchored_ = false;
    remember();
  }
  return rect_;
}

const Rect& WindowPlacement::movedTo(int left, int top) {
  anchored_ = false;
  return heldAt(left, top);
}

const Rect& WindowPlacement::heldAt(int left, int top) {
  rect_.left = left;
  rect_.top = top;
  remember();
  return rect_;
}

const Rect& WindowPlacement::rezoom(const WindowGeometry& model, const ViewScale& to,
                                    const Monitors& monitors) {
  const int fold = model.height - kClosedHeight;
  if (!anchored_) {
    anchor_ = {2 * rect_.left + rect_.width, rect_.top + view_.toWindow(fold)};
    anchored_ = true;
  }
  const int width = to.toWindow(model.width), height = to.toWindow(model.height);
  const Rect wanted{(anchor_.middle2 - width) / 2, anchor_.foldY - to.toWindow(fold), width, height};
  const Monitor* on = monitorOf(rect_, monitors);
  model_ = model;
  view_ = to;
  // A window waiting off screen waits where the model put it.
  rect_ = parked_ ? to.toWindow(Rect{model.left, model.top, model.width, model.height})
                  : keptOn(wanted, on);
  remember();
  return rect_;
}

}  // namespace cantiere
