#include "frontend/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include "frontend/handheld_window.h"

namespace cantiere {

void bringToFront(QWidget* window) {
  window->raise();
  window->activateWindow();
  window->setFocus(Qt::ActiveWindowFocusReason);
}

QtDesktop::QtDesktop()
    : opener([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      quitter([] { QCoreApplication::exit(0); }) {}

QUrl QtDesktop::urlFor(const char* target) {
  const QString text = QString::fromUtf8(target);
  // "mailto:", "https:" and the like; a one-letter scheme would be a drive.
  const qsizetype colon = text.indexOf(':');
  if (colon > 1 && !text.left(colon).contains('/')) return QUrl(text);
  return QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(text)));
}

void QtDesktop::setHandheld(HandheldWindow* window) {
  handheld_ = window;
  if (window) window->screenArea = [this] { return availableArea(); };
}

QRect QtDesktop::availableArea() const {
  if (screenOverride) return {0, 0, screenOverride->width, screenOverride->height};
  const QScreen* primary = QGuiApplication::primaryScreen();
  return primary ? primary->availableGeometry() : QRect();
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
  // The keys must reach the handheld at once: arrows, Ctrl and the menu's
  // shortcuts.
  if (handheld_) bringToFront(handheld_);
}

void QtDesktop::showAbout() {
  if (!about_) return;
  about_->show();
  bringToFront(about_);
}

void QtDesktop::open(const char* target) {
  // The result is not looked at: a missing file or handler says nothing.
  if (opener) opener(urlFor(target));
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
