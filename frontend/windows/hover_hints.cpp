// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/hover_hints.h"

#include <QCursor>
#include <QToolTip>
#include <QWidget>

namespace cantiere {

HoverHints::HoverHints(QWidget& window, std::function<bool()> pressed)
    : window_(window), pressed_(std::move(pressed)) {
  delay_.setSingleShot(true);
  QObject::connect(&delay_, &QTimer::timeout, &window_, [this] { show(); });
}

void HoverHints::over(const ElementHint* hint, const QRect& rect) {
  if (hint) rect_ = rect;
  if (hint == hint_) return;
  hint_ = hint;
  if (!hint) {
    window_.unsetCursor();
  } else {
    window_.setCursor(hint->helpCursor ? Qt::WhatsThisCursor : Qt::PointingHandCursor);
  }
  QToolTip::hideText();
  if (hint) {
    delay_.start(kPause);
  } else {
    delay_.stop();
  }
}

void HoverHints::hide() {
  delay_.stop();
  QToolTip::hideText();
}

void HoverHints::cancel() {
  hint_ = nullptr;
  hide();
}

void HoverHints::left() {
  cancel();
  window_.unsetCursor();
}

void HoverHints::show() {
  if (!hint_ || pressed_()) return;
  QToolTip::showText(QCursor::pos(), QString::fromUtf8(hint_->text), &window_, rect_, kShown);
}

}  // namespace cantiere
