// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <iostream>
#include <utility>

#include "frontend/windows/handheld_window.h"
#include "frontend/app/plain_path.h"
#include "frontend/pictures/picture_set.h"
#include "frontend/windows/window_system.h"
#include "frontend/x11/x11_window.h"

namespace cantiere {

QtDesktop::QtDesktop()
    : opener([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      quitter([] { QCoreApplication::exit(0); }) {}

QUrl QtDesktop::urlFor(const char* target) {
  const QString text = QString::fromUtf8(target);
  // "mailto:", "https:" and the like; a one-letter scheme would be a drive.
  const qsizetype colon = text.indexOf(':');
  if (colon > 1 && !text.left(colon).contains('/')) return QUrl(text);
  // The working folder by its bytes: a data folder whose name is not UTF-8
  // would come back from a QString as another folder.
  std::filesystem::path named = (std::filesystem::current_path() / target).lexically_normal();
  if (!named.has_filename() && named != named.root_path())
    named = named.parent_path();  // "." as "/a"
  const std::string path = named.string();
  const std::string plain = plainPathTo(
      path, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString());
  if (plain.empty()) return {};
  return QUrl::fromLocalFile(QString::fromStdString(plain));
}

void QtDesktop::setHandheld(HandheldWindow* window) {
  handheld_ = window;
  if (window) window->useMonitors([this] { return monitors(); });
}

Monitors QtDesktop::monitors() const {
  if (screenOverride) {
    const Rect all{0, 0, screenOverride->width, screenOverride->height};
    return {{all, all}};
  }
  return qtMonitors();
}

ScreenSize QtDesktop::screen() const {
  ScreenSize size{0, 0};
  if (screenOverride) {
    size = *screenOverride;
  } else if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    size = {primary->geometry().width(), primary->geometry().height()};
  }
  // The model places its window in catalogue pixels: on a zoomed handheld
  // its formulas see the screen as that many of them.
  if (!handheld_) return size;
  const double zoom = handheld_->view().zoom();
  return {static_cast<int>(size.width / zoom), static_cast<int>(size.height / zoom)};
}

void QtDesktop::windowChanged(const WindowGeometry& g) {
  if (handheld_) handheld_->place(g);
}

void QtDesktop::showLauncher() {
  if (!launcher_) return;
  launcher_->show();
  bringToFront(launcher_);
}

void QtDesktop::hideLauncher() {
  if (launcher_) launcher_->hide();
  if (!handheld_) return;
  // PLAY has placed the handheld: it appears for the first time, already
  // where it belongs, so no window manager has a shown window to move. A
  // new window comes up in front; it is not raised as well, since a raise
  // that reaches the window manager before the window is mapped makes
  // Weston's move it into its corner.
  handheld_->show();
  // The keys must reach the handheld at once: arrows, Ctrl and the menu's
  // shortcuts.
  giveKeyboard(handheld_);
}

void QtDesktop::setAbout(QWidget* window) {
  if (about_) about_->removeEventFilter(this);
  about_ = window;
  if (about_) about_->installEventFilter(this);
}

void QtDesktop::showAbout() {
  if (!about_) return;
  // Shown in front but without the keyboard, which stays with a game that
  // may be running.
  // At the top left of the monitor the case is on.
  const Monitors list = monitors();
  if (!list.empty() && !about_->isVisible()) {
    const Monitor* on = handheld_ && handheld_->isVisible()
                            ? monitorOf(fromQRect(handheld_->geometry()), list)
                            : &list.front();
    about_->move(toQRect(on->usable).topLeft());
  }
  if (about_->isVisible()) {
    about_->raise();
  } else {
    about_->show();  // in front, as new windows come up
  }
}

bool QtDesktop::eventFilter(QObject* watched, QEvent* e) {
  if (watched == about_ && handheld_ && handheld_->isVisible()) {
    // A window manager that activates About anyway gets the keyboard handed
    // back, once; when About closes the handheld has it.
    if (e->type() == QEvent::Show) handedBack_ = false;
    if (e->type() == QEvent::WindowActivate && !std::exchange(handedBack_, true)) {
      x11::giveKeyboard(handheld_);
      giveKeyboard(handheld_);
    }
    if (e->type() == QEvent::Hide) giveKeyboard(handheld_);
  }
  return false;
}

void QtDesktop::open(const char* target) {
  // The result is not looked at: a missing file or handler says nothing.
  const QUrl url = urlFor(target);
  if (!url.isValid()) {
    std::cerr << "cantiere: " << target << " is not opened: no plain path to it can be made\n";
    return;
  }
  if (opener) opener(url);
}

void QtDesktop::beep() { QApplication::beep(); }

void QtDesktop::message(const char* text) {
  QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                  QString::fromUtf8(text), QMessageBox::Ok, launcher_);
  box.exec();
}

void QtDesktop::exit() {
  if (quitter) quitter();
}

}  // namespace cantiere
