#include "frontend/desktop_windows.h"

#include <QTimer>

namespace cantiere {
namespace {

// How long a window manager may take to activate the new handheld window
// before the program does it itself (an X server without one activates
// nothing).
constexpr int kActivationWait = 150;

}  // namespace

DesktopWindows::DesktopWindows(Program& program, EventClock& clock, QtDesktop& desktop,
                               const PictureSet& pictures)
    : input(program, clock), program_(program), clock_(clock), desktop_(desktop), pictures_(pictures) {}

DesktopWindows::~DesktopWindows() {
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
  // Off screen; its first activation brings the launcher to the front.
  handheld->show();
  QTimer::singleShot(kActivationWait, handheld.get(), [this] {
    if (program_.form1.FirstActivate) clock_.run([this] { program_.form1.FormActivate(); });
  });
  return true;
}

}  // namespace cantiere
