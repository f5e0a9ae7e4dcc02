// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's windows over a model with recording services, as
// the program starts them, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QTest>
#include <memory>

#include "frontend/clock/qt_clock_host.h"
#include "tests/common/virtual_clock_host.h"
#include "frontend/app/desktop_windows.h"
#include "tests/core/test_support.h"

namespace cantiere::test {

inline const PictureSet& sharedPictures() {
  static const PictureSet pictures = builtInPictures();
  return pictures;
}

class DesktopRig {
 public:
  // On `virtualTime` the event clock's loop stands still unless the test
  // moves it: however slowly a busy machine runs the test, no tick comes
  // by itself.
  explicit DesktopRig(ScreenSize screen = {1024, 768}, int storedSoundMode = -2, int storedZoom = 0,
                      bool virtualTime = false)
      : virtualTime_(virtualTime) {
    if (storedSoundMode != -2) settings.values["soundmode"] = storedSoundMode;
    if (storedZoom) settings.values["zoom"] = storedZoom;
    desktop.screenOverride = screen;
    desktop.opener = [this](const QUrl& url) { opened.push_back(url); };
    desktop.quitter = [this] { ++quits; };
    clock.run([&] { program.start(windows); });
    settle();
  }
  ~DesktopRig() {
    // Nothing of one test may reach the next.
    QApplication::closeAllWindows();
    settle();
  }

  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }

  // Chooses an entry of the sound list as a person does and presses PLAY.
  void play(int entry) {
    QComboBox* list = splash->soundList();
    list->setFocus();
    while (list->currentIndex() < entry) QTest::keyClick(list, Qt::Key_Down);
    QTest::mouseClick(splash->playButton(), Qt::LeftButton);
    settle();
  }
  void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(form1.get(), button, {}, at);
    settle();
  }
  static QPoint centre(Element e) {
    const Rect& r = info(e).rect;
    return {r.left + r.width / 2, r.top + r.height / 2};
  }
  bool lit(Element e) const { return program.form1.surface.lit(e); }
  QRect geometry() const { return form1->geometry(); }

  Scheduler scheduler;
  QtClockHost loop;
  VirtualClockHost standingLoop;
  bool virtualTime_;
  EventClock clock{scheduler, virtualTime_ ? static_cast<ClockHost&>(standingLoop) : loop};
  FixedTime time;
  RecordingOutput output;
  Sound sound{output};
  MemorySettings settings;
  QtDesktop desktop;
  Program program{HandheldServices{scheduler, time, sound, settings, desktop}};
  GameState& g = program.form1.state;
  DesktopWindows windows{program, clock, desktop, sharedPictures()};
  std::unique_ptr<HandheldWindow>& form1 = windows.handheld;
  std::unique_ptr<AboutForm>& about = windows.about;
  std::unique_ptr<SplashForm>& splash = windows.launcher;
  std::vector<QUrl> opened;
  int quits = 0;
};

}  // namespace cantiere::test
