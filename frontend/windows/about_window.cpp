// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/about_window.h"

#include <QEvent>
#include <QMouseEvent>
#include <QFrame>
#include <QTimer>

#include "common/about_text.h"
#include "frontend/pictures/picture_set.h"
#include "frontend/windows/launcher_window.h"
#include "frontend/windows/window_system.h"
#include "frontend/windows/window_mover.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {

AboutForm::AboutForm()
    : QWidget(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::WindowDoesNotAcceptFocus) {
  setWindowTitle(QStringLiteral("About the author..."));
  setFixedSize(275, 224);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  move(0, 0);  // the screen's top left corner
  // It never takes the keyboard from the handheld, where a game may run:
  // its only controls are the frame's close button and a click on it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  // A Wayland compositor would give it the keyboard (and sway centre it):
  // there it is shown as a note that it neither places nor focuses.
  if (compositorFocusesNewWindows()) setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);

  picture_ = new QLabel(this);
  picture_->setGeometry(9, 9, 252, 84);
  // The photograph is decoded as the window first shows (event()), at its
  // screen's density: most runs never show it.
  // Over the picture, so its raised edges show.
  auto* bevel = new QFrame(this);
  bevel->setGeometry(9, 9, 256, 84);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bevel->setLineWidth(1);

  struct Text {
    const char* caption;
    const char* value;
    int top;
  };
  const Text texts[] = {
      {"My real name:", about::kName, 104},
      {"My birthplace:", about::kPlace, 128},
      {"My birth date:", about::kDate, 152},
      {"My current occupation:", about::kOccupation, 176},
      {"My hobby:", about::kHobby, 200},
  };
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Text& t = texts[i];
    auto* caption = new QLabel(QString::fromUtf8(t.caption), this);
    caption->setFont(arialFont(11));
    QPalette silver = caption->palette();
    silver.setColor(QPalette::WindowText, QColor(192, 192, 192));
    caption->setPalette(silver);
    caption->setGeometry(13, t.top, 248, 14);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The value ends at x = 261 whatever its length.
    auto* value = new QLabel(QString::fromUtf8(t.value), this);
    value->setFont(arialFont(11, true));
    QPalette white = value->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    value->setPalette(white);
    value->setGeometry(13, t.top, 248, 14);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows_[i] = {caption, value};
  }
}

bool AboutForm::event(QEvent* e) {
  if ((e->type() == QEvent::Show || e->type() == QEvent::ScreenChangeInternal) &&
      devicePixelRatioF() != pictureRatio_) {
    pictureRatio_ = devicePixelRatioF();
    picture_->setPixmap(
        QPixmap::fromImage(builtInPhoto(QStringLiteral("Im_Foto"), nullptr, pictureRatio_)));
  }
  return QWidget::event(e);
}

}  // namespace cantiere

namespace cantiere {

void AboutForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // Some window managers place a dialog by their own rule (Xfce's centres
  // it); once it is shown they do move it where it asks to be. Fluxbox
  // moves it by its frame, so it is moved only when its frame is not
  // already where it asked to be; shown again, Qt takes the client area's
  // corner for the frame's, and a move then hid the title bar above the
  // screen, so the server is asked where the frame lies.
  if (compositorFocusesNewWindows()) return;  // a note is where it was put
  const QPoint wanted = pos();
  QTimer::singleShot(WindowMover::kSettle, this, [this, wanted] {
    if (isVisible() && x11::frameOrigin(this).value_or(pos()) != wanted) move(wanted);
  });
}

void AboutForm::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) close();
  QWidget::mouseReleaseEvent(e);
}

}  // namespace cantiere
