// SPDX-License-Identifier: GPL-3.0-or-later
// The "Size" submenu of the handheld's context menu: one entry per zoom
// step, and "Larger" (+), "Smaller" (-) and 0 for 100 %, keys the game does
// not use. The entries' shortcuts act while their window has the keyboard.
#pragma once

#include <QAction>
#include <QMenu>
#include <functional>
#include <vector>

namespace cantiere {

class SizeMenu {
 public:
  // Adds the submenu at the end of `menu` and its shortcuts to `window`;
  // `choose` receives the zoom asked for, in percent.
  SizeMenu(QMenu& menu, QWidget& window, std::function<void(int)> choose);

  // Marks the zoom on show; "Larger" and "Smaller" start from it (and do
  // nothing at the ends).
  void show(int percent);
  // Whether a size fits the screen; the sizes that do not are marked as
  // such and cannot be chosen. Asked each time the submenu opens.
  std::function<bool(int)> fits;
  // Marks the sizes by `fits` now.
  void markFitting();

  QMenu* menu() const { return menu_; }
  QAction* step(int percent) const;
  QAction* larger() const { return larger_; }
  QAction* smaller() const { return smaller_; }

 private:
  QMenu* menu_;
  std::vector<QAction*> steps_;
  QAction* larger_;
  QAction* smaller_;
  int shown_ = 100;
};

}  // namespace cantiere
