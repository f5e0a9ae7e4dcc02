// SPDX-License-Identifier: GPL-3.0-or-later
// The hints and cursors of the handheld's elements: a hint shows after the
// pointer has rested half a second on an element that has one, and goes two
// and a half seconds later; the cursor says whether a click acts or explains.
// Shown by hand rather than through tool-tip events, which Qt gives only to
// the active window: the handheld is often not the active one.
#pragma once

#include <QRect>
#include <QTimer>
#include <functional>

#include "core/handheld/pointer.h"

class QWidget;

namespace cantiere {

class HoverHints {
 public:
  static constexpr int kPause = 500;
  static constexpr int kShown = 2500;

  // `pressed` tells whether a button holds the pointer: no hint shows then.
  HoverHints(QWidget& window, std::function<bool()> pressed);

  // The pointer rests over `hint`'s element (none: over nothing that has
  // one), which covers `rect` of the window.
  void over(const ElementHint* hint, const QRect& rect);
  // A press: the hint goes, and comes back only over another element.
  void hide();
  // A change of size: the hint goes, and the next rest starts anew.
  void cancel();
  // The pointer left the window.
  void left();

 private:
  void show();

  QWidget& window_;
  std::function<bool()> pressed_;
  const ElementHint* hint_ = nullptr;
  QRect rect_;
  QTimer delay_;
};

}  // namespace cantiere
