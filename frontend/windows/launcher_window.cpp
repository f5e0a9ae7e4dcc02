// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/launcher_window.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "frontend/pictures/picture_set.h"
#include "frontend/windows/own_title_bar.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {
namespace {

QPalette withColours(QPalette p, const QColor& window, const QColor& text) {
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  return p;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, const QFont& font,
              const QColor& colour, Qt::Alignment alignment) {
  auto* l = new QLabel(text, parent);
  l->setGeometry(geometry);
  l->setFont(font);
  l->setPalette(withColours(l->palette(), Qt::black, colour));
  l->setAlignment(alignment);
  return l;
}

LinkLabel* link(QWidget* parent, const char* text, const QRect& geometry) {
  auto* l = new LinkLabel(QString::fromUtf8(text), parent);
  l->setGeometry(geometry);
  QFont f = arialFont(12);
  f.setUnderline(true);
  l->setFont(f);
  l->setPalette(withColours(l->palette(), Qt::black, QColor(0, 255, 255)));  // aqua
  l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  l->setCursor(Qt::PointingHandCursor);
  return l;
}

}  // namespace

QFont arialFont(int pixels, bool bold) {
  static const QString family = QFontDatabase::families().contains(QStringLiteral("Arial"))
                                    ? QStringLiteral("Arial")
                                    : QStringLiteral("Liberation Sans");
  QFont f(family);
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

void SoundList::showPopup() {
  QComboBox::showPopup();
  // The list opens where the toolkit believes the launcher is; a window
  // manager that framed the launcher without saying so (Weston's) has put
  // it elsewhere, and the server knows where.
  const auto origin = x11::clientOrigin(window());
  QWidget* popup = view() ? view()->window() : nullptr;
  if (!origin || !popup || popup == window()) return;
  const QPoint error = *origin - window()->mapToGlobal(QPoint(0, 0));
  if (!error.isNull()) popup->move(popup->pos() + error);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked)
    clicked();
  QLabel::mouseReleaseEvent(e);
}

SplashForm::SplashForm(Launcher& launcher, ModelInput& input)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      launcher_(launcher),
      input_(input),
      clock_(input.clock()) {
  setWindowTitle(QStringLiteral("About Cantiere..."));
  setFixedSize(246, 313);
  setPalette(withColours(palette(), Qt::black, Qt::white));
  setAutoFillBackground(true);

  const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
  // In stacking order: later ones lie on top.
  title_ = label(this, QString::fromUtf8("Cantiere (Ludoria) Simulator"), {25, 16, 196, 15},
                 arialFont(12, true), Qt::white, centred);
  version_ = label(this, QStringLiteral("Version S3/1.04a"), {53, 32, 140, 15}, arialFont(12, true),
                   Qt::white, centred);
  email_ = link(this, kMailText, {21, 212, 204, 15});
  http_ = link(this, kWebText, {37, 190, 172, 15});
  slide_ = new QLabel(this);
  slide_->setGeometry(24, 56, 198, 110);
  sound_ = label(this, QStringLiteral("Select sound mode:"), {21, 245, 100, 14}, arialFont(11),
                 Qt::white, Qt::AlignLeft | Qt::AlignVCenter);

  list_ = new SoundList(this);
  list_->setGeometry(128, 242, 97, 21);
  list_->setEditable(false);  // choose only, no typing
  list_->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
  list_->setFont(arialFont(11));
  QPalette field = list_->palette();
  for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
    field.setColor(role, Qt::white);
  for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
    field.setColor(role, Qt::black);
  list_->setPalette(field);
  for (const char* mode : kSoundModes) list_->addItem(QString::fromUtf8(mode));

  play_ = new QPushButton(QStringLiteral("- PLAY -"), this);
  play_->setGeometry(91, 280, 65, 25);
  play_->setFont(arialFont(12, true));
  QPalette grey = play_->palette();
  grey.setColor(QPalette::Button, QColor(192, 192, 192));
  for (auto group : {QPalette::Active, QPalette::Inactive})
    grey.setColor(group, QPalette::ButtonText, Qt::black);
  grey.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
  play_->setPalette(grey);
  play_->setCursor(Qt::PointingHandCursor);
  play_->setFocusPolicy(Qt::ClickFocus);
  play_->setAutoDefault(false);


  connect(list_, &QComboBox::activated, this, [this](int index) {
    clock_.run([&] { launcher_.CB_SoundChange(index); });
    refresh();
  });
  connect(play_, &QPushButton::clicked, this, [this] {
    // The driver's `play` chooses the entry and presses PLAY, as here.
    if (launcher_.soundIndex >= 0) {
      input_.deliver({ModelInput::play(launcher_.soundIndex)});
    } else {
      clock_.run([&] { launcher_.Puls_PlayClick(); });
    }
    refresh();
  });
  // No minimise (with no task bar there would be no way back), no
  // maximise, no close where the toolkit draws the frame.
  if (onWaylandItself()) giveOwnTitleBar(*this);
  email_->clicked = [this] { clock_.run([&] { launcher_.La_EmailClick(); }); };
  http_->clicked = [this] { clock_.run([&] { launcher_.La_HttpClick(); }); };
  // Only the slideshow changes on a tick, and only while the launcher shows.
  clock_.onTicks([this] {
    if (launcher_.visible) refresh();
  });
  refresh();
}

void SplashForm::refresh() {
  if (list_->currentIndex() != launcher_.soundIndex) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentIndex(launcher_.soundIndex);  // -1 shows no choice
  }
  play_->setEnabled(launcher_.playEnabled);
  // The slides follow the screen's density (not the handheld's zoom).
  if (devicePixelRatioF() != slidesRatio_) {
    slidesRatio_ = devicePixelRatioF();
    for (int i = 0; i < 2; ++i)
      slides_[i] = QPixmap::fromImage(
          builtInPhoto(QStringLiteral("Im_Piccina%1").arg(i + 1), nullptr, slidesRatio_));
    slideOnShow_ = 0;
  }
  if (slideOnShow_ != launcher_.slideShown) {
    slideOnShow_ = launcher_.slideShown;
    if (slideOnShow_ == 1 || slideOnShow_ == 2) {
      slide_->setPixmap(slides_[slideOnShow_ - 1]);
    } else {
      slide_->clear();
    }
  }
}

void SplashForm::centre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect g = screen->geometry();
  // The client area's place, as for the handheld (WindowMover::place): a
  // frame's place would be shifted by whatever frame Qt last saw.
  setGeometry(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2, width(), height());
}

void SplashForm::showEvent(QShowEvent* e) {
  // A fixed dialog: no minimise (with no task bar there would be no way
  // back), no maximise, no close; only the title and the border.
  x11::fixedDialogFrame(this);
  QWidget::showEvent(e);
}

void SplashForm::closeEvent(QCloseEvent* e) {
  // The launcher has no close button and PLAY only hides it; a close forced
  // on it from outside (a window manager's key) ends the program rather
  // than leaving it running with no window on screen.
  if (launcher_.visible) input_.deliver({ModelInput::menu(MenuEntry::PM_10Exit)});
  e->accept();
}

}  // namespace cantiere
