// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/own_title_bar.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace cantiere {
namespace {

constexpr int kBarHeight = 22;

class TitleBar : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && window()->windowHandle())
      window()->windowHandle()->startSystemMove();
  }
};

}  // namespace

bool onWaylandItself() { return QGuiApplication::platformName().startsWith(QStringLiteral("wayland")); }

void giveOwnTitleBar(QWidget& dialog) {
  dialog.setWindowFlag(Qt::FramelessWindowHint);
  for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->move(child->pos() + QPoint(0, kBarHeight));
  const QSize inside = dialog.size();
  dialog.setFixedSize(inside.width(), inside.height() + kBarHeight);

  auto* bar = new TitleBar(dialog.windowTitle(), &dialog);
  bar->setGeometry(0, 0, inside.width(), kBarHeight);
  bar->setAlignment(Qt::AlignCenter);
  bar->setAutoFillBackground(true);
  QPalette grey = bar->palette();
  grey.setColor(QPalette::Window, QColor(64, 64, 64));
  grey.setColor(QPalette::WindowText, Qt::white);
  bar->setPalette(grey);
  QFont bold = bar->font();
  bold.setBold(true);
  bar->setFont(bold);

  // The border, over everything and in the way of nothing.
  auto* border = new QFrame(&dialog);
  border->setGeometry(dialog.rect());
  border->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette line = border->palette();
  line.setColor(QPalette::WindowText, QColor(64, 64, 64));
  border->setPalette(line);
  border->setAttribute(Qt::WA_TransparentForMouseEvents);
  border->raise();
}

}  // namespace cantiere
