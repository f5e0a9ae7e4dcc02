// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's answer to the program's start-up: the real handheld, about
// and launcher windows, made in the order the program asks for them and
// hooked into the desktop the model talks to.
#pragma once

#include <QObject>
#include <memory>

#include "core/launcher/program.h"
#include "frontend/windows/about_window.h"
#include "common/clock/event_clock.h"
#include "frontend/windows/handheld_window.h"
#include "frontend/windows/launcher_window.h"
#include "common/input/model_input.h"
#include "frontend/app/qt_desktop.h"
#include "frontend/replay/replay_stage.h"
#include "frontend/sound/sound_log.h"

namespace cantiere {

class DesktopWindows : public QObject, public StartupWindows {
 public:
  DesktopWindows(Program& program, EventClock& clock, QtDesktop& desktop,
                 const PictureSet& pictures);
  ~DesktopWindows() override;

  Program& program() { return program_; }

  void createHandheld() override;
  void createAbout() override;
  void createLauncher() override;
  void showLauncher() override;
  bool showHandheld() override;

  // What a replay borrows, once the windows are made.
  ReplayStage replayStage();

  // Every input of the two windows reaches the model through here.
  ModelInput input;
  std::unique_ptr<HandheldWindow> handheld;
  std::unique_ptr<AboutForm> about;
  std::unique_ptr<SplashForm> launcher;

 protected:
  // Sets the application's icon after the first paint.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Program& program_;
  EventClock& clock_;
  QtDesktop& desktop_;
  const PictureSet& pictures_;
  std::unique_ptr<SoundLog> soundLog_;
};

}  // namespace cantiere
