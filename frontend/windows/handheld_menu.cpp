// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/handheld_menu.h"

#include <QAction>
#include <QKeyEvent>

#include "common/lcd/lcd_effects_setting.h"
#include "frontend/input/qt_keys.h"

namespace cantiere {

HandheldMenu::HandheldMenu(QWidget& window, ModelInput& input, SettingsStore& settings,
                           std::function<void(bool)> lcdEffects, std::function<void(int)> zoom) {
  addDescribedEntries(window, input);
  sizes_ = std::make_unique<SizeMenu>(menu_, window, std::move(zoom));
  // After the handheld's own entries, in a block of its own.
  menu_.addSeparator();
  lcdEffects_ = new QAction(QStringLiteral("LCD effects"), &window);
  lcdEffects_->setCheckable(true);
  lcdEffects_->setChecked(lcdEffectsOn(settings));
  QObject::connect(lcdEffects_, &QAction::toggled, &window,
                   [&settings, lcdEffects = std::move(lcdEffects)](bool on) {
                     storeLcdEffects(settings, on);
                     lcdEffects(on);
                   });
  menu_.addAction(lcdEffects_);
}

void HandheldMenu::addDescribedEntries(QWidget& window, ModelInput& input) {
  struct Entry {
    MenuEntry id;
    const char* caption;
    int key;  // 0: no shortcut
    bool separatorAfter;
  };
  static constexpr Entry kEntries[] = {
      {MenuEntry::PM_1About, "About...", Qt::Key_F1, true},
      {MenuEntry::PM_3Readme, "View 'Readme.txt'", Qt::Key_F2, false},
      {MenuEntry::PM_4Whatsnew, "View 'Whatsnew.txt'", Qt::Key_F3, true},
      {MenuEntry::PM_6Instruct, "Open 'Manual.exe'", Qt::Key_F4, true},
      {MenuEntry::PM_8Hiscore, "Reset Hiscores", 0, true},
      {MenuEntry::PM_10Exit, "E&xit", Qt::Key_Escape, false},
  };
  for (const Entry& entry : kEntries) {
    auto* action = new QAction(QString::fromUtf8(entry.caption), &window);
    if (entry.key) action->setShortcut(QKeySequence(entry.key));
    // Shortcuts act whenever the window has the keyboard, open or closed,
    // and the menu need not be open.
    action->setShortcutContext(Qt::WindowShortcut);
    const MenuEntry id = entry.id;
    QObject::connect(action, &QAction::triggered, &window,
                     [&input, id] { input.deliver({ModelInput::menu(id)}); });
    window.addAction(action);
    menu_.addAction(action);
    if (entry.separatorAfter) menu_.addSeparator();
    actions_[static_cast<int>(id)] = action;
  }
  QAction* about = action(MenuEntry::PM_1About);
  QFont bold = about->font();
  bold.setBold(true);
  about->setFont(bold);
  menu_.setDefaultAction(about);
}

bool HandheldMenu::takeSizeKey(QKeyEvent& e) {
  const int k = layoutFreeKey(e);
  const bool keypad = e.modifiers() & Qt::KeypadModifier;
  QAction* act = nullptr;
  if (k == Qt::Key_0 && (e.key() != Qt::Key_0 || keypad)) act = sizes_->step(100);
  if (keypad && k == Qt::Key_Plus) act = sizes_->larger();
  if (keypad && k == Qt::Key_Minus) act = sizes_->smaller();
  if (!act || (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
  e.accept();
  if (!e.isAutoRepeat()) act->trigger();
  return true;
}

}  // namespace cantiere
