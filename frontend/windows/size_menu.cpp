// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/size_menu.h"

#include <QActionGroup>

#include "common/view/view_scale.h"

namespace cantiere {

SizeMenu::SizeMenu(QMenu& menu, QWidget& window, std::function<void(int)> choose) {
  menu.addSeparator();
  menu_ = menu.addMenu(QStringLiteral("Size"));
  auto* group = new QActionGroup(menu_);
  for (int percent : ViewScale::kZoomSteps) {
    QAction* a = menu_->addAction(QStringLiteral("%1 %").arg(percent));
    a->setCheckable(true);
    a->setActionGroup(group);
    if (percent == 100) a->setShortcut(QKeySequence(Qt::Key_0));
    QObject::connect(a, &QAction::triggered, &window, [choose, percent] { choose(percent); });
    steps_.push_back(a);
  }
  menu_->addSeparator();
  larger_ = menu_->addAction(QStringLiteral("Larger"));
  // "+" is shifted on most layouts; the same key unshifted ("=") and the
  // keypad's keys do as well.
  larger_->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
  smaller_ = menu_->addAction(QStringLiteral("Smaller"));
  smaller_->setShortcut(QKeySequence(Qt::Key_Minus));
  QObject::connect(larger_, &QAction::triggered, &window,
                   [this, choose] { choose(ViewScale::stepZoom(shown_, +1)); });
  QObject::connect(smaller_, &QAction::triggered, &window,
                   [this, choose] { choose(ViewScale::stepZoom(shown_, -1)); });
  QObject::connect(menu_, &QMenu::aboutToShow, &window, [this] { markFitting(); });
  for (QAction* a : menu_->actions()) {
    if (a->isSeparator()) continue;
    a->setShortcutContext(Qt::WindowShortcut);
    window.addAction(a);
  }
  show(100);
}

void SizeMenu::show(int percent) {
  shown_ = percent;
  for (std::size_t i = 0; i < steps_.size(); ++i)
    steps_[i]->setChecked(ViewScale::kZoomSteps[i] == percent);
}

void SizeMenu::markFitting() {
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    const int percent = ViewScale::kZoomSteps[i];
    const bool fitting = !fits || fits(percent);
    steps_[i]->setEnabled(fitting);
    steps_[i]->setText(fitting ? QStringLiteral("%1 %").arg(percent)
                               : QStringLiteral("%1 % (too large for this screen)").arg(percent));
  }
}

QAction* SizeMenu::step(int percent) const {
  for (std::size_t i = 0; i < steps_.size(); ++i)
    if (ViewScale::kZoomSteps[i] == percent) return steps_[i];
  return nullptr;
}

}  // namespace cantiere
