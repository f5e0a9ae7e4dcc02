// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/desktop_windows.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "frontend/pictures/picture_set.h"

namespace cantiere {

DesktopWindows::DesktopWindows(Program& program, EventClock& clock, QtDesktop& desktop,
                               const PictureSet& pictures)
    : input(program, clock), program_(program), clock_(clock), desktop_(desktop), pictures_(pictures) {
  // Every window's frame and task-bar entry, message boxes included: set
  // once the first window has painted, since decoding its seven sizes took
  // a twelfth of the time to the launcher on screen, and the toolkit hands
  // a new application icon to the windows already shown.
  qApp->installEventFilter(this);
  soundLog_ = SoundLog::fromEnvironment();
  if (soundLog_) program_.form1.sound().setListener(soundLog_.get());
}

bool DesktopWindows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    qApp->removeEventFilter(this);
    // After this paint has gone to the screen.
    QTimer::singleShot(0, this, [] { QGuiApplication::setWindowIcon(builtInIcon()); });
  }
  return QObject::eventFilter(watched, event);
}

DesktopWindows::~DesktopWindows() {
  if (soundLog_) program_.form1.sound().setListener(nullptr);
  desktop_.setHandheld(nullptr);
  desktop_.setAbout(nullptr);
  desktop_.setLauncher(nullptr);
}

void DesktopWindows::createHandheld() {
  handheld = std::make_unique<HandheldWindow>(program_, input, pictures_);
  desktop_.setHandheld(handheld.get());
}

void DesktopWindows::createAbout() {
  about = std::make_unique<AboutForm>();
  desktop_.setAbout(about.get());
}

void DesktopWindows::createLauncher() {
  launcher = std::make_unique<SplashForm>(program_.splash, input);
  desktop_.setLauncher(launcher.get());
}

void DesktopWindows::showLauncher() {
  launcher->refresh();
  launcher->centre();
  launcher->show();
}

bool DesktopWindows::showHandheld() {
  // The handheld stays unmapped, off screen, until PLAY has placed it: a
  // window manager may pull a shown off-screen window into view, or refuse
  // to move it later. So no activation comes from the window system; the
  // program delivers the first one, which brings the launcher to the front.
  return false;
}

ReplayStage DesktopWindows::replayStage() {
  ReplayStage stage;
  stage.handheld = handheld.get();
  stage.launcher = launcher.get();
  stage.showLauncher = [this] { showLauncher(); };
  stage.started = [this] { return !program_.form1.FirstActivate; };
  return stage;
}

}  // namespace cantiere
