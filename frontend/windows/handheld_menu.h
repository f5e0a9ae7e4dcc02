// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld's context menu (`PM_Menu`): the described entries in their
// order with their shortcuts, which act whenever the window has the
// keyboard, then the desktop's own additions: "LCD effects" and "Size".
// Every entry reaches the model as the menu choice it is, through the one
// path of inputs, so a recording holds it.
#pragma once

#include <QMenu>
#include <array>
#include <functional>
#include <memory>

#include "common/input/model_input.h"
#include "frontend/windows/size_menu.h"

class QKeyEvent;

namespace cantiere {

class SettingsStore;

class HandheldMenu {
 public:
  // `lcdEffects` is told the switch's state when it changes; `zoom` the size
  // asked for.
  HandheldMenu(QWidget& window, ModelInput& input, SettingsStore& settings,
               std::function<void(bool)> lcdEffects, std::function<void(int)> zoom);

  QMenu& menu() { return menu_; }
  QAction* action(MenuEntry entry) const { return actions_[static_cast<int>(entry)]; }
  QAction* lcdEffects() const { return lcdEffects_; }
  SizeMenu& sizes() { return *sizes_; }

  // The size keys that are not shortcuts of their own: 0 from the row of
  // digits on any layout, and the keypad's 0, + and -. True when `e` was
  // one, and its entry acted.
  bool takeSizeKey(QKeyEvent& e);

 private:
  void addDescribedEntries(QWidget& window, ModelInput& input);

  QMenu menu_;
  std::array<QAction*, 6> actions_{};
  QAction* lcdEffects_ = nullptr;
  std::unique_ptr<SizeMenu> sizes_;
};

}  // namespace cantiere
