// The desktop program's windows over a model with recording services, as
// the program starts them, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QTest>
#include <memory>

#include "frontend/about_window.h"
#include "frontend/launcher_window.h"
#include "frontend/handheld_window.h"
#include "frontend/qt_desktop.h"
#include "tests/core/test_support.h"

namespace cantiere::test {

inline const PictureSet& sharedPictures() {
  static const PictureSet pictures = PictureSet::builtIn();
  return pictures;
}

class DesktopRig {
 public:
  explicit DesktopRig(ScreenSize screen = {1024, 768}, int storedSoundMode = -2) {
    if (storedSoundMode != -2) settings.values["soundmode"] = storedSoundMode;
    desktop.screenOverride = screen;
    desktop.opener = [this](const QUrl& url) { opened.push_back(url); };
    desktop.quitter = [this] { ++quits; };
    program.FirstActivate = true;
    form1 = std::make_unique<HandheldWindow>(program, clock, sharedPictures());
    desktop.setHandheld(form1.get());
    clock.run([&] { program.form1.FormCreate(); });
    about = std::make_unique<AboutForm>();
    desktop.setAbout(about.get());
    splash = std::make_unique<SplashForm>(program.splash, clock);
    desktop.setLauncher(splash.get());
    clock.run([&] { program.splash.FormCreate(); });
    splash->refresh();
    splash->show();
    form1->show();
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
  EventClock clock{scheduler};
  FixedTime time;
  RecordingOutput output;
  Sound sound{output};
  MemorySettings settings;
  QtDesktop desktop;
  Program program{HandheldServices{scheduler, time, sound, settings, desktop}};
  GameState& g = program.form1.state;
  std::unique_ptr<HandheldWindow> form1;
  std::unique_ptr<AboutForm> about;
  std::unique_ptr<SplashForm> splash;
  std::vector<QUrl> opened;
  int quits = 0;
};

}  // namespace cantiere::test
